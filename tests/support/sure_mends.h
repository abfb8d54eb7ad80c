// Whether the sure mends of a world's check are right: the property test and the fuzz target.
#ifndef WANDER_TESTS_SUPPORT_SURE_MENDS_H_
#define WANDER_TESTS_SUPPORT_SURE_MENDS_H_

#include <string>

namespace wander::testing {

/// Checks `world`, makes every sure mend of the check and checks the result: each error mended
/// must be gone and, unless `new_errors_allowed`, every error left must have been there before.
/// (In a world with many slips, a mend may bring to light the slips of a block it gives back its
/// marker; in one with a slip alone, it may not.) One line per fault, empty when the mends are
/// right; `mends` is set to how many were made.
std::string sure_mend_faults(const std::string& world, int& mends, bool new_errors_allowed = false);

}  // namespace wander::testing

#endif  // WANDER_TESTS_SUPPORT_SURE_MENDS_H_
