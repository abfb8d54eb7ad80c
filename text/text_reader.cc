#include "text/text_reader.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "text/line_filter.h"

namespace wander {
namespace {

// A buffer of a page or more starts on a page; a smaller one on a cache line, so that the many
// small readers of a test or a fuzzer do not each take a page.
constexpr std::size_t kPageSize = 4096;

// Every read from the source lands at a multiple of this in the buffer. Linux copies a file into
// memory four to five times slower when the destination is not so aligned: 100 MB through 64 KiB
// reads took 47 ms into a buffer 16 or 8 bytes past an alignment, 12 ms into one 0, 64, 128 or
// 2048 bytes past a page boundary, whatever the file offset.
constexpr std::size_t kReadAlignment = 64;

// Turns every CR LF pair into a lone LF, in one pass from the left, as a text-mode read would.
void drop_cr_before_lf(std::string& text) {
  std::size_t from = text.find("\r\n");
  if (from == std::string::npos) return;
  std::size_t to = from;
  for (; from < text.size(); ++from) {
    if (text[from] == '\r' && from + 1 < text.size() && text[from + 1] == '\n') continue;
    text[to++] = text[from];
  }
  text.resize(to);
}

}  // namespace

void TextReader::FreeBuffer::operator()(char* buffer) const {
  ::operator delete(buffer, alignment);
}

std::unique_ptr<char[], TextReader::FreeBuffer> TextReader::new_buffer(std::size_t capacity) {
  const std::align_val_t alignment{capacity >= kPageSize ? kPageSize : kReadAlignment};
  // Left uninitialised: every byte is written by a read before it is looked at.
  return std::unique_ptr<char[], FreeBuffer>(
      static_cast<char*>(::operator new(capacity, alignment)), FreeBuffer{alignment});
}

TextReader::TextReader(std::unique_ptr<ByteSource> source, std::size_t capacity)
    : source_(std::move(source)),
      buffer_(new_buffer(std::max<std::size_t>(capacity, 4))),
      capacity_(std::max<std::size_t>(capacity, 4)) {}

bool TextReader::ensure(std::size_t n) {
  while (end_ - pos_ < n) {
    if (source_done_) return false;
    drop_read_bytes();
    const std::size_t got = source_->read(buffer_.get() + end_, capacity_ - end_);
    // The end is final: a terminal that saw end-of-input once is not asked again.
    if (got == 0) {
      source_done_ = true;
      if (read_error_ == 0) read_error_ = source_->error();
    }
    end_ += got;
  }
  return true;
}

void TextReader::drop_read_bytes() {
  count_to_read_position();
  const std::size_t unread = end_ - pos_;
  std::size_t read_at = (unread + kReadAlignment - 1) / kReadAlignment * kReadAlignment;
  // A buffer too small to spare the room reads wherever the unread bytes end.
  if (read_at >= capacity_) read_at = unread;
  const std::size_t to = read_at - unread;
  if (to != pos_) std::memmove(buffer_.get() + to, buffer_.get() + pos_, unread);
  buffer_offset_ += pos_ - kept_;
  kept_ = pos_ = counted_ = to;
  end_ = read_at;
}

void TextReader::count_to_read_position() {
  if (!counting_ || counted_ >= pos_) return;
  const char* const end = buffer_.get() + pos_;
  for (const char* from = buffer_.get() + counted_;;) {
    const char* found = static_cast<const char*>(std::memchr(from, '\n', end - from));
    if (found == nullptr) break;
    ++lines_;
    from = found + 1;
    line_start_ = buffer_offset_ + static_cast<std::uint64_t>(from - (buffer_.get() + kept_));
  }
  counted_ = pos_;
}

std::int64_t TextReader::line() {
  count_to_read_position();
  return lines_ + 1;
}

TextPlace TextReader::place() {
  count_to_read_position();
  return {offset(), lines_ + 1, line_start_};
}

bool TextReader::can_start() {
  if (at_end_ || failed_) {
    failed_ = true;
    return false;
  }
  holding_ = false;
  return true;
}

bool TextReader::skip_space() {
  for (;;) {
    if (!ensure(1)) {
      at_end_ = failed_ = true;
      return false;
    }
    while (pos_ < end_ && is_word_space(buffer_[pos_])) ++pos_;
    if (pos_ < end_) return true;
  }
}

void TextReader::hold_ending_byte() {
  holding_ = true;
  // Of a CR LF only the LF is seen, so it is the LF that stays behind.
  if (buffer_[pos_] == '\r' && ensure(2) && buffer_[pos_ + 1] == '\n') ++pos_;
}

std::uint64_t TextReader::run_length(const TextPlace& from, char delim) {
  // A key taken from behind the look-ahead changed the buffer: the source no longer says what
  // is to be read.
  if (!source_->rereadable() || key_moved_look_ahead_) return 0;
  std::uint64_t length = 0;
  for (bool ended = false; !ended && ensure(1);) {
    const char* begin = buffer_.get() + pos_;
    const char* stop = begin;
    const char* const end = buffer_.get() + end_;
    if (delim == '\0') {
      while (stop < end && !is_word_space(*stop)) ++stop;
    } else {
      stop = static_cast<const char*>(std::memchr(begin, delim, end_ - pos_));
      if (stop == nullptr) stop = end;
    }
    ended = stop < end;
    length += static_cast<std::uint64_t>(stop - begin);
    pos_ += static_cast<std::size_t>(stop - begin);
  }
  seek(from);
  return length;
}

bool TextReader::read_until(char delim, std::string& out, std::size_t most, bool& longer) {
  if (!can_start()) return false;
  out.clear();
  longer = false;
  // One byte more than `most` is kept: it may be the CR of a CR LF, which is no part of a line.
  const std::size_t keep = most < SIZE_MAX ? most + 1 : most;
  bool sized = false;
  bool cut = false;
  bool found = false;
  while (!found && ensure(1)) {
    const char* begin = buffer_.get() + pos_;
    const std::size_t available = end_ - pos_;
    const char* delim_at = static_cast<const char*>(std::memchr(begin, delim, available));
    if (delim_at == nullptr && !sized && out.empty() && keep > available) {
      sized = true;
      if (const std::uint64_t length = run_length(place(), delim)) {
        out.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(length, keep)));
      }
      continue;
    }
    const std::size_t piece = delim_at ? static_cast<std::size_t>(delim_at - begin) : available;
    const std::size_t room = keep - out.size();
    out.append(begin, std::min(piece, room));
    cut = cut || piece > room;
    pos_ += piece;
    if (delim_at) {
      ++pos_;
      found = true;
    }
  }
  if (!found) {
    at_end_ = true;
    if (out.empty()) {
      failed_ = true;
      return false;
    }
  }
  drop_cr_before_lf(out);
  if (found && delim == '\n' && !out.empty() && out.back() == '\r') out.pop_back();
  if (cut || out.size() > most) {
    out.clear();
    longer = true;
  }
  return true;
}

