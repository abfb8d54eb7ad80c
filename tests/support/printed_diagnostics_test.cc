#include "tests/support/printed_diagnostics.h"

#include <gtest/gtest.h>

#include <vector>

namespace wander {
namespace {

TEST(PrintedDiagnosticsTest, DiagnosticsAreComparedByLineSeverityAndNames) {
  const std::vector<PrintedDiagnostic> printed = printed_diagnostics(
      "W.txt:5:3: error: room 'Hall': the west exit leads to 'Cellar' [-Werror,x-y]\n"
      "    West: Cellar\n          ^\n"
      "C:\\w\\W.txt:7: warning: a second block for room 'Kitchen'\n"
      "1 error, 1 warning\n");
  ASSERT_EQ(printed.size(), 2u);
  EXPECT_EQ(printed[0].line, 5);
  EXPECT_EQ(printed[1].line, 7);
  EXPECT_EQ(printed[1].severity, "warning");
  EXPECT_EQ(compare_diagnostics(
                {{5, "error", {"Hall", "Cellar"}, ""}, {7, "warning", {"Kitchen"}, ""}}, printed),
            "");
  EXPECT_EQ(compare_diagnostics({{5, "error", {"Attic"}, ""}}, printed),
            "diagnostic 1: 'Attic' is not in: 5 error: room 'Hall': the west exit leads to "
            "'Cellar' [-Werror,x-y]\ndiagnostic 2: not expected: 7 warning: a second block for "
            "room 'Kitchen'\n");
  // A kind is held whole: the last bracket of the message.
  EXPECT_EQ(compare_diagnostics({{5, "error", {"Hall"}, "-Werror,x-y"}}, {printed[0]}), "");
  EXPECT_EQ(compare_diagnostics({{5, "error", {}, "x-y"}}, {printed[0]}),
            "diagnostic 1: expected kind [x-y], got 5 error: room 'Hall': the west exit leads to "
            "'Cellar' [-Werror,x-y]\n");
}

}  // namespace
}  // namespace wander
