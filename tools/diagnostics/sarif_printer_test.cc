// Diagnostics as SARIF: regions and URIs, most of their cases the rows of sarif_printer_test.txt,
// each region found through readers that hand out the text in pieces of every size; and a log
// written from diagnostics made by hand, read back.
#include "tools/diagnostics/sarif_printer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/json_reader.h"
#include "tests/support/test_tables.h"
#include "tools/names/printable.h"

namespace wander {
namespace {

using testing::JsonValue;
using testing::read_json;

std::string written(const std::function<void(std::FILE*)>& write) {
  std::FILE* file = std::tmpfile();
  write(file);
  std::string bytes(static_cast<std::size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  std::fclose(file);
  return bytes;
}

std::string region_words(const SarifRegion& r) {
  return std::to_string(r.start_line) + ":" + std::to_string(r.start_column) + "-" +
         std::to_string(r.end_line) + ":" + std::to_string(r.end_column);
}

// The range at byte `column` of line `line` of `text`.
TextRange range_in(std::string_view text, std::int64_t line, std::uint64_t column,
                   std::uint64_t width) {
  std::uint64_t line_start = 0;
  for (std::int64_t n = 1; n < line; ++n) line_start = text.find('\n', line_start) + 1;
  return {TextPlace{line_start + column - 1, line, line_start}, width};
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

constexpr DiagnosticKind kCountKind = {"count-above-names", Severity::kError,
                                       "An object count is above the names given."};
constexpr DiagnosticKind kMissingBlock = {"missing-block", Severity::kError,
                                          "An exit names a \"block\" there is not."};
constexpr DiagnosticKind kUnreachable = {"unreachable-room", Severity::kWarning,
                                         "No way leads from the start to the room."};

TEST(WriteSarifTest, EveryFieldReadsBack) {
  // Line 2: a face (two units) before the exits; line 3: a tab, a byte that is not UTF-8 and "é"
  // before X; line 4: no line end.
  const std::string text =
      "Start: Hall\n"
      "North: \xf0\x9f\x98\x80 East: Kitchn\n"
      "\t\xff caf\xc3\xa9 X\n"
      "end";
  std::vector<Diagnostic> diagnostics(4);
  Diagnostic& misspelt = diagnostics[0];
  misspelt.kind = &kMissingBlock;
  misspelt.range = range_in(text, 2, 19, 6);
  misspelt.message = "room 'Hall': the east exit leads to room 'Kitchn'";
  misspelt.more = 2;
  misspelt.notes = {{range_in(text, 3, 10, 1), "X is here"},
                    {range_in(text, 1, 8, 4), "the start, before the place"}};
  misspelt.fixes = {{range_in(text, 2, 19, 6), "Kitchen", true},
                    {range_in(text, 2, 19, 6), "K\xff\x1b", false},
                    {range_in(text, 2, 19, 6), "\xff\xfe", false}};
  diagnostics[1].kind = &kUnreachable;
  diagnostics[1].severity = Severity::kWarning;
  diagnostics[1].range = range_in(text, 2, 8, 4);
  diagnostics[1].message = "the face \\x1b";
  diagnostics[1].more = 1;
  diagnostics[2].range = range_in(text, 4, 4, 1);
  diagnostics[2].message = "no kind, at the end of the text";
  diagnostics[3].kind = &kMissingBlock;
  diagnostics[3].severity = Severity::kWarning;
  diagnostics[3].range = range_in(text, 2, 25, 1);
  diagnostics[3].message = "at the line's end";

  const std::array<const DiagnosticKind*, 2> kinds = {&kCountKind, &kMissingBlock};
  TextReader source = reader_over(text, {4, 1});
  const JsonValue log = read_json(written([&](std::FILE* out) {
    write_sarif(out, "my w\xf6rld.txt", diagnostics, source, {"wander-world", "1.2.3", kinds});
  }));

  EXPECT_EQ(log["version"].as_string(), "2.1.0");
  EXPECT_NE(log["$schema"].as_string().find("sarif-schema-2.1.0.json"), std::string::npos);
  ASSERT_EQ(log["runs"].items.size(), 1u);
  const JsonValue& run = log["runs"][0];
  EXPECT_EQ(run["columnKind"].as_string(), "utf16CodeUnits");
  const JsonValue& driver = run["tool"]["driver"];
  EXPECT_EQ(driver["name"].as_string(), "wander-world");
  EXPECT_EQ(driver["version"].as_string(), "1.2.3");
  // The kinds given, then those raised that were not given, then the one of no kind.
  const std::vector<std::array<std::string, 3>> rules = {
      {"count-above-names", "An object count is above the names given.", "error"},
      {"missing-block", "An exit names a \"block\" there is not.", "error"},
      {"unreachable-room", "No way leads from the start to the room.", "warning"},
      {"unclassified", "A problem raised without a kind of its own.", "error"}};
  ASSERT_EQ(driver["rules"].items.size(), rules.size());
  for (std::size_t i = 0; i < rules.size(); ++i) {
    const JsonValue& rule = driver["rules"][i];
    EXPECT_EQ(rule["id"].as_string(), rules[i][0]);
    EXPECT_EQ(rule["shortDescription"]["text"].as_string(), rules[i][1]);
    EXPECT_EQ(rule["defaultConfiguration"]["level"].as_string(), rules[i][2]);
  }
  EXPECT_EQ(run["artifacts"][0]["location"]["uri"].as_string(), "my%20w%F6rld.txt");
  EXPECT_EQ(run["artifacts"][0]["roles"][0].as_string(), "analysisTarget");

  const JsonValue& results = run["results"];
  ASSERT_EQ(results.items.size(), 4u);
  const auto region_of = [](const JsonValue& region) {
    EXPECT_EQ(region.keys(),
              (std::vector<std::string>{"startLine", "startColumn", "endLine", "endColumn"}));
    return std::to_string(region["startLine"].as_int()) + ":" +
           std::to_string(region["startColumn"].as_int()) + "-" +
           std::to_string(region["endLine"].as_int()) + ":" +
           std::to_string(region["endColumn"].as_int());
  };
  const auto where = [&](const JsonValue& location) {
    const JsonValue& physical = location["physicalLocation"];
    EXPECT_EQ(physical["artifactLocation"]["uri"].as_string(), "my%20w%F6rld.txt");
    EXPECT_EQ(physical["artifactLocation"]["index"].as_int(), 0);
    return region_of(physical["region"]);
  };

  const JsonValue& first = results[0];
  EXPECT_EQ(first["ruleId"].as_string(), "missing-block");
  EXPECT_EQ(first["ruleIndex"].as_int(), 1);
  EXPECT_EQ(first["level"].as_string(), "error");
  EXPECT_EQ(first["message"]["text"].as_string(),
            "room 'Hall': the east exit leads to room 'Kitchn' (2 more problems follow from this, in the blocks inside the text)");
  EXPECT_EQ(where(first["locations"][0]), "2:17-2:23");
  ASSERT_EQ(first["relatedLocations"].items.size(), 2u);
  EXPECT_EQ(first["relatedLocations"][0]["id"].as_int(), 1);
  EXPECT_EQ(where(first["relatedLocations"][0]), "3:9-3:10");
  EXPECT_EQ(first["relatedLocations"][0]["message"]["text"].as_string(), "X is here");
  EXPECT_EQ(first["relatedLocations"][1]["id"].as_int(), 2);
  EXPECT_EQ(where(first["relatedLocations"][1]), "1:8-1:12");
  EXPECT_EQ(first["properties"]["more"].as_int(), 2);
  ASSERT_EQ(first["fixes"].items.size(), 3u);
  const std::array<std::array<std::string, 2>, 3> inserted = {
      {{"text", "Kitchen"}, {"binary", "S/8b"}, {"binary", "//4="}}};
  for (std::size_t i = 0; i < inserted.size(); ++i) {
    const JsonValue& fix = first["fixes"][i];
    EXPECT_EQ(fix["properties"]["certain"].boolean, i == 0);
    ASSERT_EQ(fix["artifactChanges"].items.size(), 1u);
    const JsonValue& change = fix["artifactChanges"][0];
    EXPECT_EQ(change["artifactLocation"]["uri"].as_string(), "my%20w%F6rld.txt");
    ASSERT_EQ(change["replacements"].items.size(), 1u);
    const JsonValue& replacement = change["replacements"][0];
    EXPECT_EQ(region_of(replacement["deletedRegion"]), "2:17-2:23");
    EXPECT_EQ(replacement["insertedContent"].keys(), std::vector<std::string>{inserted[i][0]});
    EXPECT_EQ(replacement["insertedContent"][inserted[i][0]].as_string(), inserted[i][1]);
  }

  const JsonValue& second = results[1];
  EXPECT_EQ(second["ruleId"].as_string(), "unreachable-room");
  EXPECT_EQ(second["ruleIndex"].as_int(), 2);
  EXPECT_EQ(second["level"].as_string(), "warning");
  EXPECT_EQ(second["message"]["text"].as_string(),
            "the face \\x1b (1 more problem follows from this, in the blocks inside the text)");
  EXPECT_EQ(where(second["locations"][0]), "2:8-2:10");
  EXPECT_FALSE(second.has("relatedLocations"));
  EXPECT_FALSE(second.has("fixes"));

  EXPECT_EQ(results[2]["ruleId"].as_string(), "unclassified");
  EXPECT_EQ(results[2]["ruleIndex"].as_int(), 3);
  EXPECT_EQ(results[2]["message"]["text"].as_string(), "no kind, at the end of the text");
  EXPECT_EQ(where(results[2]["locations"][0]), "4:4-4:4");
  EXPECT_EQ(results[2]["properties"]["more"].as_int(), 0);

  // A kind's severity changed by an option: the result says so, the rule keeps its default.
  EXPECT_EQ(results[3]["ruleIndex"].as_int(), 1);
  EXPECT_EQ(results[3]["level"].as_string(), "warning");
  EXPECT_EQ(where(results[3]["locations"][0]), "2:23-3:1");
}

}  // namespace
}  // namespace wander
