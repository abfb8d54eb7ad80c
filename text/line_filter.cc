#include "text/line_filter.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define WANDER_LINE_FILTER_SSE2 1
#endif
// GNU C libraries tell which instructions the processor and the system support, from what they
// learnt at start-up; asking the processor again would cost microseconds in a virtual machine.
#if defined(__x86_64__) && defined(__GNUC__) && defined(__has_include)
#if __has_include(<sys/platform/x86.h>)
#include <immintrin.h>
// The header is written for C; its one word that C++ lacks has a twin there.
#define _Bool bool
#include <sys/platform/x86.h>
#undef _Bool
#define WANDER_LINE_FILTER_AVX2 1
#endif
#endif

namespace wander {
namespace {

// The scan is built alike at every width. On a marker line the first and last bytes match every
// other marker of the same length; the byte before the last (a name's last letter or digit)
// tells most of them apart, so few candidates reach the LF test and fewer the full comparison.
// The LF is left out of the vector tests: few bytes other than a line's first are a '<', and
// three compares run faster than four. A round covers 64 positions with one branch.
//
// Byte by byte: every candidate starts with an LF, and memchr finds those faster than a loop.
const char* find_bytewise(const char* at, const char* stop, std::string_view wanted) {
  for (; at < stop; ++at) {
    at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(stop - at)));
    if (at == nullptr) break;
    if (is_line_candidate(at, wanted)) return at;
  }
  return stop;
}

#if WANDER_LINE_FILTER_SSE2 || WANDER_LINE_FILTER_AVX2
// The first of the positions in `mask` (bit i for at + i) that holds an LF, or null.
const char* first_after_line_end(const char* at, std::uint64_t mask) {
  for (; mask != 0; mask &= mask - 1) {
    const char* const candidate = at + std::countr_zero(mask);
    if (*candidate == '\n') return candidate;
  }
  return nullptr;
}

std::size_t telling_offset(std::string_view wanted) {
  return wanted.size() >= 3 ? wanted.size() - 1 : 1;
}

#endif

#if WANDER_LINE_FILTER_SSE2
// A byte of 0xFF for each of the 16 positions from `at` where the three bytes stand as they
// would after an LF there. Reads at[1] to at[wanted.size() + 15].
class Probe16 {
 public:
  explicit Probe16(std::string_view wanted)
      : last_(wanted.size()),
        telling_(telling_offset(wanted)),
        first_(_mm_set1_epi8(wanted[0])),
        final_(_mm_set1_epi8(wanted[last_ - 1])),
        tell_(_mm_set1_epi8(wanted[telling_ - 1])) {}

  __m128i hits(const char* at) const {
    return _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(load(at + 1), first_),
                                       _mm_cmpeq_epi8(load(at + last_), final_)),
                         _mm_cmpeq_epi8(load(at + telling_), tell_));
  }
  static std::uint64_t bits(__m128i hits) {
    return static_cast<std::uint32_t>(_mm_movemask_epi8(hits));
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

const char* find_16(const char* at, const char* stop, std::string_view wanted) {
  const Probe16 probe(wanted);
  // The furthest load of a round reads at[wanted.size() + 63], which stays below `to`.
  for (; stop - at >= 64; at += 64) {
    const __m128i a = probe.hits(at);
    const __m128i b = probe.hits(at + 16);
    const __m128i c = probe.hits(at + 32);
    const __m128i d = probe.hits(at + 48);
    if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) == 0) continue;
    const std::uint64_t mask =
        Probe16::bits(a) | Probe16::bits(b) << 16 | Probe16::bits(c) << 32 | Probe16::bits(d) << 48;
    if (const char* candidate = first_after_line_end(at, mask)) return candidate;
  }
  for (; stop - at >= 16; at += 16) {
    if (const char* found = first_after_line_end(at, Probe16::bits(probe.hits(at)))) return found;
  }
  return find_bytewise(at, stop, wanted);
}
#endif

#if WANDER_LINE_FILTER_AVX2
// Probe16 at 32 positions.
class Probe32 {
 public:
  __attribute__((target("avx2"))) explicit Probe32(std::string_view wanted)
      : last_(wanted.size()),
        telling_(telling_offset(wanted)),
        first_(_mm256_set1_epi8(wanted[0])),
        final_(_mm256_set1_epi8(wanted[last_ - 1])),
        tell_(_mm256_set1_epi8(wanted[telling_ - 1])) {}

  __attribute__((target("avx2"))) __m256i hits(const char* at) const {
    return _mm256_and_si256(_mm256_and_si256(_mm256_cmpeq_epi8(load(at + 1), first_),
                                             _mm256_cmpeq_epi8(load(at + last_), final_)),
                            _mm256_cmpeq_epi8(load(at + telling_), tell_));
  }
  __attribute__((target("avx2"))) static std::uint64_t bits(__m256i hits) {
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(hits));
  }

 private:
  __attribute__((target("avx2"))) static __m256i load(const char* at) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
  }

  std::size_t last_;
  std::size_t telling_;
  __m256i first_;
  __m256i final_;
  __m256i tell_;
};

__attribute__((target("avx2"))) const char* find_32(const char* at, const char* stop,
                                                    std::string_view wanted) {
  const Probe32 probe(wanted);
  for (; stop - at >= 64; at += 64) {
    const __m256i a = probe.hits(at);
    const __m256i b = probe.hits(at + 32);
    if (_mm256_testz_si256(_mm256_or_si256(a, b), _mm256_or_si256(a, b))) continue;
    const std::uint64_t mask = Probe32::bits(a) | Probe32::bits(b) << 32;
    if (const char* candidate = first_after_line_end(at, mask)) return candidate;
  }
  // What is left is shorter than a round: the 16-wide filter finishes it.
  return find_16(at, stop, wanted);
}
#endif

}  // namespace

FilterWidth widest_filter() {
#if WANDER_LINE_FILTER_AVX2
  if (CPU_FEATURE_ACTIVE(AVX2)) return FilterWidth::kThirtyTwo;
#endif
#if WANDER_LINE_FILTER_SSE2
  return FilterWidth::kSixteen;
#else
  return FilterWidth::kOne;
#endif
}

const char* find_line_candidate(FilterWidth width, const char* from, const char* to,
                                std::string_view wanted) {
  if (to - from <= static_cast<std::ptrdiff_t>(wanted.size())) return from;
  const char* const stop = to - wanted.size();
  switch (width) {
    case FilterWidth::kThirtyTwo:
#if WANDER_LINE_FILTER_AVX2
      return find_32(from, stop, wanted);
#endif
    case FilterWidth::kSixteen:
#if WANDER_LINE_FILTER_SSE2
      return find_16(from, stop, wanted);
#endif
    case FilterWidth::kOne:
      break;
  }
  return find_bytewise(from, stop, wanted);
}

}  // namespace wander
