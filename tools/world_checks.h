// The checks of `wander-world check`: what the game will do wrong with a surveyed world. Each
// problem is named once, at its cause; the problems that follow from it are folded into it and
// only counted. Definite slips are errors; guesses are warnings, so a valid world never fails.
#ifndef WANDER_TOOLS_WORLD_CHECKS_H_
#define WANDER_TOOLS_WORLD_CHECKS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "tools/world_survey.h"

namespace wander {

enum class Severity { kError, kWarning };

/// One problem, at one place in the file.
struct Diagnostic {
  TextPlace place;          ///< where it is; its column counts bytes from 1
  std::uint64_t width = 1;  ///< how many bytes from there it is about, for an underline
  Severity severity = Severity::kError;
  std::string message;  ///< one sentence, names in printable form, without a line end
  int follows = 0;      ///< problems folded into this one, since they follow from it
};

/// The problems the game will have with the world `survey` describes, in line order (then
/// column). `world` is the reader the survey read, which the checks use to read some words
/// again; it is left anywhere.
std::vector<Diagnostic> check_world(WorldFile& world, const Survey& survey);

/// The message of `diagnostic` with what follows from it: "… (2 more problems follow from
/// this)".
std::string full_message(const Diagnostic& diagnostic);

/// "2 errors, 1 warning": the summary of `diagnostics`, without a line end.
std::string summary(const std::vector<Diagnostic>& diagnostics);

/// True when one of `diagnostics` is an error.
bool has_errors(const std::vector<Diagnostic>& diagnostics);

/// The name among `candidates` that `name` probably meant: the same in other capitals, or a
/// letter or two off (one for short names). Empty when none is near. Tries at most `budget`
/// candidates in all, counting down, so that a world with thousands of misspellings stays fast.
std::string nearest_name(std::string_view name, const std::vector<std::string_view>& candidates,
                         std::uint64_t& budget);

}  // namespace wander

#endif  // WANDER_TOOLS_WORLD_CHECKS_H_
