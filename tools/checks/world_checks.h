// The checks of `wander-world check`: what the game will do wrong with a surveyed world. Each
// problem is named once, at its cause; the problems that follow from it are folded into it and
// only counted. Definite slips are errors; guesses are warnings, so a valid world never fails.
#ifndef WANDER_TOOLS_CHECKS_WORLD_CHECKS_H_
#define WANDER_TOOLS_CHECKS_WORLD_CHECKS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "tools/diagnostics/diagnostic.h"
#include "tools/survey/world_survey.h"

namespace wander {

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

}  // namespace wander

#endif  // WANDER_TOOLS_CHECKS_WORLD_CHECKS_H_
