#include "tools/names/printable.h"

#include <algorithm>
#include <array>
#include <iterator>

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

struct Range {
  char32_t first;
  char32_t last;
};

// Characters that show as nothing, or turn the text around them, that are no look-alike blanks.
constexpr Range kInvisible[] = {
    {0x00ad, 0x00ad}, {0x034f, 0x034f}, {0x061c, 0x061c}, {0x115f, 0x1160},   {0x17b4, 0x17b5},
    {0x180e, 0x180e}, {0x200c, 0x200f}, {0x202a, 0x202e}, {0x2061, 0x2064},   {0x2066, 0x206f},
    {0x3164, 0x3164}, {0xffa0, 0xffa0}, {0xfff9, 0xfffb}, {0xe0000, 0xe007f},
};

// Combining marks: a terminal draws them over the character before, in no column of their own.
constexpr Range kCombining[] = {
    {0x0300, 0x036f},   {0x0483, 0x0489},   {0x0591, 0x05bd},   {0x05bf, 0x05bf},
    {0x05c1, 0x05c2},   {0x05c4, 0x05c5},   {0x05c7, 0x05c7},   {0x0610, 0x061a},
    {0x064b, 0x065f},   {0x0670, 0x0670},   {0x06d6, 0x06dc},   {0x06df, 0x06e4},
    {0x06e7, 0x06e8},   {0x06ea, 0x06ed},   {0x0711, 0x0711},   {0x0730, 0x074a},
    {0x07a6, 0x07b0},   {0x07eb, 0x07f3},   {0x0816, 0x082d},   {0x0859, 0x085b},
    {0x08d3, 0x08e1},   {0x08e3, 0x0902},   {0x093a, 0x093a},   {0x093c, 0x093c},
    {0x0941, 0x0948},   {0x094d, 0x094d},   {0x0951, 0x0957},   {0x0962, 0x0963},
    {0x0981, 0x0981},   {0x09bc, 0x09bc},   {0x09c1, 0x09c4},   {0x09cd, 0x09cd},
    {0x09e2, 0x09e3},   {0x0a01, 0x0a02},   {0x0a3c, 0x0a3c},   {0x0a41, 0x0a51},
    {0x0a70, 0x0a71},   {0x0a75, 0x0a75},   {0x0a81, 0x0a82},   {0x0abc, 0x0abc},
    {0x0ac1, 0x0ac8},   {0x0acd, 0x0acd},   {0x0ae2, 0x0ae3},   {0x0b01, 0x0b01},
    {0x0b3c, 0x0b3c},   {0x0b3f, 0x0b3f},   {0x0b41, 0x0b44},   {0x0b4d, 0x0b4d},
    {0x0b56, 0x0b56},   {0x0b62, 0x0b63},   {0x0b82, 0x0b82},   {0x0bc0, 0x0bc0},
    {0x0bcd, 0x0bcd},   {0x0c00, 0x0c00},   {0x0c3e, 0x0c40},   {0x0c46, 0x0c56},
    {0x0c62, 0x0c63},   {0x0c81, 0x0c81},   {0x0cbc, 0x0cbc},   {0x0ccc, 0x0ccd},
    {0x0ce2, 0x0ce3},   {0x0d00, 0x0d01},   {0x0d41, 0x0d44},   {0x0d4d, 0x0d4d},
    {0x0d62, 0x0d63},   {0x0dca, 0x0dca},   {0x0dd2, 0x0dd6},   {0x0e31, 0x0e31},
    {0x0e34, 0x0e3a},   {0x0e47, 0x0e4e},   {0x0eb1, 0x0eb1},   {0x0eb4, 0x0ebc},
    {0x0ec8, 0x0ecd},   {0x0f18, 0x0f19},   {0x0f35, 0x0f35},   {0x0f37, 0x0f37},
    {0x0f39, 0x0f39},   {0x0f71, 0x0f7e},   {0x0f80, 0x0f84},   {0x0f86, 0x0f87},
    {0x0f8d, 0x0fbc},   {0x0fc6, 0x0fc6},   {0x102d, 0x1030},   {0x1032, 0x1037},
    {0x1039, 0x103a},   {0x103d, 0x103e},   {0x1058, 0x1059},   {0x105e, 0x1060},
    {0x1071, 0x1074},   {0x1082, 0x1082},   {0x1085, 0x1086},   {0x108d, 0x108d},
    {0x109d, 0x109d},   {0x1161, 0x11ff},   {0x135d, 0x135f},   {0x1712, 0x1714},
    {0x1732, 0x1734},   {0x1752, 0x1753},   {0x1772, 0x1773},   {0x17b7, 0x17bd},
    {0x17c6, 0x17c6},   {0x17c9, 0x17d3},   {0x17dd, 0x17dd},   {0x180b, 0x180d},
    {0x18a9, 0x18a9},   {0x1920, 0x1922},   {0x1927, 0x1928},   {0x1932, 0x1932},
    {0x1939, 0x193b},   {0x1a17, 0x1a18},   {0x1a1b, 0x1a1b},   {0x1a56, 0x1a56},
    {0x1a58, 0x1a60},   {0x1a62, 0x1a62},   {0x1a65, 0x1a6c},   {0x1a73, 0x1a7f},
    {0x1ab0, 0x1aff},   {0x1b00, 0x1b03},   {0x1b34, 0x1b34},   {0x1b36, 0x1b3a},
    {0x1b3c, 0x1b3c},   {0x1b42, 0x1b42},   {0x1b6b, 0x1b73},   {0x1b80, 0x1b81},
    {0x1ba2, 0x1ba5},   {0x1ba8, 0x1ba9},   {0x1bab, 0x1bad},   {0x1be6, 0x1be6},
    {0x1be8, 0x1be9},   {0x1bed, 0x1bed},   {0x1bef, 0x1bf1},   {0x1c2c, 0x1c33},
    {0x1c36, 0x1c37},   {0x1cd0, 0x1cd2},   {0x1cd4, 0x1ce0},   {0x1ce2, 0x1ce8},
    {0x1ced, 0x1ced},   {0x1cf4, 0x1cf4},   {0x1cf8, 0x1cf9},   {0x1dc0, 0x1dff},
    {0x20d0, 0x20f0},   {0x2cef, 0x2cf1},   {0x2d7f, 0x2d7f},   {0x2de0, 0x2dff},
    {0x302a, 0x302d},   {0x3099, 0x309a},   {0xa66f, 0xa672},   {0xa674, 0xa67d},
    {0xa69e, 0xa69f},   {0xa6f0, 0xa6f1},   {0xa802, 0xa802},   {0xa806, 0xa806},
    {0xa80b, 0xa80b},   {0xa825, 0xa826},   {0xa8c4, 0xa8c5},   {0xa8e0, 0xa8f1},
    {0xa8ff, 0xa8ff},   {0xa926, 0xa92d},   {0xa947, 0xa951},   {0xa980, 0xa982},
    {0xa9b3, 0xa9b3},   {0xa9b6, 0xa9b9},   {0xa9bc, 0xa9bd},   {0xa9e5, 0xa9e5},
    {0xaa29, 0xaa2e},   {0xaa31, 0xaa32},   {0xaa35, 0xaa36},   {0xaa43, 0xaa43},
    {0xaa4c, 0xaa4c},   {0xaa7c, 0xaa7c},   {0xaab0, 0xaab0},   {0xaab2, 0xaab4},
    {0xaab7, 0xaab8},   {0xaabe, 0xaabf},   {0xaac1, 0xaac1},   {0xaaec, 0xaaed},
    {0xaaf6, 0xaaf6},   {0xabe5, 0xabe5},   {0xabe8, 0xabe8},   {0xabed, 0xabed},
    {0xfb1e, 0xfb1e},   {0xfe00, 0xfe0f},   {0xfe20, 0xfe2f},   {0x101fd, 0x101fd},
    {0x102e0, 0x102e0}, {0x10376, 0x1037a}, {0x10a01, 0x10a0f}, {0x10a38, 0x10a3f},
    {0x10ae5, 0x10ae6}, {0x10d24, 0x10d27}, {0x10f46, 0x10f50}, {0x11001, 0x11001},
    {0x11038, 0x11046}, {0x1107f, 0x11081}, {0x110b3, 0x110b6}, {0x110b9, 0x110ba},
    {0x11100, 0x11102}, {0x11127, 0x1112b}, {0x1112d, 0x11134}, {0x1d167, 0x1d169},
    {0x1d17b, 0x1d182}, {0x1d185, 0x1d18b}, {0x1d1aa, 0x1d1ad}, {0x1e8d0, 0x1e8d6},
    {0x1e944, 0x1e94a}, {0xe0100, 0xe01ef},
};

