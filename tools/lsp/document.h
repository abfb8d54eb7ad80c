// A world as the editor holds it: its text, saved or not, and the conversion between the byte
// offsets the checks give and the positions of the Language Server Protocol.
#ifndef WANDER_TOOLS_LSP_DOCUMENT_H_
#define WANDER_TOOLS_LSP_DOCUMENT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/line_index.h"

namespace wander::lsp {

/// How a position's character counts the characters before it on its line: in UTF-16 code units,
/// the protocol's default, or in bytes of UTF-8, when the client agrees to it.
enum class Encoding { kUtf16, kUtf8 };

/// A place in a document as the protocol gives it: a line and a character on it, both from 0.
struct Position {
  std::uint32_t line = 0;
  std::uint32_t character = 0;
  bool operator==(const Position&) const = default;
};

/// A document: its bytes and its lines, kept in a line index (text/line_index.h) that follows
/// each change. Lines end as the protocol says: at LF, at CR LF, or at a lone CR; characters are
/// counted as the index counts them.
class Document {
 public:
  Document(std::string text, std::int64_t version);

  const std::string& text() const { return text_; }
  std::int64_t version() const { return version_; }

  /// The byte offset of `position`; a line past the last is the end of the text, a character
  /// past its line's end is the line's end, and a character inside a character of several units
  /// is that character's first byte.
  std::uint64_t offset(const Position& position, Encoding encoding) const;

  /// The position of the byte at `offset` (clamped to the text's size). A stretch of bytes that
  /// is no UTF-8 counts as the U+FFFD an editor shows for it: one UTF-16 unit, or its bytes.
  Position position(std::uint64_t offset, Encoding encoding) const;

  /// The position of the byte at `offset` as above, counted on from `known`, the position of the
  /// byte at `known_offset`, when `offset` stands after it on its line: it costs the bytes between
  /// them, not the line up to `offset`. Any other `offset` costs what position() does.
  Position position(std::uint64_t offset, Encoding encoding, const Position& known,
                    std::uint64_t known_offset) const;

  /// The units of the characters from byte `from` to byte `to` (both clamped to the text's size),
  /// each line end's byte counting one: what a change's `rangeLength` counts.
  std::uint64_t length(std::uint64_t from, std::uint64_t to, Encoding encoding) const;

  /// The number of lines: one more than the line ends.
  std::size_t lines() const { return lines_.lines(); }

  /// Replaces the bytes from `from` to `to` (offsets, clamped and put in order) with `text`, and
  /// takes `version`. Costs the text's bytes after `from` and the lines after it, never a walk of
  /// the whole text.
  void replace(std::uint64_t from, std::uint64_t to, std::string_view text, std::int64_t version);

  /// Replaces the whole text; returns the text it had.
  std::string reset(std::string text, std::int64_t version);

 private:
  std::string text_;
  std::int64_t version_;
  LineIndex lines_;
};

}  // namespace wander::lsp

#endif  // WANDER_TOOLS_LSP_DOCUMENT_H_
