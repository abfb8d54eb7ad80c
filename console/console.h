// The console: writing the game's text, blanking the screen, placing the cursor, and reading the
// player's keys. Each call works on the stream it is given and keeps no state between calls.
//
// A stream that fails stops the run at once: every write below throws StreamFailed when `out`
// can no longer be written (a failed write or flush), and so do wait_key and check_input when
// standard input could not be read. Only a true end of input is an end.
#ifndef WANDER_CONSOLE_CONSOLE_H_
#define WANDER_CONSOLE_CONSOLE_H_

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "text/text_reader.h"

namespace wander {

/// Why a run cannot go on: a standard stream failed. `what()` is one line without a line end,
/// such as "cannot write to standard output: No space left on device".
class StreamFailed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Readies the standard streams before any file is opened, so that no file can take the place
/// of a closed one: a closed standard input is opened on the null device (it reads as ended), a
/// closed standard error likewise (messages go nowhere). Throws StreamFailed when standard
/// output is closed, since nothing written could be seen; then nothing has been opened. Leaves
/// SIGPIPE ignored where there is one: a write to a pipe nobody reads fails like any other.
void open_standard_streams();

/// Writes `text` byte for byte to `out`, without flushing.
void write_text(std::FILE* out, std::string_view text);

/// Sends what was written to `out` on its way, so that it shows.
void flush(std::FILE* out);

/// Writes one line end (LF) to `out` and flushes it.
void line_end(std::FILE* out);

/// Writes `text` to `out` and flushes it, so that it is visible before input is awaited.
void prompt(std::FILE* out, std::string_view text);

/// Blanks the whole screen that `out` shows, scrollback included, and puts the cursor in the
/// top-left cell; colours are left as they are. Does nothing when `out` is not a console.
void clear_screen(std::FILE* out);

/// Puts the cursor of the screen that `out` shows at column `x`, row `y`, both counted from 1.
/// Does nothing when `out` is not a console.
void move_cursor(std::FILE* out, int x, int y);

/// Waits for one key from `keyboard` (TextReader::take_key: the byte after a word's look-ahead),
/// echoes it and a line end to `out`, and returns it. At the end of input it returns EOF and
/// echoes the line end alone; when reading failed it throws StreamFailed instead.
int wait_key(TextReader& keyboard, std::FILE* out);

/// True when `out` is a terminal that shows colours written as ANSI escape sequences (on
/// Windows, a console where they could be turned on).
bool shows_colours(std::FILE* out);

/// Standard input as a world file, a source that can be reread: standard input itself when it is
/// a regular file; anything else (a pipe, a terminal) is read to its end once into a temporary
/// file, and `copied` is set. Null when that fails.
std::unique_ptr<ByteSource> open_standard_input_as_file(bool& copied);

/// Throws StreamFailed when the bytes of `keyboard` ran out because reading standard input
/// failed, not because it ended (TextReader::source_error).
void check_input(const TextReader& keyboard);

/// The player's keyboard: the bytes of standard input, handed out a line at a time so that a key
/// wait at a terminal returns as soon as the player presses Enter. In WebAssembly, the keys the
/// game's host hands over (the page's terminal sends a line at each Enter), awaited without
/// blocking it. A read error is kept (ByteSource::error) and ends the bytes.
std::unique_ptr<ByteSource> open_standard_input();

}  // namespace wander

#endif  // WANDER_CONSOLE_CONSOLE_H_
