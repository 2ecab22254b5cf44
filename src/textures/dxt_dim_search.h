// The search one grid step around a dimmed block's endpoint pairs, for the three channels at
// once: in plain integers everywhere, and in eight-lane AVX2 where the processor has it. Both
// choose the same pairs.
#pragma once

#include <cstdint>

namespace ashtint {

// Per index of the new palette: the summed pixel weight (the same for every channel) and, per
// channel (red, green, blue), the weighted channel value of the entries mapped to it; and the
// pairs to search around.
struct TDimNearInput {
  std::int32_t W[4];
  std::int32_t S[3][4];
  int A[3], B[3];
  bool FourColor;
};

// Per channel, the first pair with the smallest error among the nine around (A, B), in the
// order of A - 1 .. A + 1 outer and B - 1 .. B + 1 inner; pairs off the grid are never chosen.
using TDimNearFn = void (*)(const TDimNearInput& input, int* a, int* b);

void DimNearScalar(const TDimNearInput& input, int* a, int* b);
#if defined(__x86_64__) || defined(_M_X64) || defined(__i386__)
#define ASHTINT_DIM_X86 1
void DimNearAVX2(const TDimNearInput& input, int* a, int* b);
#endif

// For tests and benchmarks: use the AVX2 form or not; false when the processor lacks it. Not to
// be called while blocks are being dimmed.
bool SetDimNearVector(bool vector);

}  // namespace ashtint
