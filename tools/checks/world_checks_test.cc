// The checks stay linear in the file on the worlds that once made them quadratic: rooms that list
// objects without blocks, and a great many misspelt names much like each other. Work is counted,
// not timed: four times the world may cost at most about four times the steps.
#include "tools/checks/world_checks.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

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
  // Appended piece by piece: g++ 12 warns falsely (-Wrestrict) about "<" + string.
  std::string world = "Start: ";
  world.append(name(0, 'A')).append("\n");
  for (int i = 0; i < rooms; ++i) {
    world.append("<").append(name(i, 'A')).append(">\nA room.\n*\nNorth: ");
    world.append(name(i, 'B')).append(" East: None South: None West: None\nObjects: 0\n");
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

}  // namespace
}  // namespace wander
