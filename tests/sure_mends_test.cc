// The property of every sure mend: made in a world with slips, it takes away the error it mends
// and brings no new one. The slips are the ones sure mends are made for: misspelt names, blanks
// that look like blanks, characters that show as nothing, names in other capitals, letters of
// another script drawn alike, object blocks under another room's name.
#include "tests/support/sure_mends.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>

#include "tests/support/captured.h"
#include "text/text_reader.h"
#include "tools/generator/world_generator.h"

namespace wander::testing {
namespace {

// One slip inside a word of `world`, at a place `random` picks.
std::string with_slip(std::string world, std::mt19937_64& random) {
  const auto below = [&random](std::size_t n) { return n == 0 ? 0 : random() % n; };
  std::size_t at = below(world.size());
  while (at < world.size() && is_word_space(world[at])) ++at;
  if (at >= world.size()) return world;
  static const char* const kBlanks[] = {"\xc2\xa0", "\xe2\x80\x83", "\xe3\x80\x80"};
  static const char* const kNothing[] = {"\xe2\x80\x8b", "\xe2\x81\xa0", "\xef\xbb\xbf"};
  // Latin letters and the Greek or Cyrillic ones drawn alike.
  static const std::pair<char, const char*> kLookalikes[] = {
      {'N', "\xce\x9d"}, {'A', "\xce\x91"}, {'o', "\xd0\xbe"}, {'e', "\xd0\xb5"}};
  switch (below(7)) {
    case 5:  // a letter written in another script that draws it alike
      for (const auto& [latin, other] : kLookalikes) {
        if (world[at] == latin) {
          world.replace(at, 1, other);
          break;
        }
      }
      break;
    case 6: {  // an object's block written under the name of the room the file starts with
      const std::size_t line = world.find("\n<", at);
      const std::size_t bar = world.find('|', line);
      const std::size_t first = world.find("\n<");
      if (line == std::string::npos || bar > world.find('\n', line + 1) || first == line) break;
      const std::string room = world.substr(first + 2, world.find('>', first) - first - 2);
      world.replace(line + 2, bar - line - 2, room);
      break;
    }
    case 0:  // a letter left out
      world.erase(at, 1);
      break;
    case 1:  // two letters swapped
      if (at + 1 < world.size() && !is_word_space(world[at + 1]))
        std::swap(world[at], world[at + 1]);
      break;
    case 2:  // a letter in other capitals
      if (std::isalpha(static_cast<unsigned char>(world[at]))) world[at] ^= 0x20;
      break;
    case 3:  // a character that shows as nothing, inside the word
      world.insert(at, kNothing[below(3)]);
      break;
    default:  // the blank before the word one that only looks like a blank
      if (at > 0 && world[at - 1] == ' ') world.replace(at - 1, 1, kBlanks[below(3)]);
      break;
  }
  return world;
}

TEST(SureMendsTest, TakeAwayTheErrorTheyMendAndBringNoNewOne) {
  const std::string worlds[] = {file_bytes(WANDER_SAMPLE_WORLD), written([](std::FILE* out) {
                                  write_world(out, 9, StartAt::kMiddle);
                                })};
  int mended = 0;
  for (std::uint64_t seed = 1; seed <= 4000; ++seed) {
    std::mt19937_64 random(seed);
    const std::string world = with_slip(worlds[seed % 2], random);
    int mends = 0;
    const std::string faults = sure_mend_faults(world, mends);
    mended += mends > 0;
    EXPECT_EQ(faults, "") << "seed " << seed << " in\n" << world;
  }
  EXPECT_GT(mended, 200) << "too few slips had a sure mend to say anything";
}

}  // namespace
}  // namespace wander::testing
