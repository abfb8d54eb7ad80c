// The line editor of a terminal in raw mode: what each key typed does to the line, and what the
// terminal must be sent to show it. It knows nothing of the terminal itself: the platform's
// keyboard (console_posix.cc) reads the keys and writes what it is given.
//
// Keys: Left and Right (Ctrl-B, Ctrl-F) move by a character, Home and End (Ctrl-A, Ctrl-E) to
// the line's ends; Backspace erases the character before the cursor, Delete (and Ctrl-D on a
// line that is not empty) the one under it; Ctrl-K erases to the end, Ctrl-U to the start,
// Ctrl-W the word before the cursor; Up and Down (Ctrl-P, Ctrl-N) go through the lines entered
// before, the line being typed kept while they are shown. Enter enters the line; Ctrl-D on an
// empty line ends the input. Other control keys and escape sequences do nothing.
#ifndef WANDER_CONSOLE_LINE_EDITOR_H_
#define WANDER_CONSOLE_LINE_EDITOR_H_

#include <cstddef>
#include <string>
#include <vector>

namespace wander {

class LineEditor {
 public:
  /// What a key did.
  enum class Typed { kEditing, kEntered, kEnded };

  /// Starts an empty line, the cursor in column `column` (from 0) of the row it stands on.
  void start(int column);

  /// Takes one byte typed at a terminal `columns` wide (a key's escape sequence and a character's
  /// UTF-8 bytes come a byte at a time) and appends to `draw` what shows the line as it now
  /// stands. kEntered: the line is complete (line()) and the cursor has gone to the start of the
  /// row below it; kEnded: Ctrl-D on an empty line, nothing drawn.
  Typed type(char byte, int columns, std::string& draw);

  /// Appends to `draw` the line drawn again from the start of the cursor's row, as after the
  /// terminal was left to the shell and given back.
  void draw_again(int columns, std::string& draw);

  /// The line entered. Every line entered that is not empty, nor the same as the one entered
  /// before it, is kept for Up and Down as long as the editor lives.
  const std::string& line() const { return line_; }

 private:
  struct Cell {
    int row;
    int column;
  };
  void key(const std::string& sequence);
  void insert(const std::string& bytes);
  void erase(std::size_t from, std::size_t to);
  void show(const std::string& line);
  // Where the cursor stands once the line's bytes before `offset` are drawn, and where the
  // character at `offset` is drawn.
  Cell after(std::size_t offset, int columns) const;
  Cell at(std::size_t offset, int columns) const;
  std::size_t next_stop(std::size_t offset) const;
  std::size_t previous_stop(std::size_t offset) const;
  // Draws the whole line and puts the cursor where it stands; true when the line's end filled
  // its row and the cursor went on to the row below.
  bool redraw(int columns, std::string& draw);

  std::string line_;
  std::size_t cursor_ = 0;  // a byte offset in line_
  std::string pending_;     // an escape sequence or a UTF-8 sequence not yet complete
  int start_column_ = 0;
  int cursor_row_ = 0;  // rows the cursor stands below the line's first
  std::vector<std::string> history_;
  std::size_t shown_ = 0;  // the entry of history_ shown, or history_.size() for the new line
  std::string draft_;      // the new line, kept while an entry of history_ is shown
};

}  // namespace wander

#endif  // WANDER_CONSOLE_LINE_EDITOR_H_
