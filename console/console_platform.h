// What the console's portable part asks of the platform beneath it.
#ifndef WANDER_CONSOLE_CONSOLE_PLATFORM_H_
#define WANDER_CONSOLE_CONSOLE_PLATFORM_H_

#include <cstdio>

namespace wander {

/// Makes `in` hand over its bytes as they are when it is a pipe or a file rather than a console,
/// so that piped input reads the same on every platform. A console is left to the platform, where
/// typing the end of input (Ctrl+Z, Ctrl+D) keeps working.
void take_piped_bytes_as_they_are(std::FILE* in);

/// True when `in` is a regular file, which can be read again from any place.
bool is_regular_file(std::FILE* in);

}  // namespace wander

#endif  // WANDER_CONSOLE_CONSOLE_PLATFORM_H_
