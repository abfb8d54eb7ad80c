#include "tools/walkthroughs/replay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "tests/support/captured.h"

namespace wander {
namespace {

namespace fs = std::filesystem;

constexpr char kHall[] =
    "Start: Hall\n<Hall>\nA hall.\n*\nNorth: None East: None South: None West: None\n"
    "Objects: 1\nlamp\n<Hall|lamp>\nA lamp.\n*\n";

// A folder of its own for each test, removed after it.
class ReplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("wander-replay-test-" +
               std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(folder_);
    std::ofstream(folder_ / "W.txt", std::ios::binary) << kHall;
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Writes `bytes` as the case file walk.case, replays it with --update, and returns what was
  // written in its place (nothing when it was not written); the replay's report is left in
  // `report_`.
  std::optional<std::string> updated(const std::string& bytes, ReplayOutcome outcome) {
    const std::string path = (folder_ / "walk.case").string();
    std::ofstream(path, std::ios::binary) << bytes;
    std::optional<std::string> written;
    const FileWriter writer = [&](const std::string& to, std::string_view new_bytes, std::string&) {
      EXPECT_EQ(to, path);
      written = new_bytes;
      return true;
    };
    report_ = testing::written(
        [&](std::FILE* out) { EXPECT_EQ(replay({path}, out, stderr, writer), outcome); });
    return written;
  }

  fs::path folder_;
  std::string report_;
};

// What differs is re-recorded where it stands; every other byte stays.
TEST_F(ReplayTest, UpdateRewritesWhatDiffersAndKeepsTheRest) {
  const std::string head =
      "# Kept as it is.\n--- world file W.txt\n--- case Passes\n--- input\nlook\n--- stdout\n"
      "A hall.\n\n\n\n> A hall.\n\n\n\n>  (esc)\n";
  const std::optional<std::string> written = updated(
      head +
          "--- case Differs\n--- input\nn\n--- stdout\nA hall.\n\n\n\n> A kitchen. (no-eol)\n"
          "--- status 1\n# ignored after a status line\n"
          "--- case NoStdout\n--- input\nquit\nx\n"
          "--- case ExpectsAnError\n--- stdout\n--- stderr\noops\n--- status 0\n"
          "--- case StatusAfterOutput\n--- stdout\n--- input\nquit\nx\n",
      ReplayOutcome::kAllPlayed);
  EXPECT_EQ(written, head +
                         "--- case Differs\n--- input\nn\n--- stdout\nA hall.\n\n\n\n"
                         "> You can't go that way!\n\n>  (esc)\n"
                         "--- status 0\n# ignored after a status line\n"
                         "--- case NoStdout\n--- input\nquit\nx\n--- status 1\n"
                         "--- case ExpectsAnError\n--- stdout\nA hall.\n\n\n\n>  (esc)\n"
                         "--- stderr\n--- status 0\n"
                         "--- case StatusAfterOutput\n--- stdout\nA hall.\n\n\n\n> Terminated\nx\n"
                         "--- status 1\n--- input\nquit\nx\n");
  EXPECT_EQ(report_, "ok   Passes\nupdated Differs (" + (folder_ / "walk.case").string() +
                         ":24)\nupdated NoStdout (" + (folder_ / "walk.case").string() +
                         ":27)\nupdated ExpectsAnError (" + (folder_ / "walk.case").string() +
                         ":33)\nupdated StatusAfterOutput (" + (folder_ / "walk.case").string() +
                         ":38)\n1 passed, 4 updated, 0 skipped\n");
  // Written back, it plays as it says.
  EXPECT_EQ(updated(*written, ReplayOutcome::kAllPlayed), std::nullopt);
}

// New lines end as the file's do; a line added after a last line without a line end starts a
// line of its own; output that still plays as it says is kept as it was written.
TEST_F(ReplayTest, UpdateWritesTheFilesLineEnds) {
  EXPECT_EQ(updated("--- world file W.txt\r\n--- input\r\nn\r\n--- stdout\r\nold\r\n--- status 0",
                    ReplayOutcome::kAllPlayed),
            "--- world file W.txt\r\n--- input\r\nn\r\n--- stdout\r\n"
            "A hall.\r\n\r\n\r\n\r\n> You can't go that way!\r\n\r\n>  (esc)\r\n--- status 0");
  EXPECT_EQ(updated("--- world file W.txt\n--- input\nquit\nx\n--- stdout\n"
                    "A hall.\\n\\n\\n (esc)\n> Terminated\nx",
                    ReplayOutcome::kAllPlayed),
            "--- world file W.txt\n--- input\nquit\nx\n--- stdout\n"
            "A hall.\\n\\n\\n (esc)\n> Terminated\nx\n--- status 1\n");
}

TEST_F(ReplayTest, AFileThatCannotBeWrittenEndsTheReplayAndSaysWhy) {
  const std::string path = (folder_ / "walk.case").string();
  std::ofstream(path, std::ios::binary)
      << "--- world file W.txt\n--- input\n--- stdout\nA hall.\n--- case Next\n";
  const FileWriter refuse = [](const std::string&, std::string_view, std::string& error) {
    error = "cannot write it: no room";
    return false;
  };
  std::string errors;
  const std::string out = testing::written([&](std::FILE* out_file) {
    errors = testing::written([&](std::FILE* errors_file) {
      EXPECT_EQ(replay({path, path}, out_file, errors_file, refuse), ReplayOutcome::kFileFailed);
    });
  });
  EXPECT_EQ(out, "FAIL walk (" + path +
                     ":5)\nbefore the first command, in room 'Hall':\nstandard output "
                     "differs:\n  A hall.\n+ \n+ \n+ \n+ >  (esc)\nok   Next\n");
  EXPECT_EQ(errors, "wander-world: cannot write it: no room\n");
}

// Where the play departs from what a case expects, for each kind of line the game reads.
TEST(WherePlayDeparts, NamesTheLineTypedAndTheRoom) {
  Case c;
  c.world_setup = WorldSetup::kText;
  c.world = kHall;
  // The key wait takes the "k"; the rest of its line and the line end left by the object's name
  // make two empty commands, read without a new line of keys.
  c.input = "look at\nlamp\nk\nn\r\n";
  std::string why_not;
  const std::optional<Played> played = play_case(c, why_not);
  ASSERT_TRUE(played) << why_not;
  const std::string start = "A hall.\n\n\n\n> ";
  const std::string examined = start + "What do you want to look at? \nA lamp.\n\nk\nA hall.\n\n\n";
  const std::map<std::string, std::string> cases = {
      {start + "What do you want to look at? \nA brass lamp.",
       "at input line 2, 'lamp', after the 1st command, in room 'Hall':\n"},
      {start + "What do you want to look at? \nA lamp.\n\n\n",
       "at input line 3, 'k', after the 1st command, in room 'Hall':\n"},
      {examined + "\n> \n> \n> You cannot",
       "at the 2nd command, 'n' (input line 4), in room 'Hall':\n"},
      {examined + "\n> \n> \n> You can't go that way!\n\n> ",
       "at the end of the input, after the 2nd command, in room 'Hall':\n"},
      {played->out, ""},
  };
  for (const auto& [expected, where] : cases) {
    EXPECT_EQ(where_play_departs(*played, c.input, expected), where) << expected;
  }
  for (const auto& [commands, where] :
       std::map<int, std::string>{{12, "12th"}, {21, "21st"}, {22, "22nd"}, {113, "113th"}}) {
    c.input.clear();
    std::string expected = start;
    for (int n = 1; n <= commands; ++n) {
      c.input += "look\n";
      expected += n < commands ? "A hall.\n\n\n\n> " : "A hallway";
    }
    EXPECT_EQ(where_play_departs(*play_case(c, why_not), c.input, expected),
              "at the " + where + " command, 'look' (input line " + std::to_string(commands) +
                  "), in room 'Hall':\n");
  }
  // A line longer than the keyboard's buffer comes in several reads, and is one command still.
  c.input = std::string(5000, 'x') + "\nn\n";
  EXPECT_EQ(where_play_departs(*play_case(c, why_not), c.input, start + "\n> You cannot"),
            "at the 2nd command, 'n' (input line 2), in room 'Hall':\n");
  c.world_setup = WorldSetup::kNone;
  EXPECT_EQ(where_play_departs(*play_case(c, why_not), c.input, ""), "before the first command:\n");
}

}  // namespace
}  // namespace wander
