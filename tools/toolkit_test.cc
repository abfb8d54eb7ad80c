// The toolkit's small parts: the name table, the suggestions, the quoted source lines under a
// diagnostic, the text of a map's labels, and the script a published page reads its world from;
// most of their cases are the rows of toolkit_test.txt.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/test_tables.h"
#include "tools/check_output.h"
#include "tools/name_suggester.h"
#include "tools/name_table.h"
#include "tools/printable.h"
#include "tools/world_checks.h"
#include "tools/world_map.h"
#include "tools/world_publish.h"

namespace wander {
namespace {

TEST(NameTableTest, NumbersEachNameOnce) {
  NameTable names;
  EXPECT_EQ(names.find("<Hall>"), NameTable::kNone);
  const std::string long_name(100000, 'x');
  const std::vector<std::string> samples = {"<Hall>", "", std::string("a\0b", 3), "<Hall|lamp>",
                                            long_name};
  for (std::size_t i = 0; i < samples.size(); ++i) EXPECT_EQ(names.add(samples[i]), i);
  // Enough names to make the table grow several times, each still found under its number.
  for (int i = 0; i < 5000; ++i) names.add("<R" + std::to_string(i) + ">");
  for (std::size_t i = 0; i < samples.size(); ++i) {
    EXPECT_EQ(names.add(samples[i]), i);
    EXPECT_EQ(names.find(samples[i]), i);
    EXPECT_EQ(names[static_cast<std::uint32_t>(i)], samples[i]);
  }
  for (int i = 0; i < 5000; i += 499) {
    const std::uint32_t id = names.find("<R" + std::to_string(i) + ">");
    ASSERT_NE(id, NameTable::kNone);
    EXPECT_EQ(names[id], "<R" + std::to_string(i) + ">");
  }
  EXPECT_EQ(names.size(), samples.size() + 5000);
  EXPECT_EQ(names.find(std::string("a\0c", 3)), NameTable::kNone);
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

TEST(QuoteLineTest, LongLinesShowAWindowAroundThePlace) {
  std::string line(1000, '.');
  line.replace(600, 4, "Here");
  const QuotedLine quoted = quote_line(line, false, 601, 4);
  // 40 characters before the place, "…" on both sides, 100 characters shown.
  EXPECT_EQ(quoted.text,
            "\xe2\x80\xa6" + std::string(40, '.') + "Here" + std::string(56, '.') + "\xe2\x80\xa6");
  EXPECT_EQ(quoted.caret, std::string(41, ' ') + "^~~~");
  // A place well inside the first hundred characters keeps the line's start.
  EXPECT_EQ(quote_line(line, false, 50, 1).text.substr(0, 3), "...");
}

// Each row of toolkit_test.txt.
TEST(ToolkitTest, Tables) {
  const std::vector<std::string_view> rooms = {
      "Hall",           "Kitchen",
      "PalmHouse",      "Tower",
      "Towel",          "\xd0\x9a\xd1\x83\xd1\x85\xd0\xbd\xd1\x8f",
      "Ch\xc3\xa2teau", "\xe6\x9d\xb1\xe4\xba\xac\xe9\xa7\x85"};
  for (const std::vector<std::string>& row : testing::table_rows(WANDER_TOOLKIT_CASES)) {
    SCOPED_TRACE(printable(row.at(1)));
    if (row[0] == "nearest") {
      NameSuggester rooms_meant(rooms, 1'000'000);
      EXPECT_EQ(rooms_meant.nearest(row[1]), row.at(2));
    } else if (row[0] == "quote") {
      const QuotedLine quoted =
          quote_line(row[1], row.at(2) == "cut", std::stoull(row.at(3)), std::stoull(row.at(4)));
      EXPECT_EQ(quoted.text, row.at(5));
      EXPECT_EQ(quoted.caret, row.at(6));
    } else if (row[0] == "dot") {
      EXPECT_EQ(dot_escaped(row[1]), row.at(2));
    } else if (row[0] == "script") {
      EXPECT_EQ(world_script(row[1], row.at(2)), row.at(3));
    } else {
      ADD_FAILURE() << "a row of an unknown kind: " << row[0];
    }
  }
}

}  // namespace
}  // namespace wander
