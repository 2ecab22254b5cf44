// AVX2 form of the alpha fit's round: the 49 candidate pairs of a round side by side, one per
// byte lane, their palettes built in the lanes, and each distinct alpha value of the block
// measured once and counted as often as it occurs. The sums are exact, so the errors are those
// of the plain form. Only this file is compiled for AVX2, and everything in it is local to it,
// so no AVX2 code can reach a processor without it.
#include "textures/dxt_internal.h"

#ifdef ASHTINT_DXT_X86
#include <immintrin.h>

#include "textures/avx2_target_begin.h"

namespace ashtint {

namespace {

// The lanes are 64 candidates in two vectors of 32 bytes. Palettes are computed in 16-bit
// lanes and packed to bytes, and the squared distances are widened back to 32-bit sums; both
// steps interleave within 128-bit halves. The candidate of each 16-bit lane is chosen so that
// the sums come out in candidate order. Lanes of no candidate (49 and up) get a row that puts
// their first endpoint off the byte range.
struct TRoundLanes {
  alignas(32) std::int16_t Row[64], Col[64];
  constexpr TRoundLanes() : Row(), Col() {
    for (int slot = 0; slot < 64; ++slot) {
      const int half = slot / 32, o = slot % 32;
      // Sum slot o of a half holds byte lane: 32-bit vectors 0..3 in turn, each 4 bytes from
      // the low 128 bits then 4 from the high.
      const int vector = o / 8, inVector = o % 8;
      const int byteLane = (inVector < 4 ? 0 : 16) + vector * 4 + inVector % 4;
      // Packing two 16-bit vectors q = 0, 1: bytes 0-7 from q 0 lanes 0-7, 8-15 from q 1
      // lanes 0-7, 16-23 from q 0 lanes 8-15, 24-31 from q 1 lanes 8-15.
      const int high = byteLane / 16, inHalf = byteLane % 16;
      const int q = inHalf / 8, lane16 = high * 8 + inHalf % 8;
      const int at = 32 * half + 16 * q + lane16;
      Row[at] = std::int16_t(slot < kAlphaRoundCandidates ? slot / 7 : 1000);
      Col[at] = std::int16_t(slot % 7);
    }
  }
};
constexpr TRoundLanes kLanes;

inline __m256i Distance(__m256i x, __m256i e) { return _mm256_or_si256(_mm256_subs_epu8(x, e), _mm256_subs_epu8(e, x)); }

void RoundErrors(const TAlphaValues& values, int a0, int a1, bool eight, int* errors) {
  const int entries = eight ? 8 : 6;  // the six-value mode's 0 and 255 are taken per value below
  __m256i palette[2][8];
  for (int half = 0; half < 2; ++half) {
    __m256i e16[2][8];
    for (int q = 0; q < 2; ++q) {
      const int at = 32 * half + 16 * q;
      const __m256i c0 = _mm256_add_epi16(_mm256_load_si256(reinterpret_cast<const __m256i*>(kLanes.Row + at)),
                                          _mm256_set1_epi16(std::int16_t(a0 - 3)));
      const __m256i c1 = _mm256_add_epi16(_mm256_load_si256(reinterpret_cast<const __m256i*>(kLanes.Col + at)),
                                          _mm256_set1_epi16(std::int16_t(a1 - 3)));
      e16[q][0] = c0;
      e16[q][1] = c1;
      // Entry k is ((n - k) c0 + (k - 1) c1) / n with n = 7 or 5; the dividend grows by c1 - c0
      // per entry and stays below 7 x 256 in a valid lane, where the multiplication by the
      // rounded-up reciprocal divides exactly.
      const __m256i step = _mm256_sub_epi16(c1, c0);
      const __m256i inverse = _mm256_set1_epi16(std::int16_t(eight ? 9363 : 13108));
      __m256i dividend = _mm256_add_epi16(_mm256_mullo_epi16(c0, _mm256_set1_epi16(std::int16_t(eight ? 6 : 4))), c1);
      for (int k = 2; k < entries; ++k) {
        e16[q][k] = _mm256_mulhi_epu16(dividend, inverse);
        dividend = _mm256_add_epi16(dividend, step);
      }
    }
    for (int k = 0; k < entries; ++k) palette[half][k] = _mm256_packus_epi16(e16[0][k], e16[1][k]);
  }

  const __m256i zero = _mm256_setzero_si256();
  __m256i sums[2][4];
  for (auto& h : sums)
    for (auto& s : h) s = zero;
  // Two values at a time: their distances widened to 16 bits and paired per candidate, so that
  // one multiply-add gives n_p d_p^2 + n_q d_q^2 in 32 bits.
  for (int i = 0; i < values.Distinct; i += 2) {
    __m256i wide[2][2][2], weighted[2][2][2];  // [value][half][low/high]
    for (int j = 0; j < 2; ++j) {
      const bool real = i + j < values.Distinct;
      const int v = real ? values.Value[i + j] : 0;
      const __m256i count = _mm256_set1_epi16(std::int16_t(real ? values.Count[i + j] : 0));
      const __m256i x = _mm256_set1_epi8(char(v));
      const __m256i start = _mm256_set1_epi8(char(eight ? 255 : (v < 255 - v ? v : 255 - v)));
      for (int half = 0; half < 2; ++half) {
        __m256i best = start;
        for (int k = 0; k < entries; ++k) best = _mm256_min_epu8(best, Distance(x, palette[half][k]));
        wide[j][half][0] = _mm256_unpacklo_epi8(best, zero);
        wide[j][half][1] = _mm256_unpackhi_epi8(best, zero);
        weighted[j][half][0] = _mm256_mullo_epi16(wide[j][half][0], count);
        weighted[j][half][1] = _mm256_mullo_epi16(wide[j][half][1], count);
      }
    }
    for (int half = 0; half < 2; ++half) {
      for (int part = 0; part < 2; ++part) {
        const __m256i& p = wide[0][half][part];
        const __m256i& q = wide[1][half][part];
        const __m256i& pw = weighted[0][half][part];
        const __m256i& qw = weighted[1][half][part];
        sums[half][2 * part] = _mm256_add_epi32(
            sums[half][2 * part], _mm256_madd_epi16(_mm256_unpacklo_epi16(p, q), _mm256_unpacklo_epi16(pw, qw)));
        sums[half][2 * part + 1] = _mm256_add_epi32(
            sums[half][2 * part + 1], _mm256_madd_epi16(_mm256_unpackhi_epi16(p, q), _mm256_unpackhi_epi16(pw, qw)));
      }
    }
  }

  // A pair counts only on the byte range and in the mode's order (first endpoint larger in
  // the eight-value mode, smaller in the six-value one). In candidate order, 8 at a time.
  const __m256i lastValid = _mm256_set1_epi32(kAlphaRoundCandidates - 1);
  for (int block = 0; block < 8; ++block) {
    const __m256i id = _mm256_add_epi32(_mm256_set1_epi32(8 * block), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    // id / 7 for id < 64 by multiplication: (id * 37) >> 8.
    const __m256i row = _mm256_srli_epi32(_mm256_mullo_epi32(id, _mm256_set1_epi32(37)), 8);
    const __m256i col = _mm256_sub_epi32(id, _mm256_mullo_epi32(row, _mm256_set1_epi32(7)));
    const __m256i c0 = _mm256_add_epi32(row, _mm256_set1_epi32(a0 - 3));
    const __m256i c1 = _mm256_add_epi32(col, _mm256_set1_epi32(a1 - 3));
    const __m256i byteMax = _mm256_set1_epi32(255), below = _mm256_set1_epi32(-1);
    __m256i ok = _mm256_and_si256(_mm256_cmpgt_epi32(c0, below), _mm256_cmpgt_epi32(c1, below));
    ok = _mm256_andnot_si256(_mm256_or_si256(_mm256_cmpgt_epi32(c0, byteMax), _mm256_cmpgt_epi32(c1, byteMax)), ok);
    ok = _mm256_and_si256(ok, eight ? _mm256_cmpgt_epi32(c0, c1) : _mm256_cmpgt_epi32(c1, c0));
    ok = _mm256_andnot_si256(_mm256_cmpgt_epi32(id, lastValid), ok);
    const __m256i error = _mm256_blendv_epi8(_mm256_set1_epi32(kAlphaNoCandidate), sums[block / 4][block % 4], ok);
    if (block < 6) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(errors + 8 * block), error);
    } else if (block == 6) {
      errors[48] = _mm256_cvtsi256_si32(error);
    }
  }
}

}  // namespace

#include "textures/avx2_target_end.h"

void AlphaRoundErrorsAVX2(const TAlphaValues& values, int a0, int a1, bool eight, int* errors) {
  RoundErrors(values, a0, a1, eight, errors);
}

}  // namespace ashtint
#endif
