#include "tests/support/sure_mends.h"

#include <map>
#include <set>
#include <tuple>

#include "tools/checks/world_checks.h"
#include "tools/survey/world_survey.h"

namespace wander::testing {
namespace {

using Error = std::tuple<std::int64_t, std::string_view>;  // line and kind

std::vector<Diagnostic> diagnose(const std::string& world) {
  WorldFile reader(make_view_source(world));
  const Survey survey = survey_world(reader);
  return check_world(reader, survey);
}

// How many errors of each kind each line has.
std::map<Error, int> errors_of(const std::vector<Diagnostic>& diagnostics) {
  std::map<Error, int> errors;
  for (const Diagnostic& d : diagnostics) {
    if (d.severity == Severity::kError) ++errors[{d.range.place.line, d.kind->id}];
  }
  return errors;
}

}  // namespace

std::string sure_mend_faults(const std::string& world, int& mends, bool new_errors_allowed) {
  const std::vector<Diagnostic> before = diagnose(world);
  std::vector<Mend> made;
  const std::string mended = with_sure_mends(world, before, made);
  mends = static_cast<int>(made.size());
  if (made.empty()) return "";
  // A mend never adds or takes away a line end, so lines stay where they were.
  std::map<Error, int> expected = errors_of(before);
  // A diagnostic with several mends (a marker and its object blocks) mends one error.
  std::set<const Diagnostic*> diagnostics_mended;
  std::set<Error> mended_errors;
  std::set<std::tuple<std::uint64_t, std::string_view>> mended_places;  // offset and kind
  for (const Mend& mend : made) {
    if (!diagnostics_mended.insert(mend.diagnostic).second) continue;
    const Error error{mend.diagnostic->range.place.line, mend.diagnostic->kind->id};
    if (mend.diagnostic->severity == Severity::kError) --expected[error];
    mended_errors.insert(error);
    mended_places.insert({mend.diagnostic->range.place.offset, mend.diagnostic->kind->id});
  }
  const std::vector<Diagnostic> after = diagnose(mended);
  // A block tells only the first slip of its words: once it is mended, the next one of the same
  // kind on the line comes to light. Where new errors may, a mended error is left only when one
  // of its kind still stands where it stood (the bytes before a mend do not move).
  const auto still_there = [&](std::int64_t line, std::string_view kind) {
    for (const Diagnostic& d : after) {
      if (d.severity == Severity::kError && d.range.place.line == line && d.kind->id == kind &&
          mended_places.count({d.range.place.offset, kind}) != 0) {
        return true;
      }
    }
    return false;
  };
  std::string faults;
  for (const auto& [error, count] : errors_of(after)) {
    const auto& [line, kind] = error;
    const bool was_mended =
        mended_errors.count(error) != 0 && (!new_errors_allowed || still_there(line, kind));
    if (count > expected[error] && (was_mended || !new_errors_allowed)) {
      faults += std::string(was_mended ? "the sure mends leave " : "the sure mends bring ") +
                std::string(kind) + " at line " + std::to_string(line) + "\n";
    }
  }
  return faults;
}

}  // namespace wander::testing
