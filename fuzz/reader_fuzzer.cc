// The world reader and the lookups on any bytes, with any identifiers and names. Besides running
// clean under the sanitizers, the fast marker scan, whole or in pieces, must agree with reading
// the lines one by one, and so must lines read keeping at most a few bytes.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_input.h"
#include "tests/support/line_by_line.h"
#include "world/room.h"

namespace {

using wander::TextReader;

TextReader reader_of(const std::string& bytes, std::size_t capacity, std::size_t most) {
  return TextReader(wander::make_string_source(bytes, most), capacity);
}

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "disagreement: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [names, world_bytes] = wander::fuzzing::split(data, size);
  const std::size_t capacity = 4 + wander::fuzzing::small_number(data, size, 40);
  const std::size_t most = 1 + wander::fuzzing::small_number(data, size, 17);

  TextReader fast = reader_of(world_bytes, capacity, most);
  TextReader plain = reader_of(world_bytes, capacity + 3, most + 1);
  TextReader names_reader = reader_of(names, capacity, most);
  wander::WorldFile world = reader_of(world_bytes, capacity, most);
  wander::Room room;
  std::string name;
  while (names_reader.read_line(name)) {
    // As a marker line, as a room and as an object of the current room.
    fast.rewind();
    plain.rewind();
    const bool found = fast.skip_to_line(name);
    check(found == wander::testing::find_line_by_line(plain, name), "found");
    check(fast.at_end() == plain.at_end(), "at the end");
    check(fast.offset() == plain.offset() || (!found && fast.at_end()), "where it stopped");
    const std::uint64_t stopped_at = fast.offset();
    std::string after_fast = "x";
    std::string after_plain = "x";
    check(fast.read_text(after_fast) == plain.read_text(after_plain), "text read");
    check(after_fast == after_plain, "text");

    fast.rewind();
    const std::size_t cut = most % (name.size() + 1);
    const std::string_view pieces[] = {std::string_view(name).substr(0, cut), "",
                                       std::string_view(name).substr(cut)};
    check(fast.skip_to_joined_line(pieces) == found, "found in pieces");
    check(fast.offset() == stopped_at || (!found && fast.at_end()), "where pieces stopped");

    wander::load_room(world, room, name);
    wander::load_object_text(world, room, name);
    wander::object_in_room(room, name);
  }
  fast.rewind();
  plain.rewind();
  std::string kept;
  bool longer = false;
  while (fast.read_line(kept, most, longer)) {
    check(plain.read_line(name), "a line at most");
    check(longer == (name.size() > most) && kept == (longer ? "" : name), "the line at most");
  }
  check(!plain.read_line(name), "no more lines");

  // The report of a block's reads tells the words the room got, and places them where they are.
  wander::RoomBlockReport report;
  world.rewind();
  world.count_lines();
  wander::read_room_block(world, room);
  world.seek({world.offset() / 2, 1, 0});
  wander::read_room_exits(world, room, &report);
  for (int slot = 0; slot < report.slots_read; ++slot) {
    const wander::TextPlace& place = report.places[slot];
    check(place.offset < world_bytes.size() && place.line_start <= place.offset, "a slot's place");
    if (slot != wander::kCountSlot) {
      const std::string_view word = report.word(slot);
      check(world_bytes.compare(place.offset, word.size(), word) == 0,
            "a slot's word stands at its place");
    }
  }
  return 0;
}
