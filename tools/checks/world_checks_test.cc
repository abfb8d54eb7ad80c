// The checks stay linear in the file on the worlds that once made them quadratic: rooms that list
// objects without blocks, and a great many misspelt names much like each other. Work is counted,
// not timed: four times the world may cost at most about four times the steps. Also bytes that are
// not UTF-8 found through buffers of every size, and the table of kinds.
#include "tools/checks/world_checks.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "tests/support/test_tables.h"
#include "tools/checks/kinds.h"
#include "tools/survey/world_survey.h"

namespace wander {
namespace {

struct Checked {
  std::size_t errors = 0;
  std::size_t suggestions = 0;  // errors that say what was probably meant
  std::uint64_t steps = 0;
};

Checked check(const std::string& bytes) {
  WorldFile world(make_string_source(bytes));
  const Survey survey = survey_world(world);
  CheckWork work;
  Checked checked;
  for (const Diagnostic& d : check_world(world, survey, &work)) {
    checked.errors += d.severity == Severity::kError;
    checked.suggestions += d.message.find("did you mean") != std::string::npos;
  }
  checked.steps = work.suggestion_steps;
  return checked;
}

// Each room lists an object that has no block.
std::string objects_without_blocks(int rooms) {
  std::string world = "Start: R0\n";
  for (int i = 0; i < rooms; ++i) {
    world += "<R" + std::to_string(i) + ">\nA room.\n*\nNorth: None East: None South: None " +
             "West: None\nObjects: 1\nthing" + std::to_string(i) + "\n";
  }
  return world;
}

// Names of 64 characters that share their first 56, each room's north exit one character off the
// name of a room.
std::string misspelt_long_names(int rooms) {
  const auto name = [](int i, char last) {
    std::string digits = std::to_string(i);
    return std::string(63 - digits.size(), 'A') + digits + last;
  };
  std::string world = "Start: " + name(0, 'A') + "\n";
  for (int i = 0; i < rooms; ++i) {
    world += "<" + name(i, 'A') + ">\nA room.\n*\nNorth: " + name(i, 'B') +
             " East: None South: None West: None\nObjects: 0\n";
  }
  return world;
}

TEST(CheckWorkTest, GrowsInProportionToTheWorld) {
  const std::pair<const char*, std::function<std::string(int)>> corners[] = {
      {"objects without blocks", objects_without_blocks},
      {"misspelt long names", misspelt_long_names},
  };
  for (const auto& [what, world] : corners) {
    SCOPED_TRACE(what);
    const Checked small = check(world(500));
    const Checked large = check(world(2000));
    EXPECT_EQ(small.errors, 500u);
    EXPECT_EQ(large.errors, 2000u);
    EXPECT_GT(small.steps, 0u);
    EXPECT_LE(large.steps, 5 * small.steps) << small.steps << " steps, then " << large.steps;
  }
}

TEST(CheckWorkTest, MisspeltNamesGetSuggestionsWithinTheBudget) {
  // A world of a few hundred misspelt names gets a suggestion for each of its first names at least.
  const Checked checked = check(misspelt_long_names(500));
  EXPECT_GT(checked.suggestions, 20u);
  const Checked few = check(misspelt_long_names(20));
  EXPECT_EQ(few.suggestions, 20u);
}

// Bytes that are no UTF-8 in a text are found wherever the reader's pieces cut its lines, and
// characters split between pieces are no such bytes: the rows of world_checks_test.txt.
class CheckEncodingTest : public ::testing::TestWithParam<testing::TableRow> {};

TEST_P(CheckEncodingTest, FindsTheFirstByteThatIsNoUtf8InEachText) {
  const std::vector<std::string>& row = GetParam().words;
  ASSERT_EQ(row.at(0), "not-utf8");
  const std::string world = "Start: Hall\n<Hall>\n" + row.at(1) +
                            "\n*\nNorth: None East: None South: None West: None\nObjects: 0\n";
  const std::int64_t column = std::stoll(row.at(2));
  for (const std::size_t capacity :
       {std::size_t{4}, std::size_t{5}, std::size_t{7}, std::size_t{4096}}) {
    SCOPED_TRACE(::testing::PrintToString(row) + " read " + std::to_string(capacity) +
                 " at a time");
    WorldFile reader(make_string_source(world), capacity);
    const Survey survey = survey_world(reader);
    std::vector<std::int64_t> columns;
    for (const Diagnostic& d : check_world(reader, survey)) {
      if (d.kind->id == "not-utf8-text") {
        EXPECT_EQ(d.range.place.line, 3);
        columns.push_back(static_cast<std::int64_t>(d.range.place.column()));
      }
    }
    EXPECT_EQ(columns,
              column == 0 ? std::vector<std::int64_t>{} : std::vector<std::int64_t>{column});
  }
}
WANDER_TABLE_ROWS(CheckEncodingTest, WANDER_CHECKS_CASES);

// Every kind once, named as options name it, with what it means.
TEST(KindsTest, EachKindHasItsOwnWellFormedName) {
  std::set<std::string_view> ids;
  for (const DiagnosticKind* kind : kinds::kAll) {
    SCOPED_TRACE(std::string(kind->id));
    EXPECT_TRUE(ids.insert(kind->id).second);
    EXPECT_EQ(kind->id.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-"),
              std::string_view::npos);
    EXPECT_FALSE(kind->summary.empty());
    EXPECT_EQ(kinds::find(kind->id), kind);
  }
  EXPECT_EQ(kinds::find("no-such-kind"), nullptr);
}

}  // namespace
}  // namespace wander
