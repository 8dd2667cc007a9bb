#include "audio/polyphase_synthesis.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "audio/synthesis_window.h"

namespace lv::audio {
namespace {

// Matrixing coefficients N[i][k] = cos((16 + i)(2k + 1) pi / 64).
struct Matrix {
    float n[64][32];
    Matrix() {
        for (int i = 0; i < 64; ++i)
            for (int k = 0; k < 32; ++k)
                n[i][k] = static_cast<float>(std::cos((16 + i) * (2 * k + 1) * std::numbers::pi / 64));
    }
};

const Matrix& matrix() {
    static const Matrix m;
    return m;
}

}  // namespace

int16_t toPcm16(float value) {
    const float scaled = value * 32768.0f;
    if (scaled >= 32767.0f) return 32767;
    if (scaled <= -32768.0f) return -32768;
    return static_cast<int16_t>(std::lrintf(scaled));
}

void PolyphaseSynthesis::reset() {
    std::memset(history_, 0, sizeof history_);
    newest_ = 0;
}

void PolyphaseSynthesis::useVectorKernel(bool) {}

void PolyphaseSynthesis::run(const float subbands[32], int16_t* out, int stride) {
    // Step 1: shift the history by one block and matrix the new block in.
    newest_ = (newest_ + 15) & 15;
    float* v = history_[newest_];
    const Matrix& m = matrix();
    for (int i = 0; i < 64; ++i) {
        float sum = 0;
        for (int k = 0; k < 32; ++k) sum += m.n[i][k] * subbands[k];
        v[i] = sum;
    }

    // Step 2: U[64i + j] = V[128i + j], U[64i + 32 + j] = V[128i + 96 + j];
    // out[j] = sum over i of U[j + 32i] D[j + 32i].
    const float* d = synthesisWindow();
    float acc[32] = {};
    for (int i = 0; i < 8; ++i) {
        const float* even = history_[(newest_ + 2 * i) & 15];      // V[128i .. 128i + 63]
        const float* odd = history_[(newest_ + 2 * i + 1) & 15];   // V[128i + 64 .. 128i + 127]
        const float* d0 = d + 64 * i;
        for (int j = 0; j < 32; ++j) acc[j] += even[j] * d0[j] + odd[32 + j] * d0[32 + j];
    }
    for (int j = 0; j < 32; ++j) out[j * stride] = toPcm16(acc[j]);
}

}  // namespace lv::audio
