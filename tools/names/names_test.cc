// The names leaf: the table that numbers names, and the suggestions for misspelt ones, most of
// their cases the rows of names_test.txt.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_tables.h"
#include "tools/names/name_suggester.h"
#include "tools/names/name_table.h"
#include "tools/names/printable.h"

namespace wander {
namespace {

// The two corners of the name table that no world reaches: a lookup before any name is added,
// and a name long enough to get a string of its own.
TEST(NameTableTest, AnEmptyTableFindsNothingAndALongNameIsKeptWhole) {
  NameTable names;
  EXPECT_EQ(names.find("<Hall>"), NameTable::kNone);
  const std::string long_name(100000, 'x');
  EXPECT_EQ(names[names.add(long_name)], long_name);
}

// Suggestions stop when their budget of steps runs out, and the steps are counted.
TEST(NameSuggesterTest, StopsWhenTheBudgetRunsOut) {
  const std::vector<std::string_view> rooms = {"Hall", "Kitchen", "PalmHouse", "Tower", "Towel"};
  NameSuggester none_left(rooms, 0);
  EXPECT_EQ(none_left.nearest("Kitchn"), "");
  NameSuggester enough(rooms, 1000);
  EXPECT_EQ(enough.nearest("Kitchn"), "Kitchen");
  const std::uint64_t one_search = enough.steps();
  EXPECT_GT(one_search, 0u);
  // A budget spent part way through the index or the search gives no suggestion.
  for (std::uint64_t budget = 1; budget < one_search; budget += 3) {
    NameSuggester short_of_steps(rooms, budget);
    EXPECT_EQ(short_of_steps.nearest("Kitchn"), "") << budget;
  }
}

// Each row of names_test.txt.
class NameSuggesterRows : public ::testing::TestWithParam<testing::TableRow> {};

TEST_P(NameSuggesterRows, Tables) {
  const std::vector<std::string_view> rooms = {
      "Hall",           "Kitchen",
      "PalmHouse",      "Tower",
      "Towel",          "\xd0\x9a\xd1\x83\xd1\x85\xd0\xbd\xd1\x8f",
      "Ch\xc3\xa2teau", "\xe6\x9d\xb1\xe4\xba\xac\xe9\xa7\x85"};
  const std::vector<std::string>& row = GetParam().words;
  if (row[0] == "nearest") {
    NameSuggester rooms_meant(rooms, 1'000'000);
    bool alone = false;
    EXPECT_EQ(rooms_meant.nearest(row[1], &alone), row.at(2));
    if (!row.at(2).empty()) {
      EXPECT_EQ(alone ? "alone" : "several", row.at(3));
    }
  } else {
    ADD_FAILURE() << "a row of an unknown kind: " << row[0];
  }
}
WANDER_TABLE_ROWS(NameSuggesterRows, WANDER_NAMES_CASES);

}  // namespace
}  // namespace wander
