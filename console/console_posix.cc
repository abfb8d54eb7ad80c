// The console on a POSIX system: standard input as it comes, and a terminal that understands
// ANSI escape sequences (console_ansi.cc).
#include <unistd.h>

#include "console/console.h"
#include "console/console_platform.h"

namespace wander {

bool is_terminal(std::FILE* out) { return isatty(fileno(out)) == 1; }

// POSIX reads every stream as bytes already.
void take_piped_bytes_as_they_are(std::FILE*) {}

std::unique_ptr<ByteSource> open_standard_input() { return open_runtime_input(); }

}  // namespace wander
