// Finding the places where a wanted line may stand, many bytes at a time: the fast half of the
// reader's marker scan. Each place found is only a candidate, to be compared in full.
#ifndef WANDER_TEXT_LINE_FILTER_H_
#define WANDER_TEXT_LINE_FILTER_H_

#include <string_view>

namespace wander {

/// True when the bytes at `at` could be an LF followed by the line `wanted` (not empty): `at[0]`
/// is an LF and `wanted`'s first byte, its last and the byte before its last stand where they
/// belong after it. Reads `at[0]` to `at[wanted.size()]`.
inline bool is_line_candidate(const char* at, std::string_view wanted) {
  const std::size_t last = wanted.size();
  const std::size_t telling = last >= 3 ? last - 1 : 1;
  return at[0] == '\n' && at[1] == wanted[0] && at[last] == wanted[last - 1] &&
         at[telling] == wanted[telling - 1];
}

/// How many positions the filter tests with one instruction.
enum class FilterWidth {
  kOne = 1,        ///< byte by byte, on any processor
  kSixteen = 16,   ///< SSE2, on every x86-64 processor
  kThirtyTwo = 32  ///< AVX2, where the processor has it and the C library tells
};

/// The widest filter this build can run on this processor.
FilterWidth widest_filter();

/// The first position `p` in [from, to - wanted.size()) where is_line_candidate(p, wanted) holds,
/// reading no byte at or past `to`. When there is none, returns the first position it could not
/// test: `to - wanted.size()`, or `from` when that is smaller. `wanted` must not be empty.
/// `width` must be at most widest_filter(); every width gives the same answers.
const char* find_line_candidate(FilterWidth width, const char* from, const char* to,
                                std::string_view wanted);

}  // namespace wander

#endif  // WANDER_TEXT_LINE_FILTER_H_
