// Alpha half of a DXT5 block: for the 6-value and the 8-value palette, a local search around an
// inset range, then least squares on the winning indices in 15-bit fixed point; the better of
// the two modes wins. Where the processor has AVX2, each round's candidates are measured side by
// side, every distinct alpha value once.
#include <cstdint>
#include <utility>

#include "textures/dxt_cluster_search.h"
#include "textures/dxt_codec.h"
#include "textures/dxt_internal.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define ASHTINT_ALPHA_SSE2 1
#endif

namespace ashtint {

namespace {

// Palette entries in ascending order of value: a pixel midway between two entries takes the
// lower one, and of equal values the one listed first.
constexpr int kOrder8[8] = {1, 7, 6, 5, 4, 3, 2, 0};
constexpr int kOrder6[8] = {6, 0, 2, 3, 4, 5, 1, 7};

struct TAlphaTry {
  int A0 = -1, A1 = -1;
  int Error = 0x7fffffff;
  std::uint8_t Indices[16] = {};
};

int AssignScalar(const std::uint8_t* alpha, const unsigned* palette, const int* order,
                 std::uint8_t* indices) {
  int error = 0;
  for (int i = 0; i < 16; ++i) {
    const int x = alpha[i];
    int best = x - int(palette[order[0]]);
    best = best < 0 ? -best : best;
    int bestIndex = order[0];
    for (int k = 1; k < 8; ++k) {
      int d = x - int(palette[order[k]]);
      d = d < 0 ? -d : d;
      if (d < best) best = d, bestIndex = order[k];
    }
    indices[i] = std::uint8_t(bestIndex);
    error += best * best;
  }
  return error;
}

#ifdef ASHTINT_ALPHA_SSE2
// The sum of the squares of 16 byte-sized distances.
int SumOfSquares(__m128i distances) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = _mm_unpacklo_epi8(distances, zero), hi = _mm_unpackhi_epi8(distances, zero);
  __m128i sum = _mm_add_epi32(_mm_madd_epi16(lo, lo), _mm_madd_epi16(hi, hi));
  sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(1, 0, 3, 2)));
  sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(2, 3, 0, 1)));
  return _mm_cvtsi128_si32(sum);
}

int AssignSse2(const std::uint8_t* alpha, const unsigned* palette, const int* order,
               std::uint8_t* indices) {
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(alpha));
  __m128i v = _mm_set1_epi8(char(palette[order[0]]));
  __m128i best = _mm_or_si128(_mm_subs_epu8(x, v), _mm_subs_epu8(v, x));
  __m128i bestIndex = _mm_set1_epi8(char(order[0]));
  for (int k = 1; k < 8; ++k) {
    v = _mm_set1_epi8(char(palette[order[k]]));
    const __m128i d = _mm_or_si128(_mm_subs_epu8(x, v), _mm_subs_epu8(v, x));
    // d < best exactly when max(d, best) is not d.
    const __m128i notLess = _mm_cmpeq_epi8(_mm_max_epu8(d, best), d);
    bestIndex = _mm_or_si128(_mm_and_si128(notLess, bestIndex),
                             _mm_andnot_si128(notLess, _mm_set1_epi8(char(order[k]))));
    best = _mm_min_epu8(d, best);
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(indices), bestIndex);
  return SumOfSquares(best);
}

// The error of the palette alone: each pixel's distance to its nearest entry does not depend on
// which of two equally near entries it takes, so the pairs of a round are measured without
// their indices, and only the winner's are assigned.
int ErrorSse2(const std::uint8_t* alpha, const std::uint8_t* palette) {
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(alpha));
  __m128i best = _mm_set1_epi8(char(255));
  for (int k = 0; k < 8; ++k) {
    const __m128i v = _mm_set1_epi8(char(palette[k]));
    best = _mm_min_epu8(best, _mm_or_si128(_mm_subs_epu8(x, v), _mm_subs_epu8(v, x)));
  }
  return SumOfSquares(best);
}
#endif

