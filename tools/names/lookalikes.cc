#include "tools/names/lookalikes.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "text/characters.h"
#include "tools/names/printable.h"

namespace wander {
namespace {

// A byte that is no UTF-8 stands for itself, as a value no character has.
constexpr char32_t kLoneByte = 0x110000;

struct Character {
  char32_t point;
  std::u32string drawn;  // empty for one that cannot be seen
};

std::vector<Character> characters(std::string_view name) {
  std::vector<Character> out;
  for (std::size_t at = 0; at < name.size();) {
    const std::size_t length = utf8_length(name.substr(at));
    Character c;
    if (length == 0) {
      c.point = kLoneByte + static_cast<unsigned char>(name[at]);
      c.drawn = c.point;
      ++at;
    } else {
      c.point = code_point(name.substr(at), length);
      if (!is_invisible(c.point) && blank_lookalike_length(name.substr(at)) == 0) {
        append_drawn_as(c.point, c.drawn);
      }
      at += length;
    }
    out.push_back(std::move(c));
  }
  return out;
}

std::u32string drawn(const std::vector<Character>& characters) {
  std::u32string out;
  for (const Character& c : characters) out += c.drawn;
  return out;
}

// "U+0391 GREEK CAPITAL LETTER ALPHA and U+0301 COMBINING ACUTE ACCENT", or "nothing".
std::string named(const std::vector<Character>& characters, std::size_t from, std::size_t end) {
  if (from == end) return "nothing";
  std::string out;
  for (std::size_t i = from; i < end; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(characters[i].point));
    if (i > from) out += " and ";
    out += code;
    if (const std::string name = character_name(characters[i].point); !name.empty()) {
      out += " " + name;
    }
  }
  return out;
}

// What `written` and `meant` have at the first place they differ, when they look the same.
struct Odd {
  std::string written;  // "U+0041 LATIN CAPITAL LETTER A"; empty when they do not look the same
  std::string meant;
};

Odd odd_characters(std::string_view written, std::string_view meant) {
  // ASCII is drawn as itself, and a name this long is no slip of the eye: neither is looked at.
  constexpr std::size_t kLongestCompared = 1024;
  const auto ascii = [](std::string_view name) {
    return std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; });
  };
  if (written == meant || written.size() > kLongestCompared || meant.size() > kLongestCompared ||
      (ascii(written) && ascii(meant))) {
    return {};
  }
  const std::vector<Character> w = characters(written);
  const std::vector<Character> m = characters(meant);
  if (drawn(w) != drawn(m)) return {};
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < w.size() && j < m.size() && w[i].point == m[j].point) ++i, ++j;
  // The characters from here on each side that are drawn as the same stretch: one that cannot
  // be seen alone, else as many as it takes for both sides to end together.
  const std::size_t from_w = i;
  const std::size_t from_m = j;
  if (i < w.size() && w[i].drawn.empty()) {
    ++i;
  } else if (j < m.size() && m[j].drawn.empty()) {
    ++j;
  } else {
    std::size_t drawn_w = 0;
    std::size_t drawn_m = 0;
    do {
      if (drawn_w <= drawn_m && i < w.size()) {
        drawn_w += w[i++].drawn.size();
      } else if (j < m.size()) {
        drawn_m += m[j++].drawn.size();
      } else {
        break;
      }
    } while (drawn_w != drawn_m || i == from_w || j == from_m);
  }
  return {named(w, from_w, i), named(m, from_m, j)};
}

}  // namespace

std::string lookalike_difference(std::string_view written, std::string_view meant) {
  const Odd odd = odd_characters(written, meant);
  if (odd.written.empty()) return "";
  return in_quotes(written) + " has " + odd.written + " where " + in_quotes(meant) + " has " +
         odd.meant;
}

std::string lookalike_hint(std::string_view written, std::string_view meant,
                           bool written_is_marker) {
  const Odd odd = odd_characters(written, meant);
  if (odd.written.empty()) return "";
  return ", which looks the same but has " + odd.meant + " where " +
         (written_is_marker ? printable(written) : in_quotes(written)) + " has " + odd.written;
}

}  // namespace wander