// Characters a terminal gives two columns: East Asian wide and full-width ones, and most emoji.
constexpr Range kWide[] = {
    {0x1100, 0x115f},   {0x231a, 0x231b},   {0x2329, 0x232a},   {0x23e9, 0x23ec},
    {0x23f0, 0x23f0},   {0x23f3, 0x23f3},   {0x25fd, 0x25fe},   {0x2614, 0x2615},
    {0x2648, 0x2653},   {0x267f, 0x267f},   {0x2693, 0x2693},   {0x26a1, 0x26a1},
    {0x26aa, 0x26ab},   {0x26bd, 0x26be},   {0x26c4, 0x26c5},   {0x26ce, 0x26ce},
    {0x26d4, 0x26d4},   {0x26ea, 0x26ea},   {0x26f2, 0x26f3},   {0x26f5, 0x26f5},
    {0x26fa, 0x26fa},   {0x26fd, 0x26fd},   {0x2705, 0x2705},   {0x270a, 0x270b},
    {0x2728, 0x2728},   {0x274c, 0x274c},   {0x274e, 0x274e},   {0x2753, 0x2755},
    {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27b0, 0x27b0},   {0x27bf, 0x27bf},
    {0x2b1b, 0x2b1c},   {0x2b50, 0x2b50},   {0x2b55, 0x2b55},   {0x2e80, 0x303e},
    {0x3041, 0x3247},   {0x3250, 0x4dbf},   {0x4e00, 0xa4cf},   {0xa960, 0xa97f},
    {0xac00, 0xd7a3},   {0xf900, 0xfaff},   {0xfe10, 0xfe19},   {0xfe30, 0xfe6f},
    {0xff00, 0xff60},   {0xffe0, 0xffe6},   {0x16fe0, 0x16fe4}, {0x17000, 0x18aff},
    {0x1b000, 0x1b2ff}, {0x1f004, 0x1f004}, {0x1f0cf, 0x1f0cf}, {0x1f18e, 0x1f18e},
    {0x1f191, 0x1f19a}, {0x1f200, 0x1f202}, {0x1f210, 0x1f23b}, {0x1f240, 0x1f248},
    {0x1f250, 0x1f251}, {0x1f260, 0x1f265}, {0x1f300, 0x1f320}, {0x1f32d, 0x1f335},
    {0x1f337, 0x1f37c}, {0x1f37e, 0x1f393}, {0x1f3a0, 0x1f3ca}, {0x1f3cf, 0x1f3d3},
    {0x1f3e0, 0x1f3f0}, {0x1f3f4, 0x1f3f4}, {0x1f3f8, 0x1f43e}, {0x1f440, 0x1f440},
    {0x1f442, 0x1f4fc}, {0x1f4ff, 0x1f53d}, {0x1f54b, 0x1f54e}, {0x1f550, 0x1f567},
    {0x1f57a, 0x1f57a}, {0x1f595, 0x1f596}, {0x1f5a4, 0x1f5a4}, {0x1f5fb, 0x1f64f},
    {0x1f680, 0x1f6c5}, {0x1f6cc, 0x1f6cc}, {0x1f6d0, 0x1f6d2}, {0x1f6d5, 0x1f6d7},
    {0x1f6eb, 0x1f6ec}, {0x1f6f4, 0x1f6fc}, {0x1f7e0, 0x1f7eb}, {0x1f90c, 0x1f93a},
    {0x1f93c, 0x1f945}, {0x1f947, 0x1f9ff}, {0x1fa70, 0x1faff}, {0x20000, 0x2fffd},
    {0x30000, 0x3fffd},
};

