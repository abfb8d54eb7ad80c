// Bytes as a person can read them: in a message on a terminal, in a quoted source line, in a
// map's label. A world file may hold any bytes; what is shown of it must never move the cursor,
// change colours or hide a character that matters to the game.
#ifndef WANDER_TOOLS_PRINTABLE_H_
#define WANDER_TOOLS_PRINTABLE_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace wander {

/// The length of the valid UTF-8 sequence at the start of `bytes` (1 for ASCII), or 0 when it
/// starts with a byte that is no valid UTF-8 there (or is empty). Overlong forms, surrogates and
/// values past U+10FFFF are not valid.
std::size_t utf8_length(std::string_view bytes);

/// When `bytes` starts with a character that looks blank (or like nothing) but is no whitespace
/// to the game, such as a no-break space, its length in bytes; else 0. A lone byte A0 (a
/// no-break space in Latin-1) counts too.
std::size_t blank_lookalike_length(std::string_view bytes);

/// What the look-alike blank at the start of `bytes` is called, as "a no-break space (U+00A0)";
/// empty when there is none.
std::string blank_lookalike_name(std::string_view bytes);

/// `bytes` with everything that a terminal would not show as itself escaped: control bytes (C0,
/// DEL) and bytes that are not valid UTF-8 as \xHH, a backslash as \\, and C1 controls and the
/// look-alike blanks as \uHHHH. Everything else, valid UTF-8 included, stays as it is.
std::string printable(std::string_view bytes);

/// The number of terminal columns printable(bytes) takes: one per character.
std::size_t printable_width(std::string_view bytes);

}  // namespace wander

#endif  // WANDER_TOOLS_PRINTABLE_H_
