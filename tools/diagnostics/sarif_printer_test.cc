// Diagnostics as SARIF: regions and URIs, most of their cases the rows of sarif_printer_test.txt,
// each region found through readers that hand out the text in pieces of every size; and the
// whole log for diagnostics made by hand, sarif_printer_test.sarif, written out by hand.
#include "tools/diagnostics/sarif_printer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/captured.h"
#include "tests/support/sample_diagnostics.h"
#include "tests/support/test_tables.h"
#include "tools/names/printable.h"

namespace wander {
namespace {

using testing::range_in;
using testing::written;

std::string region_words(const SarifRegion& r) {
  return std::to_string(r.start_line) + ":" + std::to_string(r.start_column) + "-" +
         std::to_string(r.end_line) + ":" + std::to_string(r.end_column);
}

// Readers over `text` of every kind the regions must not tell apart: buffers of 4 bytes (the
// least) and more, and a source that hands out a byte a read.
struct ReaderSetup {
  std::size_t capacity;
  std::size_t most_per_read;
};
constexpr std::array<ReaderSetup, 5> kReaderSetups = {
    {{4, SIZE_MAX}, {5, SIZE_MAX}, {7, 1}, {64, 3}, {TextReader::kDefaultCapacity, SIZE_MAX}}};

TextReader reader_over(std::string_view text, const ReaderSetup& setup) {
  TextReader reader(make_string_source(std::string(text), setup.most_per_read), setup.capacity);
  reader.count_lines();
  return reader;
}

TEST(SarifRegionsTest, Tables) {
  int rows = 0;
  for (const std::vector<std::string>& row : testing::table_rows(WANDER_SARIF_PRINTER_CASES)) {
    SCOPED_TRACE(printable(row.at(1)));
    if (row[0] == "uri") {
      EXPECT_EQ(path_uri(row[1]), row.at(2));
      continue;
    }
    ASSERT_EQ(row[0], "region");
    const TextRange range =
        range_in(row[1], std::stoll(row.at(2)), std::stoull(row.at(3)), std::stoull(row.at(4)));
    for (const ReaderSetup& setup : kReaderSetups) {
      SCOPED_TRACE("buffer of " + std::to_string(setup.capacity));
      TextReader reader = reader_over(row[1], setup);
      SarifRegions regions(reader);
      EXPECT_EQ(region_words(regions.region(range)), row.at(5));
    }
    ++rows;
  }
  EXPECT_GT(rows, 0);
}

// One walker asked in any order gives what a new walker gives for each range alone: it goes back
// to a line's start when a range stands before the place it reached.
TEST(SarifRegionsTest, RangesInAnyOrder) {
  const std::string text =
      "Start: \xe6\x9d\xb1\n"
      "North: \xf0\x9f\x98\x80 East: \xff\xfeKitchn South: None\r\n"
      "\t\xe2\x82 caf\xc3\xa9 X";
  const std::vector<TextRange> ranges = {
      range_in(text, 2, 8, 4),  range_in(text, 2, 19, 8), range_in(text, 2, 1, 5),
      range_in(text, 1, 8, 3),  range_in(text, 3, 11, 1), range_in(text, 2, 39, 1),
      range_in(text, 2, 20, 3), range_in(text, 3, 1, 1),  range_in(text, 3, 12, 1),
  };
  std::vector<SarifRegion> alone;
  for (const TextRange& range : ranges) {
    TextReader reader = reader_over(text, kReaderSetups.back());
    alone.push_back(SarifRegions(reader).region(range));
  }
  EXPECT_EQ(region_words(alone[0]), "2:8-2:10");
  EXPECT_EQ(region_words(alone[1]), "2:17-2:25");
  EXPECT_EQ(region_words(alone[4]), "3:9-3:10");
  EXPECT_EQ(region_words(alone[5]), "2:37-3:1");
  EXPECT_EQ(region_words(alone[8]), "3:10-3:10");
  for (const ReaderSetup& setup : kReaderSetups) {
    SCOPED_TRACE("buffer of " + std::to_string(setup.capacity));
    TextReader reader = reader_over(text, setup);
    SarifRegions regions(reader);
    for (const std::size_t i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 8, 7, 6, 5, 4, 3, 2, 1, 0, 6, 0, 1}) {
      EXPECT_EQ(regions.region(ranges[i]), alone[i]) << "range " << i;
    }
  }
}

// A place far along a long line is counted from the line's start, piece by piece.
TEST(SarifRegionsTest, LongLine) {
  std::string line;
  for (int i = 0; i < 100000; ++i) line += "\xf0\x9f\x98\x80";
  line += "X \xe6\x9d\xb1\n";
  for (const std::size_t capacity : {std::size_t{64}, TextReader::kDefaultCapacity}) {
    TextReader reader = reader_over(line, {capacity, SIZE_MAX});
    SarifRegions regions(reader);
    EXPECT_EQ(region_words(regions.region(range_in(line, 1, 400001, 1))), "1:200001-1:200002");
    EXPECT_EQ(region_words(regions.region(range_in(line, 1, 400003, 3))), "1:200003-1:200004");
    EXPECT_EQ(region_words(regions.region(range_in(line, 1, 399998, 3))), "1:199999-1:200001");
  }
}

// The log of the sample diagnostics, its lines read a byte at a time through the smallest buffer.
TEST(WriteSarifTest, EveryField) {
  const std::array<const DiagnosticKind*, 2> kinds = {&testing::kCountKind,
                                                      &testing::kMissingBlock};
  TextReader source = reader_over(testing::kSampleText, {4, 1});
  EXPECT_EQ(written([&](std::FILE* out) {
              write_sarif(out, testing::kSampleFileName, testing::sample_diagnostics(), source,
                          {"wander-world", "1.2.3", kinds});
            }),
            testing::file_bytes(WANDER_SARIF_PRINTER_DOCUMENT));
}

}  // namespace
}  // namespace wander
