#include "tools/diagnostics/diagnostic.h"

#include <algorithm>

namespace wander {

std::string count_in_words(std::uint64_t n, std::string_view noun) {
  return std::to_string(n) + " " + std::string(noun) + (n == 1 ? "" : "s");
}

std::string more_problems(std::uint64_t more) {
  return std::to_string(more) + (more == 1 ? " more problem follows" : " more problems follow") +
         " from this, in the blocks inside the text";
}

std::string summary(const std::vector<Diagnostic>& diagnostics) {
  const auto errors = static_cast<std::size_t>(
      std::count_if(diagnostics.begin(), diagnostics.end(),
                    [](const Diagnostic& d) { return d.severity == Severity::kError; }));
  return count_in_words(errors, "error") + ", " +
         count_in_words(diagnostics.size() - errors, "warning");
}

bool has_errors(const std::vector<Diagnostic>& diagnostics) {
  return std::any_of(diagnostics.begin(), diagnostics.end(),
                     [](const Diagnostic& d) { return d.severity == Severity::kError; });
}

std::string with_sure_mends(std::string_view bytes, const std::vector<Diagnostic>& diagnostics,
                            std::vector<Mend>& made) {
  std::vector<Mend> sure;
  for (const Diagnostic& d : diagnostics) {
    for (const FixIt& fix : d.fixes) {
      if (fix.certain) sure.push_back({&fix, &d});
    }
  }
  std::stable_sort(sure.begin(), sure.end(), [](const Mend& a, const Mend& b) {
    return a.fix->range.place.offset < b.fix->range.place.offset;
  });
  made.clear();
  std::string mended;
  std::uint64_t copied = 0;  // bytes up to here are in `mended`
  for (const Mend& mend : sure) {
    const TextRange& range = mend.fix->range;
    if (range.place.offset < copied || range.place.offset + range.width > bytes.size()) continue;
    mended.append(bytes.substr(copied, range.place.offset - copied));
    mended.append(mend.fix->replacement);
    copied = range.place.offset + range.width;
    made.push_back(mend);
  }
  mended.append(bytes.substr(copied));
  return mended;
}

}  // namespace wander
