#include "text/word_wrap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_tables.h"
#include "text/utf8.h"

namespace wander {
namespace {

// Each row of word_wrap_test.txt.
TEST(WordWrapTest, BreaksBetweenWordsAtTheTerminalsWidth) {
  for (const std::vector<std::string>& row : testing::table_rows(WANDER_WORD_WRAP_CASES)) {
    SCOPED_TRACE(row.at(1));
    if (row[0] == "width") {
      EXPECT_EQ(character_width(row[1]), std::stoi(row.at(2)));
      continue;
    }
    WordWrap wrap;
    const std::string start(static_cast<std::size_t>(std::stoi(row.at(2))), 'x');
    wrap.wrap(start, 1000);
    std::string out;
    for (std::size_t i = 5; i < row.size(); ++i) out += wrap.wrap(row[i], std::stoi(row.at(1)));
    EXPECT_EQ(out, row.at(4));
    EXPECT_EQ(wrap.column(), std::stoi(row.at(3)));
  }
}

}  // namespace
}  // namespace wander
