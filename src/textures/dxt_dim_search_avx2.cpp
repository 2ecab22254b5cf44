// AVX2 forms of the dimmed pairs' search and of the mappings' errors. The search: Lanes 0-7 of one vector per channel hold the
// pairs 0-7 of that channel (A step outer, B step inner); a fourth vector holds the ninth pair of
// each channel. All arithmetic is exact 32-bit integer, as in the scalar form: a block's weights
// sum to at most 16 x 255, so every error fits. Only this file is compiled for AVX2.
#include "textures/dxt_dim_search.h"

#ifdef ASHTINT_DIM_X86
#include <immintrin.h>

#include "textures/avx2_target_begin.h"

namespace ashtint {

namespace {

// The sum of W (p - t)^2 - W t^2 over the four indices, for the pairs of the lanes; lanes off
// the grid give the largest value.
inline __m256i Errors(__m256i a, __m256i b, __m256i max, __m256i shiftUp, __m256i shiftDown, const __m256i* w,
                      const __m256i* s, bool fourColor) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i off = _mm256_or_si256(_mm256_or_si256(_mm256_cmpgt_epi32(zero, a), _mm256_cmpgt_epi32(a, max)),
                                      _mm256_or_si256(_mm256_cmpgt_epi32(zero, b), _mm256_cmpgt_epi32(b, max)));
  a = _mm256_max_epi32(_mm256_min_epi32(a, max), zero);
  b = _mm256_max_epi32(_mm256_min_epi32(b, max), zero);
  const __m256i ea = _mm256_or_si256(_mm256_sllv_epi32(a, shiftUp), _mm256_srlv_epi32(a, shiftDown));
  const __m256i eb = _mm256_or_si256(_mm256_sllv_epi32(b, shiftUp), _mm256_srlv_epi32(b, shiftDown));
  __m256i p[4];
  p[0] = ea;
  p[1] = eb;
  if (fourColor) {
    // floor(n / 3) = (n * 683) >> 11 for every n up to 3 x 255
    const __m256i third = _mm256_set1_epi32(683);
    const __m256i n2 = _mm256_add_epi32(_mm256_add_epi32(ea, ea), eb);
    const __m256i n3 = _mm256_add_epi32(_mm256_add_epi32(eb, eb), ea);
    p[2] = _mm256_srli_epi32(_mm256_mullo_epi32(n2, third), 11);
    p[3] = _mm256_srli_epi32(_mm256_mullo_epi32(n3, third), 11);
  } else {
    p[2] = _mm256_srli_epi32(_mm256_add_epi32(ea, eb), 1);
    p[3] = zero;  // transparent black, and its weight is 0
  }
  __m256i error = zero;
  for (int k = 0; k < 4; ++k) {
    const __m256i inner = _mm256_sub_epi32(_mm256_mullo_epi32(w[k], p[k]), _mm256_add_epi32(s[k], s[k]));
    error = _mm256_add_epi32(error, _mm256_mullo_epi32(p[k], inner));
  }
  return _mm256_blendv_epi8(error, _mm256_set1_epi32(0x7fffffff), off);
}

void Search(const TDimNearInput& in, int* outA, int* outB) {
  static constexpr int kBits[3] = {5, 6, 5};
  const __m256i stepA = _mm256_setr_epi32(-1, -1, -1, 0, 0, 0, 1, 1);
  const __m256i stepB = _mm256_setr_epi32(-1, 0, 1, -1, 0, 1, -1, 0);
  __m256i w[4];
  for (int k = 0; k < 4; ++k) w[k] = _mm256_set1_epi32(in.W[k]);
  __m256i errors[3];
  for (int c = 0; c < 3; ++c) {
    __m256i s[4];
    for (int k = 0; k < 4; ++k) s[k] = _mm256_set1_epi32(in.S[c][k]);
    const int bits = kBits[c];
    errors[c] = Errors(_mm256_add_epi32(_mm256_set1_epi32(in.A[c]), stepA),
                       _mm256_add_epi32(_mm256_set1_epi32(in.B[c]), stepB), _mm256_set1_epi32((1 << bits) - 1),
                       _mm256_set1_epi32(8 - bits), _mm256_set1_epi32(2 * bits - 8), w, s, in.FourColor);
  }
  // The ninth pair (A + 1, B + 1) of each channel, one lane per channel.
  __m256i s[4];
  for (int k = 0; k < 4; ++k) s[k] = _mm256_setr_epi32(in.S[0][k], in.S[1][k], in.S[2][k], 0, 0, 0, 0, 0);
  const __m256i last = Errors(_mm256_setr_epi32(in.A[0] + 1, in.A[1] + 1, in.A[2] + 1, 0, 0, 0, 0, 0),
                              _mm256_setr_epi32(in.B[0] + 1, in.B[1] + 1, in.B[2] + 1, 0, 0, 0, 0, 0),
                              _mm256_setr_epi32(31, 63, 31, 31, 31, 31, 31, 31), _mm256_setr_epi32(3, 2, 3, 3, 3, 3, 3, 3),
                              _mm256_setr_epi32(2, 4, 2, 2, 2, 2, 2, 2), w, s, in.FourColor);
  int lastErrors[8];
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(lastErrors), last);
  for (int c = 0; c < 3; ++c) {
    __m256i m = _mm256_min_epi32(errors[c], _mm256_permute2x128_si256(errors[c], errors[c], 1));
    m = _mm256_min_epi32(m, _mm256_shuffle_epi32(m, 0x4E));
    m = _mm256_min_epi32(m, _mm256_shuffle_epi32(m, 0xB1));
    const int smallest = _mm256_cvtsi256_si32(m);
    const unsigned at = unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(errors[c], m))));
    // The ninth pair wins only when it is strictly smaller than the first eight.
    int pair = 0;
    while (pair < 8 && !(at >> pair & 1)) ++pair;
    if (lastErrors[c] < smallest) pair = 8;
    outA[c] = in.A[c] - 1 + pair / 3;
    outB[c] = in.B[c] - 1 + pair % 3;
  }
}

