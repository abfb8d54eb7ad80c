// The console on a POSIX terminal: ANSI escape sequences, written only when the output really is
// a terminal, so that piped output carries the game's text and nothing else.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "console/console.h"
#include "console/console_platform.h"

namespace wander {
namespace {

bool is_terminal(std::FILE* out) { return isatty(fileno(out)) == 1; }

bool is_open(int fd) { return fcntl(fd, F_GETFD) != -1 || errno != EBADF; }

// Puts the null device at `fd`, which is closed. Left closed when the null device cannot be
// opened; nothing better is at hand.
void open_null_device_at(int fd, int flags) {
  const int null = open("/dev/null", flags | O_NOCTTY);
  if (null < 0 || null == fd) return;
  dup2(null, fd);
  close(null);
}

}  // namespace

void open_standard_streams() {
  // Checked first: the null device opened for another stream must not land in its place.
  if (!is_open(STDOUT_FILENO)) {
    throw StreamFailed(std::string("cannot write to standard output: ") + std::strerror(EBADF));
  }
  if (!is_open(STDIN_FILENO)) open_null_device_at(STDIN_FILENO, O_RDONLY);
  if (!is_open(STDERR_FILENO)) open_null_device_at(STDERR_FILENO, O_WRONLY);
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
  write_text(out, "\x1b[" + std::to_string(y) + ";" + std::to_string(x) + "H");
  flush(out);
}

}  // namespace wander
