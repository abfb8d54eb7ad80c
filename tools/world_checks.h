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

/// What the checks spent on the searches whose cost is bounded in proportion to the file, for
/// the tests that hold them to it.
struct CheckWork {
  std::uint64_t suggestion_steps = 0;  ///< names listed, names looked at, characters compared
};

/// The problems the game will have with the world `survey` describes, in line order (then
/// column). `world` is the reader the survey read, which the checks use to read some words
/// again; it is left anywhere. When `work` is given, it receives what the checks spent.
std::vector<Diagnostic> check_world(WorldFile& world, const Survey& survey,
                                    CheckWork* work = nullptr);

/// The message of `diagnostic` with what follows from it: "… (2 more problems follow from
/// this)".
std::string full_message(const Diagnostic& diagnostic);

/// "2 errors, 1 warning": the summary of `diagnostics`, without a line end.
std::string summary(const std::vector<Diagnostic>& diagnostics);

/// True when one of `diagnostics` is an error.
bool has_errors(const std::vector<Diagnostic>& diagnostics);

}  // namespace wander

#endif  // WANDER_TOOLS_WORLD_CHECKS_H_
