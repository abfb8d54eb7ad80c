// The console on a POSIX system: standard input as it comes, and a terminal that understands
// ANSI escape sequences (console_ansi.cc).
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include "console/console.h"
#include "console/console_platform.h"

namespace wander {
namespace {

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

bool is_terminal(std::FILE* out) { return isatty(fileno(out)) == 1; }

void open_standard_streams() {
  // Checked first: the null device opened for another stream must not land in its place.
  if (!is_open(STDOUT_FILENO)) {
    throw StreamFailed(std::string("cannot write to standard output: ") + std::strerror(EBADF));
  }
  if (!is_open(STDIN_FILENO)) open_null_device_at(STDIN_FILENO, O_RDONLY);
  if (!is_open(STDERR_FILENO)) open_null_device_at(STDERR_FILENO, O_WRONLY);
  // A reader gone from a pipe (wander | head) is output that cannot be written, said in one line
  // with status 2, not a process killed by SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
}

// POSIX reads every stream as bytes already.
void take_piped_bytes_as_they_are(std::FILE*) {}

std::unique_ptr<ByteSource> open_standard_input() { return open_runtime_input(); }

}  // namespace wander
