// The script a published page reads its world from, its cases the rows of world_publish_test.txt.
#include "tools/publish/world_publish.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_tables.h"
#include "tools/names/printable.h"

namespace wander {
namespace {

TEST(WorldScriptTest, Tables) {
  for (const std::vector<std::string>& row : testing::table_rows(WANDER_PUBLISH_CASES)) {
    SCOPED_TRACE(printable(row.at(1)));
    if (row[0] == "script") {
      EXPECT_EQ(world_script(row[1], row.at(2)), row.at(3));
    } else {
      ADD_FAILURE() << "a row of an unknown kind: " << row[0];
    }
  }
}

}  // namespace
}  // namespace wander
