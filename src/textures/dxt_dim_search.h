// The search one grid step around a dimmed block's endpoint pairs, for the three channels at
// once, and the measure of every mapping against a block: in plain integers everywhere, and in
// AVX2 where the processor has it. Both forms give the same numbers.
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

// The error of each of the sixteen mappings' tabled pairs against a block, exactly: per
// mapping m, the sum over channels c and source entries k of weight[k] (target[c][k] -
// lanes[c][16 k + m])^2. Weights sum to at most 16 x 255, so every sum fits in 32 bits.
using TDimMapErrorsFn = void (*)(const std::uint8_t* const* lanes, const int (*target)[4],
                                 const std::int32_t* weight, std::int32_t* errors);

void DimMapErrorsScalar(const std::uint8_t* const* lanes, const int (*target)[4], const std::int32_t* weight,
                        std::int32_t* errors);
#ifdef ASHTINT_DIM_X86
void DimMapErrorsAVX2(const std::uint8_t* const* lanes, const int (*target)[4], const std::int32_t* weight,
                      std::int32_t* errors);
#endif

// For tests and benchmarks: use the AVX2 forms (the search and the mapping errors) or not;
// false when the processor lacks them. Not to be called while blocks are being dimmed.
bool SetDimNearVector(bool vector);

}  // namespace ashtint
