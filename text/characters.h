// What a character is called and what it looks like, for messages that tell apart names which
// look the same. From the table text/unicode/make_tables.py generates (character_names.cc),
// which holds only the characters that names may confuse: the letters and digits of the Latin,
// Greek and Cyrillic scripts, the combining marks, the full-width forms, and the characters
// that look blank or like nothing.
#ifndef WANDER_TEXT_CHARACTERS_H_
#define WANDER_TEXT_CHARACTERS_H_

#include <string>

namespace wander {

/// The name of `point` in the Unicode Character Database, such as "GREEK CAPITAL LETTER ALPHA";
/// empty for a character outside the table.
std::string character_name(char32_t point);

/// Appends to `out` the characters `point` is drawn as: its canonical decomposition (a letter
/// and its accents), the ASCII character of a full-width form, the Latin letter that a Greek or
/// Cyrillic letter looks like ('Α' and 'А' as 'A'); else `point` itself. Two texts drawn as the
/// same characters look the same.
void append_drawn_as(char32_t point, std::u32string& out);

}  // namespace wander

#endif  // WANDER_TEXT_CHARACTERS_H_
