// wander-world run as its users run it: one small world per kind of problem, the diagnostics
// compared byte for byte with what the author should read, and the command line's edges.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/run_in_folder.h"

namespace {

using wander::testing::new_folder;
using wander::testing::Outcome;
using wander::testing::write_file;

Outcome run_tool(const std::string& arguments, const std::string& world,
                 const std::string& file = "World.txt") {
  const auto folder = new_folder();
  write_file(folder / file, world);
  static const wander::testing::Program tool =
      wander::testing::program("WANDER_TEST_WORLD_TOOL", WANDER_WORLD_BINARY);
  return wander::testing::run_in(folder, tool, arguments);
}

// Line by line: 1 header, 2-6 the hall, 7-11 the kitchen, 12-14 the lamp.
const std::string kClean =
    "Start: Hall\n"
    "<Hall>\n"
    "A hall.\n"
    "*\n"
    "North: Kitchen East: None South: None West: None\n"
    "Objects: 1 lamp\n"
    "<Kitchen>\n"
    "A kitchen.\n"
    "*\n"
    "North: None East: None South: Hall West: None\n"
    "Objects: 0\n"
    "<Hall|lamp>\n"
    "A lamp.\n"
    "*\n";

// kClean with its first `from` replaced by `to`.
std::string clean_but(const std::string& from, const std::string& to) {
  std::string world = kClean;
  world.replace(world.find(from), from.size(), to);
  return world;
}

const std::string kHallBlock = "Start: Hall\n<Hall>\nA hall.\n*\n";
const std::string kNoExits = "North: None East: None South: None West: None\n";

struct Case {
  const char* name;
  std::string world;
  std::string output;
};

const std::vector<Case> kCases = {
    {"CleanWorld", kClean, ""},
    {"CleanWorldWithCrLf",
     [] {
       std::string crlf;
       for (char c : kClean) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
       return crlf;
     }(),
     ""},
    {"EmptyFile", "",
     "World.txt:1: error: the file holds no header: the game starts nowhere and shows an empty "
     "description\n"},
    {"HeaderWithoutStartingRoom", "Start:\n",
     "World.txt:1: error: the header has no starting room: the file ends after 'Start:', so the "
     "game looks for a room named 'Start:'\n"},
    {"HeaderWhoseSecondWordIsAMarker", "Start:\n<Hall>\nA hall.\n*\n" + kNoExits + "Objects: 0\n",
     "World.txt:2: error: the header has no starting room: its second word is the marker <Hall>, "
     "so the game looks for a room named '<Hall>'\n"},
    {"StartingRoomWithoutBlock", clean_but("Start: Hall", "Start: Attic"),
     "World.txt:1: error: the starting room 'Attic' has no block: the game will start with an "
     "empty description\n"},
    {"ExitToARoomWithoutBlock", clean_but("West: None\nObjects: 1", "West: Cellar\nObjects: 1"),
     "World.txt:5: error: room 'Hall': the west exit leads to room 'Cellar', which has no block: "
     "the game will keep the player in 'Hall' and print its description again\n"},
    {"ListedObjectWithoutBlock", clean_but("Objects: 1 lamp", "Objects: 2 lamp rug"),
     "World.txt:6: error: room 'Hall': the object 'rug' has no block <Hall|rug>: the game will "
     "show an empty text\n"},
    {"DescriptionWithoutStar", "Start: Hall\n<Hall>\nA hall.\n" + kNoExits + "Objects: 0\n",
     "World.txt:2: error: room 'Hall': the description has no closing '*': it runs to the end of "
     "the file, and the room keeps the exits of the one before\n"},
    {"BlockEndsBeforeAnExit", kHallBlock + "North: None East: None\n",
     "World.txt:2: error: room 'Hall': the block ends before its south exit: from there on the "
     "room keeps the exits of the one before\n"},
    {"BlockEndsBeforeTheCount", kHallBlock + kNoExits + "Objects:\n",
     "World.txt:2: error: room 'Hall': the block ends before its object count\n"},
    {"BlockEndsBeforeAName", kHallBlock + kNoExits + "Objects: 2 lamp\n",
     "World.txt:2: error: room 'Hall': the block ends after 1 of its 2 object names\n"
     "World.txt:6: error: room 'Hall': the object 'lamp' has no block <Hall|lamp>: the game will "
     "show an empty text\n"},
    {"CountAboveTheNamesGiven", clean_but("Objects: 1 lamp", "Objects: 2 lamp"),
     "World.txt:7: error: room 'Hall': object name 2 reads the marker <Kitchen>: the object count "
     "is more than the names given\n"},
    {"ExitsMissingBeforeTheNextBlock",
     kHallBlock + "North: None East:\n<Kitchen>\nK.*\n" + kNoExits + "Objects: 0\n",
     "World.txt:6: error: room 'Hall': the east exit reads the marker <Kitchen>: the block is "
     "missing words before it\n"
     "World.txt:6: warning: room 'Kitchen' cannot be reached from the starting room 'Hall'\n"},
    {"CountThatIsNotANumber", clean_but("Objects: 1 lamp", "Objects: one lamp"),
     "World.txt:6: error: room 'Hall': the object count is not a number: the game reads no "
     "object names\n"
     "World.txt:12: warning: object 'lamp' of room 'Hall' is never shown: the room does not list "
     "it\n"},
    {"SecondBlockWithTheSameMarker",
     kClean + "<Kitchen>\nAnother kitchen.\n*\nNorth: None East: None South: Hall West: None\n"
              "Objects: 0\n",
     "World.txt:15: warning: a second block for room 'Kitchen': the game uses the first, at line "
     "7, so this one is never used\n"},
    {"MarkerWithBlanksAround", clean_but("<Kitchen>\n", "\t<Kitchen> \n"),
     "World.txt:5: error: room 'Hall': the north exit leads to room 'Kitchen', which has no "
     "block: the game will keep the player in 'Hall' and print its description again\n"
     "World.txt:7: warning: this line looks like the marker of room 'Kitchen' but has blanks "
     "around it: no lookup will ever match it\n"},
    {"DescriptionLineThatIsALaterMarker", clean_but("A hall.\n", "A hall.\n<Kitchen>\n"),
     "World.txt:4: warning: this line in the text of room 'Hall' equals the marker of the block "
     "at line 8: the game's lookup of room 'Kitchen' stops here, so that block is never used\n"},
    {"ExitSpelledLikeNone", clean_but("East: None", "East: NONE"),
     "World.txt:5: warning: room 'Hall': the east exit 'NONE' is not spelled 'None', so it names "
     "a room\n"
     "World.txt:5: error: room 'Hall': the east exit leads to room 'NONE', which has no block: the "
     "game will keep the player in 'Hall' and print its description again\n"},
    {"CountAboveThree",
     kHallBlock + kNoExits + "Objects: 4 a b c d\n<Hall|a>\nA.*\n<Hall|b>\nB.*\n<Hall|c>\nC.*\n" +
         "<Hall|d>\nD.*\n",
     "World.txt:6: warning: room 'Hall': the object count 4 is above three: the game reads the "
     "first three names only\n"
     "World.txt:13: warning: object 'd' of room 'Hall' is never shown: the room does not list "
     "it\n"},
    {"CountBelowZero", kHallBlock + kNoExits + "Objects: -1\n",
     "World.txt:6: warning: room 'Hall': the object count -1 is below zero: the game reads no "
     "object names\n"},
    {"ObjectListedTwice", clean_but("Objects: 1 lamp", "Objects: 2 lamp lamp"),
     "World.txt:6: warning: room 'Hall' lists the object 'lamp' twice\n"},
    {"ObjectBlocksThatNoRoomLists",
     kClean + "<Kitchen|kettle>\nA kettle.\n*\n<Attic|box>\nA box.*\n",
     "World.txt:15: warning: object 'kettle' of room 'Kitchen' is never shown: the room does not "
     "list it\n"
     "World.txt:18: warning: object 'box' of room 'Attic' is never shown: there is no block for "
     "room 'Attic'\n"},
    {"RoomThatCannotBeReached",
     kClean + "<Attic>\nAn attic.\n*\nNorth: None East: None South: Kitchen West: None\n"
              "Objects: 0\n",
     "World.txt:15: warning: room 'Attic' cannot be reached from the starting room 'Hall'\n"},
};

std::string summary_of(const std::string& diagnostics) {
  int errors = 0;
  int warnings = 0;
  for (std::size_t at = 0; (at = diagnostics.find(": error: ", at)) != std::string::npos; ++at) {
    ++errors;
  }
  for (std::size_t at = 0; (at = diagnostics.find(": warning: ", at)) != std::string::npos; ++at) {
    ++warnings;
  }
  return std::to_string(errors) + (errors == 1 ? " error, " : " errors, ") +
         std::to_string(warnings) + (warnings == 1 ? " warning\n" : " warnings\n");
}

TEST(WanderWorldTest, CheckReportsEachKindOfProblem) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const Outcome outcome = run_tool("check", c.world);
    EXPECT_EQ(outcome.output, c.output + summary_of(c.output));
    EXPECT_EQ(outcome.errors, "");
    EXPECT_EQ(outcome.status, c.output.find(": error: ") == std::string::npos ? 0 : 1);
  }
}

