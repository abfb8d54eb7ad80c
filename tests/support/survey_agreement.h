// Whether what wander-world claims about a world is what the game does with it: the test of the
// survey against the game's own code, for the differential test and the fuzz target.
#ifndef WANDER_TESTS_SUPPORT_SURVEY_AGREEMENT_H_
#define WANDER_TESTS_SUPPORT_SURVEY_AGREEMENT_H_

#include <cstddef>
#include <string>

namespace wander::testing {

/// Surveys `world` (the bytes of a World.txt), then asks the game the same questions through
/// its own code, each world read through a buffer of `capacity` bytes: which marker line each
/// lookup finds; the exits and objects each room block gives; where every exit of every room
/// leads when the game walks it (game/'s move_through); which rooms the start leads to; and what
/// examining every object a room lists shows. Also checks and maps the world, which must not
/// fail, and writes the diagnostics as JSON and as SARIF, each of which must read back as
/// strict JSON (when nlohmann_json was found). Returns one line per disagreement (the first
/// few), empty when there is none.
std::string disagreements(const std::string& world, std::size_t capacity = 256 * 1024);

}  // namespace wander::testing

#endif  // WANDER_TESTS_SUPPORT_SURVEY_AGREEMENT_H_
