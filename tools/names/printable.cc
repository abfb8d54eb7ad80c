#include "tools/names/printable.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "text/hex.h"

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

template <std::size_t N>
bool in(const Range (&ranges)[N], char32_t point) {
  const Range* after = std::upper_bound(std::begin(ranges), std::end(ranges), point,
                                        [](char32_t p, const Range& r) { return p < r.first; });
  return after != std::begin(ranges) && point <= std::prev(after)->last;
}

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

std::string in_quotes(std::string_view bytes) { return "'" + printable(bytes) + "'"; }

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

std::size_t printable_width(std::string_view bytes) {
  std::size_t width = 0;
  while (!bytes.empty()) {
    const Shown shown = shown_at(bytes);
    width += shown.kind == Shown::kItself ? static_cast<std::size_t>(display_width(shown.point))
                                          : shown.characters();
    bytes.remove_prefix(shown.length);
  }
  return width;
}

std::size_t text_columns(std::string_view text) {
  std::size_t width = 0;
  for (; !text.empty(); text.remove_prefix(character_length(text))) {
    width += static_cast<std::size_t>(character_width(text));
  }
  return width;
}

}  // namespace wander
