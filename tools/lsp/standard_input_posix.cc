#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "tools/lsp/standard_input.h"

namespace wander::lsp {

void use_binary_standard_streams() {}

std::ptrdiff_t read_standard_input(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(STDIN_FILENO, buffer, size);
    if (got >= 0 || errno != EINTR) return got;
  }
}

bool standard_input_waiting() {
  struct stat status;
  if (::fstat(STDIN_FILENO, &status) == 0 && S_ISREG(status.st_mode)) return false;
  pollfd input{STDIN_FILENO, POLLIN, 0};
  // An ended pipe is "readable" too: the read that follows finds its end.
  return ::poll(&input, 1, 0) > 0;
}

}  // namespace wander::lsp
