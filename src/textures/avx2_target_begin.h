// Opens the part of an AVX2 file whose functions are compiled for AVX2 and fused multiply-add
// (processors have both or neither) when the build as a whole is not; avx2_target_end.h closes
// it. Only files used after a processor check include these.
#if defined(__clang__) && !(defined(__AVX2__) && defined(__FMA__))
#pragma clang attribute push(__attribute__((target("avx2,fma"))), apply_to = function)
#define ASHTINT_POP_CLANG_TARGET 1
#elif defined(__GNUC__) && !(defined(__AVX2__) && defined(__FMA__))
#pragma GCC push_options
#pragma GCC target("avx2,fma")
#define ASHTINT_POP_TARGET 1
#endif
