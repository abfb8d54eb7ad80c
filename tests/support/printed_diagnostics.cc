#include "tests/support/printed_diagnostics.h"

#include <algorithm>
#include <sstream>

namespace wander {

std::vector<PrintedDiagnostic> printed_diagnostics(std::string_view output) {
  std::vector<PrintedDiagnostic> found;
  std::istringstream lines{std::string(output)};
  for (std::string line; std::getline(lines, line);) {
    for (const char* severity : {"error", "warning", "note"}) {
      const std::string mark = std::string(": ") + severity + ": ";
      const std::size_t at = line.find(mark);
      if (at == std::string::npos) continue;
      // "FILE:LINE" or "FILE:LINE:COLUMN" stands before the mark.
      std::string_view place(line.data(), at);
      std::vector<std::string_view> numbers;
      while (numbers.size() < 2) {
        const std::size_t colon = place.rfind(':');
        if (colon == std::string_view::npos) break;
        const std::string_view number = place.substr(colon + 1);
        if (number.empty() || number.find_first_not_of("0123456789") != std::string_view::npos) {
          break;
        }
        numbers.push_back(number);
        place = place.substr(0, colon);
      }
      if (numbers.empty()) continue;
      found.push_back(
          {std::stoll(std::string(numbers.back())), severity, line.substr(at + mark.size())});
      break;
    }
  }
  return found;
}

std::string compare_diagnostics(const std::vector<ExpectedDiagnostic>& expected,
                                const std::vector<PrintedDiagnostic>& all_printed) {
  // Notes are compared when the case expects some; else only errors and warnings are.
  const bool notes = std::any_of(expected.begin(), expected.end(),
                                 [](const ExpectedDiagnostic& e) { return e.severity == "note"; });
  std::vector<PrintedDiagnostic> printed;
  for (const PrintedDiagnostic& p : all_printed) {
    if (notes || p.severity != "note") printed.push_back(p);
  }
  std::string out;
  for (std::size_t i = 0; i < std::max(expected.size(), printed.size()); ++i) {
    const std::string at = "diagnostic " + std::to_string(i + 1) + ": ";
    if (i >= printed.size()) {
      out += at + "expected line " + std::to_string(expected[i].line) + " " + expected[i].severity +
             ", but no more were printed\n";
      continue;
    }
    const PrintedDiagnostic& p = printed[i];
    const std::string shown = std::to_string(p.line) + " " + p.severity + ": " + p.message;
    if (i >= expected.size()) {
      out += at + "not expected: " + shown + "\n";
      continue;
    }
    const ExpectedDiagnostic& e = expected[i];
    if (e.line != p.line || e.severity != p.severity) {
      out += at + "expected line " + std::to_string(e.line) + " " + e.severity + ", got " + shown +
             "\n";
      continue;
    }
    const std::size_t open = p.message.rfind(" [");
    const std::string kind = open != std::string::npos && p.message.ends_with(']')
                                 ? p.message.substr(open + 2, p.message.size() - open - 3)
                                 : "";
    if (!e.kind.empty() && e.kind != kind) {
      out += at + "expected kind [" + e.kind + "], got " + shown + "\n";
    }
    for (const std::string& name : e.names) {
      if (p.message.find(name) == std::string::npos) {
        out += at + "'" + name + "' is not in: " + shown + "\n";
      }
    }
  }
  return out;
}

}  // namespace wander
