// The console on a POSIX terminal: ANSI escape sequences, written only when the output really is
// a terminal, so that piped output carries the game's text and nothing else.
#include <sys/stat.h>
#include <unistd.h>

#include "console/console.h"
#include "console/console_platform.h"

namespace wander {
namespace {

bool is_terminal(std::FILE* out) { return isatty(fileno(out)) == 1; }

}  // namespace

bool shows_colours(std::FILE* out) { return is_terminal(out); }

bool is_regular_file(std::FILE* in) {
  struct stat status;
  return fstat(fileno(in), &status) == 0 && S_ISREG(status.st_mode);
}

// POSIX reads every stream as bytes already.
void take_piped_bytes_as_they_are(std::FILE*) {}

void clear_screen(std::FILE* out) {
  if (!is_terminal(out)) return;
  // "\x1b[2J" blanks the visible screen, "\x1b[3J" drops the scrollback above it.
  write_text(out, "\x1b[2J\x1b[3J");
  move_cursor(out, 1, 1);
}

void move_cursor(std::FILE* out, int x, int y) {
  if (!is_terminal(out)) return;
  // "\x1b[row;columnH" puts the cursor in that cell, both counted from 1.
  std::fprintf(out, "\x1b[%d;%dH", y, x);
  std::fflush(out);
}

}  // namespace wander
