#include "audio/polyphase_synthesis.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <type_traits>

#include "audio/kernel_choice.h"
#include "audio/synthesis_window.h"


namespace lv::audio {
namespace {

// ---------------------------------------------------------------------------
// Step 1, matrixing. V[i] = sum_k cos((16 + i)(2k + 1) pi / 64) S[k] is, with
// X = the 32-point DCT-II of S (X[m] = sum_k cos(m (2k + 1) pi / 64) S[k]):
//   V[i] = X[16 + i] (i < 16), V[16] = 0, V[i] = -X[48 - i] (16 < i <= 48),
//   V[i] = -X[i - 48] (i > 48),
// because X[64 - m] = -X[m], X[32] = 0 and X[m + 64] = -X[m]. The DCT runs
// by the even/odd split (Lee): the even outputs are the half-size DCT of
// x[k] + x[N-1-k], the odd ones the sum of neighbours of the half-size DCT
// of (x[k] - x[N-1-k]) / (2 cos((2k + 1) pi / 2N)).

struct DctTables {
    float scale32[16], scale16[8], scale8[4], scale4[2], scale2[1];
    DctTables() {
        fill(scale32, 32);
        fill(scale16, 16);
        fill(scale8, 8);
        fill(scale4, 4);
        fill(scale2, 2);
    }
    static void fill(float* out, int n) {
        for (int k = 0; k < n / 2; ++k)
            out[k] = static_cast<float>(0.5 / std::cos((2 * k + 1) * std::numbers::pi / (2 * n)));
    }
    constexpr const float* scale(int n) const {
        return n == 32 ? scale32 : n == 16 ? scale16 : n == 8 ? scale8 : n == 4 ? scale4 : scale2;
    }
};

const DctTables& dctTables() {
    static const DctTables tables;
    return tables;
}

template <int N>
[[gnu::always_inline]] inline void dct(const DctTables& tables, const float* in, float* out) {
    if constexpr (N == 1) {
        out[0] = in[0];
    } else {
        constexpr int H = N / 2;
        const float* scale = tables.scale(N);
        float sum[H], difference[H], even[H], odd[H];
        for (int k = 0; k < H; ++k) {
            sum[k] = in[k] + in[N - 1 - k];
            difference[k] = (in[k] - in[N - 1 - k]) * scale[k];
        }
        dct<H>(tables, sum, even);
        dct<H>(tables, difference, odd);
        for (int r = 0; r < H - 1; ++r) {
            out[2 * r] = even[r];
            out[2 * r + 1] = odd[r] + odd[r + 1];
        }
        out[N - 2] = even[H - 1];
        out[N - 1] = odd[H - 1];
    }
}

void matrixPlain(const float subbands[32], float v[64]) {
    float x[32];
    dct<32>(dctTables(), subbands, x);
    for (int i = 0; i < 16; ++i) v[i] = x[16 + i];
    v[16] = 0;
    for (int i = 17; i <= 48; ++i) v[i] = -x[48 - i];
    for (int i = 49; i < 64; ++i) v[i] = -x[i - 48];
}

#ifdef LV_AUDIO_SSE2
// The same even/odd split on four values at a time, with the same
// operations on every value as the plain recursion, so the two agree. Only
// the last odd output of each size adds a zero the plain one leaves out,
// which can change the sign of a zero and nothing else.

__attribute__((target("sse2"))) inline __m128 reversed(__m128 v) { return _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 1, 2, 3)); }

// One split of n vectors (4n values): sums of mirrored pairs, and their
// differences scaled.
__attribute__((target("sse2"))) inline void split(const __m128* in, int n, const float* scale, __m128* sum,
                                                  __m128* difference) {
    for (int q = 0; q < n / 2; ++q) {
        const __m128 mirror = reversed(in[n - 1 - q]);
        sum[q] = _mm_add_ps(in[q], mirror);
        difference[q] = _mm_mul_ps(_mm_sub_ps(in[q], mirror), _mm_loadu_ps(scale + 4 * q));
    }
}

