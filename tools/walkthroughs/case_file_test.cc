#include "tools/walkthroughs/case_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_tables.h"

namespace wander {
namespace {

std::vector<Case> parse_or_fail(const std::string& text) {
  std::string error;
  const auto cases = parse_cases(text, "dir/walk.case", error);
  EXPECT_TRUE(cases.has_value()) << error;
  return cases.value_or(std::vector<Case>{});
}

// Each row of case_file_test.txt.
TEST(CaseFileTest, Tables) {
  for (const std::vector<std::string>& row : testing::table_rows(WANDER_CASE_FILE_CASES)) {
    SCOPED_TRACE(::testing::PrintToString(row.at(1)));
    if (row[0] == "round-trip") {
      const std::vector<Case> cases = parse_or_fail("--- stdout\n" + as_case_lines(row[1]));
      ASSERT_EQ(cases.size(), 1u);
      EXPECT_EQ(cases[0].expected_stdout, row[1]);
    } else if (row[0] == "repeat") {
      EXPECT_EQ(parse_or_fail("--- input\n" + row[1]).at(0).input, row.at(2));
    } else if (row[0] == "mistake") {
      std::string error;
      EXPECT_FALSE(parse_cases(row[1], "dir/walk.case", error).has_value());
      EXPECT_EQ(error, row.at(2));
    } else {
      ADD_FAILURE() << "a row of an unknown kind: " << row[0];
    }
  }
}

TEST(CaseFileTest, WorldsHoldForLaterCasesAndDefaultsAreFilledIn) {
  const std::vector<Case> cases = parse_or_fail(
      "A comment.\n--- world\nW1\n--- case first\ncomment\n--- input\nn\n--- stdout\nout\n"
      "--- world none\n--- case second\n--- run wander-world check  World.txt \n"
      "--- stdout closed\n--- status 2\n--- case third\n--- world\nW3\n--- stdin unreadable\n"
      "--- stdout broken\n");
  ASSERT_EQ(cases.size(), 3u);
  EXPECT_EQ(cases[0].name, "first");
  EXPECT_EQ(cases[0].origin, "dir/walk.case:4");
  EXPECT_EQ(cases[0].world_setup, WorldSetup::kText);
  EXPECT_EQ(cases[0].world, "W1\n");
  EXPECT_EQ(cases[0].input, "n\n");
  EXPECT_EQ(cases[0].expected_stderr, "");
  EXPECT_EQ(cases[0].expected_status, 0);
  EXPECT_EQ(cases[1].world_setup, WorldSetup::kNone);
  EXPECT_EQ(cases[1].program, "wander-world");
  EXPECT_EQ(cases[1].arguments, "check  World.txt");
  EXPECT_EQ(cases[1].stdout_setup, StdoutSetup::kClosed);
  EXPECT_FALSE(cases[1].expected_stdout.has_value());
  EXPECT_EQ(cases[1].expected_status, 2);
  EXPECT_EQ(cases[2].world, "W3\n");  // a world inside a case is that case's
  EXPECT_EQ(cases[2].stdin_setup, StdinSetup::kUnreadable);
  EXPECT_EQ(cases[2].stdout_setup, StdoutSetup::kBroken);
  // Without a case header the file is one case, named after the file.
  EXPECT_EQ(parse_or_fail("--- input\nlook\n").at(0).name, "walk");
}

// A report points at the line of the case file where the first expected line that differs
// stands; a line written "b\\nc (esc)" holds two lines of output.
TEST(CaseFileTest, FailuresPointAtTheLineThatDiffers) {
  const Case c =
      parse_or_fail("--- case one\n--- stdout\na\nb\\nc (esc)\nd\n--- stderr\nx\n--- status 1\n")
          .at(0);
  struct Row {
    const char* out;
    const char* err;
    bool status_differs;
    const char* origin;
  };
  for (const Row& row : {Row{"a\nb\nc\nd\n", "x\n", false, "dir/walk.case:1"},
                         Row{"A\n", "", true, "dir/walk.case:3"},
                         Row{"a\nB\nc\nd\n", "x\n", false, "dir/walk.case:4"},
                         Row{"a\nb\nC\nd\n", "x\n", false, "dir/walk.case:4"},
                         Row{"a\nb\nc\n", "x\n", false, "dir/walk.case:5"},
                         Row{"a\nb\nc\nd\ne\n", "x\n", false, "dir/walk.case:6"},
                         Row{"a\nb\nc\nd\n", "y\n", true, "dir/walk.case:7"},
                         Row{"a\nb\nc\nd\n", "x\n", true, "dir/walk.case:8"}}) {
    EXPECT_EQ(failure_origin(c, row.out, row.err, row.status_differs), row.origin) << row.out;
  }
}

}  // namespace
}  // namespace wander
