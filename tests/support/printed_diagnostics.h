// The diagnostics in a checker's output, read back and held to a case's expectations: how the
// case runner checks a `--- diagnostics` section.
#ifndef WANDER_TESTS_SUPPORT_PRINTED_DIAGNOSTICS_H_
#define WANDER_TESTS_SUPPORT_PRINTED_DIAGNOSTICS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/walkthroughs/case_file.h"

namespace wander {

/// A diagnostic as `wander-world check` prints it: "FILE:LINE:[COLUMN:] SEVERITY: MESSAGE".
struct PrintedDiagnostic {
  std::int64_t line = 0;
  std::string severity;
  std::string message;
};

/// The diagnostic lines of a checker's output, in order, notes included; other lines are passed
/// over.
std::vector<PrintedDiagnostic> printed_diagnostics(std::string_view output);

/// Compares printed diagnostics with a case's expectations, their notes too when the case expects
/// any. Empty when they agree; otherwise what differs, one line each.
std::string compare_diagnostics(const std::vector<ExpectedDiagnostic>& expected,
                                const std::vector<PrintedDiagnostic>& all_printed);

}  // namespace wander

#endif  // WANDER_TESTS_SUPPORT_PRINTED_DIAGNOSTICS_H_
