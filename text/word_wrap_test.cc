#include "text/word_wrap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_tables.h"
#include "text/utf8.h"

namespace wander {
namespace {

// Each row of word_wrap_test.txt.
class WordWrapTest : public ::testing::TestWithParam<testing::TableRow> {};

TEST_P(WordWrapTest, BreaksBetweenWordsAtTheTerminalsWidth) {
  const std::vector<std::string>& row = GetParam().words;
  if (row[0] == "width") {
    EXPECT_EQ(character_width(row.at(1)), std::stoi(row.at(2)));
    return;
  }
  WordWrap wrap;
  const std::string start(static_cast<std::size_t>(std::stoi(row.at(2))), 'x');
  wrap.wrap(start, 1000);
  std::string out;
  for (std::size_t i = 5; i < row.size(); ++i) out += wrap.wrap(row[i], std::stoi(row.at(1)));
  EXPECT_EQ(out, row.at(4));
  EXPECT_EQ(wrap.column(), std::stoi(row.at(3)));
}
WANDER_TABLE_ROWS(WordWrapTest, WANDER_WORD_WRAP_CASES);

}  // namespace
}  // namespace wander
