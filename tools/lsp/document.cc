#include "tools/lsp/document.h"

#include <algorithm>

namespace wander::lsp {
namespace {

ColumnUnit unit_of(Encoding encoding) {
  return encoding == Encoding::kUtf8 ? ColumnUnit::kByte : ColumnUnit::kUtf16;
}

}  // namespace

Document::Document(std::string text, std::int64_t version)
    : text_(std::move(text)), version_(version), lines_(text_) {}

std::uint64_t Document::offset(const Position& position, Encoding encoding) const {
  return lines_.offset(text_, {position.line, position.character}, unit_of(encoding));
}

Position Document::position(std::uint64_t offset, Encoding encoding) const {
  const LinePoint point = lines_.point(text_, offset, unit_of(encoding));
  return {static_cast<std::uint32_t>(point.line), static_cast<std::uint32_t>(point.column)};
}

Position Document::position(std::uint64_t offset, Encoding encoding, const Position& known,
                            std::uint64_t known_offset) const {
  offset = std::min<std::uint64_t>(offset, text_.size());
  const bool same_line =
      known.line < lines_.lines() && known_offset <= offset &&
      known_offset >= lines_.line_start(known.line) &&
      (known.line + 1 == lines_.lines() || offset < lines_.line_start(known.line + 1));
  if (!same_line) return position(offset, encoding);
  const std::uint64_t more = columns_between(text_, known_offset, offset, unit_of(encoding));
  return {known.line, known.character + static_cast<std::uint32_t>(more)};
}

std::uint64_t Document::length(std::uint64_t from, std::uint64_t to, Encoding encoding) const {
  return columns_between(text_, from, to, unit_of(encoding));
}

void Document::replace(std::uint64_t from, std::uint64_t to, std::string_view text,
                       std::int64_t version) {
  from = std::min<std::uint64_t>(from, text_.size());
  to = std::min<std::uint64_t>(to, text_.size());
  if (to < from) std::swap(from, to);
  text_.replace(from, to - from, text);
  version_ = version;
  lines_.replaced(text_, from, to, text.size());
}

std::string Document::reset(std::string text, std::int64_t version) {
  std::swap(text_, text);
  version_ = version;
  lines_ = LineIndex(text_);
  return text;
}

}  // namespace wander::lsp
