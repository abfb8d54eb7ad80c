#include "tools/walkthroughs/replay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/captured.h"
#include "tests/support/test_tables.h"

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
  std::optional<std::string> updated(const std::string& bytes) {
    const std::string path = (folder_ / "walk.case").string();
    std::ofstream(path, std::ios::binary) << bytes;
    std::optional<std::string> written;
    const FileWriter writer = [&](const std::string& to, std::string_view,
                                  std::string_view new_bytes, std::string&) {
      EXPECT_EQ(to, path);
      written = new_bytes;
      return true;
    };
    report_ = testing::written([&](std::FILE* out) {
      EXPECT_EQ(replay({path}, out, stderr, writer), ReplayOutcome::kAllPlayed);
    });
    return written;
  }

  fs::path folder_;
  std::string report_;
};

// Each row of replay_test.txt.
class ReplayRows : public ReplayTest, public ::testing::WithParamInterface<testing::TableRow> {};

TEST_P(ReplayRows, Tables) {
  const std::string path = (folder_ / "walk.case").string();
  const std::vector<std::string>& row = GetParam().words;
  if (row[0] == "update") {
    std::string report = row.at(3);
    for (std::size_t at; (at = report.find("FILE")) != std::string::npos;) {
      report.replace(at, 4, path);
    }
    EXPECT_EQ(updated(row.at(1)).value_or("-"), row.at(2));
    EXPECT_EQ(report_, report);
  } else if (row[0] == "departs") {
    Case c;
    c.world_setup = WorldSetup::kText;
    c.world = std::make_shared<const std::string>(kHall);
    c.input = row.at(1);
    std::string why_not;
    const std::optional<Played> played = play_case(c, why_not);
    ASSERT_TRUE(played) << why_not;
    EXPECT_EQ(where_play_departs(*played, c.input, row.at(2)), row.at(3));
  } else {
    ADD_FAILURE() << "a row of an unknown kind: " << row[0];
  }
}
WANDER_TABLE_ROWS(ReplayRows, WANDER_REPLAY_CASES);

TEST_F(ReplayTest, AFileThatCannotBeWrittenEndsTheReplayAndSaysWhy) {
  const std::string path = (folder_ / "walk.case").string();
  std::ofstream(path, std::ios::binary)
      << "--- world file W.txt\n--- input\n--- stdout\nA hall.\n--- case Next\n";
  const FileWriter refuse = [](const std::string&, std::string_view, std::string_view,
                               std::string& error) {
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

// A play without a world departs before the first command.
TEST(WherePlayDeparts, WithoutAWorld) {
  Case c;
  c.input = "n\n";
  std::string why_not;
  EXPECT_EQ(where_play_departs(*play_case(c, why_not), c.input, ""), "before the first command:\n");
}

}  // namespace
}  // namespace wander
