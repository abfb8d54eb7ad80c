// Diagnostics as JSON: the strings of json_printer_test.txt, and the whole document for
// diagnostics made by hand, json_printer_test.json, written out by hand: every kind of value the
// writer lays out, and empty arrays, are in it.
#include "tools/diagnostics/json_printer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/captured.h"
#include "tests/support/sample_diagnostics.h"
#include "tests/support/test_tables.h"
#include "tools/diagnostics/json_output.h"
#include "tools/names/printable.h"

namespace wander {
namespace {

using testing::written;

class JsonStringTest : public ::testing::TestWithParam<testing::TableRow> {};

TEST_P(JsonStringTest, Tables) {
  const std::vector<std::string>& row = GetParam().words;
  ASSERT_EQ(row[0], "string");
  EXPECT_EQ(json_string_contents(row[1]), row.at(2));
}
WANDER_TABLE_ROWS(JsonStringTest, WANDER_JSON_PRINTER_CASES);

TEST(WriteJsonTest, EveryField) {
  EXPECT_EQ(written([](std::FILE* out) {
              write_json(out, testing::kSampleFileName, testing::sample_diagnostics());
            }),
            testing::file_bytes(WANDER_JSON_PRINTER_DOCUMENT));
}

}  // namespace
}  // namespace wander
