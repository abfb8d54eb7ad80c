#include "console/line_editor.h"

#include <algorithm>
#include <string_view>

#include "text/utf8.h"

namespace wander {
namespace {

constexpr char kEscape = '\x1b';
constexpr char control(char letter) { return static_cast<char>(letter & 0x1f); }

std::string csi(int count, char final) {
  return count > 0 ? "\x1b[" + std::to_string(count) + final : std::string();
}

// The bytes a UTF-8 sequence starting with `lead` has; 1 for a byte that starts none.
std::size_t sequence_length(unsigned char lead) {
  return static_cast<std::size_t>(std::max(utf8_lead(lead).following, 0) + 1);
}

// True once `sequence`, which starts with an escape, holds a whole key: a CSI up to its final
// byte, SS3 and one byte, or an escape and any other byte (Alt with a key).
bool escape_complete(const std::string& sequence) {
  if (sequence.size() < 2) return false;
  if (sequence[1] == '[')
    return sequence.size() > 2 && sequence.back() >= '@' && sequence.back() <= '~';
  if (sequence[1] == 'O') return sequence.size() == 3;
  return true;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

void LineEditor::start(int column) {
  line_.clear();
  cursor_ = 0;
  pending_.clear();
  start_column_ = column;
  cursor_row_ = 0;
  shown_ = history_.size();
  draft_.clear();
}

LineEditor::Typed LineEditor::type(char byte, int columns, std::string& draw) {
  const unsigned char u = static_cast<unsigned char>(byte);
  if (!pending_.empty()) {
    const bool escape = pending_[0] == kEscape;
    // A byte that cannot go on a UTF-8 sequence ends it: the bytes so far stand alone.
    if (!escape && (u & 0xc0) != 0x80) {
      insert(pending_);
      pending_.clear();
      return type(byte, columns, draw);
    }
    pending_ += byte;
    if (escape ? !escape_complete(pending_)
               : pending_.size() < sequence_length(static_cast<unsigned char>(pending_[0]))) {
      return Typed::kEditing;
    }
    const std::string sequence = std::move(pending_);
    pending_.clear();
    if (escape) {
      key(sequence);
    } else {
      insert(sequence);
    }
  } else if (byte == '\r' || byte == '\n') {
    cursor_ = line_.size();
    if (!redraw(columns, draw)) draw += "\r\n";
    if (!line_.empty() && (history_.empty() || history_.back() != line_)) history_.push_back(line_);
    return Typed::kEntered;
  } else if (byte == control('D') && line_.empty()) {
    return Typed::kEnded;
  } else if (byte == kEscape || (u >= 0x80 && sequence_length(u) > 1)) {
    pending_ = byte;
    return Typed::kEditing;
  } else if (u >= 0x20 && byte != '\x7f') {
    insert(std::string(1, byte));
  } else {
    key(std::string(1, byte));
  }
  redraw(columns, draw);
  return Typed::kEditing;
}

void LineEditor::key(const std::string& sequence) {
  // Keys by their escape sequences too: xterm's and the VT220's, normal and application mode.
  const std::string_view k = sequence;
  const auto is = [&](std::initializer_list<std::string_view> spellings) {
    return std::find(spellings.begin(), spellings.end(), k) != spellings.end();
  };
  if (is({"\x02", "\x1b[D", "\x1bOD"})) {
    cursor_ = previous_stop(cursor_);
  } else if (is({"\x06", "\x1b[C", "\x1bOC"})) {
    cursor_ = next_stop(cursor_);
  } else if (is({"\x01", "\x1b[H", "\x1bOH", "\x1b[1~", "\x1b[7~"})) {
    cursor_ = 0;
  } else if (is({"\x05", "\x1b[F", "\x1bOF", "\x1b[4~", "\x1b[8~"})) {
    cursor_ = line_.size();
  } else if (is({"\x7f", "\x08"})) {
    erase(previous_stop(cursor_), cursor_);
  } else if (is({"\x04", "\x1b[3~"})) {
    erase(cursor_, next_stop(cursor_));
  } else if (k == "\x0b") {
    erase(cursor_, line_.size());
  } else if (k == "\x15") {
    erase(0, cursor_);
  } else if (k == "\x17") {
    std::size_t from = cursor_;
    while (from > 0 && is_blank(line_[from - 1])) --from;
    while (from > 0 && !is_blank(line_[from - 1])) --from;
    erase(from, cursor_);
  } else if (is({"\x10", "\x1b[A", "\x1bOA"}) && shown_ > 0) {
    if (shown_ == history_.size()) draft_ = line_;
    show(history_[--shown_]);
  } else if (is({"\x0e", "\x1b[B", "\x1bOB"}) && shown_ < history_.size()) {
    ++shown_;
    show(shown_ == history_.size() ? draft_ : history_[shown_]);
  }
}

void LineEditor::insert(const std::string& bytes) {
  line_.insert(cursor_, bytes);
  cursor_ += bytes.size();
}

void LineEditor::erase(std::size_t from, std::size_t to) {
  line_.erase(from, to - from);
  cursor_ = from;
}

void LineEditor::show(const std::string& line) {
  line_ = line;
  cursor_ = line_.size();
}

// A combining mark goes with the character before it: the cursor never stops between them.
std::size_t LineEditor::next_stop(std::size_t offset) const {
  if (offset >= line_.size()) return line_.size();
  offset += character_length(std::string_view(line_).substr(offset));
  while (offset < line_.size() && character_width(std::string_view(line_).substr(offset)) == 0) {
    offset += character_length(std::string_view(line_).substr(offset));
  }
  return offset;
}

std::size_t LineEditor::previous_stop(std::size_t offset) const {
  std::size_t stop = 0;
  for (std::size_t at = 0; at < offset; at = next_stop(at)) stop = at;
  return stop;
}

LineEditor::Cell LineEditor::after(std::size_t offset, int columns) const {
  Cell cell{0, std::min(start_column_, columns - 1)};
  for (std::size_t at = 0; at < offset;
       at += character_length(std::string_view(line_).substr(at))) {
    const int width = character_width(std::string_view(line_).substr(at));
    // A character that does not fit the rest of the row is drawn at the next row's start.
    if (cell.column + width > columns) cell = {cell.row + 1, 0};
    cell.column += width;
  }
  return cell;
}

LineEditor::Cell LineEditor::at(std::size_t offset, int columns) const {
  const Cell cell = after(offset, columns);
  const int width =
      offset < line_.size() ? character_width(std::string_view(line_).substr(offset)) : 1;
  return cell.column + std::max(width, 1) > columns ? Cell{cell.row + 1, 0} : cell;
}

bool LineEditor::redraw(int columns, std::string& draw) {
  // Moves are relative to where the cursor stands: they hold when the rows have scrolled.
  draw += csi(cursor_row_, 'A') + "\r" + csi(std::min(start_column_, columns - 1), 'C') + "\x1b[J";
  draw += line_;
  Cell end = after(line_.size(), columns);
  const bool filled = !line_.empty() && end.column >= columns;
  if (filled) {
    draw += "\r\n";
    end = {end.row + 1, 0};
  }
  const Cell cursor = cursor_ < line_.size() ? at(cursor_, columns) : end;
  draw += csi(end.row - cursor.row, 'A') + "\r" + csi(cursor.column, 'C');
  cursor_row_ = cursor.row;
  return filled;
}

void LineEditor::draw_again(int columns, std::string& draw) {
  start_column_ = 0;
  cursor_row_ = 0;
  redraw(columns, draw);
}

}  // namespace wander
