// Bytes taken as UTF-8 where they are UTF-8, and the columns a terminal gives each character.
// Every function here walks whole characters: a valid UTF-8 sequence, or else one byte standing
// alone, so that a continuation byte is never mistaken for a character of its own.
#ifndef WANDER_TEXT_UTF8_H_
#define WANDER_TEXT_UTF8_H_

#include <cstddef>
#include <string_view>

namespace wander {

/// The length of the valid UTF-8 sequence at the start of `bytes` (1 for ASCII), or 0 when it
/// starts with a byte that is no valid UTF-8 there (or is empty). Overlong forms, surrogates and
/// values past U+10FFFF are not valid.
std::size_t utf8_length(std::string_view bytes);

/// The length of the character at the start of `bytes`: its valid UTF-8 sequence, or 1 for a
/// byte that is no valid UTF-8 there; 0 when `bytes` is empty.
std::size_t character_length(std::string_view bytes);

/// The length of what a decoder takes as one character at the start of `bytes`, by the Unicode
/// Standard's and the WHATWG Encoding Standard's rules: the valid UTF-8 sequence there, or else
/// the stretch that one U+FFFD stands for (a maximal subpart: the lead byte of a sequence and
/// the bytes after it that could still go on it, or one byte alone); 0 when `bytes` is empty.
/// What an editor shows of a file, and so what the columns of text/line_index.h count.
std::size_t decoded_length(std::string_view bytes);

/// The code point of the valid UTF-8 sequence of `length` bytes (see utf8_length) at the start
/// of `bytes`.
char32_t code_point(std::string_view bytes, std::size_t length);

/// The columns a terminal gives the character `point`, from the one width table (generated from
/// the Unicode Character Database by text/unicode/make_tables.py, which writes the web page's
/// copy too): 2 for East Asian wide and full-width characters and emoji, 0 for combining marks,
/// format and control characters, 1 for the rest.
int display_width(char32_t point);

/// The columns the character at the start of `bytes` takes: display_width of its code point, or
/// 1 for a byte that is no valid UTF-8 (a terminal shows a replacement character); 0 when empty.
int character_width(std::string_view bytes);

}  // namespace wander

#endif  // WANDER_TEXT_UTF8_H_
