#include "tools/world_generator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "world/room.h"

namespace wander {
namespace {

// Every room of a generated world loads, every exit leads to a room that loads, and every
// listed object has a text.
TEST(WorldGeneratorTest, WritesAValidWorld) {
  constexpr std::int64_t kRooms = 250;
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  const std::int64_t written = write_world(file, kRooms, StartAt::kLast);
  EXPECT_EQ(std::ftell(file), written);
  std::string bytes(static_cast<std::size_t>(written), '\0');
  std::rewind(file);
  ASSERT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
  std::fclose(file);

  const std::string last = generated_room_id(kRooms - 1);
  EXPECT_EQ(bytes.rfind("\n<") + 1, bytes.find(room_marker(last) + "\n"));
  WorldFile world(make_string_source(bytes));
  Room room;
  world.read_word(room.id);
  world.read_word(room.id);
  EXPECT_EQ(room.id, last);
  for (std::int64_t i = 0; i < kRooms; ++i) {
    ASSERT_TRUE(load_room(world, room, generated_room_id(i))) << i;
    for (const std::string& exit : {room.north, room.east, room.south, room.west}) {
      Room next;
      EXPECT_TRUE(exit == kNoExit || load_room(world, next, exit)) << exit;
    }
    for (const std::string& name : room.objects) {
      if (name.empty()) continue;
      load_object_text(world, room, name);
      EXPECT_NE(room.object_text, "") << room.id << " " << name;
    }
  }
}

TEST(WorldGeneratorTest, SizeIsAboutWhatWasAsked) {
  std::FILE* sink = std::tmpfile();
  ASSERT_NE(sink, nullptr);
  const std::int64_t written = write_world(sink, rooms_for_bytes(1 << 20), StartAt::kFirst);
  std::fclose(sink);
  EXPECT_NEAR(static_cast<double>(written), 1 << 20, 0.05 * (1 << 20));
}

}  // namespace
}  // namespace wander
