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

// The 36-point IMDCT x[i] = sum_k X[k] cos(pi / 72 (2i + 19)(2k + 1)) is an
// 18-point DCT-IV, Y[n] = sum_k X[k] cos(pi / 72 (2n + 1)(2k + 1)), unfolded:
// the cosine changes sign at 2n + 1 -> 72 - (2n + 1) and at n -> n + 36, so
//   x[i] = Y[i + 9] (i < 9), -Y[26 - i] (9 <= i < 27), -Y[i - 27] (i >= 27).
// The DCT-IV matrix is stored by input, each row padded to 24 outputs, so
// each input adds a scaled row to all outputs.
constexpr int rowLength = 24;

struct Kernels {
    alignas(32) float dct4[18][rowLength];
    float window[4][36];
    float shortKernel[6][12];
    Kernels() {
        for (int k = 0; k < 18; ++k)
            for (int n = 0; n < rowLength; ++n)
                dct4[k][n] = n < 18 ? static_cast<float>(std::cos(pi / 72 * (2 * n + 1) * (2 * k + 1))) : 0.0f;
        for (int type = 0; type < 4; ++type)
            for (int i = 0; i < 36; ++i) window[type][i] = static_cast<float>(longWindow(type, i));
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

// The DCT-IV, plain and vector; all add the inputs' rows in the same order,
// so they agree exactly. y holds rowLength values.
void dct4Plain(const float in[18], float y[rowLength], const float (*matrix)[rowLength]) {
    for (int n = 0; n < 18; ++n) y[n] = 0;
    for (int k = 0; k < 18; ++k)
        for (int n = 0; n < 18; ++n) y[n] += matrix[k][n] * in[k];
}

#ifdef LV_AUDIO_SSE2
__attribute__((target("sse2"))) void dct4Sse2(const float in[18], float y[rowLength],
                                              const float (*matrix)[rowLength]) {
    constexpr int vectors = 18 / 4 + 1;  // the padding lanes beyond are not needed
    __m128 sums[vectors];
    for (auto& s : sums) s = _mm_setzero_ps();
    for (int k = 0; k < 18; ++k) {
        const __m128 x = _mm_set1_ps(in[k]);
        for (int q = 0; q < vectors; ++q) sums[q] = _mm_add_ps(sums[q], _mm_mul_ps(_mm_load_ps(matrix[k] + 4 * q), x));
    }
    for (int q = 0; q < vectors; ++q) _mm_storeu_ps(y + 4 * q, sums[q]);
}
#endif

#ifdef LV_AUDIO_AVX
__attribute__((target("avx"))) void dct4Avx(const float in[18], float y[rowLength],
                                            const float (*matrix)[rowLength]) {
    __m256 sums[3];
    for (auto& s : sums) s = _mm256_setzero_ps();
    for (int k = 0; k < 18; ++k) {
        const __m256 x = _mm256_set1_ps(in[k]);
        for (int q = 0; q < 3; ++q)
            sums[q] = _mm256_add_ps(sums[q], _mm256_mul_ps(_mm256_load_ps(matrix[k] + 8 * q), x));
    }
    for (int q = 0; q < 3; ++q) _mm256_storeu_ps(y + 8 * q, sums[q]);
}
#endif

using Dct4Kernel = void (*)(const float*, float*, const float (*)[rowLength]);

KernelChoice<Dct4Kernel>& dct4Kernel() {
#if defined(LV_AUDIO_AVX)
    static KernelChoice<Dct4Kernel> choice(dct4Plain, dct4Sse2, dct4Avx);
#elif defined(LV_AUDIO_SSE2)
    static KernelChoice<Dct4Kernel> choice(dct4Plain, dct4Sse2);
#else
    static KernelChoice<Dct4Kernel> choice(dct4Plain, nullptr);
#endif
    return choice;
}

}  // namespace

void limitImdctKernels(KernelLevel level) { dct4Kernel().limit(level); }

void imdctLong(const float in[18], float out[36], int blockType) {
    const Kernels& k = kernels();
    float y[rowLength];
    dct4Kernel().get()(in, y, k.dct4);
    const float* w = k.window[blockType & 3];
    for (int i = 0; i < 9; ++i) out[i] = y[i + 9] * w[i];
    for (int i = 9; i < 27; ++i) out[i] = -y[26 - i] * w[i];
    for (int i = 27; i < 36; ++i) out[i] = -y[i - 27] * w[i];
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
