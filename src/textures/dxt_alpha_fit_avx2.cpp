// AVX2 form of the alpha fit's measure: two candidate palettes at a time, one per 128-bit half,
// with the very sums of the SSE2 form. Only this file is compiled for AVX2, and everything in it
// is local to it, so no AVX2 code can reach a processor without it.
#include "textures/dxt_internal.h"

#ifdef ASHTINT_DXT_X86
#include <immintrin.h>

#include "textures/avx2_target_begin.h"

namespace ashtint {

namespace {

void Errors(const std::uint8_t* alpha, const std::uint8_t (*palettes)[8], int count, int* errors) {
  const __m256i x = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(alpha)));
  const __m256i zero = _mm256_setzero_si256();
  for (int i = 0; i < count; i += 2) {
    const int second = i + 1 < count ? i + 1 : i;  // an odd last one is measured twice
    const __m256i entries = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(palettes[i]))),
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(palettes[second])), 1);
    __m256i best = _mm256_set1_epi8(char(255));
    for (int k = 0; k < 8; ++k) {
      const __m256i v = _mm256_shuffle_epi8(entries, _mm256_set1_epi8(char(k)));  // entry k in every byte of its half
      best = _mm256_min_epu8(best, _mm256_or_si256(_mm256_subs_epu8(x, v), _mm256_subs_epu8(v, x)));
    }
    const __m256i lo = _mm256_unpacklo_epi8(best, zero), hi = _mm256_unpackhi_epi8(best, zero);
    __m256i sum = _mm256_add_epi32(_mm256_madd_epi16(lo, lo), _mm256_madd_epi16(hi, hi));
    sum = _mm256_add_epi32(sum, _mm256_shuffle_epi32(sum, _MM_SHUFFLE(1, 0, 3, 2)));
    sum = _mm256_add_epi32(sum, _mm256_shuffle_epi32(sum, _MM_SHUFFLE(2, 3, 0, 1)));
    errors[i] = _mm256_extract_epi32(sum, 0);
    if (second != i) errors[second] = _mm256_extract_epi32(sum, 4);
  }
}

}  // namespace

#include "textures/avx2_target_end.h"

void AlphaErrorsAVX2(const std::uint8_t* alpha, const std::uint8_t (*palettes)[8], int count, int* errors) {
  Errors(alpha, palettes, count, errors);
}

}  // namespace ashtint
#endif
