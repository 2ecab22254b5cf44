// Four-lane SSE form of the split search, with the approximate reciprocal of the processor.
#include "textures/dxt_cluster_search.h"

#ifdef ASHTINT_DXT_X86
#include <emmintrin.h>

#include "textures/dxt_cluster_search_impl.h"

namespace ashtint {

namespace {
struct TSseLanes {
  using V = __m128;
  using I = __m128i;
  using M = __m128;
  static constexpr int Lanes = 4;
  static V Set(float v) { return _mm_set1_ps(v); }
  static V Load(const float* p) { return _mm_loadu_ps(p); }
  static V Add(V a, V b) { return _mm_add_ps(a, b); }
  static V Sub(V a, V b) { return _mm_sub_ps(a, b); }
  static V Mul(V a, V b) { return _mm_mul_ps(a, b); }
  static V Div(V a, V b) { return _mm_div_ps(a, b); }
  static V MulAdd(V a, V b, V c) { return _mm_add_ps(_mm_mul_ps(a, b), c); }
  static V MulSub(V a, V b, V c) { return _mm_sub_ps(_mm_mul_ps(a, b), c); }
  static V Rcp(V a) { return _mm_rcp_ps(a); }
  static V Max(V a, V b) { return _mm_max_ps(a, b); }
  static V Min(V a, V b) { return _mm_min_ps(a, b); }
  static V RoundEven(V v) {
    const V magic = _mm_set1_ps(8388608.0f);  // 2^23
    return _mm_sub_ps(_mm_add_ps(v, magic), magic);
  }
  static M Less(V a, V b) { return _mm_cmplt_ps(a, b); }
  static M Valid(int count) {
    return _mm_castsi128_ps(_mm_cmpgt_epi32(_mm_set1_epi32(count), _mm_setr_epi32(0, 1, 2, 3)));
  }
  static M And(M a, M b) { return _mm_and_ps(a, b); }
  static V Select(M m, V a, V b) { return _mm_or_ps(_mm_and_ps(m, a), _mm_andnot_ps(m, b)); }
  static I SelectI(M m, I a, I b) {
    const __m128i mi = _mm_castps_si128(m);
    return _mm_or_si128(_mm_and_si128(mi, a), _mm_andnot_si128(mi, b));
  }
  static I SetI(int v) { return _mm_set1_epi32(v); }
  static I Iota(int step) { return _mm_setr_epi32(0, step, 2 * step, 3 * step); }
  static I AddI(I a, int b) { return _mm_add_epi32(a, _mm_set1_epi32(b)); }
  static I LoadI(const int* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void Store(float* p, V v) { _mm_storeu_ps(p, v); }
  static void StoreI(int* p, I v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
  static float First(V v) { return _mm_cvtss_f32(v); }
};
}  // namespace

void ClusterSearchSSE(const TClusterInput& input, TClusterResult& result) {
  TSplitSearch<TSseLanes, false>::Run(input, result);
}

}  // namespace ashtint
#endif
