// Hot loops get a second build for processors with 256-bit vectors, chosen
// when the program loads; both builds give the same results. Clang cannot
// clone templates; its builds (the fuzzer) keep the baseline loops. Neither do
// thread sanitizer builds clone: the loader runs the chooser before the
// sanitizer's runtime is up, and the instrumented chooser crashes.
#pragma once

#if defined(__clang__) || defined(__SANITIZE_THREAD__)
#define KAVIREL_VECTOR_CLONES
#else
#define KAVIREL_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#endif
