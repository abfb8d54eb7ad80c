// wander: plays the world in World.txt in the current folder. Arguments are ignored.
#include <cstdio>

#include "console/console.h"
#include "game/game.h"

int main() {
  std::unique_ptr<wander::ByteSource> file = wander::open_file_source(wander::kWorldFileName);
  if (!file) {
    wander::write_text(stdout, "Unable to find World.txt");
    wander::line_end(stdout);
    return -1;
  }
  wander::WorldFile world(std::move(file));
  wander::Room room;
  // Typed lines are short, and a longer one is read in pieces: the world's large buffer would
  // only cost the start-up a mapping of its own.
  constexpr std::size_t kKeyboardBuffer = 4096;
  wander::TextReader keyboard(wander::open_standard_input(), kKeyboardBuffer);
  wander::Game game{world, room, keyboard, stdout};
  return wander::play(game);
}