template <std::size_t N>
bool in(const Range (&ranges)[N], char32_t point) {
  const Range* after = std::upper_bound(std::begin(ranges), std::end(ranges), point,
                                        [](char32_t p, const Range& r) { return p < r.first; });
  return after != std::begin(ranges) && point <= std::prev(after)->last;
}

constexpr char kHex[] = "0123456789abcdef";
constexpr std::string_view kEllipsis = "\xe2\x80\xa6";

const Lookalike* lookalike_at(std::string_view bytes) {
  for (const Lookalike& lookalike : kLookalikes) {
    if (bytes.substr(0, lookalike.bytes.size()) == lookalike.bytes) return &lookalike;
  }
  return nullptr;
}

bool is_lone_latin1_no_break_space(std::string_view bytes) {
  return !bytes.empty() && static_cast<unsigned char>(bytes.front()) == 0xa0;
}

void append_hex(std::string& out, std::uint32_t value, int digits) {
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xf];
}

// The hexadecimal digits of a code point in a \u escape: four, or as many as it needs.
std::size_t point_digits(char32_t point) { return point > 0xfffff ? 6 : point > 0xffff ? 5 : 4; }

// How the character at the start of `bytes` is shown: as itself, or escaped.
struct Shown {
  enum Kind { kItself, kBackslash, kByte, kPoint };
  Kind kind = kItself;
  std::size_t length = 0;  // its bytes in the source
  char32_t point = 0;      // its code point; the byte itself for kByte

