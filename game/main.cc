// wander: plays the world in World.txt in the current folder. Arguments are ignored.
#include <cstdio>

#include "console/console.h"
#include "game/game.h"

int main() {
  return wander::run_game(wander::open_file_source(wander::kWorldFileName),
                          wander::open_standard_input(), stdout);
}