int ErrorScalar(const std::uint8_t* alpha, const std::uint8_t* palette) {
  int error = 0;
  for (int i = 0; i < 16; ++i) {
    int best = 255;
    for (int k = 0; k < 8; ++k) {
      const int d = alpha[i] > int(palette[k]) ? alpha[i] - int(palette[k]) : int(palette[k]) - alpha[i];
      best = d < best ? d : best;
    }
    error += best * best;
  }
  return error;
}

// A round's errors built and measured candidate by candidate.
template <int (*Error)(const std::uint8_t*, const std::uint8_t*)>
void RoundOneByOne(const TAlphaValues& values, int a0, int a1, bool eight, int* errors) {
  for (int i = 0; i < kAlphaRoundCandidates; ++i) {
    const int c0 = a0 - 3 + i / 7, c1 = a1 - 3 + i % 7;
    if (c0 < 0 || c0 > 255 || c1 < 0 || c1 > 255 || c0 == c1 || (eight ? c0 < c1 : c0 > c1)) {
      errors[i] = kAlphaNoCandidate;
      continue;
    }
    unsigned palette[8];
    BuildAlphaPalette(unsigned(c0), unsigned(c1), palette);
    std::uint8_t entries[8];
    for (int k = 0; k < 8; ++k) entries[k] = std::uint8_t(palette[k]);
    errors[i] = Error(values.Pixel, entries);
  }
}

using TAssign = int (*)(const std::uint8_t*, const unsigned*, const int*, std::uint8_t*);
using TRoundErrors = void (*)(const TAlphaValues&, int, int, bool, int*);
struct TAlphaForm {
  TAssign Assign;
  TRoundErrors Round;
};

inline std::int64_t FixMul(std::int64_t p, std::int64_t q) { return (p * q + 16384) >> 15; }

// Next pair from least squares on the indices of the winning pair.
void LeastSquares(const std::uint8_t* alpha, const std::uint8_t* indices, bool eight, int& a0,
                  int& a1) {
  std::int64_t p = 0, q = 0, r = 0, x = 0, y = 0;
  for (int i = 0; i < 16; ++i) {
    const int index = indices[i];
    const int value = alpha[i];
    if (!eight && (value == 0 || value == 255 || index >= 6)) continue;
    std::int64_t s;
    if (index == 0) s = 32767;
    else if (index == 1) s = 0;
    else s = eight ? (8 - index) * 4681 : (6 - index) * 6554;
    const std::int64_t t = 32767 - s;
    p += FixMul(s, s);
    q += FixMul(t, t);
    r += FixMul(s, t);
    x += s * value;
    y += t * value;
  }
  const std::int64_t d = FixMul(p, q) - FixMul(r, r);
  if (d == 0) {
    a0 = a1 = 0;
    return;
  }
  const std::int64_t inverse = (std::int64_t(1) << 30) / d;
  std::int64_t v0 = (FixMul(FixMul(q, x) - FixMul(r, y), inverse) + 16384) >> 15;
  std::int64_t v1 = (FixMul(FixMul(p, y) - FixMul(r, x), inverse) + 16384) >> 15;
  v0 = v0 < 0 ? 0 : (v0 > 255 ? 255 : v0);
  v1 = v1 < 0 ? 0 : (v1 > 255 ? 255 : v1);
  if (eight ? v0 < v1 : v0 > v1) std::swap(v0, v1);
  a0 = int(v0);
  a1 = int(v1);
}

