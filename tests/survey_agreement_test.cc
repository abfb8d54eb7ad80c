// The differential test: what wander-world claims about a world against what the game's own
// code does with it, on generated worlds, on worlds with slips made at random, and on a few made
// by hand to reach the corners of the lookup.
#include "tests/support/survey_agreement.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/captured.h"
#include "tools/generator/world_generator.h"

namespace wander::testing {
namespace {

std::string generated(std::int64_t rooms, StartAt start) {
  return written([&](std::FILE* out) { write_world(out, rooms, start); });
}

// A fixed sequence of numbers, the same on every system, so that every run makes the same slips.
class Numbers {
 public:
  explicit Numbers(std::uint64_t seed) : engine_(seed) {}
  std::size_t below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(engine_() % n); }

 private:
  std::mt19937_64 engine_;
};

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// The generator's English labels swapped for other words, the same in every block: Greek,
// Japanese, or bytes at random. The game reads them by position all the same.
std::string with_labels(std::string world, Numbers& numbers) {
  const std::array<std::string, 5> english = {"North:", "East:", "South:", "West:", "Objects:"};
  const std::vector<std::array<std::string, 5>> sets = {
      {"Βόρεια:", "Ανατολικά:", "Νότια:", "Δυτικά:", "Αντικείμενα:"},
      {"北：", "東：", "南：", "西：", "物："},
      {}};
  std::array<std::string, 5> labels = sets[numbers.below(sets.size())];
  for (std::size_t i = 0; i < english.size(); ++i) {
    for (std::size_t n = 1 + numbers.below(4); labels[i].empty() && n > 0; --n) {
      labels[i] += static_cast<char>(0x21 + numbers.below(0xff - 0x21));
    }
    const std::string from = "\n" + english[i] + " ";
    for (std::size_t at = world.find(from); at != std::string::npos; at = world.find(from, at)) {
      world.replace(at + 1, english[i].size(), labels[i]);
    }
  }
  return world;
}

// One slip of the kind authors make, somewhere in `world`.
std::string with_slip(std::string world, Numbers& numbers) {
  std::vector<std::string> lines = lines_of(world);
  if (lines.empty()) return world;
  const std::size_t at = numbers.below(lines.size());
  std::string& line = lines[at];
  switch (numbers.below(12)) {
    case 0:  // a line left out: a '*', an exit, a marker
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
      break;
    case 1:  // a line given twice
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), line);
      break;
    case 2:  // a '*' inside a text, or anywhere
      line.insert(numbers.below(line.size() + 1), 1, '*');
      break;
    case 3:  // a blank, or a no-break space, where it does not belong
      line = [&line](std::size_t at, std::string blank) {
        return line.substr(0, at) + blank + line.substr(at);
      }(numbers.below(line.size() + 1), numbers.below(2) ? " " : "\xc2\xa0");
      break;
    case 4:  // a marker line copied somewhere else
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(numbers.below(lines.size())),
                   lines[numbers.below(lines.size())]);
      break;
    case 5:  // a letter in other capitals
      if (!line.empty()) {
        char& c = line[numbers.below(line.size())];
        if (std::isalpha(static_cast<unsigned char>(c))) c ^= 0x20;
      }
      break;
    case 6:  // two lines joined
      if (at + 1 < lines.size()) {
        line.append(" ").append(lines[at + 1]);
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at) + 1);
      }
      break;
    case 7:  // Windows line ends on some lines
      line += "\r";
      break;
    case 8:  // the file cut short
      lines.resize(at + 1);
      line.resize(numbers.below(line.size() + 1));
      return join(lines).substr(0, join(lines).size() - numbers.below(2));
    case 9:  // a word swapped for another line's word
      line = lines[numbers.below(lines.size())];
      break;
    case 10:  // a count changed
      for (char& c : line) {
        if (c >= '0' && c <= '9') c = static_cast<char>('0' + numbers.below(6));
      }
      break;
    default:  // a marker broken in two
      if (line.size() > 3 && line.front() == '<') line.insert(line.size() / 2, 1, ' ');
      break;
  }
  return join(lines);
}

TEST(SurveyAgreementTest, GeneratedWorlds) {
  for (const std::int64_t rooms : {1, 2, 7, 101, 250}) {
    for (const StartAt start : {StartAt::kFirst, StartAt::kMiddle, StartAt::kLast}) {
      SCOPED_TRACE(std::to_string(rooms) + " rooms");
      Numbers numbers(static_cast<std::uint64_t>(rooms));
      EXPECT_EQ(disagreements(generated(rooms, start)), "");
      EXPECT_EQ(disagreements(with_labels(generated(rooms, start), numbers)), "");
    }
  }
}

// Worlds with one to four slips each, read through buffers of every small size too, so that
// lines and words are cut at every place.
TEST(SurveyAgreementTest, WorldsWithSlips) {
  // The third has other labels than English ones, different for each seed.
  const std::vector<std::string> worlds = {file_bytes(WANDER_SAMPLE_WORLD),
                                           generated(12, StartAt::kMiddle),
                                           generated(12, StartAt::kMiddle)};
  for (std::size_t w = 0; w < worlds.size(); ++w) {
    for (std::uint64_t seed = 1; seed <= 300; ++seed) {
      Numbers numbers(seed + 1000 * w);
      std::string world = w == 2 ? with_labels(worlds[w], numbers) : worlds[w];
      for (std::size_t slips = 1 + numbers.below(4); slips > 0; --slips) {
        world = with_slip(world, numbers);
      }
      const std::size_t capacity = seed % 3 == 0 ? 4 + numbers.below(60) : 256 * 1024;
      const std::string found = disagreements(world, capacity);
      EXPECT_EQ(found, "") << "world " << w << ", seed " << seed << ":\n" << world;
      if (!found.empty()) return;
    }
  }
}

// The corners of the lookup, each a world of its own in tests/survey_worlds: a marker inside
// another block's text, one marker line again and again, names holding '|', a marker on the
// last line, cut-short blocks, NUL bytes and lone CRs, counts past the names, missing headers.
TEST(SurveyAgreementTest, CornersOfTheLookup) {
  int worlds = 0;
  for (const auto& entry : std::filesystem::directory_iterator(WANDER_SURVEY_WORLDS)) {
    const std::string world = file_bytes(entry.path());
    ++worlds;
    for (const std::size_t capacity : {std::size_t{4}, std::size_t{9}, std::size_t{256 * 1024}}) {
      EXPECT_EQ(disagreements(world, capacity), "") << entry.path() << ":\n" << world;
    }
  }
  EXPECT_GE(worlds, 12);
}

}  // namespace
}  // namespace wander::testing
