// Picks the form of the split search once, from the processor's features.
#include <atomic>

#include "textures/dxt_cluster_search.h"

namespace ashtint {

namespace {

bool ProcessorHas(TClusterSearchForm form) {
#ifdef ASHTINT_DXT_X86
#if defined(__GNUC__)
  __builtin_cpu_init();
  if (form == TClusterSearchForm::AVX2) return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  if (form == TClusterSearchForm::SSE || form == TClusterSearchForm::ScalarRcp ||
      form == TClusterSearchForm::ScalarRcpFused)
    return __builtin_cpu_supports("sse2");
#else
  if (form == TClusterSearchForm::AVX2) return false;  // no portable probe here: stay on SSE
  if (form == TClusterSearchForm::SSE || form == TClusterSearchForm::ScalarRcp ||
      form == TClusterSearchForm::ScalarRcpFused)
    return true;
#endif
#endif
  return form == TClusterSearchForm::Scalar;
}

TClusterSearchForm PickForm() {
  if (ProcessorHas(TClusterSearchForm::AVX2)) return TClusterSearchForm::AVX2;
  if (ProcessorHas(TClusterSearchForm::SSE)) return TClusterSearchForm::SSE;
  return TClusterSearchForm::Scalar;
}

std::atomic<TClusterSearchForm> activeForm{PickForm()};
std::atomic<TClusterSearchFn> activeSearch{ClusterSearchFunction(activeForm.load())};

}  // namespace

bool ClusterSearchFormAvailable(TClusterSearchForm form) { return ProcessorHas(form); }

TClusterSearchForm ActiveClusterSearchForm() { return activeForm.load(std::memory_order_relaxed); }

TClusterSearchFn ClusterSearchFunction(TClusterSearchForm form) {
  switch (form) {
#ifdef ASHTINT_DXT_X86
    case TClusterSearchForm::ScalarRcp: return ClusterSearchScalarRcp;
    case TClusterSearchForm::ScalarRcpFused: return ClusterSearchScalarRcpFused;
    case TClusterSearchForm::SSE: return ClusterSearchSSE;
    case TClusterSearchForm::AVX2: return ClusterSearchAVX2;
#endif
    default: return ClusterSearchScalar;
  }
}

bool SetClusterSearchForm(TClusterSearchForm form) {
  if (!ProcessorHas(form)) return false;
  activeForm.store(form, std::memory_order_relaxed);
  activeSearch.store(ClusterSearchFunction(form), std::memory_order_relaxed);
  return true;
}

TClusterSearchFn ActiveClusterSearch() { return activeSearch.load(std::memory_order_relaxed); }

}  // namespace ashtint