TEST(WanderWorldTest, CheckNamesTheFileItWasGiven) {
  const Outcome outcome =
      run_tool("check mine.txt", clean_but("East: None", "East: Cellar"), "mine.txt");
  EXPECT_EQ(outcome.output.substr(0, 14), "mine.txt:5: er");
  EXPECT_EQ(outcome.status, 1);
}

TEST(WanderWorldTest, CommandLineMistakes) {
  const struct {
    std::string arguments;
    int status;
    std::string output_start;
    std::string errors_start;
  } cases[] = {
      {"--help", 0, "usage: wander-world check [FILE]\n       wander-world map [FILE]\n", ""},
      {"check --help", 0, "usage: wander-world check [FILE]\n\nReads", ""},
      {"map -h", 0, "usage: wander-world map [FILE]\n\nWrites", ""},
      {"", 2, "", "wander-world: no command given\n\nusage:"},
      {"draw", 2, "", "wander-world: unknown command 'draw'\n\nusage:"},
      {"check --strict", 2, "",
       "wander-world: unknown option '--strict'\n\nusage: wander-world check"},
      {"map World.txt other.txt", 2, "", "wander-world: more than one file given\n"},
      {"check Missing.txt", 2, "",
       "wander-world: cannot read 'Missing.txt': No such file or directory\n"},
      {"check .", 2, "", "wander-world: cannot read '.'"},
      {"check -- World.txt", 0, "0 errors, 0 warnings\n", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const Outcome outcome = run_tool(c.arguments, kClean);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.output.substr(0, c.output_start.size()), c.output_start);
    EXPECT_EQ(outcome.errors.substr(0, c.errors_start.size()), c.errors_start);
    if (c.status == 2) {
      EXPECT_EQ(outcome.output, "");
    }
  }
}

