// Where a byte of a text stands: its line and its column, as the tools that point into a text
// count them (the language server, SARIF). Lines end at LF, at CR LF, or at a lone CR. Lines and
// columns count from 0 here; an output that counts from 1 adds it.
#ifndef WANDER_TEXT_LINE_INDEX_H_
#define WANDER_TEXT_LINE_INDEX_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace wander {

/// What a column counts of the characters before it on its line: bytes; UTF-16 code units (the
/// unit of JavaScript, of editors, of SARIF and of the Language Server Protocol unless agreed
/// otherwise): one a character, two past U+FFFF; or code points: one a character. Characters are
/// taken as decoded_length (text/utf8.h) takes them, as an editor shows them: each stretch of
/// bytes that is no UTF-8 counts as the one U+FFFD that stands for it.
enum class ColumnUnit { kByte, kUtf16, kCodePoint };

/// The character at the start of some bytes: its length and its columns.
struct ColumnStep {
  std::size_t bytes = 0;
  std::uint32_t columns = 0;
};

/// The character at the start of `bytes` and its columns in `unit`; {0, 0} when `bytes` is
/// empty. A character cut short by the end of `bytes` is taken as a stretch that is no UTF-8.
ColumnStep column_step(std::string_view bytes, ColumnUnit unit);

/// The columns in `unit` of the characters of `text` that start at byte `from` (a character's
/// first byte) or after it and before byte `to` (clamped to the text's size): a character that
/// starts before `to` and ends after it counts whole; a line end's bytes count one each. 0 when
/// `to` is not after `from`. Costs the bytes between them.
std::uint64_t columns_between(std::string_view text, std::uint64_t from, std::uint64_t to,
                              ColumnUnit unit);

/// The offset of the character of `text` that stands `columns` columns (in `unit`) after byte
/// `from` (a character's first byte): a column inside a character gives that character's first
/// byte, and a column past the line's end gives its end (the byte of its CR or LF, or the text's
/// end). Costs the bytes walked.
std::uint64_t offset_at_column(std::string_view text, std::uint64_t from, std::uint64_t columns,
                               ColumnUnit unit);

/// A byte's line and the column it starts, both from 0.
struct LinePoint {
  std::uint64_t line = 0;
  std::uint64_t column = 0;
  bool operator==(const LinePoint&) const = default;
};

/// The starts of a text's lines, kept as the text changes: one offset a line. It holds no bytes:
/// each call that needs them is given the text as it is since the index was built or last told of
/// a change.
class LineIndex {
 public:
  explicit LineIndex(std::string_view text);

  /// The number of lines: one more than the line ends.
  std::size_t lines() const { return starts_.size(); }

  /// The offset of the first byte of line `line` (less than lines()).
  std::uint64_t line_start(std::size_t line) const { return starts_[line]; }

  /// The line that the byte at `offset` stands on; a line end's bytes are its line's, and an
  /// offset past the text is on the last line. Costs a binary search of the lines.
  std::size_t line_of(std::uint64_t offset) const;

  /// The line and the column in `unit` of the byte at `offset` (clamped to the text's size).
  /// Costs the bytes of its line before it.
  LinePoint point(std::string_view text, std::uint64_t offset, ColumnUnit unit) const;

  /// The offset of `point`: a line past the last is the text's end, and its column as
  /// offset_at_column finds it from the line's start.
  std::uint64_t offset(std::string_view text, const LinePoint& point, ColumnUnit unit) const;

  /// Takes in that the bytes from `from` to `to` of the text (in order, within it) were replaced
  /// by `inserted` bytes, which made `text`. Costs the inserted bytes and a step for each line
  /// after them, never a walk of the whole text.
  void replaced(std::string_view text, std::uint64_t from, std::uint64_t to,
                std::uint64_t inserted);

 private:
  std::vector<std::uint64_t> starts_;  // offset of each line's first byte
};

}  // namespace wander

#endif  // WANDER_TEXT_LINE_INDEX_H_
