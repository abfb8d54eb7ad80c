// The console: writing the game's text, blanking the screen, placing the cursor, and reading the
// player's keys. Each call works on the stream it is given; the game's output carries one thing
// from call to call (Screen): where a terminal's cursor stands, so that its words are kept whole.
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
#include "text/word_wrap.h"

namespace wander {

/// Why a run cannot go on: a standard stream failed. `what()` is one line without a line end,
/// such as "cannot write to standard output: No space left on device".
class StreamFailed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// The game's output: a stream and, while it shows on a native terminal (not the web page, which
/// breaks its own lines), where the cursor stands. Text written through a Screen is broken
/// between words at the terminal's width, asked before each write; output that is no terminal
/// gets every byte as it is.
struct Screen {
  std::FILE* out;
  WordWrap wrap;  ///< the cursor's column, while `out` is a terminal
};

/// Readies the standard streams before any file is opened, so that no file can take the place
/// of a closed one: a closed standard input is opened on the null device (it reads as ended), a
/// closed standard error likewise (messages go nowhere). Throws StreamFailed when standard
/// output is closed, since nothing written could be seen; then nothing has been opened. Leaves
/// SIGPIPE ignored where there is one: a write to a pipe nobody reads fails like any other.
void open_standard_streams();

/// Writes `text` byte for byte to `out`, without flushing.
void write_text(std::FILE* out, std::string_view text);

/// Writes `text` to the screen, without flushing: on a terminal with a line end before each word
/// that would not fit the rest of its row (WordWrap::wrap), elsewhere byte for byte.
void write_text(Screen& screen, std::string_view text);

/// Sends what was written to `out` on its way, so that it shows.
void flush(std::FILE* out);

/// Writes one line end (LF) to `out` and flushes it; on a Screen, the cursor is then at a row's
/// start.
void line_end(std::FILE* out);
void line_end(Screen& screen);

/// Writes `text` to the screen (as write_text does) and flushes it, so that it is visible before
/// input is awaited.
void prompt(Screen& screen, std::string_view text);

/// Blanks the whole screen that `out` shows, scrollback included, and puts the cursor in the
/// top-left cell; colours are left as they are. Does nothing when `out` is not a console.
void clear_screen(std::FILE* out);
void clear_screen(Screen& screen);

/// Puts the cursor of the screen that `out` shows at column `x`, row `y`, both counted from 1.
/// Does nothing when `out` is not a console.
void move_cursor(std::FILE* out, int x, int y);

/// What the game waits for at its next read of the keyboard.
enum class Waiting : int {
  kCommand = 0,  ///< a command line, after the "> " prompt
  kObject = 1,   ///< an object's name, after the examine question
  kKey = 2,      ///< any key, after an object's text or the quit message (wait_key)
};

/// Tells the game's host what the next read of the keyboard waits for, so that a web page can
/// offer what fits (its command buttons). Never written to the output: a native console, whose
/// player reads the question, is told nothing.
void tell_host_waiting(Waiting waiting);

/// Waits for one key from `keyboard` (TextReader::take_key: the byte after a word's look-ahead),
/// having told the host so (Waiting::kKey), echoes it and a line end to `screen`, and returns it.
/// At the end of input it returns EOF and echoes the line end alone; when reading failed it throws
/// StreamFailed instead.
int wait_key(TextReader& keyboard, Screen& screen);

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
/// wait at a terminal returns as soon as the player presses Enter. On a POSIX system where
/// standard input and output are both terminals, each line is typed into the line editor
/// (line_editor.h), which draws on `screen` from where its cursor stands and keeps the lines
/// entered for Up and Down; the terminal's modes are put back after each line and on every way
/// out. In WebAssembly, the keys the game's host hands over (the page's terminal sends a line at
/// each Enter), awaited without blocking it. A read error is kept (ByteSource::error) and ends
/// the bytes; a signal never fails a read. An Enter echoed on the terminal puts `screen`'s
/// cursor at a row's start, so `screen` must outlive the keyboard.
std::unique_ptr<ByteSource> open_standard_input(Screen& screen);

}  // namespace wander

#endif  // WANDER_CONSOLE_CONSOLE_H_
