// The console on Windows: the console functions on the standard output handle. Their results
// are not tested: when standard output is not a console they fail, and nothing shows.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "console/console.h"
#include "console/console_platform.h"

namespace wander {

void take_piped_bytes_as_they_are(std::FILE* in) {
  // In text mode the runtime would end piped input at a Ctrl+Z byte; the reader drops the CR of
  // a CR LF itself.
  if (!_isatty(_fileno(in))) _setmode(_fileno(in), _O_BINARY);
}

std::unique_ptr<ByteSource> open_standard_input() { return open_runtime_input(); }

void clear_screen(std::FILE* out) {
  // What is still in the runtime's buffer belongs above the blanking, not after it.
  std::fflush(out);
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
  std::fflush(out);
  SetConsoleCursorPosition(GetStdHandle(STD_OUTPUT_HANDLE),
                           COORD{static_cast<SHORT>(x - 1), static_cast<SHORT>(y - 1)});
}

}  // namespace wander
