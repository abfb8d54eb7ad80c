// Diagnostics as JSON, read back: the strings of json_printer_test.txt, and documents written from
// diagnostics made by hand.
#include "tools/diagnostics/json_printer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/json_reader.h"
#include "tests/support/test_tables.h"
#include "tools/diagnostics/json_writer.h"
#include "tools/names/printable.h"

namespace wander {
namespace {

using testing::JsonValue;
using testing::read_json;

// What `write` writes to a stream.
std::string written(const std::function<void(std::FILE*)>& write) {
  std::FILE* file = std::tmpfile();
  write(file);
  std::string bytes(static_cast<std::size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  std::fclose(file);
  return bytes;
}

// The bytes with each byte that is not part of valid UTF-8 replaced by U+FFFD.
std::string replaced(std::string_view bytes) {
  std::string out;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = utf8_length(bytes.substr(at));
    out += length == 0 ? "\xef\xbf\xbd" : bytes.substr(at, length);
    at += std::max<std::size_t>(length, 1);
  }
  return out;
}

TEST(JsonStringTest, Tables) {
  for (const std::vector<std::string>& row : testing::table_rows(WANDER_JSON_PRINTER_CASES)) {
    SCOPED_TRACE(printable(row.at(1)));
    ASSERT_EQ(row[0], "string");
    EXPECT_EQ(json_string_contents(row[1]), row.at(2));
    EXPECT_EQ(read_json("\"" + row[2] + "\"").as_string(), replaced(row[1]));
    EXPECT_EQ(is_valid_utf8(row[1]), replaced(row[1]) == row[1]);
  }
}

TEST(JsonWriterTest, LaysOutLevelsAndEmptyContainers) {
  const std::string text = written([](std::FILE* out) {
    JsonWriter json(out);
    json.begin_object();
    json.key("a");
    json.begin_array();
    json.number(std::int64_t{-1});
    json.boolean(true);
    json.null();
    json.end_array();
    json.key("b");
    json.begin_array();
    json.end_array();
    json.key("c");
    json.begin_object();
    json.end_object();
    json.end_object();
    json.finish();
  });
  EXPECT_EQ(text,
            "{\n  \"a\": [\n    -1,\n    true,\n    null\n  ],\n  \"b\": [],\n  \"c\": {}\n}\n");
}

constexpr DiagnosticKind kMissingBlock = {"missing-block", Severity::kError,
                                          "An exit or a listed object names a block there is not."};
constexpr DiagnosticKind kUnreachable = {"unreachable-room", Severity::kWarning,
                                         "No way leads from the start to the room."};

TextRange range_at(std::uint64_t offset, std::int64_t line, std::uint64_t line_start,
                   std::uint64_t width) {
  return {TextPlace{offset, line, line_start}, width};
}

// What a JSON range says, as "LINE:COLUMN+LENGTH@OFFSET".
std::string range_words(const JsonValue& range) {
  EXPECT_EQ(range.keys(), (std::vector<std::string>{"line", "column", "offset", "length"}));
  return std::to_string(range["line"].as_int()) + ":" + std::to_string(range["column"].as_int()) +
         "+" + std::to_string(range["length"].as_int()) + "@" +
         std::to_string(range["offset"].as_int());
}

TEST(WriteJsonTest, EveryFieldReadsBack) {
  std::vector<Diagnostic> diagnostics(3);
  Diagnostic& misspelt = diagnostics[0];
  misspelt.kind = &kMissingBlock;
  misspelt.range = range_at(110, 5, 103, 6);
  misspelt.message = "room 'Hall': the north exit leads to room 'Kitchn'\t\\x1b";
  misspelt.notes = {{range_at(200, 9, 195, 2), "the game keeps the player in 'Hall'"},
                    {range_at(300, 12, 300, 1), "and here"}};
  misspelt.more = 3;
  misspelt.fixes = {{range_at(110, 5, 103, 6), "Kitchen", true},
                    {range_at(110, 5, 103, 6), "K\xff\x1b\xc3\xa9", false}};
  diagnostics[1].kind = &kUnreachable;
  diagnostics[1].severity = Severity::kWarning;
  diagnostics[1].range = range_at(400, 20, 390, 1);
  diagnostics[1].message = "room '\xe6\x9d\xb1' cannot be reached";
  // A warning raised as an error, as an option can make it; and one raised without a kind.
  diagnostics[2].severity = Severity::kError;
  diagnostics[2].range = range_at(500, 30, 490, 4);
  diagnostics[2].message = "at the end";

  const std::string text =
      written([&](std::FILE* out) { write_json(out, "w\xf6rld\n.txt", diagnostics); });
  const JsonValue doc = read_json(text);
  EXPECT_EQ(doc.keys(),
            (std::vector<std::string>{"version", "file", "file_hex", "diagnostics", "summary"}));
  EXPECT_EQ(doc["version"].as_int(), kDiagnosticsJsonVersion);
  EXPECT_EQ(doc["file"].as_string(), "w\xef\xbf\xbdrld\n.txt");
  EXPECT_EQ(doc["file_hex"].as_string(), "77f6726c640a2e747874");
  EXPECT_EQ(doc["summary"]["errors"].as_int(), 2);
  EXPECT_EQ(doc["summary"]["warnings"].as_int(), 1);
  ASSERT_EQ(doc["diagnostics"].items.size(), 3u);

  const JsonValue& first = doc["diagnostics"][0];
  EXPECT_EQ(first.keys(), (std::vector<std::string>{"kind", "severity", "message", "range", "notes",
                                                    "more", "fixes"}));
  EXPECT_EQ(first["kind"].as_string(), "missing-block");
  EXPECT_EQ(first["severity"].as_string(), "error");
  EXPECT_EQ(first["message"].as_string(), misspelt.message);
  EXPECT_EQ(range_words(first["range"]), "5:8+6@110");
  ASSERT_EQ(first["notes"].items.size(), 2u);
  EXPECT_EQ(range_words(first["notes"][0]["range"]), "9:6+2@200");
  EXPECT_EQ(first["notes"][0]["message"].as_string(), "the game keeps the player in 'Hall'");
  EXPECT_EQ(range_words(first["notes"][1]["range"]), "12:1+1@300");
  EXPECT_EQ(first["more"].as_int(), 3);
  ASSERT_EQ(first["fixes"].items.size(), 2u);
  const JsonValue& certain = first["fixes"][0];
  EXPECT_EQ(certain.keys(), (std::vector<std::string>{"range", "replacement", "certain"}));
  EXPECT_EQ(range_words(certain["range"]), "5:8+6@110");
  EXPECT_EQ(certain["replacement"].as_string(), "Kitchen");
  EXPECT_TRUE(certain["certain"].boolean);
  const JsonValue& offered = first["fixes"][1];
  EXPECT_EQ(offered["replacement"].as_string(), "K\xef\xbf\xbd\x1b\xc3\xa9");
  EXPECT_EQ(offered["replacement_hex"].as_string(), "4bff1bc3a9");
  EXPECT_EQ(offered["certain"].type, JsonValue::Type::kBool);
  EXPECT_FALSE(offered["certain"].boolean);

  const JsonValue& second = doc["diagnostics"][1];
  EXPECT_EQ(second["kind"].as_string(), "unreachable-room");
  EXPECT_EQ(second["severity"].as_string(), "warning");
  EXPECT_EQ(second["message"].as_string(), "room '\xe6\x9d\xb1' cannot be reached");
  EXPECT_EQ(second["more"].as_int(), 0);
  EXPECT_TRUE(second["notes"].items.empty());
  EXPECT_TRUE(second["fixes"].items.empty());

  const JsonValue& third = doc["diagnostics"][2];
  EXPECT_EQ(third["kind"].type, JsonValue::Type::kNull);
  EXPECT_EQ(third["severity"].as_string(), "error");
  EXPECT_EQ(range_words(third["range"]), "30:11+4@500");
}

TEST(WriteJsonTest, NoDiagnostics) {
  const std::string text = written([](std::FILE* out) { write_json(out, "World.txt", {}); });
  EXPECT_EQ(text,
            "{\n  \"version\": 1,\n  \"file\": \"World.txt\",\n  \"diagnostics\": [],\n"
            "  \"summary\": {\n    \"errors\": 0,\n    \"warnings\": 0\n  }\n}\n");
}

// Many diagnostics: the writer's holding buffer is written out a piece at a time, in order.
TEST(WriteJsonTest, ManyDiagnosticsKeepTheirOrder) {
  std::vector<Diagnostic> diagnostics(2000);
  for (std::size_t i = 0; i < diagnostics.size(); ++i) {
    diagnostics[i].kind = &kMissingBlock;
    diagnostics[i].range = range_at(i * 10, static_cast<std::int64_t>(i + 1), i * 10, 1);
    diagnostics[i].message = "problem " + std::to_string(i);
  }
  const JsonValue doc =
      read_json(written([&](std::FILE* out) { write_json(out, "World.txt", diagnostics); }));
  ASSERT_EQ(doc["diagnostics"].items.size(), diagnostics.size());
  for (std::size_t i = 0; i < diagnostics.size(); ++i) {
    EXPECT_EQ(doc["diagnostics"][i]["message"].as_string(), diagnostics[i].message);
  }
  EXPECT_EQ(doc["summary"]["errors"].as_int(), 2000);
}

}  // namespace
}  // namespace wander
