#include "tools/lsp/document.h"

#include <algorithm>

#include "tools/names/printable.h"

namespace wander::lsp {
namespace {

// The units a character of `length` bytes (0 for a byte that is no UTF-8) counts.
std::uint32_t units(std::size_t length, Encoding encoding) {
  if (encoding == Encoding::kUtf8)
    return static_cast<std::uint32_t>(std::max<std::size_t>(length, 1));
  return length == 4 ? 2 : 1;
}

bool is_line_end(char c) { return c == '\n' || c == '\r'; }

}  // namespace

Document::Document(std::string text, std::int64_t version)
    : text_(std::move(text)), version_(version) {
  index_lines();
}

bool Document::starts_line(std::uint64_t at) const {
  const char before = text_[at - 1];
  return before == '\n' || (before == '\r' && (at == text_.size() || text_[at] != '\n'));
}

void Document::index_lines() {
  line_starts_.assign(1, 0);
  for (std::size_t at = text_.find_first_of("\r\n"); at != std::string::npos;
       at = text_.find_first_of("\r\n", at + 1)) {
    if (starts_line(at + 1)) line_starts_.push_back(at + 1);
  }
}

std::uint64_t Document::offset(const Position& position, Encoding encoding) const {
  if (position.line >= line_starts_.size()) return text_.size();
  std::uint64_t at = line_starts_[position.line];
  const std::string_view text = text_;
  for (std::uint32_t counted = 0; at < text.size() && !is_line_end(text[at]);) {
    const std::size_t length = utf8_length(text.substr(at));
    const std::uint32_t width = units(length, encoding);
    if (counted + width > position.character) break;
    counted += width;
    at += std::max<std::size_t>(length, 1);
  }
  return at;
}

Position Document::position(std::uint64_t offset, Encoding encoding) const {
  offset = std::min<std::uint64_t>(offset, text_.size());
  const auto after = std::upper_bound(line_starts_.begin(), line_starts_.end(), offset);
  const auto line = static_cast<std::uint32_t>(after - line_starts_.begin() - 1);
  return position(offset, encoding, {line, 0}, line_starts_[line]);
}

Position Document::position(std::uint64_t offset, Encoding encoding, const Position& known,
                            std::uint64_t known_offset) const {
  offset = std::min<std::uint64_t>(offset, text_.size());
  const bool same_line =
      known.line < line_starts_.size() && known_offset <= offset &&
      known_offset >= line_starts_[known.line] &&
      (known.line + 1 == line_starts_.size() || offset < line_starts_[known.line + 1]);
  if (!same_line) return position(offset, encoding);
  const std::string_view text = text_;
  std::uint32_t character = known.character;
  for (std::uint64_t at = known_offset; at < offset;) {
    const std::size_t length = utf8_length(text.substr(at));
    character += units(length, encoding);
    at += std::max<std::size_t>(length, 1);
  }
  return {known.line, character};
}

std::uint64_t Document::length(std::uint64_t from, std::uint64_t to, Encoding encoding) const {
  to = std::min<std::uint64_t>(to, text_.size());
  const std::string_view text = text_;
  std::uint64_t counted = 0;
  for (std::uint64_t at = from; at < to;) {
    const std::size_t length = utf8_length(text.substr(at));
    counted += units(length, encoding);
    at += std::max<std::size_t>(length, 1);
  }
  return counted;
}

void Document::replace(std::uint64_t from, std::uint64_t to, std::string_view text,
                       std::int64_t version) {
  from = std::min<std::uint64_t>(from, text_.size());
  to = std::min<std::uint64_t>(to, text_.size());
  if (to < from) std::swap(from, to);
  text_.replace(from, to - from, text);
  version_ = version;
  // Whether a line starts at p depends on the bytes at p - 1 and p alone: only the starts from
  // `from` to the end of the new text can change; those after it move.
  const std::uint64_t end = from + text.size();
  const auto first = std::lower_bound(line_starts_.begin() + 1, line_starts_.end(), from);
  const auto last = std::upper_bound(first, line_starts_.end(), to);
  for (auto later = last; later != line_starts_.end(); ++later) *later = *later - to + end;
  std::vector<std::uint64_t> starts;
  for (std::uint64_t at = std::max<std::uint64_t>(from, 1); at <= end && at <= text_.size(); ++at) {
    if (starts_line(at)) starts.push_back(at);
  }
  line_starts_.insert(line_starts_.erase(first, last), starts.begin(), starts.end());
}

std::string Document::reset(std::string text, std::int64_t version) {
  std::swap(text_, text);
  version_ = version;
  index_lines();
  return text;
}

}  // namespace wander::lsp
