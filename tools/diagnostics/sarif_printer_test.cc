// Diagnostics as SARIF: regions and URIs, most of their cases the rows of sarif_printer_test.txt,
// each region found through readers that hand out the text in pieces of every size, alone and
// with the other ranges of its text in one walker; and the whole log for diagnostics made by
// hand, sarif_printer_test.sarif, written out by hand.
#include "tools/diagnostics/sarif_printer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
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
  // The region rows by text, in the order written.
  std::map<std::string, std::vector<std::pair<TextRange, std::string>>> texts;
  for (const std::vector<std::string>& row : testing::table_rows(WANDER_SARIF_PRINTER_CASES)) {
    SCOPED_TRACE(printable(row.at(1)));
    if (row[0] == "uri") {
      EXPECT_EQ(path_uri(row[1]), row.at(2));
      continue;
    }
    ASSERT_EQ(row[0], "region");
    const TextRange range =
        range_in(row[1], std::stoll(row.at(2)), std::stoull(row.at(3)), std::stoull(row.at(4)));
    texts[row[1]].emplace_back(range, row.at(5));
    for (const ReaderSetup& setup : kReaderSetups) {
      SCOPED_TRACE("buffer of " + std::to_string(setup.capacity));
      TextReader reader = reader_over(row[1], setup);
      SarifRegions regions(reader);
      EXPECT_EQ(region_words(regions.region(range)), row.at(5));
    }
  }
  EXPECT_FALSE(texts.empty());
  for (const auto& [text, ranges] : texts) {
    for (const ReaderSetup& setup : kReaderSetups) {
      SCOPED_TRACE(printable(text) + " in one walker, buffer of " + std::to_string(setup.capacity));
      TextReader reader = reader_over(text, setup);
      SarifRegions regions(reader);
      const std::size_t n = ranges.size();
      for (std::size_t i = 0; i < 3 * n; ++i) {
        const auto& [range, region] = ranges[i / n == 1 ? 2 * n - 1 - i : i % n];
        EXPECT_EQ(region_words(regions.region(range)), region) << "ask " << i;
      }
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
