// Names that look the same but are not: a Latin 'A' in a Greek name, an accent written as a
// letter and a combining mark, a full-width letter, a character that cannot be seen. The game
// compares names byte for byte; this is for messages, which must say what the eye cannot tell.
#ifndef WANDER_TOOLS_NAMES_LOOKALIKES_H_
#define WANDER_TOOLS_NAMES_LOOKALIKES_H_

#include <string>
#include <string_view>

namespace wander {

/// When `written` and `meant` differ but look the same (they are drawn as the same characters,
/// characters that cannot be seen passed over), the first place they differ, in words:
/// "'Aγορά' has U+0041 LATIN CAPITAL LETTER A where 'Αγορά' has U+0391 GREEK CAPITAL LETTER
/// ALPHA" ("nothing" for a side without characters there). Empty when they differ otherwise.
std::string lookalike_difference(std::string_view written, std::string_view meant);

/// ", which looks the same but has U+0048 LATIN CAPITAL LETTER H where 'Ｈall' has U+FF28
/// FULLWIDTH LATIN CAPITAL LETTER H" when `written` and `meant` look the same, else empty: the
/// words a message puts after "did you mean 'Hall'". A `written` that is a marker, as messages
/// show markers, is shown without quotes.
std::string lookalike_hint(std::string_view written, std::string_view meant,
                           bool written_is_marker = false);

}  // namespace wander

#endif  // WANDER_TOOLS_NAMES_LOOKALIKES_H_
