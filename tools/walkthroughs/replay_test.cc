#include "tools/walkthroughs/replay.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace wander {
namespace {

constexpr char kHall[] =
    "Start: Hall\n<Hall>\nA hall.\n*\nNorth: None East: None South: None West: None\n"
    "Objects: 1\nlamp\n<Hall|lamp>\nA lamp.\n*\n";

// Where the play departs from what a case expects, for each kind of line the game reads.
TEST(WherePlayDeparts, NamesTheLineTypedAndTheRoom) {
  Case c;
  c.world_setup = WorldSetup::kText;
  c.world = kHall;
  // The key wait takes the "k"; the rest of its line and the line end left by the object's name
  // make two empty commands, read without a new line of keys.
  c.input = "look at\nlamp\nk\nn\r\n";
  std::string why_not;
  const std::optional<Played> played = play_case(c, why_not);
  ASSERT_TRUE(played) << why_not;
  const std::string start = "A hall.\n\n\n\n> ";
  const std::string examined = start + "What do you want to look at? \nA lamp.\n\nk\nA hall.\n\n\n";
  const std::map<std::string, std::string> cases = {
      {start + "What do you want to look at? \nA brass lamp.",
       "at input line 2, 'lamp', after the 1st command, in room 'Hall':\n"},
      {start + "What do you want to look at? \nA lamp.\n\n\n",
       "at input line 3, 'k', after the 1st command, in room 'Hall':\n"},
      {examined + "\n> \n> \n> You cannot",
       "at the 2nd command, 'n' (input line 4), in room 'Hall':\n"},
      {examined + "\n> \n> \n> You can't go that way!\n\n> ",
       "at the end of the input, after the 2nd command, in room 'Hall':\n"},
      {played->out, ""},
  };
  for (const auto& [expected, where] : cases) {
    EXPECT_EQ(where_play_departs(*played, c.input, expected), where) << expected;
  }
  for (const auto& [commands, where] :
       std::map<int, std::string>{{12, "12th"}, {21, "21st"}, {22, "22nd"}, {113, "113th"}}) {
    c.input.clear();
    std::string expected = start;
    for (int n = 1; n <= commands; ++n) {
      c.input += "look\n";
      expected += n < commands ? "A hall.\n\n\n\n> " : "A hallway";
    }
    EXPECT_EQ(where_play_departs(*play_case(c, why_not), c.input, expected),
              "at the " + where + " command, 'look' (input line " + std::to_string(commands) +
                  "), in room 'Hall':\n");
  }
  // A line longer than the keyboard's buffer comes in several reads, and is one command still.
  c.input = std::string(5000, 'x') + "\nn\n";
  EXPECT_EQ(where_play_departs(*play_case(c, why_not), c.input, start + "\n> You cannot"),
            "at the 2nd command, 'n' (input line 2), in room 'Hall':\n");
  c.world_setup = WorldSetup::kNone;
  EXPECT_EQ(where_play_departs(*play_case(c, why_not), c.input, ""), "before the first command:\n");
}

}  // namespace
}  // namespace wander