TAlphaTry FitMode(const TAlphaValues& values, bool eight, const TAlphaForm& form) {
  const std::uint8_t* alpha = values.Pixel;
  int lo = 255, hi = 0;
  for (int i = 0; i < 16; ++i) {
    const int v = alpha[i];
    if (!eight && (v == 0 || v == 255)) continue;
    lo = v < lo ? v : lo;
    hi = v > hi ? v : hi;
  }
  const int inset = ((hi - lo) * 1928) >> 16;
  int a0 = eight ? hi - inset : lo + inset;
  int a1 = eight ? lo + inset : hi - inset;
  const int* order = eight ? kOrder8 : kOrder6;
  TAlphaTry best;
  for (int round = 0; round < 9; ++round) {
    // The round's candidates measured together; the first smallest wins.
    int errors[kAlphaRoundCandidates];
    form.Round(values, a0, a1, eight, errors);
    TAlphaTry winner;
    for (int i = 0; i < kAlphaRoundCandidates; ++i)
      if (errors[i] < winner.Error) winner.A0 = a0 - 3 + i / 7, winner.A1 = a1 - 3 + i % 7, winner.Error = errors[i];
    if (winner.A0 >= 0) {
      unsigned palette[8];
      BuildAlphaPalette(unsigned(winner.A0), unsigned(winner.A1), palette);
      form.Assign(alpha, palette, order, winner.Indices);
    }
    if (winner.A0 == best.A0 && winner.A1 == best.A1) break;
    if (winner.Error < best.Error) best = winner;
    LeastSquares(alpha, winner.Indices, eight, a0, a1);
  }
  return best;
}

void EncodeAlpha(const std::uint32_t* pixels, std::uint8_t* destination, const TAlphaForm& form) {
  TAlphaValues values;
  values.Distinct = 0;
  for (int i = 0; i < 16; ++i) {
    const std::uint8_t a = std::uint8_t(PixelAlpha(pixels[i]));
    values.Pixel[i] = a;
    int k = 0;
    while (k < values.Distinct && values.Value[k] != a) ++k;
    if (k == values.Distinct) values.Value[values.Distinct++] = a, values.Count[k] = 0;
    ++values.Count[k];
  }
  const TAlphaTry six = FitMode(values, false, form);
  const TAlphaTry eight = FitMode(values, true, form);
  const TAlphaTry& best = six.Error <= eight.Error ? six : eight;
  destination[0] = std::uint8_t(best.A0);
  destination[1] = std::uint8_t(best.A1);
  std::uint64_t bits = 0;
  for (int i = 0; i < 16; ++i) bits |= std::uint64_t(best.Indices[i]) << (3 * i);
  for (int i = 0; i < 6; ++i) destination[2 + i] = std::uint8_t(bits >> (8 * i));
}

}  // namespace

bool AlphaFitFormAvailable(TAlphaFitForm form) {
  switch (form) {
#ifdef ASHTINT_ALPHA_SSE2
    case TAlphaFitForm::SSE2: return true;
#endif
#if defined(ASHTINT_DXT_X86) && defined(ASHTINT_ALPHA_SSE2)
    case TAlphaFitForm::AVX2: return ClusterSearchFormAvailable(TClusterSearchForm::AVX2);
#endif
    case TAlphaFitForm::Plain: return true;
    default: return false;
  }
}

void EncodeDxt5AlphaFitForm(const std::uint32_t* pixels, std::uint8_t* destination, TAlphaFitForm form) {
  static constexpr TAlphaForm plain = {AssignScalar, RoundOneByOne<ErrorScalar>};
#ifdef ASHTINT_ALPHA_SSE2
  static constexpr TAlphaForm sse2 = {AssignSse2, RoundOneByOne<ErrorSse2>};
  if (form == TAlphaFitForm::SSE2) return EncodeAlpha(pixels, destination, sse2);
#endif
#if defined(ASHTINT_DXT_X86) && defined(ASHTINT_ALPHA_SSE2)
  static constexpr TAlphaForm avx2 = {AssignSse2, AlphaRoundErrorsAVX2};
  if (form == TAlphaFitForm::AVX2) return EncodeAlpha(pixels, destination, avx2);
#endif
  EncodeAlpha(pixels, destination, plain);
}

namespace {

TAlphaFitForm PickForm() {
  if (AlphaFitFormAvailable(TAlphaFitForm::AVX2)) return TAlphaFitForm::AVX2;
  if (AlphaFitFormAvailable(TAlphaFitForm::SSE2)) return TAlphaFitForm::SSE2;
  return TAlphaFitForm::Plain;
}

const TAlphaFitForm activeForm = PickForm();

}  // namespace

void EncodeDxt5AlphaFit(const std::uint32_t* pixels, std::uint8_t* destination) {
  EncodeDxt5AlphaFitForm(pixels, destination, activeForm);
}

}  // namespace ashtint
