// The screen of a terminal that understands ANSI escape sequences: a POSIX terminal, or the
// terminal of the web page. The sequences are written only when the output really is such a
// terminal, so that piped output carries the game's text and nothing else.
#include <string>

#include "console/console.h"
#include "console/console_platform.h"

namespace wander {

bool shows_colours(std::FILE* out) { return is_terminal(out); }

void clear_screen(std::FILE* out) {
  if (!is_terminal(out)) return;
  // "\x1b[2J" blanks the visible screen, "\x1b[3J" drops the scrollback above it.
  write_text(out, "\x1b[2J\x1b[3J");
  move_cursor(out, 1, 1);
}

void move_cursor(std::FILE* out, int x, int y) {
  if (!is_terminal(out)) return;
  // "\x1b[row;columnH" puts the cursor in that cell, both counted from 1.
  write_text(out, "\x1b[" + std::to_string(y) + ";" + std::to_string(x) + "H");
  flush(out);
}

}  // namespace wander
