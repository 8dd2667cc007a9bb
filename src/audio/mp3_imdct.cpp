#include "audio/mp3_imdct.h"

#include <cmath>
#include <numbers>

#include "audio/kernel_choice.h"

namespace lv::audio::mp3 {
namespace {

constexpr double pi = std::numbers::pi;

double longWindow(int blockType, int i) {
    const double normal = std::sin(pi / 36 * (i + 0.5));
    switch (blockType) {
        case 1:  // start: long rising half, flat, short falling half, zero
            if (i < 18) return normal;
            if (i < 24) return 1;
            if (i < 30) return std::sin(pi / 12 * (i - 18 + 0.5));
            return 0;
        case 3:  // stop: the mirror of start
            if (i < 6) return 0;
            if (i < 12) return std::sin(pi / 12 * (i - 6 + 0.5));
            if (i < 18) return 1;
            return normal;
        default:
            return normal;
    }
}

// Cosine kernels with the window folded in, stored by input value so that
// each input adds a scaled row to all 36 outputs: long[type][k][i],
// short[k][i].
struct Kernels {
    alignas(16) float longKernel[4][18][36];
    float shortKernel[6][12];
    Kernels() {
        for (int type = 0; type < 4; ++type)
            for (int k = 0; k < 18; ++k)
                for (int i = 0; i < 36; ++i)
                    longKernel[type][k][i] = static_cast<float>(
                        longWindow(type, i) * std::cos(pi / 72 * (2 * i + 1 + 18) * (2 * k + 1)));
        for (int k = 0; k < 6; ++k)
            for (int i = 0; i < 12; ++i)
                shortKernel[k][i] = static_cast<float>(std::sin(pi / 12 * (i + 0.5)) *
                                                       std::cos(pi / 24 * (2 * i + 1 + 6) * (2 * k + 1)));
    }
};

const Kernels& kernels() {
    static const Kernels k;
    return k;
}

// The long transform, plain and with SSE2; both add the inputs' rows in the
// same order, so they agree exactly.
void longPlain(const float in[18], float out[36], const float (*kernel)[36]) {
    for (int i = 0; i < 36; ++i) out[i] = 0;
    for (int k = 0; k < 18; ++k)
        for (int i = 0; i < 36; ++i) out[i] += kernel[k][i] * in[k];
}

#ifdef LV_AUDIO_SSE2
__attribute__((target("sse2"))) void longSse2(const float in[18], float out[36], const float (*kernel)[36]) {
    __m128 sums[9];
    for (auto& s : sums) s = _mm_setzero_ps();
    for (int k = 0; k < 18; ++k) {
        const __m128 x = _mm_set1_ps(in[k]);
        for (int q = 0; q < 9; ++q) sums[q] = _mm_add_ps(sums[q], _mm_mul_ps(_mm_loadu_ps(kernel[k] + 4 * q), x));
    }
    for (int q = 0; q < 9; ++q) _mm_storeu_ps(out + 4 * q, sums[q]);
}
#endif

using LongKernel = void (*)(const float*, float*, const float (*)[36]);

KernelChoice<LongKernel>& longKernel() {
#ifdef LV_AUDIO_SSE2
    static KernelChoice<LongKernel> choice(longPlain, longSse2);
#else
    static KernelChoice<LongKernel> choice(longPlain, nullptr);
#endif
    return choice;
}

}  // namespace

void useVectorImdct(bool on) { longKernel().useVector(on); }

void imdctLong(const float in[18], float out[36], int blockType) {
    longKernel().get()(in, out, kernels().longKernel[blockType & 3]);
}

void imdctShort(const float in[3][6], float out[36]) {
    const auto& kernel = kernels().shortKernel;
    for (int i = 0; i < 36; ++i) out[i] = 0;
    for (int w = 0; w < 3; ++w) {
        float* window = out + 6 + 6 * w;
        for (int k = 0; k < 6; ++k)
            for (int i = 0; i < 12; ++i) window[i] += kernel[k][i] * in[w][k];
    }
}

}  // namespace lv::audio::mp3
