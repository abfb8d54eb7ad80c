#include "text/line_filter.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define WANDER_LINE_FILTER_SSE2 1
#endif

namespace wander {

const char* find_line_candidate_bytewise(const char* from, const char* to,
                                         std::string_view wanted) {
  const std::size_t last = wanted.size();
  if (to - from <= static_cast<std::ptrdiff_t>(last)) return from;
  const char* const stop = to - last;
  // Every candidate starts with an LF, and memchr finds those faster than a loop would.
  for (const char* at = from; at < stop; ++at) {
    at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(stop - at)));
    if (at == nullptr) break;
    if (is_line_candidate(at, wanted)) return at;
  }
  return stop;
}

const char* find_line_candidate(const char* from, const char* to, std::string_view wanted) {
#if WANDER_LINE_FILTER_SSE2
  const std::size_t last = wanted.size();
  const std::size_t telling = last >= 3 ? last - 1 : 1;
  if (to - from <= static_cast<std::ptrdiff_t>(last)) return from;
  const char* const stop = to - last;
  // Four looks at 16 positions each: the LF before the line, the line's first byte, its last and
  // the byte before that. On a marker line the first and last bytes match every other marker of
  // the same length; the byte before the last (a name's last letter or digit) is what tells most
  // of them apart, so few candidates reach the full comparison.
  const __m128i line_end = _mm_set1_epi8('\n');
  const __m128i first = _mm_set1_epi8(wanted[0]);
  const __m128i final = _mm_set1_epi8(wanted[last - 1]);
  const __m128i tell = _mm_set1_epi8(wanted[telling - 1]);
  const auto load = [](const char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  };
  const char* at = from;
  // The furthest load of a block reads at[last + 15], which stays below `to`.
  for (; stop - at >= 16; at += 16) {
    const __m128i hits = _mm_and_si128(
        _mm_and_si128(_mm_cmpeq_epi8(load(at), line_end), _mm_cmpeq_epi8(load(at + 1), first)),
        _mm_and_si128(_mm_cmpeq_epi8(load(at + last), final),
                      _mm_cmpeq_epi8(load(at + telling), tell)));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    if (mask != 0) return at + std::countr_zero(mask);
  }
  for (; at < stop; ++at) {
    if (is_line_candidate(at, wanted)) return at;
  }
  return stop;
#else
  return find_line_candidate_bytewise(from, to, wanted);
#endif
}

}  // namespace wander
