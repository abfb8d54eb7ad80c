// Bytes taken as UTF-8 where they are UTF-8, and the columns a terminal gives each character.
// Every function here walks whole characters: a valid UTF-8 sequence, or else one byte standing
// alone, so that a continuation byte is never mistaken for a character of its own.
#ifndef WANDER_TEXT_UTF8_H_
#define WANDER_TEXT_UTF8_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace wander {

/// What the byte that starts a UTF-8 sequence asks of the bytes after it: how many follow, and
/// the range the first of them must be in (the rest are 0x80 to 0xBF), which rules out overlong
/// forms, surrogates and values past U+10FFFF. ASCII asks for none.
struct Utf8Lead {
  int following = 0;  ///< bytes after the lead; -1 for a byte no sequence starts with
  unsigned char low = 0x80;
  unsigned char high = 0xbf;
};

/// What `lead` asks, by the one table of UTF-8 that every decoder here follows.
constexpr Utf8Lead utf8_lead(unsigned char lead) {
  if (lead < 0x80) return {0, 0x80, 0xbf};
  if (lead >= 0xc2 && lead <= 0xdf) return {1, 0x80, 0xbf};
  if (lead >= 0xe0 && lead <= 0xef) {
    return {2, static_cast<unsigned char>(lead == 0xe0 ? 0xa0 : 0x80),
            static_cast<unsigned char>(lead == 0xed ? 0x9f : 0xbf)};
  }
  if (lead >= 0xf0 && lead <= 0xf4) {
    return {3, static_cast<unsigned char>(lead == 0xf0 ? 0x90 : 0x80),
            static_cast<unsigned char>(lead == 0xf4 ? 0x8f : 0xbf)};
  }
  return {-1, 0x80, 0xbf};
}

/// Validates UTF-8 that comes a piece at a time, as a file is read: a character may be split
/// between pieces. Most text is ASCII, which it passes over eight bytes at a time.
class Utf8Stream {
 public:
  /// The offset of the first character in `bytes` (which start at offset `at`, right after the
  /// bytes checked before) that is not valid UTF-8: where its first byte stands. After one, the
  /// check goes on from the byte that broke it.
  std::optional<std::uint64_t> first_bad(std::string_view bytes, std::uint64_t at);

  /// Forgets a character begun: the next piece starts afresh.
  void reset() { need_ = 0; }

 private:
  int need_ = 0;  // continuation bytes still wanted
  unsigned char low_ = 0x80;
  unsigned char high_ = 0xbf;
  std::uint64_t lead_ = 0;
};

/// The length of the valid UTF-8 sequence at the start of `bytes` (1 for ASCII), or 0 when it
/// starts with a byte that is no valid UTF-8 there (or is empty). Overlong forms, surrogates and
/// values past U+10FFFF are not valid.
std::size_t utf8_length(std::string_view bytes);

/// True when `bytes` are valid UTF-8 throughout.
bool is_utf8(std::string_view bytes);

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
