// One set of loops, compiled twice: for the build's baseline (SSE2 on x86)
// and for AVX2, whose 32-bit multiply the baseline lacks. The loops are
// forced inline into each form, so each is vectorised for its own target.
#include "audio/mix_kernels.h"

namespace lv::audio {
namespace {

constexpr int32_t sumLimit = 268435456;  // 2^28

#define LV_MIX_INLINE [[gnu::always_inline]] inline

LV_MIX_INLINE int32_t saturated(int32_t sum) {
    return sum < -sumLimit ? INT32_MIN : sum >= sumLimit ? INT32_MAX : sum * 8;
}

LV_MIX_INLINE void sumFirstLoop(const int32_t* in, int32_t gain, int32_t count, int32_t* sums) {
    for (int32_t i = 0; i < count; ++i) sums[i] = (in[i] >> 11) * gain;
}

LV_MIX_INLINE void sumAddLoop(const int32_t* in, int32_t gain, int32_t count, int32_t* sums) {
    for (int32_t i = 0; i < count; ++i) sums[i] += (in[i] >> 11) * gain;
}

LV_MIX_INLINE void sumLastLoop(const int32_t* in, int32_t gain, int32_t count, const int32_t* sums, int32_t* out) {
    if (sums)
        for (int32_t i = 0; i < count; ++i) out[i] = saturated(sums[i] + (in[i] >> 11) * gain);
    else
        for (int32_t i = 0; i < count; ++i) out[i] = saturated((in[i] >> 11) * gain);
}

LV_MIX_INLINE int32_t faded(int32_t sample, int32_t gain) {
    return static_cast<int32_t>(static_cast<uint32_t>((sample >> 10) * 4 * gain) & ~0x3FFu);
}

LV_MIX_INLINE void fadeLoop(const int32_t* in, int32_t gain, int32_t count, int32_t* out) {
    for (int32_t i = 0; i < count; ++i) out[i] = faded(in[i], gain);
}

LV_MIX_INLINE void fadeRampLoop(const int32_t* in, const int32_t* gains, int32_t count, int32_t* out) {
    for (int32_t i = 0; i < count; ++i) out[i] = faded(in[i], gains[i]);
}

// The baseline form.
void sumFirstPlain(const int32_t* in, int32_t gain, int32_t count, int32_t* sums) {
    sumFirstLoop(in, gain, count, sums);
}
void sumAddPlain(const int32_t* in, int32_t gain, int32_t count, int32_t* sums) { sumAddLoop(in, gain, count, sums); }
void sumLastPlain(const int32_t* in, int32_t gain, int32_t count, const int32_t* sums, int32_t* out) {
    sumLastLoop(in, gain, count, sums, out);
}
void fadePlain(const int32_t* in, int32_t gain, int32_t count, int32_t* out) { fadeLoop(in, gain, count, out); }
void fadeRampPlain(const int32_t* in, const int32_t* gains, int32_t count, int32_t* out) {
    fadeRampLoop(in, gains, count, out);
}

constexpr MixKernels plainKernels{sumFirstPlain, sumAddPlain, sumLastPlain, fadePlain, fadeRampPlain};

#ifdef LV_AUDIO_AVX
#define LV_AVX2 __attribute__((target("avx2")))
LV_AVX2 void sumFirstAvx2(const int32_t* in, int32_t gain, int32_t count, int32_t* sums) {
    sumFirstLoop(in, gain, count, sums);
}
LV_AVX2 void sumAddAvx2(const int32_t* in, int32_t gain, int32_t count, int32_t* sums) {
    sumAddLoop(in, gain, count, sums);
}
LV_AVX2 void sumLastAvx2(const int32_t* in, int32_t gain, int32_t count, const int32_t* sums, int32_t* out) {
    sumLastLoop(in, gain, count, sums, out);
}
LV_AVX2 void fadeAvx2(const int32_t* in, int32_t gain, int32_t count, int32_t* out) { fadeLoop(in, gain, count, out); }
LV_AVX2 void fadeRampAvx2(const int32_t* in, const int32_t* gains, int32_t count, int32_t* out) {
    fadeRampLoop(in, gains, count, out);
}

constexpr MixKernels avx2Kernels{sumFirstAvx2, sumAddAvx2, sumLastAvx2, fadeAvx2, fadeRampAvx2};
#endif

KernelChoice<const MixKernels*>& choice() {
#ifdef LV_AUDIO_AVX
    static KernelChoice<const MixKernels*> c(&plainKernels, nullptr, processorHasAvx2() ? &avx2Kernels : nullptr);
#else
    static KernelChoice<const MixKernels*> c(&plainKernels, nullptr);
#endif
    return c;
}

}  // namespace

const MixKernels& mixKernels() { return *choice().get(); }

void limitMixKernels(KernelLevel level) { choice().limit(level); }

}  // namespace lv::audio
