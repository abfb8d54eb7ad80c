#include "tools/printable.h"

#include <array>
#include <cstdint>

namespace wander {
namespace {

struct Lookalike {
  std::string_view bytes;
  std::string_view name;
};

// Characters an editor shows as a blank, or as nothing, that the game reads as part of a word.
constexpr std::array<Lookalike, 19> kLookalikes = {{
    {"\xc2\xa0", "a no-break space (U+00A0)"},
    {"\xe1\x9a\x80", "an ogham space mark (U+1680)"},
    {"\xe2\x80\x80", "an en quad (U+2000)"},
    {"\xe2\x80\x81", "an em quad (U+2001)"},
    {"\xe2\x80\x82", "an en space (U+2002)"},
    {"\xe2\x80\x83", "an em space (U+2003)"},
    {"\xe2\x80\x84", "a three-per-em space (U+2004)"},
    {"\xe2\x80\x85", "a four-per-em space (U+2005)"},
    {"\xe2\x80\x86", "a six-per-em space (U+2006)"},
    {"\xe2\x80\x87", "a figure space (U+2007)"},
    {"\xe2\x80\x88", "a punctuation space (U+2008)"},
    {"\xe2\x80\x89", "a thin space (U+2009)"},
    {"\xe2\x80\x8a", "a hair space (U+200A)"},
    {"\xe2\x80\x8b", "a zero-width space (U+200B)"},
    {"\xe2\x80\xaf", "a narrow no-break space (U+202F)"},
    {"\xe2\x81\x9f", "a medium mathematical space (U+205F)"},
    {"\xe2\x81\xa0", "a word joiner (U+2060)"},
    {"\xe3\x80\x80", "an ideographic space (U+3000)"},
    {"\xef\xbb\xbf", "a zero-width no-break space (U+FEFF)"},
}};

constexpr char kHex[] = "0123456789abcdef";

const Lookalike* lookalike_at(std::string_view bytes) {
  for (const Lookalike& lookalike : kLookalikes) {
    if (bytes.substr(0, lookalike.bytes.size()) == lookalike.bytes) return &lookalike;
  }
  return nullptr;
}

bool is_lone_latin1_no_break_space(std::string_view bytes) {
  return !bytes.empty() && static_cast<unsigned char>(bytes.front()) == 0xa0;
}

// The code point of the valid UTF-8 sequence of `length` bytes at the start of `bytes`.
std::uint32_t code_point(std::string_view bytes, std::size_t length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (length == 1) return byte(0);
  std::uint32_t value = byte(0) & (0x7f >> length);
  for (std::size_t i = 1; i < length; ++i) value = (value << 6) | (byte(i) & 0x3f);
  return value;
}

void append_hex(std::string& out, std::uint32_t value, int digits) {
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xf];
}

}  // namespace

std::size_t utf8_length(std::string_view bytes) {
  if (bytes.empty()) return 0;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(0);
  const std::size_t length = lead < 0x80                   ? 1
                             : lead >= 0xc2 && lead < 0xe0 ? 2
                             : lead >= 0xe0 && lead < 0xf0 ? 3
                             : lead >= 0xf0 && lead < 0xf5 ? 4
                                                           : 0;
  if (length == 0 || length > bytes.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xc0) != 0x80) return 0;
  }
  if (length == 3 && ((lead == 0xe0 && byte(1) < 0xa0) || (lead == 0xed && byte(1) >= 0xa0))) {
    return 0;
  }
  if (length == 4 && ((lead == 0xf0 && byte(1) < 0x90) || (lead == 0xf4 && byte(1) >= 0x90))) {
    return 0;
  }
  return length;
}

std::size_t blank_lookalike_length(std::string_view bytes) {
  // Every look-alike starts with a byte of A0 or more: most bytes are turned away at once.
  if (bytes.empty() || static_cast<unsigned char>(bytes.front()) < 0xa0) return 0;
  if (const Lookalike* lookalike = lookalike_at(bytes)) return lookalike->bytes.size();
  return is_lone_latin1_no_break_space(bytes) ? 1 : 0;
}

std::string blank_lookalike_name(std::string_view bytes) {
  if (const Lookalike* lookalike = lookalike_at(bytes)) return std::string(lookalike->name);
  if (is_lone_latin1_no_break_space(bytes)) return "a byte A0 (a no-break space in Latin-1)";
  return std::string();
}

std::string printable(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t length = utf8_length(bytes);
    const unsigned char lead = static_cast<unsigned char>(bytes.front());
    if (length == 0 || lead < 0x20 || lead == 0x7f) {
      out += "\\x";
      append_hex(out, lead, 2);
      bytes.remove_prefix(1);
      continue;
    }
    const std::uint32_t point = code_point(bytes, length);
    if (lead == '\\') {
      out += "\\\\";
    } else if ((point >= 0x80 && point < 0xa0) || (lead >= 0xc2 && lookalike_at(bytes))) {
      out += "\\u";
      append_hex(out, point, 4);
    } else {
      out.append(bytes.substr(0, length));
    }
    bytes.remove_prefix(length);
  }
  return out;
}

std::size_t printable_width(std::string_view bytes) {
  const std::string shown = printable(bytes);
  std::size_t width = 0;
  // Every escape is ASCII; every other character is one valid UTF-8 sequence.
  for (const char c : shown) width += (static_cast<unsigned char>(c) & 0xc0) != 0x80;
  return width;
}

}  // namespace wander
