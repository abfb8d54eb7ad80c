// Reading text the way the game reads it: lines, words, texts up to a star, counts, and single
// keys, over any source of bytes (the world file, standard input, a string in a test).
#ifndef WANDER_TEXT_TEXT_READER_H_
#define WANDER_TEXT_TEXT_READER_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>

#include "text/byte_source.h"

namespace wander {

/// Where a byte stands: its offset from the first byte, the line it is on (counted from 1) and the
/// offset of that line's first byte. Lines are known only to a reader that counts them.
struct TextPlace {
  std::uint64_t offset = 0;
  std::int64_t line = 1;
  std::uint64_t line_start = 0;

  /// The byte's column, counted in bytes from 1.
  std::uint64_t column() const { return offset - line_start + 1; }
};

/// True for the bytes a word read skips and stops at: blank, tab, LF, CR, vertical tab, form feed.
inline bool is_word_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

/// Reads lines, words, texts up to a star and counts from a ByteSource, with one state rule
/// shared by every read:
///  - A read that runs into the end of the bytes, even one that took characters, leaves the
///    reader at its end; every read after it fails until the next seek.
///  - A failed read leaves its target unchanged, with one exception: a line or text read that
///    could start (the reader was not at its end) but found nothing empties its target.
///  - A count that is not a number, or does not fit an int, fails; every read after it fails
///    until the next seek.
/// A CR immediately before an LF is dropped in every read, as if the bytes had been translated
/// on the way in; any other CR is kept (and is whitespace to a word read).
///
/// A word or count read stops at the byte that ends it and keeps that byte as a one-byte
/// look-ahead: the next line, word or text read starts with it, while take_key() takes the byte
/// after it. Memory held is the buffer given at construction, which never grows, plus whatever
/// the targets need.
class TextReader {
 public:
  /// Reads of 64 KiB to 1 MiB scanned a 100 MB world equally fast and 32 KiB reads more slowly;
  /// 256 KiB is among the fastest and still fits the processor's second-level cache, where the
  /// scan finds the bytes the kernel has just copied.
  static constexpr std::size_t kDefaultCapacity = 256 * 1024;

  /// Reads from `source` through a buffer of `capacity` bytes (at least 4).
  explicit TextReader(std::unique_ptr<ByteSource> source, std::size_t capacity = kDefaultCapacity);

  /// Reads everything up to the next LF into `line`; the LF is consumed and not kept. A last line
  /// without an LF is a line too. False at the end (see the state rule).
  bool read_line(std::string& line);

  /// As read_line, but keeps at most `most` bytes: a longer line is read through to its end,
  /// leaving `line` empty and `longer` true, so that its length costs no memory. `longer` is
  /// false after any other read that succeeds.
  bool read_line(std::string& line, std::size_t most, bool& longer);

  /// Skips whitespace (blank, tab, LF, CR, vertical tab, form feed), then reads the longest run
  /// of other bytes into `word`. Leaves the ending byte as the look-ahead. False, with `word`
  /// untouched, when only whitespace remains.
  bool read_word(std::string& word);

  /// As read_word, but keeps at most `most` bytes: a longer word is read through to its end,
  /// leaving `word` empty and `longer` true. `longer` is false after any other read that succeeds.
  bool read_word(std::string& word, std::size_t most, bool& longer);

  /// Reads everything up to the next '*' into `text`; the star is consumed and not kept. Without
  /// a star the text runs to the end of the bytes.
  bool read_text(std::string& text);

  /// Skips whitespace, then reads a decimal integer with an optional sign into `count`. Leaves
  /// the ending byte as the look-ahead. False, with `count` untouched, when no digits follow or
  /// the number does not fit an int.
  bool read_count(int& count);

  /// Reads the next line, or the next part of a line longer than the buffer, without copying it:
  /// `piece` views the reader's buffer and stays valid until the next read or seek. `line_ends` is
  /// true for the piece that ends the line, false when more of it follows. The line end is
  /// consumed and not kept, a CR before the LF included, as read_line does. False, with `piece`
  /// empty, at the end (see the state rule); a last line without an LF is a line too.
  bool read_line_piece(std::string_view& piece, bool& line_ends);

  /// Reads lines until one equals `wanted` in full, without copying any of them. True when found,
  /// the reader then standing just past that line's end; false, at the end, when none does.
  /// A `wanted` line that would not fit the buffer is compared piece by piece as the bytes pass:
  /// the buffer never grows, whatever its length.
  bool skip_to_line(std::string_view wanted);

  /// As skip_to_line, for the line that `pieces` make one after another, such as "<", a name and
  /// ">". A long line is never joined in memory: a name as long as the file costs nothing more.
  bool skip_to_joined_line(std::span<const std::string_view> pieces);

  /// Takes one byte, as the key wait does: the byte after the look-ahead when a word or count
  /// read left one (the look-ahead stays for the next read), else the next byte. Returns it as
  /// an unsigned char, or EOF at the end. Does not change the state of the other reads.
  int take_key();

  /// Goes back to the first byte and clears the end and failure state. Nothing read before is
  /// kept: the bytes are read again from the source, as they are now.
  void rewind() { reread_from(TextPlace{}); }