TEST(WanderWorldTest, MapDrawsRoomsExitsAndWhatIsWrong) {
  const std::string world =
      "Start: Hall\n"
      "<Hall>\nA hall.\n*\nNorth: Kitchen East: Cellar South: None West: Q\"\\\nObjects: 2 lamp "
      "rug\n"
      "<Kitchen>\nA kitchen.\n*\nNorth: None East: None South: Hall West: A\x01"
      "B\nObjects: 0\n"
      "<Attic>\nAn attic.\n*\nNorth: None East: None South: Hall West: None\nObjects: 0\n"
      "<Hall|lamp>\nL*\n<Hall|rug>\nR*\n";
  const Outcome outcome = run_tool("map", world);
  EXPECT_EQ(
      outcome.output,
      "digraph world {\n"
      "  graph [nodesep=0.8, ranksep=0.8];\n"
      "  node [shape=box, style=rounded];\n"
      "  edge [labelfontsize=10, labeldistance=2.2];\n"
      "  \"Hall\" [label=\"Hall (start)\\nlamp, rug\", peripheries=2];\n"
      "  \"Kitchen\" [label=\"Kitchen\"];\n"
      "  subgraph cluster_unreachable {\n"
      "    label=\"not reachable from Hall\"; style=dashed; color=gray50; fontcolor=gray50;\n"
      "    \"Attic\" [label=\"Attic\"];\n"
      "  }\n"
      "  \"Hall\" -> \"Kitchen\" [dir=both, taillabel=\"north\", headlabel=\"south\"];\n"
      "  \"Hall\" -> \"Cellar\" [label=\"east\"];\n"
      "  \"Hall\" -> \"Q\\\"\\\\\" [label=\"west\"];\n"
      "  \"Kitchen\" -> \"A?B\" [label=\"west\"];\n"
      "  \"Attic\" -> \"Hall\" [label=\"south\"];\n"
      "  \"A?B\" [label=\"A?B\", style=dashed, color=red, fontcolor=red, xlabel=\"no block\"];\n"
      "  \"Cellar\" [label=\"Cellar\", style=dashed, color=red, fontcolor=red, xlabel=\"no "
      "block\"];\n"
      "  \"Q\\\"\\\\\" [label=\"Q\\\"\\\\\", style=dashed, color=red, fontcolor=red, "
      "xlabel=\"no block\"];\n"
      "}\n");
  EXPECT_EQ(outcome.status, 0);
}

TEST(WanderWorldTest, MapMarksAStartingRoomWithoutBlock) {
  const Outcome outcome = run_tool("map", "Start: Nowhere\n");
  EXPECT_NE(outcome.output.find("  \"Nowhere\" [label=\"Nowhere (start)\", style=dashed, "
                                "color=red, fontcolor=red, peripheries=2, xlabel=\"no block\"];\n"),
            std::string::npos)
      << outcome.output;
}

}  // namespace
