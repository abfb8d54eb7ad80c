#include "text/word_wrap.h"

#include <algorithm>

#include "text/utf8.h"

namespace wander {
namespace {

constexpr char kEscape = '\x1b';

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool ends_word(char c) { return is_blank(c) || c == '\n' || c == '\r' || c == kEscape; }

// The length of the escape sequence at the start of `text`: a CSI up to its final byte, an OSC up
// to its BEL or string terminator, else ESC and one more byte. A sequence cut short runs to the
// end of `text`.
std::size_t escape_length(std::string_view text) {
  std::size_t at = 1;
  if (at < text.size() && text[at] == '[') {
    for (++at; at < text.size() && !(text[at] >= '@' && text[at] <= '~'); ++at) {
    }
    return std::min(at + 1, text.size());
  }
  if (at < text.size() && text[at] == ']') {
    for (++at; at < text.size(); ++at) {
      if (text[at] == '\x07') return at + 1;
      if (text[at] == kEscape && at + 1 < text.size() && text[at + 1] == '\\') return at + 2;
    }
    return at;
  }
  return std::min<std::size_t>(2, text.size());
}

}  // namespace

std::string WordWrap::wrap(std::string_view text, int columns) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  std::size_t at = 0;
  while (at < text.size()) {
    const char c = text[at];
    if (c == kEscape) {
      const std::size_t length = escape_length(text.substr(at));
      out.append(text.substr(at, length));
      at += length;
    } else if (c == '\n' || c == '\r') {
      out += c;
      column_ = 0;
      ++at;
    } else if (is_blank(c)) {
      std::size_t end = at;
      int width = 0;
      for (; end < text.size() && is_blank(text[end]); ++end) {
        width = text[end] == '\t' ? ((column_ + width) | 7) + 1 - column_ : width + 1;
      }
      if (column_ + width > columns) {
        out += '\n';
        column_ = 0;
      } else {
        out.append(text.substr(at, end - at));
        column_ += width;
      }
      at = end;
    } else {
      std::size_t end = at;
      int width = 0;
      while (end < text.size() && !ends_word(text[end])) {
        width += character_width(text.substr(end));
        end += character_length(text.substr(end));
      }
      if (column_ > 0 && column_ + width > columns) {
        out += '\n';
        column_ = 0;
      }
      out.append(text.substr(at, end - at));
      column_ = column_ + width > columns ? (column_ + width) % columns : column_ + width;
      at = end;
    }
  }
  return out;
}

}  // namespace wander
