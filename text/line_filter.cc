#include "text/line_filter.h"

#include <bit>
#include <cstdint>
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

#if WANDER_LINE_FILTER_SSE2
namespace {

// Three bytes of the wanted line, each compared at 16 places at once.
class Probe {
 public:
  explicit Probe(std::string_view wanted)
      : last_(wanted.size()),
        telling_(last_ >= 3 ? last_ - 1 : 1),
        first_(_mm_set1_epi8(wanted[0])),
        final_(_mm_set1_epi8(wanted[last_ - 1])),
        tell_(_mm_set1_epi8(wanted[telling_ - 1])) {}

  // A byte of 0xFF for each of the 16 positions from `at` where the three bytes stand as they
  // would after an LF there. Reads at[1] to at[last_ + 15].
  __m128i hits(const char* at) const {
    return _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(load(at + 1), first_),
                                       _mm_cmpeq_epi8(load(at + last_), final_)),
                         _mm_cmpeq_epi8(load(at + telling_), tell_));
  }

 private:
  static __m128i load(const char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  }

  std::size_t last_;
  std::size_t telling_;
  __m128i first_;
  __m128i final_;
  __m128i tell_;
};

// The first of the positions in `mask` (bit i for at + i) that holds an LF, or null.
const char* first_after_line_end(const char* at, std::uint64_t mask) {
  for (; mask != 0; mask &= mask - 1) {
    const char* const candidate = at + std::countr_zero(mask);
    if (*candidate == '\n') return candidate;
  }
  return nullptr;
}

std::uint64_t bits(__m128i hits) { return static_cast<std::uint32_t>(_mm_movemask_epi8(hits)); }

}  // namespace
#endif

const char* find_line_candidate(const char* from, const char* to, std::string_view wanted) {
#if WANDER_LINE_FILTER_SSE2
  if (to - from <= static_cast<std::ptrdiff_t>(wanted.size())) return from;
  const char* const stop = to - wanted.size();
  // On a marker line the first and last bytes match every other marker of the same length; the
  // byte before the last (a name's last letter or digit) tells most of them apart, so few
  // candidates reach the LF test and fewer the full comparison. The LF is left out of the vector
  // test: few bytes other than a line's first are a '<', and three compares of 16 bytes run
  // faster than four (22 against 17 GB/s over a buffer in cache, 64 bytes a round).
  const Probe probe(wanted);
  const char* at = from;
  // The furthest load of a round reads at[wanted.size() + 63], which stays below `to`.
  for (; stop - at >= 64; at += 64) {
    const __m128i a = probe.hits(at);
    const __m128i b = probe.hits(at + 16);
    const __m128i c = probe.hits(at + 32);
    const __m128i d = probe.hits(at + 48);
    if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) == 0) continue;
    const std::uint64_t mask = bits(a) | bits(b) << 16 | bits(c) << 32 | bits(d) << 48;
    if (const char* candidate = first_after_line_end(at, mask)) return candidate;
  }
  for (; stop - at >= 16; at += 16) {
    if (const char* candidate = first_after_line_end(at, bits(probe.hits(at)))) return candidate;
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
