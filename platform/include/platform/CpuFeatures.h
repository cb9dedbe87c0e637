// What the processor offers, for routines built twice, plain and for AVX2 (or AVX-512): the one
// for the processor is chosen at first use, a plain choice through a function pointer rather
// than an ifunc, which ThreadSanitizer cannot start with. The rasteriser and the mixer both ask.
#pragma once

namespace platform {

#if defined(__x86_64__) || defined(__i386__)
#define PH_CPU_SUPPORTS(feature) (__builtin_cpu_init(), __builtin_cpu_supports(feature) != 0)
#else
#define PH_CPU_SUPPORTS(feature) false
#endif

inline bool cpuHasAvx2()
{
    return PH_CPU_SUPPORTS("avx2");
}

inline bool cpuHasAvx512bw()
{
    return PH_CPU_SUPPORTS("avx512bw");
}

} // namespace platform

// The AVX2 version where the processor has it, else the plain one. The AVX2 version exists only
// on x86 builds and is not named elsewhere.
#if defined(__x86_64__) || defined(__i386__)
#define PH_AVX2_OR_PLAIN(avx2, plain) (::platform::cpuHasAvx2() ? (avx2) : (plain))
#else
#define PH_AVX2_OR_PLAIN(avx2, plain) (plain)
#endif
