#include "tools/case_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wander {
namespace {

std::vector<Case> parse_or_fail(const std::string& text) {
  std::string error;
  const auto cases = parse_cases(text, "dir/walk.case", error);
  EXPECT_TRUE(cases.has_value()) << error;
  return cases.value_or(std::vector<Case>{});
}

// Whatever the bytes, writing them as case lines and reading them back gives them again.
TEST(CaseFileTest, AnyBytesSurviveTheRoundTrip) {
  const std::vector<std::string> samples = {"",
                                            "a",
                                            "a\n",
                                            "\n\n",
                                            "trailing blank \n",
                                            "\r\n",
                                            "tab\tend\t",
                                            "--- world\n",
                                            "x (esc)\n",
                                            "x (no-eol)",
                                            "back\\n\\",
                                            "\xff\xfe\n",
                                            "caf\xc3\xa9",
                                            "\xc3",
                                            std::string("nul\0byte\x1b[2J", 12),
                                            "> ",
                                            "\x7f\x01\x1f",
                                            "x (times 3)\n",
                                            "x (times 3) (esc)"};
  for (const std::string& bytes : samples) {
    SCOPED_TRACE(testing::PrintToString(bytes));
    const std::vector<Case> cases = parse_or_fail("--- stdout\n" + as_case_lines(bytes));
    ASSERT_EQ(cases.size(), 1u);
    EXPECT_EQ(cases[0].expected_stdout, bytes);
  }
}

// "(times N)" repeats a line's bytes, escapes decoded, then gives it one line end (or none).
TEST(CaseFileTest, LinesRepeated) {
  const std::vector<std::pair<std::string, std::string>> lines = {
      {"ab (times 3)\n", "ababab\n"},
      {"look\\n (esc) (times 2) (no-eol)\n", "look\nlook\n"},
      {"x (times 0)\n", "\n"},
      {"x (times many)\n", "x (times many)\n"},
      {"x (times 3) (esc)\n", "x (times 3)\n"},
  };
  for (const auto& [line, bytes] : lines) {
    EXPECT_EQ(parse_or_fail("--- input\n" + line).at(0).input, bytes) << line;
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

TEST(CaseFileTest, MistakesNameTheirLine) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"--- stdout\nok\n--- colour red\n", "dir/walk.case:3: unknown section 'colour'"},
      {"--- stdout\nbad \\q (esc)\n", "dir/walk.case:2: an unknown escape in this line"},
      {"--- stdout\na (no-eol)\nb\n", "dir/walk.case:3: a line after a \"(no-eol)\" line"},
      {"--- status two\n", "dir/walk.case:1: '--- status' takes a number"},
      {"--- stdin shut\n", "dir/walk.case:1: '--- stdin' takes one of its known words"},
      {"--- diagnostics\nfive error Hall\n",
       "dir/walk.case:2: a diagnostic is 'LINE error|warning NAME...': five error Hall"},
      {"just a comment\n", "dir/walk.case:1: the file holds no case"},
  };
  for (const auto& [text, message] : cases) {
    std::string error;
    EXPECT_FALSE(parse_cases(text, "dir/walk.case", error).has_value()) << text;
    EXPECT_EQ(error, message);
  }
}

TEST(CaseFileTest, DiagnosticsAreComparedByLineSeverityAndNames) {
  const std::vector<PrintedDiagnostic> printed = printed_diagnostics(
      "W.txt:5:3: error: room 'Hall': the west exit leads to 'Cellar'\n"
      "    West: Cellar\n          ^\n"
      "C:\\w\\W.txt:7: warning: a second block for room 'Kitchen'\n"
      "1 error, 1 warning\n");
  ASSERT_EQ(printed.size(), 2u);
  EXPECT_EQ(printed[0].line, 5);
  EXPECT_EQ(printed[1].line, 7);
  EXPECT_EQ(printed[1].severity, "warning");
  EXPECT_EQ(
      compare_diagnostics({{5, "error", {"Hall", "Cellar"}}, {7, "warning", {"Kitchen"}}}, printed),
      "");
  EXPECT_EQ(compare_diagnostics({{5, "error", {"Attic"}}}, printed),
            "diagnostic 1: 'Attic' is not in: 5 error: room 'Hall': the west exit leads to "
            "'Cellar'\ndiagnostic 2: not expected: 7 warning: a second block for room "
            "'Kitchen'\n");
}

}  // namespace
}  // namespace wander
