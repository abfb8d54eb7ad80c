// Source lines quoted under a diagnostic, most of their cases the rows of text_printer_test.txt.
#include "tools/diagnostics/text_printer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_tables.h"
#include "tools/names/printable.h"

namespace wander {
namespace {

// Each row of text_printer_test.txt.
class QuoteLineTest : public ::testing::TestWithParam<testing::TableRow> {};

TEST_P(QuoteLineTest, Tables) {
  const std::vector<std::string>& row = GetParam().words;
  if (row[0] == "quote") {
    const QuotedLine quoted =
        quote_line(row[1], row.at(2) == "cut", std::stoull(row.at(3)), std::stoull(row.at(4)));
    EXPECT_EQ(quoted.text, row.at(5));
    EXPECT_EQ(quoted.caret, row.at(6));
  } else {
    ADD_FAILURE() << "a row of an unknown kind: " << row[0];
  }
}
WANDER_TABLE_ROWS(QuoteLineTest, WANDER_TEXT_PRINTER_CASES);

}  // namespace
}  // namespace wander
