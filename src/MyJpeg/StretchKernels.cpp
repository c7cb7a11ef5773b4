// SPDX-License-Identifier: GPL-3.0-or-later
#include "MyJpeg/StretchKernels.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define BRELO_CLONES __attribute__((target_clones("avx2", "default")))
#define BRELO_X86 1
#else
#define BRELO_CLONES
#endif

namespace brelo::stretch {

BRELO_CLONES void MultiplyRow(const std::uint8_t* line, std::uint32_t w, std::size_t len, std::uint32_t* acc,
                              bool add) {
  if (add)
    for (std::size_t i = 0; i < len; ++i) acc[i] += w * line[i];
  else
    for (std::size_t i = 0; i < len; ++i) acc[i] = w * line[i];
}

BRELO_CLONES void MultiplyRow(const std::uint32_t* line, std::uint32_t w, std::size_t len, std::uint32_t* acc,
                              bool add) {
  if (add)
    for (std::size_t i = 0; i < len; ++i) acc[i] += w * line[i];
  else
    for (std::size_t i = 0; i < len; ++i) acc[i] = w * line[i];
}

BRELO_CLONES void FinishSums(const std::uint32_t* sums, std::size_t len, std::uint8_t* out) {
  for (std::size_t i = 0; i < len; ++i) out[i] = static_cast<std::uint8_t>((sums[i] + (1u << 23)) >> 24);
}

BRELO_CLONES void FinishHalfSums(const std::uint32_t* sums, std::size_t len, std::uint8_t* out) {
  for (std::size_t i = 0; i < len; ++i) out[i] = static_cast<std::uint8_t>((sums[i] + (1u << 11)) >> 12);
}

#ifdef BRELO_X86

bool HasRgb4() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

namespace {

// The three sums of one output: its four pixels spread to 16-bit pairs (lane 0 pixels 0 and
// 1 as r0 r1 g0 g1 b0 b1, lane 1 pixels 2 and 3), multiplied by the pattern and added.
__attribute__((target("avx2"))) inline __m128i SumsOf(const std::uint8_t* pixels, const std::int16_t* pattern) {
  const __m256i spread = _mm256_setr_epi8(0, -1, 3, -1, 1, -1, 4, -1, 2, -1, 5, -1, -1, -1, -1, -1,  //
                                          6, -1, 9, -1, 7, -1, 10, -1, 8, -1, 11, -1, -1, -1, -1, -1);
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
  const __m256i pairs = _mm256_shuffle_epi8(_mm256_broadcastsi128_si256(bytes), spread);
  const __m256i sums = _mm256_madd_epi16(pairs, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pattern)));
  return _mm_add_epi32(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1));
}

}  // namespace

__attribute__((target("avx2"))) std::size_t HorizontalRgb4(const std::int16_t* pattern, const int* first,
                                                           std::size_t count, const std::uint8_t* in,
                                                           std::size_t rowBytes, std::uint32_t* out) {
  auto fits = [&](std::size_t x) { return std::size_t(first[x]) * 3 + 16 <= rowBytes; };
  std::size_t x = 0;
  // Two at a time: the first's spare fourth sum is overwritten by the second's.
  for (; x + 1 < count && fits(x + 1); x += 2) {
    const __m128i a = SumsOf(in + std::size_t(first[x]) * 3, pattern + x * 16);
    const __m128i b = SumsOf(in + std::size_t(first[x + 1]) * 3, pattern + x * 16 + 16);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x * 3), a);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x * 3 + 3), b);
    out[x * 3 + 5] = static_cast<std::uint32_t>(_mm_extract_epi32(b, 2));
  }
  for (; x < count && fits(x); ++x) {
    const __m128i rgb = SumsOf(in + std::size_t(first[x]) * 3, pattern + x * 16);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x * 3), rgb);
    out[x * 3 + 2] = static_cast<std::uint32_t>(_mm_extract_epi32(rgb, 2));
  }
  return x;
}

#else

bool HasRgb4() { return false; }

std::size_t HorizontalRgb4(const std::int16_t*, const int*, std::size_t, const std::uint8_t*, std::size_t,
                           std::uint32_t*) {
  return 0;
}

#endif

}  // namespace brelo::stretch