bool TextReader::read_line(std::string& line) {
  bool longer = false;
  return read_until('\n', line, SIZE_MAX, longer);
}

bool TextReader::read_line(std::string& line, std::size_t most, bool& longer) {
  return read_until('\n', line, most, longer);
}

bool TextReader::read_text(std::string& text) {
  bool longer = false;
  return read_until('*', text, SIZE_MAX, longer);
}

bool TextReader::read_line_piece(std::string_view& piece, bool& line_ends) {
  piece = {};
  if (!can_start()) return false;
  if (!ensure(1)) {
    at_end_ = failed_ = true;
    return false;
  }
  for (;;) {
    const char* const begin = buffer_.get() + pos_;
    const std::size_t available = end_ - pos_;
    const char* found = static_cast<const char*>(std::memchr(begin, '\n', available));
    if (found != nullptr) {
      std::size_t length = static_cast<std::size_t>(found - begin);
      pos_ += length + 1;
      if (length > 0 && begin[length - 1] == '\r') --length;
      piece = {begin, length};
      line_ends = true;
      return true;
    }
    if (source_done_) {
      pos_ = end_;
      at_end_ = true;
      piece = {begin, available};
      line_ends = true;
      return true;
    }
    if (available < capacity_) {
      ensure(available + 1);
      continue;
    }
    // A full buffer without a line end: all of it but the last byte, which may be the CR of a
    // CR LF and which guarantees that the next piece is not empty.
    piece = {begin, available - 1};
    pos_ += available - 1;
    line_ends = false;
    return true;
  }
}

bool TextReader::read_word(std::string& word) {
  bool longer = false;
  return read_word(word, SIZE_MAX, longer);
}

bool TextReader::read_word(std::string& word, std::size_t most, bool& longer) {
  if (!can_start() || !skip_space()) return false;
  token_ = place();
  word.clear();
  longer = false;
  bool sized = false;
  for (;;) {
    const std::size_t start = pos_;
    while (pos_ < end_ && !is_word_space(buffer_[pos_])) ++pos_;
    if (pos_ == end_ && !sized && word.empty() && most > pos_ - start) {
      sized = true;
      pos_ = start;
      if (const std::uint64_t length = run_length(token_, '\0')) {
        // Two bytes to spare: a name becomes its marker with '<' and '>' around it in place.
        word.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(length, most)) + 2);
        continue;
      }
      pos_ = end_;
    }
    const std::size_t piece = pos_ - start;
    const std::size_t room = most - word.size();
    word.append(buffer_.get() + start, std::min(piece, room));
    longer = longer || piece > room;
    if (pos_ < end_) break;
    if (!ensure(1)) {
      at_end_ = true;
      break;
    }
  }
  if (longer) word.clear();
  if (!at_end_) hold_ending_byte();
  return true;
}

