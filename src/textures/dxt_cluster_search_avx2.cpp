// Eight-lane AVX2 form of the split search with fused multiply-add (every processor with AVX2
// has it too; the form is offered only where both are there): the arithmetic of the SSE form,
// rounded once per multiply-add. Only this file is compiled for AVX2, and everything in it is
// local to it, so no AVX2 code can reach a processor without it.
#include "textures/dxt_cluster_search.h"

#ifdef ASHTINT_DXT_X86
#include <immintrin.h>

#include "textures/avx2_target_begin.h"

#include "textures/dxt_cluster_search_impl.h"

namespace ashtint {

namespace {
struct TAvx2Lanes {
  using V = __m256;
  using I = __m256i;
  using M = __m256;
  static constexpr int Lanes = 8;
  static V Set(float v) { return _mm256_set1_ps(v); }
  static V Load(const float* p) { return _mm256_loadu_ps(p); }
  static V Add(V a, V b) { return _mm256_add_ps(a, b); }
  static V Sub(V a, V b) { return _mm256_sub_ps(a, b); }
  static V Mul(V a, V b) { return _mm256_mul_ps(a, b); }
  static V Div(V a, V b) { return _mm256_div_ps(a, b); }
  static V MulAdd(V a, V b, V c) { return _mm256_fmadd_ps(a, b, c); }
  static V MulSub(V a, V b, V c) { return _mm256_fmsub_ps(a, b, c); }
  static V Rcp(V a) { return _mm256_rcp_ps(a); }
  static V Max(V a, V b) { return _mm256_max_ps(a, b); }
  static V Min(V a, V b) { return _mm256_min_ps(a, b); }
  static V RoundEven(V v) { return _mm256_round_ps(v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC); }
  static M Less(V a, V b) { return _mm256_cmp_ps(a, b, _CMP_LT_OQ); }
  static M Valid(int count) {
    return _mm256_castsi256_ps(
        _mm256_cmpgt_epi32(_mm256_set1_epi32(count), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)));
  }
  static M And(M a, M b) { return _mm256_and_ps(a, b); }
  static V Select(M m, V a, V b) { return _mm256_blendv_ps(b, a, m); }
  static I SelectI(M m, I a, I b) {
    return _mm256_castps_si256(
        _mm256_blendv_ps(_mm256_castsi256_ps(b), _mm256_castsi256_ps(a), m));
  }
  static I SetI(int v) { return _mm256_set1_epi32(v); }
  static I Iota(int s) { return _mm256_setr_epi32(0, s, 2 * s, 3 * s, 4 * s, 5 * s, 6 * s, 7 * s); }
  static I AddI(I a, int b) { return _mm256_add_epi32(a, _mm256_set1_epi32(b)); }
  static I LoadI(const int* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void Store(float* p, V v) { _mm256_storeu_ps(p, v); }
  static void StoreI(int* p, I v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  static float First(V v) { return _mm256_cvtss_f32(v); }
};

void RunAvx2(const TClusterInput& input, TClusterResult& result) {
  TSplitSearch<TAvx2Lanes, false>::Run(input, result);
}
}  // namespace

#include "textures/avx2_target_end.h"

void ClusterSearchAVX2(const TClusterInput& input, TClusterResult& result) {
  RunAvx2(input, result);
}

}  // namespace ashtint
#endif