// out[2r] = even[r], out[2r + 1] = odd[r] + odd[r + 1] (odd past the end 0),
// for n vectors of each.
__attribute__((target("sse2"))) inline void merge(const __m128* even, const __m128* odd, int n, __m128* out) {
    for (int q = 0; q < n; ++q) {
        const __m128 next = q + 1 < n ? _mm_shuffle_ps(_mm_move_ss(odd[q], odd[q + 1]), _mm_move_ss(odd[q], odd[q + 1]),
                                                       _MM_SHUFFLE(0, 3, 2, 1))
                                      : _mm_castsi128_ps(_mm_srli_si128(_mm_castps_si128(odd[q]), 4));
        const __m128 pairs = _mm_add_ps(odd[q], next);
        out[2 * q] = _mm_unpacklo_ps(even[q], pairs);
        out[2 * q + 1] = _mm_unpackhi_ps(even[q], pairs);
    }
}

// The 4-point DCT of each of four vectors, worked across them.
__attribute__((target("sse2"))) inline void dct4x4(__m128* v, const DctTables& tables) {
    __m128 t0 = v[0], t1 = v[1], t2 = v[2], t3 = v[3];
    _MM_TRANSPOSE4_PS(t0, t1, t2, t3);
    const __m128 c40 = _mm_set1_ps(tables.scale4[0]), c41 = _mm_set1_ps(tables.scale4[1]);
    const __m128 c2 = _mm_set1_ps(tables.scale2[0]);
    const __m128 s0 = _mm_add_ps(t0, t3), s1 = _mm_add_ps(t1, t2);
    const __m128 d0 = _mm_mul_ps(_mm_sub_ps(t0, t3), c40), d1 = _mm_mul_ps(_mm_sub_ps(t1, t2), c41);
    const __m128 o0 = _mm_add_ps(d0, d1), o1 = _mm_mul_ps(_mm_sub_ps(d0, d1), c2);
    t0 = _mm_add_ps(s0, s1);
    t1 = _mm_add_ps(o0, o1);
    t2 = _mm_mul_ps(_mm_sub_ps(s0, s1), c2);
    t3 = o1;
    _MM_TRANSPOSE4_PS(t0, t1, t2, t3);
    v[0] = t0, v[1] = t1, v[2] = t2, v[3] = t3;
}

__attribute__((target("sse2"))) void matrixSse2(const float in[32], float v[64]) {
    const DctTables& tables = dctTables();
    __m128 x[8];
    for (int q = 0; q < 8; ++q) x[q] = _mm_loadu_ps(in + 4 * q);
    __m128 half[2][4];  // 32 -> two of 16
    split(x, 8, tables.scale32, half[0], half[1]);
    __m128 quarter[4][2];  // -> four of 8
    for (int h = 0; h < 2; ++h) split(half[h], 4, tables.scale16, quarter[2 * h], quarter[2 * h + 1]);
    __m128 eighth[8];  // -> eight of 4: even and odd of each quarter
    for (int g = 0; g < 4; ++g) split(quarter[g], 2, tables.scale8, &eighth[2 * g], &eighth[2 * g + 1]);
    dct4x4(eighth, tables);
    dct4x4(eighth + 4, tables);
    for (int g = 0; g < 4; ++g) merge(&eighth[2 * g], &eighth[2 * g + 1], 1, quarter[g]);
    for (int h = 0; h < 2; ++h) merge(quarter[2 * h], quarter[2 * h + 1], 2, half[h]);
    merge(half[0], half[1], 4, x);
    // V as the plain kernel fills it: v[48] is written twice with -x[0].
    const __m128 sign = _mm_set1_ps(-0.0f);
    for (int q = 0; q < 4; ++q) _mm_storeu_ps(v + 4 * q, x[4 + q]);
    v[16] = 0;
    for (int q = 0; q < 8; ++q) _mm_storeu_ps(v + 17 + 4 * q, _mm_xor_ps(reversed(x[7 - q]), sign));
    for (int q = 0; q < 4; ++q) _mm_storeu_ps(v + 48 + 4 * q, _mm_xor_ps(x[q], sign));
}
#endif