bool TextReader::read_count(int& count) {
  if (!can_start() || !skip_space()) return false;
  token_ = place();
  const bool negative = buffer_[pos_] == '-';
  if (buffer_[pos_] == '-' || buffer_[pos_] == '+') {
    ++pos_;
    if (!ensure(1)) {
      at_end_ = failed_ = true;
      return false;
    }
  }
  if (buffer_[pos_] < '0' || buffer_[pos_] > '9') {
    failed_ = true;
    return false;
  }
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
  long long value = 0;
  bool too_big = false;
  // Every digit is taken, even past the limit, so that what follows is the number's end.
  while (ensure(1) && buffer_[pos_] >= '0' && buffer_[pos_] <= '9') {
    if (!too_big) value = value * 10 + (buffer_[pos_] - '0');
    too_big = too_big || value > limit;
    ++pos_;
  }
  if (pos_ == end_) at_end_ = true;
  if (too_big) {
    failed_ = true;
    return false;
  }
  count = static_cast<int>(negative ? -value : value);
  if (!at_end_) hold_ending_byte();
  return true;
}

TextReader::LineMatch TextReader::match_line(std::size_t at, std::string_view wanted,
                                             std::size_t& used) const {
  const std::size_t have = end_ - at;
  const std::size_t size = wanted.size();
  const char* const line = buffer_.get() + at;
  if (std::memcmp(line, wanted.data(), std::min(have, size)) != 0) return LineMatch::kNoMatch;
  if (have <= size) {
    if (!source_done_) return LineMatch::kNeedMore;
    // The file's last line, without a line end.
    used = size;
    return have == size ? LineMatch::kMatch : LineMatch::kNoMatch;
  }
  // An LF right after `wanted` ends the line only when `wanted` does not end with a CR: the CR of
  // a CR LF is no part of the line.
  if (line[size] == '\n' && wanted.back() != '\r') {
    used = size + 1;
    return LineMatch::kMatch;
  }
  if (line[size] != '\r') return LineMatch::kNoMatch;
  if (have == size + 1) return source_done_ ? LineMatch::kNoMatch : LineMatch::kNeedMore;
  used = size + 2;
  return line[size + 1] == '\n' ? LineMatch::kMatch : LineMatch::kNoMatch;
}

bool TextReader::skip_to_line(std::string_view wanted) {
  if (!can_start()) return false;
  if (wanted.empty()) {
    std::string line;
    while (read_line(line)) {
      if (line.empty()) return true;
    }
    return false;
  }
  // No line holds an LF: the long way finds none without looking for candidates.
  if (wanted.find('\n') != std::string_view::npos) return skip_to_long_line({&wanted, 1});
  // The filter looks at an LF, the line after it and a CR LF: all of it must fit in the buffer.
  const std::size_t whole = wanted.size() + 3;
  if (capacity_ < whole) return skip_to_long_line({&wanted, 1});
  const FilterWidth width = widest_filter();
  std::size_t used = 0;
  // Where the reader stands, a line starts, with no LF before it to find.
  ensure(whole);
  LineMatch match = pos_ < end_ ? match_line(pos_, wanted, used) : LineMatch::kNoMatch;
  for (;;) {
    if (match == LineMatch::kMatch) {
      pos_ += used;
      at_end_ = used == wanted.size();  // the file's last line, without a line end
      return true;
    }
    // Each candidate is an LF, then where the wanted line may start; the filter passes over the
    // bytes between, so each byte is looked at once and nothing is copied.
    const char* const buffer = buffer_.get();
    const char* at = buffer + pos_;
    for (;;) {
      at = find_line_candidate(width, at, buffer + end_, wanted);
      match = LineMatch::kNeedMore;
      if (at + wanted.size() >= buffer + end_) break;
      match = match_line(static_cast<std::size_t>(at - buffer) + 1, wanted, used);
      if (match != LineMatch::kNoMatch) break;
      ++at;
    }
    pos_ = static_cast<std::size_t>(at - buffer);
    if (match == LineMatch::kMatch) {
      ++pos_;  // past the LF before the line
      continue;
    }
    // What is left is shorter than a candidate, or a candidate the buffer cuts short.
    if (!ensure(end_ - pos_ + 1)) {
      if (pos_ + 1 < end_ && buffer_[pos_] == '\n' &&
          match_line(pos_ + 1, wanted, used) == LineMatch::kMatch) {
        pos_ += 1 + used;
        at_end_ = used == wanted.size();
        return true;
      }
      pos_ = end_;
      at_end_ = failed_ = true;
      return false;
    }
    ensure(whole);
    match = LineMatch::kNoMatch;
  }
}

