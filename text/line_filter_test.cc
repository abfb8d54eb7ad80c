#include "text/line_filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/test_tables.h"

namespace wander {
namespace {

std::string repeat(std::string_view piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

// Every width this processor runs, byte by byte first.
std::vector<FilterWidth> widths() {
  std::vector<FilterWidth> all;
  for (FilterWidth width : {FilterWidth::kOne, FilterWidth::kSixteen, FilterWidth::kThirtyTwo}) {
    if (width <= widest_filter()) all.push_back(width);
  }
  return all;
}

// Every candidate from `from` to `to`, found by calling the filter again one past each.
std::vector<std::size_t> candidates(FilterWidth width, const std::string& text, std::size_t from,
                                    std::size_t to, std::string_view wanted, std::size_t& stopped) {
  // A copy of exactly `to` bytes, so that a sanitized build catches any read past the end.
  const std::vector<char> bytes(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(to));
  const char* const begin = bytes.data();
  const char* const end = begin + to;
  std::vector<std::size_t> found;
  const char* at = begin + from;
  for (;;) {
    at = find_line_candidate(width, at, end, wanted);
    if (at + wanted.size() >= end) break;
    found.push_back(static_cast<std::size_t>(at - begin));
    ++at;
  }
  stopped = static_cast<std::size_t>(at - begin);
  return found;
}

// Every width, from every start and to every end: each finds every place where an LF and the
// wanted line stand (a plain search finds those), each candidate passes the test, the widths
// agree with the byte-by-byte filter, and where they stop is the first place they could not test.
class LineFilterRows : public ::testing::TestWithParam<testing::TableRow> {};

TEST_P(LineFilterRows, AgreesWithAPlainSearchFromEveryStartToEveryEnd) {
  const std::vector<std::string>& row = GetParam().words;
  ASSERT_EQ(row.at(0), "filter");
  const std::string& wanted = row.at(2);
  const std::string needle = "\n" + wanted;
  // Shifting the text, and starting at many places, moves every candidate across the vectors.
  for (std::size_t shift = 0; shift < 17; ++shift) {
    const std::string text = std::string(shift, 'x') + row.at(3);
    for (std::size_t to = 0; to <= text.size(); ++to) {
      for (std::size_t from = 0; from <= to; from += (from < shift + 3 ? 1 : 5)) {
        SCOPED_TRACE(row[1] + " shift " + std::to_string(shift) + " from " + std::to_string(from) +
                     " to " + std::to_string(to));
        std::size_t plain_stop = 0;
        const auto plain = candidates(FilterWidth::kOne, text, from, to, wanted, plain_stop);
        ASSERT_EQ(plain_stop, std::max(from, to >= wanted.size() ? to - wanted.size() : 0));
        for (FilterWidth width : widths()) {
          std::size_t stop = 0;
          ASSERT_EQ(candidates(width, text, from, to, wanted, stop), plain)
              << static_cast<int>(width) << " at once";
          ASSERT_EQ(stop, plain_stop) << static_cast<int>(width) << " at once";
        }
        std::vector<std::size_t> expected;
        for (std::size_t at = text.find(needle, from); at != std::string::npos && at < to;
             at = text.find(needle, at + 1)) {
          if (at + needle.size() <= to) expected.push_back(at);
        }
        for (std::size_t at : expected) {
          ASSERT_NE(std::find(plain.begin(), plain.end(), at), plain.end()) << "missed " << at;
        }
        for (std::size_t at : plain) {
          ASSERT_TRUE(is_line_candidate(text.data() + at, wanted)) << "passed " << at;
        }
      }
    }
  }
}
WANDER_TABLE_ROWS(LineFilterRows, WANDER_LINE_FILTER_CASES);

// A lone candidate far into a long text, at every place within the filter's rounds of 64 bytes,
// each round preceded by near misses the filter must pass over.
TEST(LineFilterTest, FindsALoneCandidateAtEveryPlaceInARound) {
  const std::string near_misses = repeat("<R7 \n<R8>\nx<R7>\n", 8);
  for (std::size_t place = near_misses.size(); place < near_misses.size() + 130; ++place) {
    std::string text = near_misses + std::string(300, 'x');
    text.replace(place, 6, "\n<R7>\n");
    for (std::size_t from : {std::size_t{0}, std::size_t{1}, std::size_t{17}, std::size_t{63}}) {
      SCOPED_TRACE("place " + std::to_string(place) + " from " + std::to_string(from));
      for (FilterWidth width : widths()) {
        std::size_t stopped = 0;
        const auto found = candidates(width, text, from, text.size(), "<R7>", stopped);
        ASSERT_EQ(found, std::vector<std::size_t>{place}) << static_cast<int>(width) << " at once";
      }
    }
  }
}

// Near misses must not all pass: the filter is only worth having when it turns most of them away.
TEST(LineFilterTest, TurnsAwayOtherMarkersOfTheSameShape) {
  std::string text;
  for (int i = 0; i < 1000; ++i) {
    text += "<R" + std::to_string(1000000 + i) + ">\nA room.\n*\n";
  }
  // Only the markers that end in the same digit pass: one in ten, the one wanted among them.
  for (FilterWidth width : widths()) {
    std::size_t stopped = 0;
    EXPECT_EQ(candidates(width, text, 0, text.size(), "<R1000456>", stopped).size(), 100u)
        << static_cast<int>(width) << " at once";
  }
}

}  // namespace
}  // namespace wander
