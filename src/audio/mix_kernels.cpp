// One set of loops, compiled twice: for the build's baseline (SSE2 on x86)
// and for AVX2, whose 32-bit multiply the baseline lacks and whose wider
// lanes halve the passes of the stereo split and join. The loops are
// forced inline into each form, so each is vectorised for its own target.
#include "audio/mix_kernels.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace lv::audio {
namespace {

constexpr int32_t sumLimit = 268435456;  // 2^28

#define LV_MIX_INLINE [[gnu::always_inline]] inline

// Below -2^28: INT32_MIN; from 2^28 on: INT32_MAX; else the sum times 8.
// Clamped to +-2^28 and shifted by 3, -2^28 gives INT32_MIN already and
// 2^28 gives 2^31, which wraps to INT32_MIN and is taken one down to
// INT32_MAX: five vector operations, where the compares and blends of the
// definition take twelve.
LV_MIX_INLINE int32_t saturated(int32_t sum) {
    const int32_t clamped = std::min(std::max(sum, -sumLimit), sumLimit);
    const auto atLimit = static_cast<uint32_t>(-static_cast<int32_t>(clamped == sumLimit));
    return static_cast<int32_t>((static_cast<uint32_t>(clamped) << 3) + atLimit);
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

// Times 8 as a shift of the bits, which is the product for every sum in range.
LV_MIX_INLINE int32_t timesEight(int32_t sum) { return static_cast<int32_t>(static_cast<uint32_t>(sum) << 3); }

LV_MIX_INLINE void sumLastInRangeLoop(const int32_t* in, int32_t gain, int32_t count, const int32_t* sums,
                                      int32_t* out) {
    if (sums)
        for (int32_t i = 0; i < count; ++i) out[i] = timesEight(sums[i] + (in[i] >> 11) * gain);
    else
        for (int32_t i = 0; i < count; ++i) out[i] = (in[i] >> 11) * static_cast<int32_t>(static_cast<uint32_t>(gain) << 3);
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

// A little-endian stereo frame read as 32 bits holds the left sample in its
// low half and the right one in its high half.
LV_MIX_INLINE void splitStereo16Loop(const uint8_t* frames, int32_t count, int32_t* left, int32_t* right) {
    if constexpr (std::endian::native == std::endian::little) {
        for (int32_t k = 0; k < count; ++k) {
            uint32_t frame;
            std::memcpy(&frame, frames + static_cast<size_t>(k) * 4, 4);
            left[k] = static_cast<int32_t>(frame << 16);
            right[k] = static_cast<int32_t>(frame & 0xFFFF0000u);
        }
    } else {
        for (int32_t k = 0; k < count; ++k) {
            const uint8_t* p = frames + static_cast<size_t>(k) * 4;
            left[k] = static_cast<int32_t>((static_cast<uint32_t>(p[1]) << 24) | (static_cast<uint32_t>(p[0]) << 16));
            right[k] = static_cast<int32_t>((static_cast<uint32_t>(p[3]) << 24) | (static_cast<uint32_t>(p[2]) << 16));
        }
    }
}

LV_MIX_INLINE void joinStereo16Loop(const int32_t* left, const int32_t* right, int32_t count, int16_t* frames) {
    if constexpr (std::endian::native == std::endian::little) {
        for (int32_t k = 0; k < count; ++k) {
            const uint32_t frame =
                (static_cast<uint32_t>(right[k]) & 0xFFFF0000u) | (static_cast<uint32_t>(left[k]) >> 16);
            std::memcpy(frames + 2 * static_cast<size_t>(k), &frame, 4);
        }
    } else {
        for (int32_t k = 0; k < count; ++k) {
            frames[2 * k] = static_cast<int16_t>(left[k] >> 16);
            frames[2 * k + 1] = static_cast<int16_t>(right[k] >> 16);
        }
    }
}

// The baseline form.
void sumFirstPlain(const int32_t* in, int32_t gain, int32_t count, int32_t* sums) {
    sumFirstLoop(in, gain, count, sums);
}
void sumAddPlain(const int32_t* in, int32_t gain, int32_t count, int32_t* sums) { sumAddLoop(in, gain, count, sums); }
void sumLastPlain(const int32_t* in, int32_t gain, int32_t count, const int32_t* sums, int32_t* out) {
    sumLastLoop(in, gain, count, sums, out);
}
void sumLastInRangePlain(const int32_t* in, int32_t gain, int32_t count, const int32_t* sums, int32_t* out) {
    sumLastInRangeLoop(in, gain, count, sums, out);
}
void fadePlain(const int32_t* in, int32_t gain, int32_t count, int32_t* out) { fadeLoop(in, gain, count, out); }
void fadeRampPlain(const int32_t* in, const int32_t* gains, int32_t count, int32_t* out) {
    fadeRampLoop(in, gains, count, out);
}

void splitStereo16Plain(const uint8_t* frames, int32_t count, int32_t* left, int32_t* right) {
    splitStereo16Loop(frames, count, left, right);
}
void joinStereo16Plain(const int32_t* left, const int32_t* right, int32_t count, int16_t* frames) {
    joinStereo16Loop(left, right, count, frames);
}

constexpr MixKernels plainKernels{sumFirstPlain, sumAddPlain,   sumLastPlain,       sumLastInRangePlain,
                                  fadePlain,     fadeRampPlain, splitStereo16Plain, joinStereo16Plain};

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
LV_AVX2 void sumLastInRangeAvx2(const int32_t* in, int32_t gain, int32_t count, const int32_t* sums, int32_t* out) {
    sumLastInRangeLoop(in, gain, count, sums, out);
}
LV_AVX2 void fadeAvx2(const int32_t* in, int32_t gain, int32_t count, int32_t* out) { fadeLoop(in, gain, count, out); }
LV_AVX2 void fadeRampAvx2(const int32_t* in, const int32_t* gains, int32_t count, int32_t* out) {
    fadeRampLoop(in, gains, count, out);
}

LV_AVX2 void splitStereo16Avx2(const uint8_t* frames, int32_t count, int32_t* left, int32_t* right) {
    splitStereo16Loop(frames, count, left, right);
}
LV_AVX2 void joinStereo16Avx2(const int32_t* left, const int32_t* right, int32_t count, int16_t* frames) {
    joinStereo16Loop(left, right, count, frames);
}

constexpr MixKernels avx2Kernels{sumFirstAvx2, sumAddAvx2,   sumLastAvx2,       sumLastInRangeAvx2,
                                 fadeAvx2,     fadeRampAvx2, splitStereo16Avx2, joinStereo16Avx2};
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

bool mixSumsStayInRange(const int32_t* gains, int32_t count) {
    // A sample >> 11 lies in [-2^20, 2^20 - 1]: each term's extremes.
    constexpr int64_t lowest = -(int64_t{1} << 20), highest = (int64_t{1} << 20) - 1;
    int64_t low = 0, high = 0;
    for (int32_t i = 0; i < count; ++i) {
        const int64_t a = lowest * gains[i], b = highest * gains[i];
        low += std::min(a, b);
        high += std::max(a, b);
        if (low < -int64_t{sumLimit} || high >= sumLimit) return false;  // also before the totals could overflow
    }
    return true;
}

const MixKernels& mixKernels() { return *choice().get(); }

void limitMixKernels(KernelLevel level) { choice().limit(level); }

}  // namespace lv::audio
