// The kinds of problem `wander-world check` and the language server report, as kinds.def lists
// them: each kind's identifier, which outputs show and -Wno-KIND names, its severity, its tags and
// what it means. An error is a place where play differs from what the author evidently meant; a
// warning, a place where play is as meant but the file is fragile or holds what nothing uses.
#ifndef WANDER_TOOLS_CHECKS_KINDS_H_
#define WANDER_TOOLS_CHECKS_KINDS_H_

#include <array>
#include <string_view>

#include "tools/diagnostics/diagnostic.h"

namespace wander::kinds {

#define WANDER_KIND(constant, id, severity, tags, summary) \
  inline constexpr DiagnosticKind constant{id, Severity::severity, summary, tags};
#define WANDER_EDITOR_KIND WANDER_KIND
#include "tools/checks/kinds.def"

/// Every kind that `wander-world check` raises, errors first, each once.
inline constexpr auto kAll = std::to_array<const DiagnosticKind*>({
#define WANDER_KIND(constant, id, severity, tags, summary) &constant,
#define WANDER_EDITOR_KIND(constant, id, severity, tags, summary)
#include "tools/checks/kinds.def"
});

/// The kind called `id` among kAll, or null.
inline const DiagnosticKind* find(std::string_view id) {
  for (const DiagnosticKind* kind : kAll) {
    if (kind->id == id) return kind;
  }
  return nullptr;
}

}  // namespace wander::kinds

#endif  // WANDER_TOOLS_CHECKS_KINDS_H_
