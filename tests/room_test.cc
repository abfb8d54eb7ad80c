#include "world/room.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wander {
namespace {

WorldFile world_of(std::string text) { return WorldFile(make_string_source(std::move(text))); }

const char kTwoRooms[] =
    "Start: Hall\n"
    "<Hall>\nA hall.\n*\nNorth: Attic East: Cellar South: None West: None\nObjects: 2 lamp rug\n"
    "<Hall|lamp>\nA lamp.\n*\n"
    "<Attic>\nAn attic.*\nNorth: Hall\n";

TEST(RoomTest, LoadsEveryFieldOfABlock) {
  WorldFile world = world_of(kTwoRooms);
  Room room;
  room.object_text = "kept";
  ASSERT_TRUE(load_room(world, room, "Hall"));
  EXPECT_EQ(room.id, "Hall");
  EXPECT_EQ(room.description, "A hall.\n");
  EXPECT_EQ(room.north, "Attic");
  EXPECT_EQ(room.east, "Cellar");
  EXPECT_EQ(room.south, "None");
  EXPECT_EQ(room.west, "None");
  EXPECT_EQ(room.objects, (std::array<std::string, 3>{"lamp", "rug", ""}));
  EXPECT_EQ(room.object_text, "kept");
  EXPECT_TRUE(object_in_room(room, "rug"));
  EXPECT_TRUE(object_in_room(room, ""));  // an empty name matches the empty slot
  EXPECT_FALSE(object_in_room(room, "Lamp"));
}

TEST(RoomTest, MissingBlockLeavesTheRecordAsItWas) {
  WorldFile world = world_of(kTwoRooms);
  Room room;
  ASSERT_TRUE(load_room(world, room, "Hall"));
  const Room before = room;
  EXPECT_FALSE(load_room(world, room, "Cellar"));
  EXPECT_EQ(room.id, before.id);
  EXPECT_EQ(room.description, before.description);
  EXPECT_EQ(room.north, before.north);
  EXPECT_EQ(room.objects, before.objects);
  // The failed scan ran into the end; the next lookup starts afresh.
  EXPECT_TRUE(load_room(world, room, "Attic"));
}

TEST(RoomTest, BlockCutShortKeepsTheFieldsAfterTheEnd) {
  WorldFile world = world_of(kTwoRooms);
  Room room;
  ASSERT_TRUE(load_room(world, room, "Hall"));
  ASSERT_TRUE(load_room(world, room, "Attic"));
  EXPECT_EQ(room.id, "Attic");
  EXPECT_EQ(room.description, "An attic.");
  EXPECT_EQ(room.north, "Hall");
  EXPECT_EQ(room.east, "Cellar");  // from the hall: the read ran out before it
  EXPECT_EQ(room.objects, (std::array<std::string, 3>{"", "", ""}));
}

TEST(RoomTest, MarkerOnTheLastLine) {
  Room room;
  room.description = "before";
  WorldFile with_line_end = world_of("<End>\n");
  ASSERT_TRUE(load_room(with_line_end, room, "End"));
  EXPECT_EQ(room.description, "");  // the text read could start, and found nothing
  room.description = "before";
  WorldFile without_line_end = world_of("<End>");
  ASSERT_TRUE(load_room(without_line_end, room, "End"));
  EXPECT_EQ(room.description, "before");  // the marker read itself ran into the end
}

TEST(RoomTest, CountsDecideHowManyNamesAreRead) {
  const std::vector<std::pair<std::string, std::array<std::string, 3>>> cases = {
      {"0 a b", {"", "", ""}},        {"1 a b", {"a", "", ""}},        {"2 a b c", {"a", "b", ""}},
      {"3 a b c d", {"a", "b", "c"}}, {"7 a b c d", {"a", "b", "c"}},  {"-1 a b", {"", "", ""}},
      {"two a b", {"", "", ""}},      {"99999999999 a", {"", "", ""}}, {"+2 a b", {"a", "b", ""}},
      {"2 a", {"a", "", ""}},         {"2a b", {"a", "b", ""}},
  };
  for (const auto& [count, names] : cases) {
    SCOPED_TRACE(count);
    WorldFile world = world_of("<R>\nr*\nN: None E: None S: None W: None\nObjects: " + count);
    Room room;
    room.objects = {"x", "y", "z"};
    ASSERT_TRUE(load_room(world, room, "R"));
    EXPECT_EQ(room.objects, names);
  }
}

TEST(RoomTest, FirstMatchingLineWins) {
  // The hall's description holds a line equal to the cellar's marker, before the real block.
  WorldFile world = world_of(
      "<Hall>\nA hall.\n<Cellar>\nstill the hall*\nN: a E: b S: c W: d Objects: 0\n"
      "<Cellar>\nThe real cellar.*\n"
      "<Cellar>\nA second cellar.*\n");
  Room room;
  ASSERT_TRUE(load_room(world, room, "Cellar"));
  EXPECT_EQ(room.description, "still the hall");
  EXPECT_EQ(room.north, "a");
}

TEST(RoomTest, ObjectText) {
  WorldFile world = world_of(std::string(kTwoRooms) + "<Attic|lamp>");
  Room room;
  ASSERT_TRUE(load_room(world, room, "Hall"));
  load_object_text(world, room, "lamp");
  EXPECT_EQ(room.object_text, "A lamp.\n");
  load_object_text(world, room, "rug");  // listed, but no block
  EXPECT_EQ(room.object_text, "");
  room.id = "Attic";
  room.object_text = "A lamp.\n";
  load_object_text(world, room, "lamp");  // a block whose marker ends the file
  EXPECT_EQ(room.object_text, "");
}

}  // namespace
}  // namespace wander
