// The whole game in process: any world, any keyboard input, played to the end of the input.
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "game/game.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::FILE* const sink = std::fopen("/dev/null", "w");
  const auto [keys, world_bytes] = wander::fuzzing::split(data, size);
  const std::size_t capacity = 4 + wander::fuzzing::small_number(data, size, 40);
  wander::WorldFile world(wander::make_string_source(world_bytes, 7), capacity);
  wander::TextReader keyboard(wander::make_string_source(keys, 5), capacity);
  wander::Room room;
  wander::Screen screen{sink, {}};
  wander::Game game{world, room, keyboard, screen};
  const int status = wander::play(game);
  if (status != 0 && status != 1) std::abort();
  return 0;
}
