#include "text/line_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_tables.h"

namespace wander {
namespace {

// Each row of line_index_test.txt: the place of a byte in every unit, and back.
class LineIndexTest : public ::testing::TestWithParam<testing::TableRow> {};

TEST_P(LineIndexTest, PlacesInEveryUnitAndBack) {
  const std::vector<std::string>& row = GetParam().words;
  const std::string& text = row.at(0);
  const LineIndex index(text);
  const std::uint64_t offset = std::stoull(row.at(1));
  const ColumnUnit units[] = {ColumnUnit::kByte, ColumnUnit::kUtf16, ColumnUnit::kCodePoint};
  for (std::size_t i = 0; i < 3; ++i) {
    const LinePoint point{std::stoull(row.at(2)), std::stoull(row.at(3 + i))};
    EXPECT_EQ(index.point(text, offset, units[i]), point) << i;
    EXPECT_EQ(index.offset(text, point, units[i]), std::stoull(row.at(6))) << i;
  }
}
WANDER_TABLE_ROWS(LineIndexTest, WANDER_LINE_INDEX_CASES);

}  // namespace
}  // namespace wander