// Sixteen mappings in 16-bit lanes: a difference squared is below 2^16 and its product with a
// weight below 2^32, taken as the low and high halves of the unsigned 16-bit products.
void MapErrors(const std::uint8_t* const* lanes, const int (*target)[4], const std::int32_t* weight,
               std::int32_t* errors) {
  __m256i low = _mm256_setzero_si256(), high = _mm256_setzero_si256();
  for (int k = 0; k < 4; ++k) {
    if (weight[k] == 0) continue;
    const __m256i w = _mm256_set1_epi16(static_cast<short>(weight[k]));
    for (int c = 0; c < 3; ++c) {
      const __m256i v = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes[c] + 16 * k)));
      const __m256i d = _mm256_sub_epi16(_mm256_set1_epi16(static_cast<short>(target[c][k])), v);
      const __m256i d2 = _mm256_mullo_epi16(d, d);
      const __m256i lo = _mm256_mullo_epi16(d2, w), hi = _mm256_mulhi_epu16(d2, w);
      // Per 128-bit half: mappings 0-3 | 8-11 and 4-7 | 12-15.
      low = _mm256_add_epi32(low, _mm256_unpacklo_epi16(lo, hi));
      high = _mm256_add_epi32(high, _mm256_unpackhi_epi16(lo, hi));
    }
  }
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(errors), _mm256_permute2x128_si256(low, high, 0x20));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(errors + 8), _mm256_permute2x128_si256(low, high, 0x31));
}

}  // namespace

#include "textures/avx2_target_end.h"

void DimNearAVX2(const TDimNearInput& input, int* a, int* b) { Search(input, a, b); }

void DimMapErrorsAVX2(const std::uint8_t* const* lanes, const int (*target)[4], const std::int32_t* weight,
                      std::int32_t* errors) {
  MapErrors(lanes, target, weight, errors);
}

}  // namespace ashtint
#endif
