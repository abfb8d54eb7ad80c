// The console on Windows: the console functions on the standard output handle. Their results
// are not tested: when standard output is not a console they fail, and nothing shows.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>

#include "console/console.h"
#include "console/console_platform.h"

namespace wander {
namespace {

// Whether the runtime's stream `stream` stands on an open handle: a program started with a
// standard handle closed, or without a console, has none behind it.
bool is_open(std::FILE* stream) {
  const int fd = _fileno(stream);
  return fd >= 0 && _get_osfhandle(fd) >= 0;
}

}  // namespace

void open_standard_streams() {
  // Checked first: the null device opened for another stream must not land in its place.
  if (!is_open(stdout)) throw StreamFailed("cannot write to standard output: Bad file descriptor");
  if (!is_open(stdin)) std::freopen("NUL", "rb", stdin);
  if (!is_open(stderr)) std::freopen("NUL", "w", stderr);
}

void take_piped_bytes_as_they_are(std::FILE* in) {
  // In text mode the runtime would end piped input at a Ctrl+Z byte; the reader drops the CR of
  // a CR LF itself.
  if (!_isatty(_fileno(in))) _setmode(_fileno(in), _O_BINARY);
}

// The console edits the line itself, with its own history.
std::unique_ptr<ByteSource> open_standard_input(Screen& screen) {
  return open_runtime_input(screen);
}

// The player at a console reads what the game waits for.
void tell_host_waiting(Waiting) {}

bool echoes_typing(std::FILE* in) { return _isatty(_fileno(in)) != 0; }

int terminal_width(std::FILE* out) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  HANDLE console = GetStdHandle(out == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  if (!_isatty(_fileno(out)) || !GetConsoleScreenBufferInfo(console, &info)) return 0;
  return std::max(info.dwSize.X - 1, 0);
}

bool shows_colours(std::FILE* out) {
  if (!_isatty(_fileno(out))) return false;
  // A console shows escape sequences once asked to (Windows 10 and later).
  HANDLE console = GetStdHandle(out == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  return GetConsoleMode(console, &mode) &&
         SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

void clear_screen(std::FILE* out) {
  // What is still in the runtime's buffer belongs above the blanking, not after it.
  flush(out);
  HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(console, &info)) return;
  // The whole buffer, not only the window: nothing is left to scroll back to. Colours stay.
  const DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
  DWORD written = 0;
  FillConsoleOutputCharacterA(console, ' ', cells, COORD{0, 0}, &written);
  move_cursor(out, 1, 1);
}

void move_cursor(std::FILE* out, int x, int y) {
  flush(out);
  SetConsoleCursorPosition(GetStdHandle(STD_OUTPUT_HANDLE),
                           COORD{static_cast<SHORT>(x - 1), static_cast<SHORT>(y - 1)});
}

}  // namespace wander
