#include "tools/diagnostics/diagnostic.h"

#include <algorithm>

namespace wander {
namespace {

std::string counted(std::size_t n, const char* noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

}  // namespace

std::string more_problems(std::uint64_t more) {
  return std::to_string(more) + (more == 1 ? " more problem follows" : " more problems follow") +
         " from this, in the blocks inside the text";
}

std::string summary(const std::vector<Diagnostic>& diagnostics) {
  const auto errors = static_cast<std::size_t>(
      std::count_if(diagnostics.begin(), diagnostics.end(),
                    [](const Diagnostic& d) { return d.severity == Severity::kError; }));
  return counted(errors, "error") + ", " + counted(diagnostics.size() - errors, "warning");
}

bool has_errors(const std::vector<Diagnostic>& diagnostics) {
  return std::any_of(diagnostics.begin(), diagnostics.end(),
                     [](const Diagnostic& d) { return d.severity == Severity::kError; });
}

}  // namespace wander
