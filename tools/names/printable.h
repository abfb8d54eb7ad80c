// Bytes as a person can read them: in a message on a terminal, in a quoted source line, in a
// map's label. A world file may hold any bytes; what is shown of it must never move the cursor,
// change colours or hide a character that matters to the game.
//
// Bytes are taken as UTF-8 where they are UTF-8: every function here walks whole characters, a
// valid UTF-8 sequence or else one byte standing alone, so that a continuation byte is never
// mistaken for a character of its own.
#ifndef WANDER_TOOLS_NAMES_PRINTABLE_H_
#define WANDER_TOOLS_NAMES_PRINTABLE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/utf8.h"

namespace wander {

/// The offset of the first character that starts at or after `at` in `bytes`, as a walk from the
/// start of `bytes` would find it, looking at no more than the three bytes before `at`. A part of
/// a text can so be shown from any place in it.
std::size_t character_start_from(std::string_view bytes, std::size_t at);

/// When the character at the start of `bytes` looks blank (or like nothing) but is no whitespace
/// to the game, such as a no-break space, its length in bytes; else 0. A byte A0 that is no part
/// of a valid UTF-8 sequence (a no-break space in Latin-1) counts too. `bytes` must start at a
/// character: the A0 inside "à" is no look-alike blank.
std::size_t blank_lookalike_length(std::string_view bytes);

/// Where a look-alike blank stands in a text.
struct LookalikePlace {
  std::size_t at = std::string_view::npos;  ///< its offset, npos when there is none
  std::size_t length = 0;                   ///< its bytes
};

/// The first look-alike blank in `bytes`, walking whole characters.
LookalikePlace find_blank_lookalike(std::string_view bytes);

/// What the look-alike blank at the start of `bytes` is called, as "a no-break space (U+00A0)";
/// empty when there is none.
std::string blank_lookalike_name(std::string_view bytes);

/// What the look-alike blank at the start of `bytes` is mended to: a blank for one that shows as
/// a blank, nothing for one that shows as nothing (a zero-width space, a word joiner, U+FEFF),
/// so that the words read as they look.
std::string_view blank_lookalike_mend(std::string_view bytes);

/// True for a character that shows as nothing or changes the direction of the text around it,
/// without being a look-alike blank: a zero-width joiner (U+200D), a soft hyphen (U+00AD), the
/// direction marks and embeddings (U+200E, U+202A to U+202E, U+2066 to U+2069), a Hangul filler
/// (U+3164) and the like. Such a character in a name cannot be seen, so it is escaped wherever a
/// name is shown.
bool is_invisible(char32_t point);

/// `bytes` with everything that a terminal would not show as itself escaped: control bytes (C0,
/// DEL) and bytes that are not valid UTF-8 as \xHH, a backslash as \\, and C1 controls, the
/// look-alike blanks and the invisible characters as \uHHHH. Everything else, valid UTF-8 in any
/// script included, stays as it is.
std::string printable(std::string_view bytes);

/// printable(bytes) between single quotes, as messages show a name or a file's name.
std::string in_quotes(std::string_view bytes);

/// printable(bytes), shortened with "…" in the middle when it is longer than `most` characters
/// (an escape counts a character for each of its bytes): its first and last characters, about a
/// third of `most` after the "…". Never cuts inside a UTF-8 sequence. Costs memory for what it
/// returns only, however long `bytes` is.
std::string printable_elided(std::string_view bytes, std::size_t most);

/// The number of terminal columns printable(bytes) takes: two for a wide character (CJK, most
/// emoji), none for a combining mark, one for any other character and for each byte of an
/// escape.
std::size_t printable_width(std::string_view bytes);

/// The number of terminal columns `text` takes when shown as it is: text that printable() made,
/// valid UTF-8 with nothing left to escape, as printable_width counts them.
std::size_t text_columns(std::string_view text);

}  // namespace wander

#endif  // WANDER_TOOLS_NAMES_PRINTABLE_H_
