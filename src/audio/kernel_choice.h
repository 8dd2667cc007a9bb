// The choice between a plain kernel and its vector twin: the vector one
// when the processor has SSE2 (and the build targets x86), the plain one
// otherwise or when a test or bench asks for it. Both must give identical
// results, so the choice is only a matter of speed.
#pragma once

#include <atomic>

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#define LV_AUDIO_SSE2 1
#endif

namespace lv::audio {

inline bool processorHasSse2() {
#ifdef LV_AUDIO_SSE2
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2");
#else
    return false;
#endif
}

template <typename Kernel>
class KernelChoice {
public:
    // `vector` may be null where the build has no vector kernel.
    KernelChoice(Kernel plain, Kernel vector)
        : plain_(plain), vector_(vector && processorHasSse2() ? vector : plain), active_(vector_) {}
    Kernel get() const { return active_.load(std::memory_order_relaxed); }
    void useVector(bool on) { active_ = on ? vector_ : plain_; }

private:
    Kernel plain_;
    Kernel vector_;
    std::atomic<Kernel> active_;
};

}  // namespace lv::audio
