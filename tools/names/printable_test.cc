#include "tools/names/printable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_tables.h"

namespace wander {
namespace {

// Each row of printable_test.txt.
class PrintableTest : public ::testing::TestWithParam<testing::TableRow> {};

TEST_P(PrintableTest, ShowsEveryByteAsAPersonCanReadIt) {
  const std::vector<std::string>& row = GetParam().words;
  if (row[0] == "shown") {
    EXPECT_EQ(printable(row[1]), row.at(2));
    EXPECT_EQ(printable_width(row[1]), std::stoul(row.at(3)));
  } else if (row[0] == "lookalike") {
    EXPECT_EQ(blank_lookalike_length(row[1]), std::stoul(row.at(2)));
    EXPECT_EQ(blank_lookalike_name(row[1]), row.at(3));
  } else if (row[0] == "find") {
    const LookalikePlace found = find_blank_lookalike(row[1]);
    EXPECT_EQ(found.at, row.at(2) == "-" ? std::string_view::npos : std::stoul(row[2]));
    EXPECT_EQ(found.length, std::stoul(row.at(3)));
  } else if (row[0] == "columns") {
    EXPECT_EQ(text_columns(row[1]), std::stoul(row.at(2)));
  } else if (row[0] == "elided") {
    EXPECT_EQ(printable_elided(row[1], std::stoul(row.at(2))), row.at(3));
  } else {
    ADD_FAILURE() << "a row of an unknown kind: " << row[0];
  }
}
WANDER_TABLE_ROWS(PrintableTest, WANDER_PRINTABLE_CASES);

}  // namespace
}  // namespace wander
