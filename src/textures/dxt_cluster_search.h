// The split search of the colour cluster fit, in several forms chosen once at start-up.
#pragma once

namespace ashtint {

inline constexpr int kClusterPrefixStride = 24;  // 17 prefix sums plus room for a whole vector

// Weighted points of one block in projection order, as prefix sums: Prefix[c][k] is the sum of
// the weighted vectors of points 0..k-1 (c: 0 blue, 1 green, 2 red, 3 weight), added one point
// at a time. Entries past the last point are zero. The sums of a cluster follow as differences,
// and every split's sums from three prefix sums, so each split costs a constant amount of work.
struct TClusterInput {
  alignas(32) float Prefix[4][kClusterPrefixStride];
  int Count;
  bool ThreeColor;
};

// Best split (cluster sizes) and its endpoints on the 5:6:5 grid (blue, green, red).
struct TClusterResult {
  int K0, K1, K2;
  int Start[3], End[3];
};

enum class TClusterSearchForm {
  Scalar,        // exact division
  ScalarRcp,     // scalar arithmetic with the processor's approximate reciprocal (x86 only)
  ScalarRcpFused,  // the same with fused multiply-add (the library's, slow): AVX2's reference
  SSE,           // four lanes, approximate reciprocal
  AVX2           // eight lanes, approximate reciprocal, fused multiply-add
};

using TClusterSearchFn = void (*)(const TClusterInput& input, TClusterResult& result);

void ClusterSearchScalar(const TClusterInput& input, TClusterResult& result);
#if defined(__x86_64__) || defined(_M_X64) || defined(__i386__)
#define ASHTINT_DXT_X86 1
void ClusterSearchScalarRcp(const TClusterInput& input, TClusterResult& result);
void ClusterSearchScalarRcpFused(const TClusterInput& input, TClusterResult& result);
void ClusterSearchSSE(const TClusterInput& input, TClusterResult& result);
void ClusterSearchAVX2(const TClusterInput& input, TClusterResult& result);
#endif

bool ClusterSearchFormAvailable(TClusterSearchForm form);
// The form in use: the best the processor offers, picked at start-up.
TClusterSearchForm ActiveClusterSearchForm();
TClusterSearchFn ClusterSearchFunction(TClusterSearchForm form);
// For tests and benchmarks: switch the form used by the encoder; false when not available.
// Not to be called while blocks are being encoded.
bool SetClusterSearchForm(TClusterSearchForm form);
TClusterSearchFn ActiveClusterSearch();

}  // namespace ashtint
