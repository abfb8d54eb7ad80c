// Folding: each problem that follows from a cause becomes a note of it.
#include <algorithm>
#include <tuple>
#include <unordered_map>

#include "tools/checks/check_context.h"

namespace wander::checks {

std::vector<Diagnostic> fold(Checks& c) {
  std::vector<Finding>& findings = c.findings;
  const auto before = [&](std::size_t a, std::size_t b) {
    const Finding& x = findings[a];
    const Finding& y = findings[b];
    return std::tie(x.rank, x.diagnostic.range.place.offset, a) <
           std::tie(y.rank, y.diagnostic.range.place.offset, b);
  };
  std::vector<std::size_t> order(findings.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), before);
  // Causes are taken in that order: each problem finds the first cause that claims what it is
  // about, among those before it. A cause that is itself explained claims only what no cause
  // that is shown claims, so that what follows from a shown cause is counted there.
  std::unordered_map<std::uint32_t, std::size_t> owner;
  std::unordered_map<std::uint32_t, std::size_t> owner_explained;
  const auto owner_of = [&](std::uint32_t key) -> std::size_t {
    const std::uint32_t asked = key;
    for (int depth = 0; depth < 64; ++depth) {
      if (const auto it = owner.find(key); it != owner.end()) return it->second;
      // A block found inside another's text, when the author wrote it further on, has the
      // words of the block around it: its problems are that text's.
      const std::uint32_t marker = key & ~(kReach | kWords);
      if (marker >= c.survey.markers.size() || c.second_blocks.count(marker) == 0 ||
          c.survey.markers[marker].inside == kNoName) {
        break;
      }
      key = c.survey.markers[marker].inside;
    }
    const auto it = owner_explained.find(asked);
    return it == owner_explained.end() ? SIZE_MAX : it->second;
  };
  std::vector<std::size_t> parent(findings.size(), SIZE_MAX);
  for (const std::size_t i : order) {
    for (const std::uint32_t key : findings[i].about) {
      const std::size_t cause = owner_of(key);
      if (cause != SIZE_MAX && (parent[i] == SIZE_MAX || before(cause, parent[i]))) {
        parent[i] = cause;
      }
    }
    if (parent[i] == SIZE_MAX && findings[i].claims_when_explained) continue;
    for (const std::uint32_t key : findings[i].claims) {
      (parent[i] == SIZE_MAX ? owner : owner_explained).try_emplace(key, i);
    }
  }
  const auto root_of = [&parent](std::size_t i) {
    while (parent[i] != SIZE_MAX) i = parent[i];
    return i;
  };
  // Each problem that follows from a cause is a note of it, at its own place, in the order of
  // the text; those only counted are counted there.
  for (std::size_t i = 0; i < findings.size(); ++i) {
    const std::size_t root = root_of(i);
    if (root == i) continue;
    Diagnostic& cause = findings[root].diagnostic;
    Diagnostic& follower = findings[i].diagnostic;
    cause.notes.push_back({follower.range, std::move(follower.message)});
    for (DiagnosticNote& note : follower.notes) cause.notes.push_back(std::move(note));
  }
  for (const auto& [container, count] : c.counted_inside) {
    if (const std::size_t cause = owner_of(container); cause != SIZE_MAX) {
      findings[root_of(cause)].diagnostic.more += count;
    }
  }
  std::vector<Diagnostic> shown;
  for (std::size_t i = 0; i < findings.size(); ++i) {
    if (parent[i] != SIZE_MAX) continue;
    std::vector<DiagnosticNote>& notes = findings[i].diagnostic.notes;
    std::stable_sort(notes.begin(), notes.end(), [](const auto& a, const auto& b) {
      return a.range.place.offset < b.range.place.offset;
    });
    shown.push_back(std::move(findings[i].diagnostic));
  }
  std::stable_sort(shown.begin(), shown.end(), [](const Diagnostic& a, const Diagnostic& b) {
    return std::tie(a.range.place.line, a.range.place.offset) <
           std::tie(b.range.place.line, b.range.place.offset);
  });
  return shown;
}

}  // namespace wander::checks
