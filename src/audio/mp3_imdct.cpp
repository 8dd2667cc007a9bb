#include "audio/mp3_imdct.h"

#include <cmath>
#include <numbers>

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

// Cosine kernels with the window folded in: long[type][i][k], short[i][k].
struct Kernels {
    float longKernel[4][36][18];
    float shortKernel[12][6];
    Kernels() {
        for (int type = 0; type < 4; ++type)
            for (int i = 0; i < 36; ++i)
                for (int k = 0; k < 18; ++k)
                    longKernel[type][i][k] = static_cast<float>(
                        longWindow(type, i) * std::cos(pi / 72 * (2 * i + 1 + 18) * (2 * k + 1)));
        for (int i = 0; i < 12; ++i)
            for (int k = 0; k < 6; ++k)
                shortKernel[i][k] = static_cast<float>(std::sin(pi / 12 * (i + 0.5)) *
                                                       std::cos(pi / 24 * (2 * i + 1 + 6) * (2 * k + 1)));
    }
};

const Kernels& kernels() {
    static const Kernels k;
    return k;
}

}  // namespace

void imdctLong(const float in[18], float out[36], int blockType) {
    const auto& kernel = kernels().longKernel[blockType & 3];
    for (int i = 0; i < 36; ++i) {
        float sum = 0;
        for (int k = 0; k < 18; ++k) sum += kernel[i][k] * in[k];
        out[i] = sum;
    }
}

void imdctShort(const float in[3][6], float out[36]) {
    const auto& kernel = kernels().shortKernel;
    for (int i = 0; i < 36; ++i) out[i] = 0;
    for (int w = 0; w < 3; ++w)
        for (int i = 0; i < 12; ++i) {
            float sum = 0;
            for (int k = 0; k < 6; ++k) sum += kernel[i][k] * in[w][k];
            out[6 + 6 * w + i] += sum;
        }
}

}  // namespace lv::audio::mp3
