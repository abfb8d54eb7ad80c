// What the console's portable part asks of the platform beneath it, and what it offers the
// platform parts in return.
#ifndef WANDER_CONSOLE_CONSOLE_PLATFORM_H_
#define WANDER_CONSOLE_CONSOLE_PLATFORM_H_

#include <cstdio>
#include <memory>

#include "text/text_reader.h"

namespace wander {

/// True when `out` shows on a terminal that understands ANSI escape sequences, so that
/// console_ansi.cc may blank it and place its cursor. Defined by the platforms that use
/// console_ansi.cc.
bool is_terminal(std::FILE* out);

/// Standard input read through the C runtime, handed out a line at a time: the keyboard of the
/// platforms where the player types into a console. Reads it as the runtime gives it; a platform
/// that translates line ends or stops at a Ctrl+Z in piped input turns that off first.
std::unique_ptr<ByteSource> open_runtime_input();

}  // namespace wander

#endif  // WANDER_CONSOLE_CONSOLE_PLATFORM_H_
