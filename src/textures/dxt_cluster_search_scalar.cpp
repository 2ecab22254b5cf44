// Scalar form of the split search: exact division. On x86 also scalar forms with the
// processor's approximate reciprocal, which must agree bit for bit with the vector forms: one
// rounding each multiplication and addition like SSE, one fused like AVX2.
#include <cmath>

#include "textures/dxt_cluster_search_impl.h"

#ifdef ASHTINT_DXT_X86
#include <immintrin.h>
#endif

namespace ashtint {

void ClusterSearchScalar(const TClusterInput& input, TClusterResult& result) {
  TSplitSearch<TScalarLanes, true>::Run(input, result);
}

#ifdef ASHTINT_DXT_X86
namespace {
struct TScalarRcpLanes : TScalarLanes {
  static V Rcp(V d) { return _mm_cvtss_f32(_mm_rcp_ss(_mm_set_ss(d))); }
};

struct TScalarRcpFusedLanes : TScalarRcpLanes {
  static V MulAdd(V a, V b, V c) { return std::fma(a, b, c); }
  static V MulSub(V a, V b, V c) { return std::fma(a, b, -c); }
};
}  // namespace

void ClusterSearchScalarRcp(const TClusterInput& input, TClusterResult& result) {
  TSplitSearch<TScalarRcpLanes, false>::Run(input, result);
}

void ClusterSearchScalarRcpFused(const TClusterInput& input, TClusterResult& result) {
  TSplitSearch<TScalarRcpFusedLanes, false>::Run(input, result);
}
#endif

}  // namespace ashtint
