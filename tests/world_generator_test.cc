#include "tools/world_generator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "world/room.h"

namespace wander {
namespace {

struct ShapeCase {
  const char* name;
  WorldShape shape;
};

const ShapeCase kShapes[] = {
    {"Default", {}},
    {"PlainNamesLongDescriptions", {NameStyle::kPlain, 2000, 1}},
    {"WordNamesNoObjects", {NameStyle::kWords, 100, 0}},
};

TEST(WorldGeneratorTest, NamesAreSpelledAsAsked) {
  EXPECT_EQ(generated_room_id(42), "R0000042");
  EXPECT_EQ(generated_room_id(123456789), "R123456789");
  EXPECT_EQ(generated_room_id(42, NameStyle::kPlain), "R42");
  EXPECT_EQ(generated_room_id(0, NameStyle::kWords), "MossyGrotto0");
  EXPECT_EQ(generated_room_id(256 + 17, NameStyle::kWords), "DampCellar1");
}

// Every room of a generated world loads, every exit leads to a room that loads, and every
// listed object has a text; names are unique, and objects and descriptions come in the sizes
// asked.
void check_world(const WorldShape& shape) {
  constexpr std::int64_t kRooms = 600;
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  const std::int64_t written = write_world(file, kRooms, StartAt::kLast, shape);
  EXPECT_EQ(std::ftell(file), written);
  std::string bytes(static_cast<std::size_t>(written), '\0');
  std::rewind(file);
  ASSERT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
  std::fclose(file);

  const std::string last = generated_room_id(kRooms - 1, shape.names);
  EXPECT_EQ(bytes.rfind("\n<") + 1, bytes.find(room_marker(last) + "\n"));
  WorldFile world(make_string_source(bytes));
  Room room;
  world.read_word(room.id);
  world.read_word(room.id);
  EXPECT_EQ(room.id, last);
  std::set<std::string> names;
  std::int64_t objects = 0;
  std::size_t description_bytes = 0;
  for (std::int64_t i = 0; i < kRooms; ++i) {
    const std::string id = generated_room_id(i, shape.names);
    EXPECT_TRUE(names.insert(id).second) << id;
    ASSERT_TRUE(load_room(world, room, id)) << i;
    description_bytes += room.description.size();
    for (const std::string& exit : {room.north, room.east, room.south, room.west}) {
      Room next;
      EXPECT_TRUE(exit == kNoExit || load_room(world, next, exit)) << exit;
    }
    for (const std::string& name : room.objects) {
      if (name.empty()) continue;
      ++objects;
      load_object_text(world, room, name);
      EXPECT_NE(room.object_text, "") << room.id << " " << name;
    }
  }
  // Each room lists from none to the most, so about half the most on average.
  EXPECT_NEAR(static_cast<double>(objects) / kRooms, shape.most_objects / 2.0, 0.25);
  if (shape.description_bytes > 0) {
    EXPECT_NEAR(static_cast<double>(description_bytes) / kRooms, shape.description_bytes,
                0.2 * shape.description_bytes);
  }
}

TEST(WorldGeneratorTest, WritesAValidWorld) {
  for (const ShapeCase& c : kShapes) {
    SCOPED_TRACE(c.name);
    check_world(c.shape);
  }
}

TEST(WorldGeneratorTest, SizeIsAboutWhatWasAsked) {
  for (const ShapeCase& c : kShapes) {
    for (std::int64_t size : {std::int64_t{1} << 20, std::int64_t{16} << 20}) {
      SCOPED_TRACE(std::string(c.name) + " " + std::to_string(size));
      std::FILE* sink = std::tmpfile();
      ASSERT_NE(sink, nullptr);
      const std::int64_t written =
          write_world(sink, rooms_for_bytes(size, c.shape), StartAt::kFirst, c.shape);
      std::fclose(sink);
      EXPECT_NEAR(static_cast<double>(written), static_cast<double>(size), 0.05 * size);
    }
  }
}

}  // namespace
}  // namespace wander
