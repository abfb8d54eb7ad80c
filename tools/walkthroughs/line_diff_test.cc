#include "tools/walkthroughs/line_diff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/support/test_tables.h"

namespace wander {
namespace {

// Each row of line_diff_test.txt.
class LineDiffRows : public ::testing::TestWithParam<testing::TableRow> {};

TEST_P(LineDiffRows, Tables) {
  const std::vector<std::string>& row = GetParam().words;
  if (row[0] == "diff") {
    EXPECT_EQ(describe_difference(row[1], row[2]), row.at(3));
  } else if (row[0] == "first") {
    EXPECT_EQ(first_different_line(row[1], row[2]), std::stoul(row.at(3)));
  } else {
    ADD_FAILURE() << "a row of an unknown kind: " << row[0];
  }
}
WANDER_TABLE_ROWS(LineDiffRows, WANDER_LINE_DIFF_CASES);

using Lines = std::vector<std::string_view>;

// Checks that `edits` take every line of `from` and of `to` in order, and keep equal lines
// only; returns how many they keep.
std::size_t kept_lines(const Lines& from, const Lines& to, const std::vector<LineEdit>& edits) {
  std::size_t i = 0, j = 0, kept = 0;
  for (const LineEdit edit : edits) {
    if (edit == LineEdit::kSame) {
      EXPECT_TRUE(i < from.size() && j < to.size() && from[i] == to[j]) << "at " << i << ", " << j;
      ++i, ++j, ++kept;
    } else {
      ++(edit == LineEdit::kRemoved ? i : j);
    }
  }
  EXPECT_EQ(i, from.size());
  EXPECT_EQ(j, to.size());
  return kept;
}

// The length of a longest common subsequence, by the textbook table.
std::size_t longest_common(const Lines& a, const Lines& b) {
  std::vector<std::vector<std::size_t>> table(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = a.size(); i-- > 0;) {
    for (std::size_t j = b.size(); j-- > 0;) {
      table[i][j] =
          a[i] == b[j] ? table[i + 1][j + 1] + 1 : std::max(table[i + 1][j], table[i][j + 1]);
    }
  }
  return table[0][0];
}

// Lines drawn from a few, so that texts share many of them in many ways.
Lines random_lines(std::mt19937& random, const std::vector<std::string>& pool) {
  Lines lines(std::uniform_int_distribution<std::size_t>(0, 24)(random));
  for (std::string_view& line : lines) {
    line = pool[std::uniform_int_distribution<std::size_t>(0, pool.size() - 1)(random)];
  }
  return lines;
}

// With steps enough, the edits keep a longest common subsequence; past its steps the search still
// gives edits that take every line in order and keep only equal ones.
TEST(LineDiffTest, KeepsALongestCommonSubsequenceOrStaysRight) {
  const std::vector<std::string> pool = {"a\n", "b\n", "c\n", "d\n", "a"};
  std::mt19937 random(20261207);
  for (const std::uint64_t steps : {default_diff_steps(50), std::uint64_t{0}, std::uint64_t{1},
                                    std::uint64_t{5}, std::uint64_t{20}}) {
    for (int round = 0; round < (steps > 20 ? 3000 : 500); ++round) {
      const Lines from = random_lines(random, pool);
      const Lines to = random_lines(random, pool);
      SCOPED_TRACE(std::to_string(steps) + " steps, round " + std::to_string(round));
      const std::size_t kept = kept_lines(from, to, diff_lines(from, to, steps));
      if (steps > 20) {
        EXPECT_EQ(kept, longest_common(from, to));
      }
    }
  }
  // With none, only the common first and last lines are kept; the middle is replaced whole.
  const Lines from = {"head\n", "a\n", "x\n", "b\n", "tail\n"};
  const Lines to = {"head\n", "b\n", "x\n", "a\n", "tail\n"};
  using E = LineEdit;
  EXPECT_EQ(diff_lines(from, to, 0),
            (std::vector<LineEdit>{E::kSame, E::kRemoved, E::kRemoved, E::kRemoved, E::kAdded,
                                   E::kAdded, E::kAdded, E::kSame}));
}

std::string numbered_lines(std::size_t count) {
  std::string text;
  for (std::size_t n = 1; n <= count; ++n) text += "line " + std::to_string(n) + "\n";
  return text;
}

// Replaces the whole line `from` of `text` with `to` (empty: removes it).
void replace_line(std::string& text, const std::string& from, const std::string& to) {
  text.replace(text.find(from), from.size(), to);
}

TEST(LineDiffTest, LongOutputsWithAFewChangesStayShortAndCheap) {
  const std::string expected = numbered_lines(100'000);
  std::string actual = expected;
  replace_line(actual, "\nline 20000\n", "\nline twenty thousand\n");
  replace_line(actual, "\nline 50000\n", "\n");
  replace_line(actual, "\nline 80000\n", "\nline 80000\nline new\n");
  // Twenty steps a line find the fewest edits: the search is linear in the lines here.
  const std::vector<LineEdit> edits =
      diff_lines(lines_of(expected), lines_of(actual), 20 * 200'000);
  EXPECT_EQ(kept_lines(lines_of(expected), lines_of(actual), edits), 99'998u);
  EXPECT_EQ(describe_difference(expected, actual),
            "... 19996 lines the same\n"
            "  line 19997\n  line 19998\n  line 19999\n"
            "- line 20000\n+ line twenty thousand\n"
            "  line 20001\n  line 20002\n  line 20003\n"
            "... 29993 lines the same\n"
            "  line 49997\n  line 49998\n  line 49999\n"
            "- line 50000\n"
            "  line 50001\n  line 50002\n  line 50003\n"
            "... 29994 lines the same\n"
            "  line 79998\n  line 79999\n  line 80000\n"
            "+ line new\n"
            "  line 80001\n  line 80002\n  line 80003\n");
}

// Every tenth line of 300 changed: 20 places shown, then the count of the rest.
TEST(LineDiffTest, ManyPlacesAreCut) {
  const std::string expected = numbered_lines(300);
  std::string actual = expected;
  for (int n = 10; n <= 300; n += 10) {
    replace_line(actual, "\nline " + std::to_string(n) + "\n",
                 "\nline " + std::to_string(n) + "!\n");
  }
  const std::string report = describe_difference(expected, actual);
  EXPECT_EQ(std::count(report.begin(), report.end(), '!'), 20);
  EXPECT_TRUE(report.ends_with("  line 203\n... 10 more places differ\n")) << report;
}

}  // namespace
}  // namespace wander