  // The characters it is shown as: an escape's are ASCII, one byte each.
  std::size_t characters() const {
    switch (kind) {
      case kItself:
        return 1;
      case kBackslash:
        return 2;
      case kByte:
        return 4;
      case kPoint:
        break;
    }
    return 2 + point_digits(point);
  }
};

Shown shown_at(std::string_view bytes) {
  const std::size_t length = utf8_length(bytes);
  const unsigned char lead = static_cast<unsigned char>(bytes.front());
  if (length == 0 || lead < 0x20 || lead == 0x7f) return {Shown::kByte, 1, lead};
  if (lead == '\\') return {Shown::kBackslash, 1, lead};
  const char32_t point = code_point(bytes, length);
  if ((point >= 0x80 && point < 0xa0) || (lead >= 0xc2 && lookalike_at(bytes)) ||
      is_invisible(point)) {
    return {Shown::kPoint, length, point};
  }
  return {Shown::kItself, length, point};
}

void append_shown(std::string& out, std::string_view bytes, const Shown& shown) {
  switch (shown.kind) {
    case Shown::kItself:
      out.append(bytes.substr(0, shown.length));
      break;
    case Shown::kBackslash:
      out += "\\\\";
      break;
    case Shown::kByte:
      out += "\\x";
      append_hex(out, shown.point, 2);
      break;
    case Shown::kPoint:
      out += "\\u";
      append_hex(out, shown.point, static_cast<int>(point_digits(shown.point)));
      break;
  }
}

// The shown form of `bytes`, cut to its first `most` characters.
std::string shown_head(std::string_view bytes, std::size_t most) {
  std::string out;
  std::size_t characters = 0;
  for (std::size_t at = 0; at < bytes.size() && characters < most;) {
    const Shown shown = shown_at(bytes.substr(at));
    std::string piece;
    append_shown(piece, bytes.substr(at), shown);
    // An escape may be cut: its characters are ASCII, one byte each.
    const std::size_t take = std::min(shown.characters(), most - characters);
    out += shown.kind == Shown::kItself ? piece : piece.substr(0, take);
    characters += take;
    at += shown.length;
  }
  return out;
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

std::size_t character_length(std::string_view bytes) {
  return bytes.empty() ? 0 : std::max<std::size_t>(utf8_length(bytes), 1);
}

char32_t code_point(std::string_view bytes, std::size_t length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (length == 1) return byte(0);
  char32_t value = byte(0) & (0x7f >> length);
  for (std::size_t i = 1; i < length; ++i) value = (value << 6) | (byte(i) & 0x3f);
  return value;
}

std::size_t blank_lookalike_length(std::string_view bytes) {
  // Every look-alike starts with a byte of A0 or more: most bytes are turned away at once.
  if (bytes.empty() || static_cast<unsigned char>(bytes.front()) < 0xa0) return 0;
  if (const Lookalike* lookalike = lookalike_at(bytes)) return lookalike->bytes.size();
  return is_lone_latin1_no_break_space(bytes) ? 1 : 0;
}

LookalikePlace find_blank_lookalike(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size(); at += character_length(bytes.substr(at))) {
    if (const std::size_t length = blank_lookalike_length(bytes.substr(at))) return {at, length};
  }
  return {};
}

