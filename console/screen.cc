// Writing through a Screen on a native console (POSIX, Windows): words kept whole at the
// terminal's width. The web page breaks its lines itself, and its game writes through a Screen
// byte for byte (console_web.cc), without the wrap and its width table.
#include "console/console.h"
#include "console/console_platform.h"

namespace wander {

void write_text(Screen& screen, std::string_view text) {
  const int columns = terminal_width(screen.out);
  if (columns <= 0) {
    // Where the cursor stands is unknown from here on; a terminal's next row starts afresh.
    screen.wrap.at_row_start();
    write_text(screen.out, text);
    return;
  }
  write_text(screen.out, screen.wrap.wrap(text, columns));
}

}  // namespace wander
