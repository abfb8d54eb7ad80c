// End-to-end transcripts: the built game run in a fresh folder with a World.txt and piped input,
// its standard output compared byte for byte and its exit status checked.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/run_in_folder.h"

namespace {

namespace fs = std::filesystem;
using wander::testing::new_folder;
using wander::testing::Outcome;
using wander::testing::write_file;

// Runs the game in `folder` with `input` on standard input, then removes the folder.
Outcome play_in(const fs::path& folder, const std::string& input,
                const std::string& arguments = "") {
  static const wander::testing::Program game =
      wander::testing::program("WANDER_TEST_GAME", WANDER_BINARY);
  return wander::testing::run_in(folder, game, arguments, input);
}

// Runs the game with `world` as its World.txt (no file when absent).
Outcome play(const std::optional<std::string>& world, const std::string& input,
             const std::string& arguments = "") {
  const fs::path folder = new_folder();
  if (world) write_file(folder / "World.txt", *world);
  return play_in(folder, input, arguments);
}

// What the player sees, piece by piece.
const std::string P = "\n> ";  // every turn's line end and prompt
const std::string Q = "What do you want to look at? ";
const std::string kBlocked = "You can't go that way!\n";
const std::string kInvalid = "That is not a valid object!\n";
const std::string kHall = "A bare hall. A lamp hangs on the wall.\n\n\n";
const std::string kKitchen = "A small kitchen. A kettle sits on the stove.\n\n\n";
const std::string kLamp = "\nAn old brass lamp.\n\n";  // the lamp's text between two line ends

// The hall lists three objects, the last without a block; its west exit names a room with no
// block but with an object block of its own.
const std::string kHouse =
    "World: Hall\n"
    "<Hall>\n"
    "A bare hall. A lamp hangs on the wall.\n"
    "*\n"
    "North: Kitchen\n"
    "East: None\n"
    "South: None\n"
    "West: Cellar\n"
    "Objects: 3\n"
    "lamp rug dust\n"
    "<Kitchen>\n"
    "A small kitchen. A kettle sits on the stove.\n"
    "*\n"
    "North: None East: None South: Hall West: None\n"
    "Objects: 1\n"
    "kettle\n"
    "<Hall|lamp>\n"
    "An old brass lamp.\n"
    "*\n"
    "<Hall|rug>\n"
    "A threadbare rug.*\n"
    "<Kitchen|kettle>\n"
    "A dented kettle.\n"
    "*\n"
    "<Cellar|lamp>\n"
    "The cellar's lamp.\n"
    "*\n";

std::string with_crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

std::string one_room(const std::string& count_and_names) {
  return "Start: R\n<R>\nR.\n*\nNorth: None East: None South: None West: None\nObjects: " +
         count_and_names + "\n<R|c>\nC.\n*\n<R|d>\nD.\n*\n<R|a>\nA.\n*\n";
}
const std::string kR = "R.\n\n\n";

const std::string kNotedHall = "A hall, with a note that reads\n<Kitchen>\non it.\n\n\n";

struct Transcript {
  const char* name;
  std::string world;
  std::string input;
  std::string output;
  int status;
};

const std::vector<Transcript> kTranscripts = {
    {"StartsInTheHeadersRoom", kHouse, "", kHall + P + "\n", 0},
    {"LookAndLinesThatMatchNothing", kHouse, "look\n\nLook\nlook \n look\nlookx\n",
     kHall + P + kHall + repeat(P, 6) + "\n", 0},
    {"EverySpellingMoves", kHouse, "n\ns\nnorth\nsouth\nmove north\nmove south\n",
     kHall + repeat(P + kKitchen + P + kHall, 3) + P + "\n", 0},
    {"BlockedDirections", kHouse,
     "e\neast\nmove east\ns\nsouth\nmove south\nn\nn\nnorth\nmove north\nw\nwest\nmove west\n",
     kHall + repeat(P + kBlocked, 6) + P + kKitchen + repeat(P + kBlocked, 6) + P + "\n", 0},
    {"CapitalsAndOtherWordsDoNothing", kHouse, "N\nE\nS\nW\nmove  north\nMove north\ngo north\n",
     kHall + repeat(P, 8) + "\n", 0},
    {"LastCommandWithoutLineEnd", kHouse, "n", kHall + P + kKitchen + P + "\n", 0},
    {"ExamineShowsTheTextThenTheRoom", kHouse, "exa\nlamp\n\n",
     kHall + P + Q + kLamp + "\n\n" + kHall + P + P + "\n", 0},
    {"EverySpellingExamines", kHouse, "look at\nlamp\n\nview\nlamp\n\nexamine\nlamp\n\n",
     kHall + repeat(P + Q + kLamp + "\n\n" + kHall + P, 3) + P + "\n", 0},
    {"KeyTakesTheFirstByteOfItsLine", kHouse, "exa\nrug\nkey\n",
     kHall + P + Q + "\nA threadbare rug.\n" + "k\n" + kHall + P + P + P + "\n", 0},
    {"ObjectNameOnALaterLine", kHouse, "exa\n\n  lamp\n\n",
     kHall + P + Q + kLamp + "\n\n" + kHall + P + P + "\n", 0},
    {"InvalidObjects", kHouse, "exa\nkettle\nexa\nLamp\n",
     kHall + P + Q + kInvalid + P + P + Q + kInvalid + P + P + "\n", 0},
    {"ObjectsOfTheCurrentRoomOnly", kHouse, "n\nexa\nlamp\nexa\nkettle\n\n",
     kHall + P + kKitchen + P + Q + kInvalid + P + P + Q + "\nA dented kettle.\n\n" + "\n\n" +
         kKitchen + P + P + "\n",
     0},
    {"TwoWordsFirstListed", kHouse, "look at\nlamp rug\n",
     kHall + P + Q + kLamp + "r\n" + kHall + P + P + "\n", 0},
    {"TwoWordsFirstNotListed", kHouse, "exa\nbox lamp\n", kHall + P + Q + kInvalid + P + P + "\n",
     0},
    {"EndOfInputAtTheQuestion", kHouse, "exa\n  \n", kHall + P + Q + "\n", 0},
    {"ObjectNameEndsTheInput", kHouse, "exa\nlamp", kHall + P + Q + kLamp + "\n" + kHall + P + "\n",
     0},
    {"QuitEchoesTheKey", kHouse, "quit\nx\n", kHall + P + "Terminated\n" + "x\n", 1},
    {"QuitWithEnter", kHouse, "terminate\n\nlook\n", kHall + P + "Terminated\n" + "\n\n", 1},
    {"QuitAtTheEndOfInputEchoesOnlyTheLineEnd", kHouse, "exit\n", kHall + P + "Terminated\n\n", 1},
    {"ExitToAMissingBlockStaysPut", kHouse, "w\nexa\nlamp\n\nn\n",
     kHall + P + kHall + P + Q + kLamp + "\n\n" + kHall + P + P + kKitchen + P + "\n", 0},
    {"ListedObjectWithoutBlockShowsNothing", kHouse, "exa\nlamp\n\nexa\ndust\n\n",
     kHall + P + Q + kLamp + "\n\n" + kHall + P + P + Q + "\n\n" + "\n\n" + kHall + P + P + "\n",
     0},
    {"CrLfInWorldAndInput", with_crlf(kHouse), "exa\r\nlamp\r\n\r\nquit\r\nq\r\n",
     kHall + P + Q + kLamp + "\n\n" + kHall + P + P + "Terminated\n" + "q\n", 1},
    {"HeaderLabelIsIgnored", "Begin-here\n\tKitchen\n" + kHouse, "s\n",
     kKitchen + P + kHall + P + "\n", 0},
    {"EmptyWorld", "", "n\nlook\n", "\n\n" + P + "\n\n" + P + "\n\n" + P + "\n", 0},
    {"DuplicateAndShadowedMarkers",
     "Start: Hall\n<Hall>\nA hall, with a note that reads\n<Kitchen>\non it.\n*\n"
     "North: Kitchen East: None South: Hall West: None\nObjects: 0\n"
     "<Kitchen>\nThe real kitchen.\n*\nNorth: None East: None South: Hall West: None\n"
     "<Hall>\nA second hall.\n*\n",
     "n\ns\ne\n", kNotedHall + P + "on it.\n\n\n" + P + kNotedHall + P + kBlocked + P + "\n", 0},
    {"MarkerWithATrailingBlankNeverMatches",
     "Start: Hall\n<Hall>\nHall.\n*\nNorth: Kitchen East: None South: None West: None\n"
     "<Kitchen> \nKitchen.\n*\n",
     "n\n", "Hall.\n\n\n" + P + "Hall.\n\n\n" + P + "\n", 0},
    {"BlockCutShort",
     "Start: Hall\n<Hall>\nHall.\n*\nNorth: Attic East: Tail South: None West: None\n"
     "Objects: 1 lamp\n<Hall|lamp>\nLamp.\n*\n<Attic>\nAttic.\n*\nNorth: Hall\n",
     "n\nw\nexa\nlamp\ne\nn\n",
     "Hall.\n\n\n" + P + "Attic.\n\n\n" + P + kBlocked + P + Q + kInvalid + P + P + "Attic.\n\n\n" +
         P + "Hall.\n\n\n" + P + "\n",
     0},
    {"MarkerIsTheLastLineWithoutLineEnd",
     "Start: Hall\n<Hall>\nHall.\n*\nNorth: Tail East: None South: None West: None\n"
     "Objects: 0\n<Tail>",
     "n\nn\ns\n", "Hall.\n\n\n" + P + "Hall.\n\n\n" + P + "Hall.\n\n\n" + P + kBlocked + P + "\n",
     0},
    {"MarkerIsTheLastLine",
     "Start: Hall\n<Hall>\nHall.\n*\nNorth: Tail East: None South: None West: None\n"
     "Objects: 0\n<Tail>\n",
     "n\ns\n", "Hall.\n\n\n" + P + "\n\n" + P + kBlocked + P + "\n", 0},
    {"CountAboveThreeReadsThree", one_room("5 a b c d"), "exa\nc\n\nexa\nd\n",
     kR + P + Q + "\nC.\n\n" + "\n\n" + kR + P + P + Q + kInvalid + P + P + "\n", 0},
    {"NegativeCountReadsNoNames", one_room("-2 a b"), "exa\na\n",
     kR + P + Q + kInvalid + P + P + "\n", 0},
    {"CountThatIsNotANumberReadsNoNames", one_room("two a b"), "exa\na\n",
     kR + P + Q + kInvalid + P + P + "\n", 0},
    {"CountTooBigReadsNoNames", one_room("4294967297 a b"), "exa\na\n",
     kR + P + Q + kInvalid + P + P + "\n", 0},
};

// Input a user could really meet that no author meant: binary files, NUL bytes, old Mac line
// ends, lines of megabytes, a description without its star.
const std::string kTenMegabytes(10 << 20, 'x');
const std::string kNulWorld = std::string(
    "Start: A\0B\n<A\0B>\nA NUL\0room.\n*\nNorth: None East: None South: None West: None\n"
    "Objects: 1 x\0y\n<A\0B|x\0y>\nIts\0text.*",
    112);
const std::vector<Transcript> kHostileTranscripts = {
    {"BinaryWorld", std::string("\0\x01\x02 \xff\xfe\n\0<\0>\n\x1b[2J\x7f", 17), "look\n",
     "\n\n" + P + "\n\n" + P + "\n", 0},
    {"NulBytesInWorldAndInput", kNulWorld, std::string("exa\nx\0y\n\nlo\0ok\n\0\n", 17),
     std::string("A NUL\0room.\n\n\n", 14) + P + Q + std::string("\nIts\0text.\n", 11) + "\n\n" +
         std::string("A NUL\0room.\n\n\n", 14) + P + P + P + P + "\n",
     0},
    {"OnlyCrLineEndsMakeOneLine",
     "Start: Hall\r<Hall>\rA hall.\r*\rNorth: None East: None South: None West: None\r"
     "Objects: 0\r",
     "look\rlook\nlook\n", "\n\n" + P + P + "\n\n" + P + "\n", 0},
    {"TenMegabyteLineBeforeTheBlocks", "World: Hall\n" + kTenMegabytes + "\n" + kHouse, "n\n",
     kHall + P + kKitchen + P + "\n", 0},
    {"TenMegabyteDescription", "Start: Big\n<Big>\n" + kTenMegabytes + "*\n", "",
     kTenMegabytes + "\n\n" + P + "\n", 0},
    {"TenMegabyteCommandLine", kHouse, kTenMegabytes + "\nlook\n", kHall + P + P + kHall + P + "\n",
     0},
    {"DescriptionWithoutStar", "Start: Hall\n<Hall>\nNo star here.\nNorth: None\n", "n\nlook\n",
     "No star here.\nNorth: None\n\n\n" + P + "No star here.\nNorth: None\n\n\n" + P +
         "No star here.\nNorth: None\n\n\n" + P + "\n",
     0},
};

void expect_transcripts(const std::vector<Transcript>& transcripts) {
  for (const Transcript& t : transcripts) {
    SCOPED_TRACE(t.name);
    const Outcome outcome = play(t.world, t.input);
    EXPECT_EQ(outcome.output, t.output);
    EXPECT_EQ(outcome.status, t.status);
    EXPECT_EQ(outcome.errors, "");
  }
}

TEST(TranscriptTest, PlaysByteForByte) { expect_transcripts(kTranscripts); }

TEST(TranscriptTest, HostileInputPlaysByTheSameRules) { expect_transcripts(kHostileTranscripts); }

// Standard input may end anywhere in a turn: at the prompt, inside a command, at the object
// question, inside the object's name, at the key wait, after quit. The game always ends with a
// line end, status 0, or 1 once a quit line is through.
TEST(TranscriptTest, InputEndingAtEveryByte) {
  const std::string script = "look\nexa\nlamp rug\n\nexa\nkettle\nn\r\nquit\nx\n";
  // "quit" is a whole command once its four letters are in, line end or not.
  const std::size_t quit_read = script.find("quit\n") + 4;
  for (std::size_t cut = 0; cut <= script.size(); ++cut) {
    SCOPED_TRACE("input cut after " + std::to_string(cut) + " bytes");
    const Outcome outcome = play(kHouse, script.substr(0, cut));
    EXPECT_EQ(outcome.status, cut >= quit_read ? 1 : 0);
    EXPECT_EQ(outcome.output.substr(0, kHall.size()), kHall);
    EXPECT_EQ(outcome.output.back(), '\n');
    EXPECT_EQ(outcome.errors, "");
  }
}

TEST(TranscriptTest, ArgumentsAreIgnored) {
  const Outcome outcome = play(kHouse, "look\n", "--help World.txt");
  EXPECT_EQ(outcome.output, kHall + P + kHall + P + "\n");
  EXPECT_EQ(outcome.status, 0);
}

TEST(TranscriptTest, MissingWorldFile) {
  const Outcome missing = play(std::nullopt, "look\n");
  EXPECT_EQ(missing.output, "Unable to find World.txt\n");
  EXPECT_EQ(missing.errors, "");
  EXPECT_EQ(missing.status, 255);  // -1 as a POSIX shell sees it
}

TEST(TranscriptTest, WorldFileThatLinksToItselfCountsAsMissing) {
  const fs::path loop = new_folder();
  fs::create_symlink("World.txt", loop / "World.txt");  // a link to itself
  const Outcome looped = play_in(loop, "look\n");
  EXPECT_EQ(looped.output, "Unable to find World.txt\n");
  EXPECT_EQ(looped.status, 255);
}

TEST(TranscriptTest, WorldFileWithoutReadPermissionCountsAsMissing) {
  const fs::path locked = new_folder();
  write_file(locked / "World.txt", kHouse);
  fs::permissions(locked / "World.txt", fs::perms::none);
  if (std::FILE* probe = std::fopen((locked / "World.txt").c_str(), "rb")) {
    std::fclose(probe);
    fs::remove_all(locked);
    GTEST_SKIP() << "this user reads files whatever their permissions";
  }
  const Outcome unreadable = play_in(locked, "look\n");
  EXPECT_EQ(unreadable.output, "Unable to find World.txt\n");
  EXPECT_EQ(unreadable.status, 255);
}

TEST(TranscriptTest, WorldFileThatIsAFolderCountsAsMissing) {
  const fs::path folder = new_folder();
  fs::create_directory(folder / "World.txt");
  const Outcome outcome = play_in(folder, "look\n");
  EXPECT_EQ(outcome.output, "Unable to find World.txt\n");
  EXPECT_EQ(outcome.status, 255);
}

}  // namespace