std::string_view blank_lookalike_mend(std::string_view bytes) {
  for (const std::string_view zero_width : {"\xe2\x80\x8b", "\xe2\x81\xa0", "\xef\xbb\xbf"}) {
    if (bytes.starts_with(zero_width)) return "";
  }
  return " ";
}

std::string blank_lookalike_name(std::string_view bytes) {
  if (const Lookalike* lookalike = lookalike_at(bytes)) return std::string(lookalike->name);
  if (is_lone_latin1_no_break_space(bytes)) return "a byte A0 (a no-break space in Latin-1)";
  return std::string();
}

// A byte that is no continuation byte always starts a character, and a continuation byte does
// unless the valid sequence of a lead byte up to three before it covers it.
std::size_t character_start_from(std::string_view bytes, std::size_t at) {
  if (at >= bytes.size()) return bytes.size();
  for (std::size_t back = 1; back <= 3 && back <= at; ++back) {
    const unsigned char byte = static_cast<unsigned char>(bytes[at - back + 1]);
    if ((byte & 0xc0) != 0x80) break;
    const std::size_t lead = at - back;
    if ((static_cast<unsigned char>(bytes[lead]) & 0xc0) == 0x80) continue;
    const std::size_t length = utf8_length(bytes.substr(lead));
    return length > back ? lead + length : at;
  }
  return at;
}

bool is_invisible(char32_t point) { return point >= 0xad && in(kInvisible, point); }

std::string printable(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const Shown shown = shown_at(bytes);
    append_shown(out, bytes, shown);
    bytes.remove_prefix(shown.length);
  }
  return out;
}

std::string in_quotes(std::string_view bytes) {
  // Built by appending: g++ 12 warns falsely (-Wrestrict) about "'" + string + "'".
  std::string text(1, '\'');
  text.append(printable(bytes)).append(1, '\'');
  return text;
}

std::string printable_elided(std::string_view bytes, std::size_t most) {
  std::size_t characters = 0;
  for (std::size_t at = 0; at < bytes.size() && characters <= most;) {
    const Shown shown = shown_at(bytes.substr(at));
    characters += shown.characters();
    at += shown.length;
  }
  if (characters <= most) return printable(bytes);
  const std::size_t tail = most / 3;
  const std::size_t head = most - tail - (most > tail ? 1 : 0);
  std::string out = shown_head(bytes, head) + std::string(kEllipsis);
  // The last `tail` characters come from at most `tail` characters of the source, each of at most
  // four bytes: only those are looked at, from a place where a character starts.
  const std::size_t span = std::min(bytes.size(), 4 * tail + 4);
  const std::size_t from = character_start_from(bytes, bytes.size() - span);
  const std::string end = printable(bytes.substr(from));
  std::size_t cut = end.size();
  for (std::size_t kept = 0; kept < tail && cut > 0;) {
    --cut;
    kept += (static_cast<unsigned char>(end[cut]) & 0xc0) != 0x80;
  }
  return out + end.substr(cut);
}

int character_columns(char32_t point) {
  if (point >= 0x300 && in(kCombining, point)) return 0;
  if (point >= 0x1100 && in(kWide, point)) return 2;
  return 1;
}

std::size_t printable_width(std::string_view bytes) {
  std::size_t width = 0;
  while (!bytes.empty()) {
    const Shown shown = shown_at(bytes);
    width += shown.kind == Shown::kItself ? static_cast<std::size_t>(character_columns(shown.point))
                                          : shown.characters();
    bytes.remove_prefix(shown.length);
  }
  return width;
}

std::size_t text_columns(std::string_view text) {
  std::size_t width = 0;
  while (!text.empty()) {
    const std::size_t length = character_length(text);
    const std::size_t valid = utf8_length(text);
    width += valid == 0 ? 1 : static_cast<std::size_t>(character_columns(code_point(text, valid)));
    text.remove_prefix(length);
  }
  return width;
}

}  // namespace wander
