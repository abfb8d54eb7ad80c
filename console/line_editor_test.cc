#include "console/line_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_tables.h"

namespace wander {
namespace {

// Each row of line_editor_test.txt.
class LineEditorTest : public ::testing::TestWithParam<testing::TableRow> {};

TEST_P(LineEditorTest, EditsTheLineAsTheKeysSay) {
  const std::vector<std::string>& row = GetParam().words;
  LineEditor editor;
  editor.start(2);
  std::string lines;
  std::string draw;
  for (const char key : row[1]) {
    const LineEditor::Typed typed = editor.type(key, 80, draw);
    if (typed == LineEditor::Typed::kEnded) lines += "<end>";
    if (typed != LineEditor::Typed::kEntered) continue;
    lines += editor.line() + "\n";
    editor.start(0);
  }
  EXPECT_EQ(lines, row.at(2));
}
WANDER_TABLE_ROWS(LineEditorTest, WANDER_LINE_EDITOR_CASES);

}  // namespace
}  // namespace wander