  /// Goes to the byte at `place` and clears the end and failure state; lines are counted on from
  /// there. A place still in the buffer is reached without reading again.
  void seek(const TextPlace& place);

  /// True once a read has run into the end of the bytes (until the next seek).
  bool at_end() const { return at_end_; }

  /// The source's error (ByteSource::error): 0 when the bytes that ran out truly ended, the
  /// system's error number when reading them failed.
  int source_error() const { return source_->error(); }

  /// The system's error number of the first read of the source that failed since the reader was
  /// made (a seek that failed included), or 0 while none has. Unlike source_error(), no seek
  /// clears it: whatever was read after a failure, the failure happened.
  int read_error() const { return read_error_; }

  /// How many bytes come before the read position.
  std::uint64_t offset() const { return buffer_offset_ + (pos_ - kept_); }

  /// Starts counting line ends, so that line() can tell where the reader stands. Counting costs
  /// one more look at every byte; the game does not count.
  void count_lines() { counting_ = true; }

  /// The number of the line the read position is on, counted from 1 (or from the line given to
  /// the last seek). Meaningful only after count_lines().
  std::int64_t line();

  /// Where the read position stands. Its line and line start are meaningful only after
  /// count_lines().
  TextPlace place();

  /// Where the last word or count read began, past the whitespace it skipped; for a count that
  /// was not a number, where its first byte stands. Line and line start as for place().
  const TextPlace& token_place() const { return token_; }

 private:
  /// Makes at least `n` unread bytes available in the buffer, reading more (see drop_read_bytes)
  /// if needed. False when the source ends first.
  bool ensure(std::size_t n);
  /// How a line in the buffer stands against a wanted one.
  enum class LineMatch { kMatch, kNoMatch, kNeedMore };
  /// kMatch when the line at `at` equals `wanted` (`used` is then the line and its end), kNoMatch
  /// when it does not, kNeedMore when the buffer ends before that is known.
  LineMatch match_line(std::size_t at, std::string_view wanted, std::size_t& used) const;
  /// Applies the state rule's gate: false (and failed) when a read may not start.
  bool can_start();
  /// Skips whitespace; false, at the end and failed, when nothing else remains.
  bool skip_space();
  /// For a word (`delim` 0) or a line or text up to `delim` that runs on past the buffer: how
  /// many bytes it holds from `from`, where it began, to its end (or the end of the bytes), found
  /// by reading on without keeping them; the reader is then back at `from`. 0, with the reader
  /// left as it was, when the source cannot be read again. A read that knows the length reserves
  /// its target once: a string that grows holds the bytes twice while it copies them.
  std::uint64_t run_length(const TextPlace& from, char delim);
  /// Reads up to `delim`, which is consumed, keeping at most `most` bytes; see read_line and
  /// read_text.
  bool read_until(char delim, std::string& out, std::size_t most, bool& longer);
  /// skip_to_line for a line too long for the buffer: each line's first bytes are compared with
  /// `pieces` where they stand, one buffer at a time.
  bool skip_to_long_line(std::span<const std::string_view> pieces);
  /// Keeps the byte at the read position as the look-ahead after a word or count.
  void hold_ending_byte();
  /// Drops the bytes before the read position from the buffer, keeping the count of lines, and
  /// moves the unread ones so that they end where the next read should start.
  void drop_read_bytes();
  /// Counts the line ends before the read position, when lines are counted.
  void count_to_read_position();
  /// Empties the buffer and goes to `place` in the source.
  void reread_from(const TextPlace& place);

  struct FreeBuffer {
    std::align_val_t alignment;
    void operator()(char* buffer) const;
  };
  /// An aligned buffer of `capacity` bytes, not initialised.
  static std::unique_ptr<char[], FreeBuffer> new_buffer(std::size_t capacity);

  std::unique_ptr<ByteSource> source_;
  std::unique_ptr<char[], FreeBuffer> buffer_;  // aligned, never zero-filled
  std::size_t capacity_;
  std::size_t kept_ = 0;             // first byte of buffer_ that holds a byte of the source
  std::size_t pos_ = 0;              // first unread byte in buffer_
  std::size_t end_ = 0;              // one past the last buffered byte
  std::uint64_t buffer_offset_ = 0;  // offset of buffer_[kept_] in the source
  bool counting_ = false;
  std::int64_t lines_ = 0;  // line ends before buffer_[counted_]
  std::size_t counted_ = 0;
  std::uint64_t line_start_ = 0;  // offset of the first byte after the last of those line ends
  TextPlace token_;
  bool source_done_ = false;
  bool at_end_ = false;
  bool failed_ = false;
  bool holding_ = false;
  bool key_moved_look_ahead_ = false;  // until the next reread, see take_key
  int read_error_ = 0;
};

/// The first `most` bytes (at most) of the line that `place` stands on, its line end left out,
/// read through `reader` (which counts lines, see TextReader::count_lines); the reader is left
/// anywhere.
std::string read_line_at(TextReader& reader, const TextPlace& place, std::size_t most);

/// As read_line_at, from the byte at `place` on rather than from its line's start.
std::string read_line_from(TextReader& reader, const TextPlace& place, std::size_t most);

}  // namespace wander

#endif  // WANDER_TEXT_TEXT_READER_H_
