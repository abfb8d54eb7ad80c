#include "text/line_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_tables.h"

namespace wander {
namespace {

// Each row of line_index_test.txt: the place of a byte in every unit, and back.
TEST(LineIndexTest, PlacesInEveryUnitAndBack) {
  for (const std::vector<std::string>& row : testing::table_rows(WANDER_LINE_INDEX_CASES)) {
    const std::string& text = row.at(0);
    const LineIndex index(text);
    const std::uint64_t offset = std::stoull(row.at(1));
    SCOPED_TRACE(text + " " + row[1]);
    const ColumnUnit units[] = {ColumnUnit::kByte, ColumnUnit::kUtf16, ColumnUnit::kCodePoint};
    for (std::size_t i = 0; i < 3; ++i) {
      const LinePoint point{std::stoull(row.at(2)), std::stoull(row.at(3 + i))};
      EXPECT_EQ(index.point(text, offset, units[i]), point) << i;
      EXPECT_EQ(index.offset(text, point, units[i]), std::stoull(row.at(6))) << i;
    }
  }
}

}  // namespace
}  // namespace wander