bool TextReader::skip_to_joined_line(std::span<const std::string_view> pieces) {
  std::size_t size = 0;
  for (const std::string_view piece : pieces) size += piece.size();
  if (size >= capacity_) return can_start() && skip_to_long_line(pieces);
  std::string joined;
  joined.reserve(size);
  for (const std::string_view piece : pieces) joined.append(piece);
  return skip_to_line(joined);
}

bool TextReader::skip_to_long_line(std::span<const std::string_view> pieces) {
  // No line holds an LF, so a wanted line with one is never found.
  bool can_match = true;
  char last = '\0';
  for (const std::string_view piece : pieces) {
    can_match = can_match && piece.find('\n') == std::string_view::npos;
    if (!piece.empty()) last = piece.back();
  }
  // Moves past the bytes that equal the pieces; false, short of the first byte that differs,
  // when they do not all follow.
  const auto pass_pieces = [&] {
    for (std::string_view piece : pieces) {
      while (!piece.empty()) {
        if (!ensure(1)) return false;
        const std::size_t n = std::min(piece.size(), end_ - pos_);
        if (std::memcmp(buffer_.get() + pos_, piece.data(), n) != 0) return false;
        pos_ += n;
        piece.remove_prefix(n);
      }
    }
    return true;
  };
  for (;;) {  // at the start of a line
    if (can_match && pass_pieces()) {
      if (!ensure(1)) {  // the file's last line, without a line end
        at_end_ = true;
        return true;
      }
      // As in skip_to_line: a CR that ends the wanted line is no CR of a CR LF.
      if (buffer_[pos_] == '\n' && last != '\r') {
        ++pos_;
        return true;
      }
      if (buffer_[pos_] == '\r' && ensure(2) && buffer_[pos_ + 1] == '\n') {
        pos_ += 2;
        return true;
      }
    }
    for (;;) {  // on to the next line
      if (!ensure(1)) {
        at_end_ = failed_ = true;
        return false;
      }
      const char* const begin = buffer_.get() + pos_;
      const void* const lf = std::memchr(begin, '\n', end_ - pos_);
      if (lf != nullptr) {
        pos_ += static_cast<std::size_t>(static_cast<const char*>(lf) - begin) + 1;
        break;
      }
      pos_ = end_;
    }
  }
}

int TextReader::take_key() {
  const std::size_t at = holding_ ? 1 : 0;
  if (!ensure(at + 1)) return EOF;
  char key = buffer_[pos_ + at];
  std::size_t used = 1;
  if (key == '\r' && ensure(at + 2) && buffer_[pos_ + at + 1] == '\n') {
    key = '\n';
    used = 2;
  }
  // The look-ahead byte moves up over the bytes the key took, so it still comes next.
  if (holding_) {
    buffer_[pos_ + used] = buffer_[pos_];
    key_moved_look_ahead_ = true;
  }
  pos_ += used;
  return static_cast<unsigned char>(key);
}

void TextReader::seek(const TextPlace& place) {
  if (place.offset < buffer_offset_ || place.offset - buffer_offset_ > end_ - kept_) {
    reread_from(place);
    return;
  }
  pos_ = kept_ + static_cast<std::size_t>(place.offset - buffer_offset_);
  at_end_ = failed_ = holding_ = false;
  lines_ = place.line - 1;
  line_start_ = place.line_start;
  counted_ = pos_;
}

void TextReader::reread_from(const TextPlace& place) {
  if (!source_->seek(place.offset) && read_error_ == 0) {
    read_error_ = source_->error() != 0 ? source_->error() : EIO;
  }
  buffer_offset_ = place.offset;
  kept_ = pos_ = end_ = counted_ = 0;
  source_done_ = at_end_ = failed_ = holding_ = key_moved_look_ahead_ = false;
  lines_ = place.line - 1;
  line_start_ = place.line_start;
}

std::string read_line_at(TextReader& reader, const TextPlace& place, std::size_t most) {
  return read_line_from(reader, {place.line_start, place.line, place.line_start}, most);
}

std::string read_line_from(TextReader& reader, const TextPlace& place, std::size_t most) {
  reader.seek(place);
  std::string line;
  std::string_view piece;
  bool line_ends = false;
  while (line.size() < most && reader.read_line_piece(piece, line_ends)) {
    line.append(piece.substr(0, most - line.size()));
    if (line_ends) break;
  }
  return line;
}

}  // namespace wander
