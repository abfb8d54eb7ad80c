// wander-world on any file: the survey, the checks and the map get through it, every claim the
// survey makes agrees with what the game's own code does with the same bytes, and the sure mends
// of its check take away the errors they mend.
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "tests/support/sure_mends.h"
#include "tests/support/survey_agreement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t capacity = 4 + wander::fuzzing::small_number(data, size, 29);
  const std::string found = wander::testing::disagreements(bytes, capacity);
  if (!found.empty()) {
    std::fprintf(stderr, "wander-world and the game disagree:\n%s", found.c_str());
    std::abort();
  }
  int mends = 0;
  if (const std::string faults = wander::testing::sure_mend_faults(bytes, mends, true);
      !faults.empty()) {
    std::fprintf(stderr, "%s", faults.c_str());
    std::abort();
  }
  return 0;
}
