#include "console/line_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_tables.h"

namespace wander {
namespace {

// Each row of line_editor_test.txt.
TEST(LineEditorTest, EditsTheLineAsTheKeysSay) {
  for (const std::vector<std::string>& row : testing::table_rows(WANDER_LINE_EDITOR_CASES)) {
    SCOPED_TRACE(row.at(1));
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
}

}  // namespace
}  // namespace wander
