// Scalar form of the split search: exact division. On x86 also a scalar form with the
// processor's approximate reciprocal, which must agree bit for bit with the vector forms.
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
}  // namespace

void ClusterSearchScalarRcp(const TClusterInput& input, TClusterResult& result) {
  TSplitSearch<TScalarRcpLanes, false>::Run(input, result);
}
#endif

}  // namespace ashtint
