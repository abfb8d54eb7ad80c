#include "text/line_index.h"

#include <algorithm>

#include "text/utf8.h"

namespace wander {
namespace {

bool is_line_end(char c) { return c == '\n' || c == '\r'; }

// True when a line starts at byte `at` (1 to the text's size): just after a line end. It depends
// on the bytes at `at` - 1 and `at` alone, which is what lets an edit be taken in locally.
bool starts_line(std::string_view text, std::uint64_t at) {
  const char before = text[at - 1];
  return before == '\n' || (before == '\r' && (at == text.size() || text[at] != '\n'));
}

}  // namespace

ColumnStep column_step(std::string_view bytes, ColumnUnit unit) {
  const std::size_t length = decoded_length(bytes);
  if (length == 0) return {};
  if (unit == ColumnUnit::kByte) return {length, static_cast<std::uint32_t>(length)};
  const bool past_bmp = unit == ColumnUnit::kUtf16 && length == 4 && utf8_length(bytes) == 4;
  return {length, past_bmp ? 2u : 1u};
}

std::uint64_t columns_between(std::string_view text, std::uint64_t from, std::uint64_t to,
                              ColumnUnit unit) {
  to = std::min<std::uint64_t>(to, text.size());
  std::uint64_t columns = 0;
  for (std::uint64_t at = from; at < to;) {
    // ASCII, most of a world, is one column a byte in every unit: no decoding asked.
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++columns;
      ++at;
      continue;
    }
    const ColumnStep step = column_step(text.substr(at), unit);
    columns += step.columns;
    at += step.bytes;
  }
  return columns;
}

std::uint64_t offset_at_column(std::string_view text, std::uint64_t from, std::uint64_t columns,
                               ColumnUnit unit) {
  std::uint64_t at = std::min<std::uint64_t>(from, text.size());
  for (std::uint64_t counted = 0; at < text.size() && !is_line_end(text[at]);) {
    const ColumnStep step = column_step(text.substr(at), unit);
    if (counted + step.columns > columns) break;
    counted += step.columns;
    at += step.bytes;
  }
  return at;
}

LineIndex::LineIndex(std::string_view text) : starts_(1, 0) {
  for (std::size_t at = text.find_first_of("\r\n"); at != std::string_view::npos;
       at = text.find_first_of("\r\n", at + 1)) {
    if (starts_line(text, at + 1)) starts_.push_back(at + 1);
  }
}

std::size_t LineIndex::line_of(std::uint64_t offset) const {
  const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
  return static_cast<std::size_t>(after - starts_.begin() - 1);
}

LinePoint LineIndex::point(std::string_view text, std::uint64_t offset, ColumnUnit unit) const {
  offset = std::min<std::uint64_t>(offset, text.size());
  const std::size_t line = line_of(offset);
  return {line, columns_between(text, starts_[line], offset, unit)};
}

std::uint64_t LineIndex::offset(std::string_view text, const LinePoint& point,
                                ColumnUnit unit) const {
  if (point.line >= starts_.size()) return text.size();
  return offset_at_column(text, starts_[point.line], point.column, unit);
}

void LineIndex::replaced(std::string_view text, std::uint64_t from, std::uint64_t to,
                         std::uint64_t inserted) {
  // Only the starts from `from` to the end of the inserted bytes can change; those after them
  // move.
  const std::uint64_t end = from + inserted;
  const auto first = std::lower_bound(starts_.begin() + 1, starts_.end(), from);
  const auto last = std::upper_bound(first, starts_.end(), to);
  for (auto later = last; later != starts_.end(); ++later) *later = *later - to + end;
  std::vector<std::uint64_t> found;
  for (std::uint64_t at = std::max<std::uint64_t>(from, 1); at <= end && at <= text.size(); ++at) {
    if (starts_line(text, at)) found.push_back(at);
  }
  starts_.insert(starts_.erase(first, last), found.begin(), found.end());
}

}  // namespace wander
