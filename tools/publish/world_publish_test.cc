// The script a published page reads its world from, and its page's title: the cases are the rows
// of world_publish_test.txt.
#include "tools/publish/world_publish.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_tables.h"
#include "tools/names/printable.h"

namespace wander {
namespace {

class WorldScriptTest : public ::testing::TestWithParam<testing::TableRow> {};

TEST_P(WorldScriptTest, Tables) {
  const std::vector<std::string>& row = GetParam().words;
  if (row[0] == "script") {
    EXPECT_EQ(world_script(row[1], row.at(2)), row.at(3));
  } else if (row[0] == "title") {
    std::string page = "(untouched)";
    std::string error;
    const bool titled = titled_page(row[1], {row.at(2), row.at(3)}, page, error);
    EXPECT_EQ(titled ? page : "!" + error, row.at(4));
  } else if (row[0] == "single") {
    // The page's files by name, in pairs after the index.html; the page or the error last.
    const PageFile file = [&](const std::string& name, std::string& text, std::string& error) {
      if (name == "index.html") return text = row[1], true;
      if (name == "N") return text = "<c> N", true;
      for (std::size_t i = 2; i + 2 < row.size(); i += 2) {
        if (row[i] == name) return text = row[i + 1], true;
      }
      return error = "no " + name, false;
    };
    std::string page;
    std::string error;
    const bool made = single_file_page(file, "W.txt", "A", {"T", ""}, {"N"}, page, error);
    EXPECT_EQ(made ? page : "!" + error, row.back());
  } else {
    ADD_FAILURE() << "a row of an unknown kind: " << row[0];
  }
}
WANDER_TABLE_ROWS(WorldScriptTest, WANDER_PUBLISH_CASES);

}  // namespace
}  // namespace wander
