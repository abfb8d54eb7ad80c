// Diagnostics made by hand over a small text, for the tests of the printers that write every
// field of them (json_printer_test.cc, sarif_printer_test.cc): each printer's whole output for
// them is written out by hand beside its test.
#ifndef WANDER_TESTS_SUPPORT_SAMPLE_DIAGNOSTICS_H_
#define WANDER_TESTS_SUPPORT_SAMPLE_DIAGNOSTICS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/diagnostics/diagnostic.h"

namespace wander::testing {

/// The range at byte `column` (from 1) of line `line` of `text`, `width` bytes wide.
inline TextRange range_in(std::string_view text, std::int64_t line, std::uint64_t column,
                          std::uint64_t width) {
  std::uint64_t line_start = 0;
  for (std::int64_t n = 1; n < line; ++n) line_start = text.find('\n', line_start) + 1;
  return {TextPlace{line_start + column - 1, line, line_start}, width};
}

inline constexpr DiagnosticKind kCountKind = {"count-above-names", Severity::kError,
                                              "An object count is above the names given."};
inline constexpr DiagnosticKind kMissingBlock = {"missing-block", Severity::kError,
                                                 "An exit names a \"block\" there is not."};
inline constexpr DiagnosticKind kUnreachable = {"unreachable-room", Severity::kWarning,
                                                "No way leads from the start to the room."};

/// A file name that is not UTF-8, with a blank and a line end in it.
inline constexpr std::string_view kSampleFileName = "my w\xf6rld\n.txt";

/// Line 2: a face (two UTF-16 units) before the exits; line 3: a tab, a byte that is not UTF-8
/// and "é" before X; line 4: no line end.
inline constexpr std::string_view kSampleText =
    "Start: Hall\n"
    "North: \xf0\x9f\x98\x80 East: Kitchn\n"
    "\t\xff caf\xc3\xa9 X\n"
    "end";

/// Every field a diagnostic has, filled in or left empty: notes, problems counted, certain and
/// offered fix-its (two not UTF-8, one away from the diagnostic's place), a warning, one raised without a kind, a kind made a warning
/// by an option, places before and after characters of several bytes and at the ends of lines.
inline std::vector<Diagnostic> sample_diagnostics() {
  const std::string_view text = kSampleText;
  std::vector<Diagnostic> diagnostics(4);
  Diagnostic& misspelt = diagnostics[0];
  misspelt.kind = &kMissingBlock;
  misspelt.range = range_in(text, 2, 19, 6);
  misspelt.message = "room 'Hall':\tthe east exit leads to room 'Kitchn'";
  misspelt.more = 2;
  misspelt.notes = {{range_in(text, 3, 10, 1), "X is here"},
                    {range_in(text, 1, 8, 4), "the start, before the place"}};
  misspelt.fixes = {{range_in(text, 2, 19, 6), "Kitchen", true},
                    {range_in(text, 2, 19, 6), "K\xff\x1b", false},
                    {range_in(text, 3, 10, 1), "\xff\xfe", false}};
  diagnostics[1].kind = &kUnreachable;
  diagnostics[1].severity = Severity::kWarning;
  diagnostics[1].range = range_in(text, 2, 8, 4);
  diagnostics[1].message = "the face \\x1b";
  diagnostics[1].more = 1;
  diagnostics[2].range = range_in(text, 4, 4, 1);
  diagnostics[2].message = "no kind, at the end of the text \xe6\x9d\xb1";
  diagnostics[3].kind = &kMissingBlock;
  diagnostics[3].severity = Severity::kWarning;
  diagnostics[3].range = range_in(text, 2, 25, 1);
  diagnostics[3].message = "at the line's end";
  return diagnostics;
}

}  // namespace wander::testing

#endif  // WANDER_TESTS_SUPPORT_SAMPLE_DIAGNOSTICS_H_