using MatrixKernel = void (*)(const float*, float*);

KernelChoice<MatrixKernel>& matrixKernel() {
#ifdef LV_AUDIO_SSE2
    static KernelChoice<MatrixKernel> choice(matrixPlain, matrixSse2);
#else
    static KernelChoice<MatrixKernel> choice(matrixPlain, nullptr);
#endif
    return choice;
}

// ---------------------------------------------------------------------------
// Step 2, windowing: out[j] = sum over i of U[j + 32i] D[j + 32i], where
// U[64i + j] = V[128i + j] and U[64i + 32 + j] = V[128i + 96 + j], then
// rounding to 16 bits. Every kernel accumulates each output in the same
// order, so they agree exactly. Each comes in two forms: 16-bit samples, or
// the same samples left-justified in 32 bits as audio storage holds them.

template <typename Sample>
using WindowKernel = void (*)(const float* const even[8], const float* const odd[8], const float* d, Sample pcm[32]);

template <typename Sample>
void windowPlain(const float* const even[8], const float* const odd[8], const float* d, Sample pcm[32]) {
    float acc[32] = {};
    for (int i = 0; i < 8; ++i) {
        const float* d0 = d + 64 * i;
        for (int j = 0; j < 32; ++j) {
            acc[j] += even[i][j] * d0[j];
            acc[j] += odd[i][32 + j] * d0[32 + j];
        }
    }
    for (int j = 0; j < 32; ++j) {
        if constexpr (std::is_same_v<Sample, int16_t>)
            pcm[j] = toPcm16(acc[j]);
        else
            pcm[j] = static_cast<int32_t>(static_cast<uint32_t>(toPcm16(acc[j])) << 16);
    }
}

#ifdef LV_AUDIO_SSE2
// Four outputs to 16 bits as toPcm16 rounds them: clamped first (a NaN
// becomes full scale, as there), then rounded in the current mode.
__attribute__((target("sse2"))) inline __m128i toPcm16x4(__m128 sums) {
    const __m128 scaled = _mm_mul_ps(sums, _mm_set1_ps(32768.0f));
    const __m128 clamped = _mm_max_ps(_mm_min_ps(scaled, _mm_set1_ps(32767.0f)), _mm_set1_ps(-32768.0f));
    return _mm_cvtps_epi32(clamped);
}

// Eight outputs, as 16-bit samples or left-justified in 32 bits (the
// values are already clamped to 16 bits, so the shift loses nothing).
__attribute__((target("sse2"))) inline void storePcm8(__m128 low, __m128 high, int16_t* pcm) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pcm), _mm_packs_epi32(toPcm16x4(low), toPcm16x4(high)));
}
__attribute__((target("sse2"))) inline void storePcm8(__m128 low, __m128 high, int32_t* pcm) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pcm), _mm_slli_epi32(toPcm16x4(low), 16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pcm + 4), _mm_slli_epi32(toPcm16x4(high), 16));
}

template <typename Sample>
__attribute__((target("sse2"))) void windowSse2(const float* const even[8], const float* const odd[8], const float* d,
                                                Sample pcm[32]) {
    __m128 sums[8];
    for (auto& s : sums) s = _mm_setzero_ps();
    for (int i = 0; i < 8; ++i) {
        const float* d0 = d + 64 * i;
        for (int q = 0; q < 8; ++q) {
            const int j = 4 * q;
            sums[q] = _mm_add_ps(sums[q], _mm_mul_ps(_mm_loadu_ps(even[i] + j), _mm_loadu_ps(d0 + j)));
            sums[q] = _mm_add_ps(sums[q], _mm_mul_ps(_mm_loadu_ps(odd[i] + 32 + j), _mm_loadu_ps(d0 + 32 + j)));
        }
    }
    for (int q = 0; q < 8; q += 2) storePcm8(sums[q], sums[q + 1], pcm + 4 * q);
}
#endif

