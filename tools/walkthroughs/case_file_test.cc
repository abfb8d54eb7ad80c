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
class CaseFileTest : public ::testing::TestWithParam<testing::TableRow> {};

TEST_P(CaseFileTest, Tables) {
  const std::vector<std::string>& row = GetParam().words;
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
  } else if (row[0] == "bound") {
    std::string error;
    parse_cases(row.at(2), "dir/walk.case", error, std::stoull(row[1]));
    EXPECT_EQ(error, row.at(3));
  } else if (row[0] == "limits") {
    const Case c = parse_or_fail(row[1]).at(0);
    EXPECT_EQ(std::to_string(c.memory_limit) + " " + std::to_string(c.cpu_limit),
              row.at(2) + " " + row.at(3));
  } else if (row[0] == "origin") {
    const Case c = parse_or_fail(row[1]).at(0);
    EXPECT_EQ(failure_origin(c, row.at(2), row.at(3), row.at(4) == "status-differs"), row.at(5));
  } else {
    ADD_FAILURE() << "a row of an unknown kind: " << row[0];
  }
}
WANDER_TABLE_ROWS(CaseFileTest, WANDER_CASE_FILE_CASES);

}  // namespace
}  // namespace wander
