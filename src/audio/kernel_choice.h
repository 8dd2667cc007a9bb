// The choice between a plain kernel and its vector twins: the widest one the
// processor has (AVX, then SSE2, where the build targets x86), the plain one
// otherwise or when a test or bench asks for it. All of them must give
// identical results, so the choice is only a matter of speed.
//
// AVX kernels exist outside Windows, and in Windows builds whose assembler
// turns aligned vector moves into unaligned ones (the compiler there cannot
// keep the stack aligned for 32-byte values that spill).
#pragma once

#include <algorithm>
#include <atomic>

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>
#define LV_AUDIO_SSE2 1
#if !defined(_WIN32) || defined(LUMAVINE_UNALIGNED_VECTOR_MOVES)
#define LV_AUDIO_AVX 1
#endif
#endif

namespace lv::audio {

enum class KernelLevel { plain, sse2, avx };

// The widest level the processor runs.
inline KernelLevel processorKernelLevel() {
#ifdef LV_AUDIO_SSE2
    __builtin_cpu_init();
#ifdef LV_AUDIO_AVX
    if (__builtin_cpu_supports("avx")) return KernelLevel::avx;
#endif
    if (__builtin_cpu_supports("sse2")) return KernelLevel::sse2;
#endif
    return KernelLevel::plain;
}

// Whether the processor runs AVX2 (the integer kernels' widest form; they
// take the AVX level's place when it does, else that level falls back to
// SSE2).
inline bool processorHasAvx2() {
#ifdef LV_AUDIO_AVX
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

template <typename Kernel>
class KernelChoice {
public:
    // `sse2` and `avx` may be null where the build has no such kernel.
    KernelChoice(Kernel plain, Kernel sse2, Kernel avx = nullptr) : kernels_{plain, sse2, avx} { limit(KernelLevel::avx); }
    Kernel get() const { return active_.load(std::memory_order_relaxed); }
    // The widest kernel at or below `level` that exists and the processor runs.
    void limit(KernelLevel level) {
        int i = std::min(static_cast<int>(level), static_cast<int>(processorKernelLevel()));
        while (i > 0 && !kernels_[i]) --i;
        active_ = kernels_[i];
    }
    void useVector(bool on) { limit(on ? KernelLevel::avx : KernelLevel::plain); }

private:
    Kernel kernels_[3];
    std::atomic<Kernel> active_{nullptr};
};

}  // namespace lv::audio
