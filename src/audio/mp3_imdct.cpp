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

// The 36-point IMDCT x[i] = sum_k X[k] cos(pi / 72 (2i + 19)(2k + 1)) is an
// 18-point DCT-IV, Y[n] = sum_k X[k] cos(pi / 72 (2n + 1)(2k + 1)), unfolded:
// the cosine changes sign at 2n + 1 -> 72 - (2n + 1) and at n -> n + 36, so
//   x[i] = Y[i + 9] (i < 9), -Y[26 - i] (9 <= i < 27), -Y[i - 27] (i >= 27).
//
// The DCT-IV runs as a 9-point complex DFT between two twiddles:
//   z[m] = (X[2m] + i X[17 - 2m]) e^(-i pi (4m + 1) / 72),  m < 9,
//   Z = DFT9(z),  W[p] = Z[p] e^(-i pi p / 18),
//   Y[2p] = Re W[p],  Y[17 - 2p] = -Im W[p];
// and the DFT9 as three 3-point DFTs, a twiddle, and three more
// (9 = 3 x 3), about a quarter of the matrix product's multiplications.
template <typename V>
struct Complex {
    V re, im;
};

template <typename V>
inline Complex<V> operator+(Complex<V> a, Complex<V> b) { return {a.re + b.re, a.im + b.im}; }
template <typename V>
inline Complex<V> operator-(Complex<V> a, Complex<V> b) { return {a.re - b.re, a.im - b.im}; }
// By a constant.
template <typename V>
inline Complex<V> operator*(Complex<V> a, Complex<float> b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

Complex<float> unit(double angle) { return {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))}; }

struct Kernels {
    Complex<float> pre[9], post[9];
    Complex<float> twiddle[3][3];  // e^(-2 pi i m2 p1 / 9)
    float window[4][36];
    float shortKernel[6][12];
    Kernels() {
        for (int m = 0; m < 9; ++m) {
            pre[m] = unit(-pi * (4 * m + 1) / 72);
            post[m] = unit(-pi * m / 18);
        }
        for (int m2 = 0; m2 < 3; ++m2)
            for (int p1 = 0; p1 < 3; ++p1) twiddle[m2][p1] = unit(-2 * pi * m2 * p1 / 9);
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

// The 3-point DFT of a, b, c in place: e^(-2 pi i / 3) = -1/2 - i sqrt(3)/2.
template <typename V>
inline void dft3(Complex<V>& a, Complex<V>& b, Complex<V>& c) {
    constexpr float halfRoot3 = 0.86602540378443864676f;
    const Complex<V> sum = b + c, difference = b - c;
    const Complex<V> middle = {a.re - sum.re * 0.5f, a.im - sum.im * 0.5f};
    const Complex<V> turn = {difference.im * halfRoot3, -(difference.re * halfRoot3)};
    a = a + sum;
    b = middle + turn;
    c = middle - turn;
}

// Y[n] unfolded and windowed into the time samples it makes.
template <typename V>
inline void unfold(V value, int n, const float* window, V out[36]) {
    out[26 - n] = -(value * window[26 - n]);
    if (n >= 9)
        out[n - 9] = value * window[n - 9];
    else
        out[n + 27] = -(value * window[n + 27]);
}

// One transform on values of type V: a float, or four floats of four
// subbands worked side by side with the same operations, so both agree
// exactly.
template <typename V>
inline void dct4Unfolded(const V in[18], const float* window, V out[36], const Kernels& k) {
    // z[3 m1 + m2] lands in z[m2][m1]; after the first DFTs z[m2][p1].
    Complex<V> z[3][3];
    for (int m = 0; m < 9; ++m) z[m % 3][m / 3] = Complex<V>{in[2 * m], in[17 - 2 * m]} * k.pre[m];
    for (auto& column : z) dft3(column[0], column[1], column[2]);
    for (int m2 = 1; m2 < 3; ++m2)
        for (int p1 = 1; p1 < 3; ++p1) z[m2][p1] = z[m2][p1] * k.twiddle[m2][p1];
    // Z[p1 + 3 p2] = DFT3 over m2 of z[m2][p1].
    for (int p1 = 0; p1 < 3; ++p1) {
        dft3(z[0][p1], z[1][p1], z[2][p1]);
        for (int p2 = 0; p2 < 3; ++p2) {
            const int p = p1 + 3 * p2;
            const Complex<V> w = z[p2][p1] * k.post[p];
            unfold(w.re, 2 * p, window, out);
            unfold(-w.im, 17 - 2 * p, window, out);
        }
    }
}

using Long4Kernel = void (*)(const float* in, float out[36][4], int blockType);

void imdctLong4Plain(const float* in, float out[36][4], int blockType) {
    const Kernels& k = kernels();
    for (int lane = 0; lane < 4; ++lane) {
        float time[36];
        dct4Unfolded(in + 18 * lane, k.window[blockType & 3], time, k);
        for (int i = 0; i < 36; ++i) out[i][lane] = time[i];
    }
}

#ifdef LV_AUDIO_SSE2
// Four floats as one value: every operation the transform uses.
struct Four {
    __m128 v;
};
inline Four operator+(Four a, Four b) { return {_mm_add_ps(a.v, b.v)}; }
inline Four operator-(Four a, Four b) { return {_mm_sub_ps(a.v, b.v)}; }
inline Four operator*(Four a, float b) { return {_mm_mul_ps(a.v, _mm_set1_ps(b))}; }
inline Four operator-(Four a) { return {_mm_xor_ps(a.v, _mm_set1_ps(-0.0f))}; }

void imdctLong4Sse2(const float* in, float out[36][4], int blockType) {
    const Kernels& k = kernels();
    // Line j of the four subbands side by side: 4 x 4 blocks transposed,
    // the last two lines gathered.
    Four x[18];
    for (int j = 0; j < 16; j += 4) {
        __m128 r0 = _mm_loadu_ps(in + j), r1 = _mm_loadu_ps(in + 18 + j), r2 = _mm_loadu_ps(in + 36 + j),
               r3 = _mm_loadu_ps(in + 54 + j);
        _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
        x[j] = {r0}, x[j + 1] = {r1}, x[j + 2] = {r2}, x[j + 3] = {r3};
    }
    for (int j = 16; j < 18; ++j) x[j] = {_mm_setr_ps(in[j], in[18 + j], in[36 + j], in[54 + j])};
    Four time[36];
    dct4Unfolded(x, k.window[blockType & 3], time, k);
    for (int i = 0; i < 36; ++i) _mm_storeu_ps(out[i], time[i].v);
}
#endif

KernelChoice<Long4Kernel>& long4Kernel() {
#ifdef LV_AUDIO_SSE2
    static KernelChoice<Long4Kernel> choice(imdctLong4Plain, imdctLong4Sse2);
#else
    static KernelChoice<Long4Kernel> choice(imdctLong4Plain, nullptr);
#endif
    return choice;
}

}  // namespace

void imdctLong(const float in[18], float out[36], int blockType) {
    const Kernels& k = kernels();
    dct4Unfolded(in, k.window[blockType & 3], out, k);
}

void imdctLong4(const float* in, float out[36][4], int blockType) { long4Kernel().get()(in, out, blockType); }

void limitImdctKernels(KernelLevel level) { long4Kernel().limit(level); }

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
