// wander: plays the world in World.txt in the current folder. Arguments are ignored.
#include <cstdio>
#include <new>

#include "console/console.h"
#include "game/game.h"

namespace {

int play_world() {
  // First of all, so that the world file cannot take the place of a closed standard stream.
  wander::open_standard_streams();
  wander::Screen screen{stdout, {}};
  return wander::run_game(wander::open_file_source(wander::kWorldFileName),
                          wander::open_standard_input(screen), screen);
}

}  // namespace

int main() {
  // The run cannot go on: one line says why, and the status tells it from a game that ended.
  try {
    return play_world();
  } catch (const wander::StreamFailed& failure) {
    std::fprintf(stderr, "wander: %s\n", failure.what());
  } catch (const std::bad_alloc&) {
    std::fputs("wander: out of memory\n", stderr);
  }
  return wander::kRunFailed;
}
