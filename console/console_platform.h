// What the console's portable part asks of the platform beneath it, and what it offers the
// platform parts in return.
#ifndef WANDER_CONSOLE_CONSOLE_PLATFORM_H_
#define WANDER_CONSOLE_CONSOLE_PLATFORM_H_

#include <cstdio>
#include <memory>

#include "text/text_reader.h"

namespace wander {

/// Makes `in` hand over its bytes as they are when it is a pipe or a file rather than a console,
/// so that piped input reads the same on every platform. A console is left to the platform, where
/// typing the end of input (Ctrl+Z, Ctrl+D) keeps working.
void take_piped_bytes_as_they_are(std::FILE* in);

/// True when `out` shows on a terminal that understands ANSI escape sequences, so that
/// console_ansi.cc may blank it and place its cursor. Defined by the platforms that use
/// console_ansi.cc.
bool is_terminal(std::FILE* out);

/// The widest line `out` can show with its cursor left on the line's row, asked now: the
/// columns of a POSIX terminal, one less than the width of a Windows console's screen buffer
/// (whose cursor goes on to the next row when a row is full). 0 when `out` is no terminal, or its
/// width is unknown: its text is then not broken. Defined by the native platforms.
int terminal_width(std::FILE* out);

/// True when `in` is a terminal that echoes what the player types into it.
bool echoes_typing(std::FILE* in);

/// Standard input read through the C runtime, bytes as they are (take_piped_bytes_as_they_are),
/// handed out a line at a time: the keyboard of the platforms where the player types into a
/// console. A read error is kept (ByteSource::error) and ends the bytes. When standard input is
/// a terminal, which echoes each line, a line end read puts `screen`'s cursor at a row's start.
std::unique_ptr<ByteSource> open_runtime_input(Screen& screen);

}  // namespace wander

#endif  // WANDER_CONSOLE_CONSOLE_PLATFORM_H_
