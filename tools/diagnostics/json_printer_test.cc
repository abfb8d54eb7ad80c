// Diagnostics as JSON: the strings of json_printer_test.txt, the layout of the writer, and the
// whole document for diagnostics made by hand, json_printer_test.json, written out by hand.
#include "tools/diagnostics/json_printer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/captured.h"
#include "tests/support/sample_diagnostics.h"
#include "tests/support/test_tables.h"
#include "tools/diagnostics/json_writer.h"
#include "tools/names/printable.h"

namespace wander {
namespace {

using testing::written;

TEST(JsonStringTest, Tables) {
  for (const std::vector<std::string>& row : testing::table_rows(WANDER_JSON_PRINTER_CASES)) {
    SCOPED_TRACE(printable(row.at(1)));
    ASSERT_EQ(row[0], "string");
    EXPECT_EQ(json_string_contents(row[1]), row.at(2));
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

TEST(WriteJsonTest, EveryField) {
  EXPECT_EQ(written([](std::FILE* out) {
              write_json(out, testing::kSampleFileName, testing::sample_diagnostics());
            }),
            testing::file_bytes(WANDER_JSON_PRINTER_DOCUMENT));
}

// Many diagnostics: the writer's holding buffer is written out a piece at a time, in order, each
// piece once.
TEST(WriteJsonTest, ManyDiagnosticsKeepTheirOrder) {
  std::vector<Diagnostic> diagnostics(2000);
  for (std::size_t i = 0; i < diagnostics.size(); ++i) {
    diagnostics[i].range = {TextPlace{i * 10, static_cast<std::int64_t>(i + 1), i * 10}, 1};
    diagnostics[i].message = "problem " + std::to_string(i);
  }
  const std::string text =
      written([&](std::FILE* out) { write_json(out, "World.txt", diagnostics); });
  std::size_t at = 0;
  for (std::size_t i = 0; i < diagnostics.size(); ++i) {
    at = text.find("\"message\": \"problem " + std::to_string(i) + "\"", at);
    ASSERT_NE(at, std::string::npos) << "problem " << i;
  }
  std::size_t kinds = 0;
  for (at = text.find("\"kind\""); at != std::string::npos; at = text.find("\"kind\"", at + 1)) {
    ++kinds;
  }
  EXPECT_EQ(kinds, diagnostics.size());
  EXPECT_TRUE(text.ends_with("\"errors\": 2000,\n    \"warnings\": 0\n  }\n}\n"));
}

}  // namespace
}  // namespace wander
