// Closes what avx2_target_begin.h opened.
#ifdef ASHTINT_POP_TARGET
#pragma GCC pop_options
#undef ASHTINT_POP_TARGET
#endif
#ifdef ASHTINT_POP_CLANG_TARGET
#pragma clang attribute pop
#undef ASHTINT_POP_CLANG_TARGET
#endif