#ifdef LV_AUDIO_AVX
template <typename Sample>
__attribute__((target("avx"))) void windowAvx(const float* const even[8], const float* const odd[8], const float* d,
                                              Sample pcm[32]) {
    __m256 sums[4];
    for (auto& s : sums) s = _mm256_setzero_ps();
    for (int i = 0; i < 8; ++i) {
        const float* d0 = d + 64 * i;
        for (int q = 0; q < 4; ++q) {
            const int j = 8 * q;
            sums[q] = _mm256_add_ps(sums[q], _mm256_mul_ps(_mm256_loadu_ps(even[i] + j), _mm256_loadu_ps(d0 + j)));
            sums[q] = _mm256_add_ps(sums[q],
                                    _mm256_mul_ps(_mm256_loadu_ps(odd[i] + 32 + j), _mm256_loadu_ps(d0 + 32 + j)));
        }
    }
    for (int q = 0; q < 4; ++q)
        storePcm8(_mm256_castps256_ps128(sums[q]), _mm256_extractf128_ps(sums[q], 1), pcm + 8 * q);
}
#endif

template <typename Sample>
KernelChoice<WindowKernel<Sample>>& windowKernel() {
#if defined(LV_AUDIO_AVX)
    static KernelChoice<WindowKernel<Sample>> choice(windowPlain<Sample>, windowSse2<Sample>, windowAvx<Sample>);
#elif defined(LV_AUDIO_SSE2)
    static KernelChoice<WindowKernel<Sample>> choice(windowPlain<Sample>, windowSse2<Sample>);
#else
    static KernelChoice<WindowKernel<Sample>> choice(windowPlain<Sample>, nullptr);
#endif
    return choice;
}

}  // namespace

int16_t toPcm16(float value) {
    const float scaled = value * 32768.0f;
    if (!(scaled < 32767.0f)) return 32767;
    if (scaled <= -32768.0f) return -32768;
    return static_cast<int16_t>(std::lrintf(scaled));
}

void PolyphaseSynthesis::reset() {
    std::memset(history_, 0, sizeof history_);
    newest_ = 0;
}

void PolyphaseSynthesis::limitKernels(KernelLevel level) {
    matrixKernel().limit(level);
    windowKernel<int16_t>().limit(level);
    windowKernel<int32_t>().limit(level);
}

void PolyphaseSynthesis::advance(const float subbands[32], const float* even[8], const float* odd[8]) {
    // Shift the history by one block (of 64) and matrix the new block in.
    newest_ = (newest_ + 15) & 15;
    matrixKernel().get()(subbands, history_[newest_]);
    for (int i = 0; i < 8; ++i) {
        even[i] = history_[(newest_ + 2 * i) & 15];     // V[128i .. 128i + 63]
        odd[i] = history_[(newest_ + 2 * i + 1) & 15];  // V[128i + 64 .. 128i + 127]
    }
}

void PolyphaseSynthesis::run(const float subbands[32], int16_t* out, int stride) {
    const float* even[8];
    const float* odd[8];
    advance(subbands, even, odd);
    if (stride == 1) {  // straight into the output
        windowKernel<int16_t>().get()(even, odd, synthesisWindow(), out);
        return;
    }
    int16_t pcm[32];
    windowKernel<int16_t>().get()(even, odd, synthesisWindow(), pcm);
    for (int j = 0; j < 32; ++j) out[j * stride] = pcm[j];
}

void PolyphaseSynthesis::runLeftJustified(const float subbands[32], int32_t out[32]) {
    const float* even[8];
    const float* odd[8];
    advance(subbands, even, odd);
    windowKernel<int32_t>().get()(even, odd, synthesisWindow(), out);
}

}  // namespace lv::audio
