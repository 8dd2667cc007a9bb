#include "codec/kernels.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lv::codec {

namespace {

// Constants of the inverse DCT, 13 fractional bits, already paired: each
// output of a butterfly is a*first + b*second.
constexpr int kConstBits = 13;
constexpr int kPass1Bits = 2;

std::int16_t saturate16(std::int32_t v) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, -32768, 32767));
}

std::int16_t wrap16(std::int32_t v) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(v)); }

// 32-bit sums wrap around, as the vector code's lanes do: hostile
// coefficients give the same (meaningless) pixels on every path, never
// undefined arithmetic.
std::int32_t wrapSum(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
std::int32_t wrapSum(std::int32_t a, std::int32_t b, std::int32_t c) { return wrapSum(wrapSum(a, b), c); }
std::int32_t wrapProduct(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

std::int32_t wrapNegate(std::int32_t a) { return static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(a)); }

std::int32_t pairMul(std::int32_t a, std::int32_t b, std::int32_t first, std::int32_t second) {
    return wrapSum(wrapProduct(a, first), wrapProduct(b, second));
}

// One 1-D pass over eight 16-bit inputs, the same grouping as the vector code.
template <int Shift>
void idctPass(const std::int16_t in[8], std::int32_t out[8]) {
    constexpr std::int32_t round = 1 << (Shift - 1);
    const std::int32_t tmp3 = pairMul(in[2], in[6], 10703, 4433);
    const std::int32_t tmp2 = pairMul(in[2], in[6], 4433, -10704);
    const std::int32_t tmp0 = pairMul(in[0], in[4], 8192, 8192);
    const std::int32_t tmp1 = pairMul(in[0], in[4], 8192, -8192);
    const std::int32_t tmp10 = wrapSum(tmp0, tmp3), tmp13 = wrapSum(tmp0, wrapNegate(tmp3));
    const std::int32_t tmp11 = wrapSum(tmp1, tmp2), tmp12 = wrapSum(tmp1, wrapNegate(tmp2));

    const std::int32_t t0 = in[7], t1 = in[5], t2 = in[3], t3 = in[1];
    const std::int32_t a = wrap16(t0 + t2), b = wrap16(t1 + t3);
    const std::int32_t z3 = pairMul(a, b, -6436, 9633);
    const std::int32_t z4 = pairMul(a, b, 9633, 6437);
    const std::int32_t o0 = wrapSum(pairMul(t0, t3, -4927, -7373), z3);
    const std::int32_t o3 = wrapSum(pairMul(t0, t3, -7373, 4926), z4);
    const std::int32_t o1 = wrapSum(pairMul(t1, t2, -4176, -20995), z4);
    const std::int32_t o2 = wrapSum(pairMul(t1, t2, -20995, 4177), z3);

    out[0] = wrapSum(tmp10, o3, round) >> Shift;
    out[7] = wrapSum(tmp10, wrapNegate(o3), round) >> Shift;
    out[1] = wrapSum(tmp11, o2, round) >> Shift;
    out[6] = wrapSum(tmp11, wrapNegate(o2), round) >> Shift;
    out[2] = wrapSum(tmp12, o1, round) >> Shift;
    out[5] = wrapSum(tmp12, wrapNegate(o1), round) >> Shift;
    out[3] = wrapSum(tmp13, o0, round) >> Shift;
    out[4] = wrapSum(tmp13, wrapNegate(o0), round) >> Shift;
}

void idctBlockPlain(const std::int16_t* coefs, const std::uint16_t* quant, std::uint8_t* out, int stride) {
    std::int16_t workspace[64];
    // Pass 1: columns. A column without AC terms is its DC term times 4,
    // exactly what the full pass gives.
    for (int col = 0; col < 8; ++col) {
        std::int16_t in[8];
        bool acZero = true;
        for (int k = 0; k < 8; ++k) {
            in[k] = wrap16(coefs[k * 8 + col] * quant[k * 8 + col]);
            if (k > 0 && in[k] != 0) acZero = false;
        }
        if (acZero) {
            const std::int16_t dc = saturate16(in[0] * (1 << kPass1Bits));
            for (int k = 0; k < 8; ++k) workspace[k * 8 + col] = dc;
            continue;
        }
        std::int32_t result[8];
        idctPass<kConstBits - kPass1Bits>(in, result);
        for (int k = 0; k < 8; ++k) workspace[k * 8 + col] = saturate16(result[k]);
    }
    // Pass 2: rows, then level shift by 128 and clamp to a byte.
    for (int row = 0; row < 8; ++row) {
        std::int32_t result[8];
        idctPass<kConstBits + kPass1Bits + 3>(workspace + row * 8, result);
        std::uint8_t* dst = out + row * stride;
        for (int x = 0; x < 8; ++x)
            dst[x] = static_cast<std::uint8_t>(std::clamp<std::int32_t>(saturate16(result[x]) + 128, 0, 255));
    }
}

// Weights of the reduced inverse DCTs: for n outputs, output q is the mean
// of the 8-point inverse DCT over samples q*8/n .. (q+1)*8/n - 1, for each
// frequency u, in 13-bit fixed point.
struct ReducedWeights {
    std::int32_t w[4][8][8];  // [log2 n][q][u]
    ReducedWeights() {
        const double pi = 3.14159265358979323846;
        for (int level = 0; level < 4; ++level) {
            const int n = 1 << level, span = 8 / n;
            for (int q = 0; q < n; ++q)
                for (int u = 0; u < 8; ++u) {
                    double sum = 0;
                    for (int x = q * span; x < (q + 1) * span; ++x) sum += std::cos((2 * x + 1) * u * pi / 16);
                    const double cu = u == 0 ? std::sqrt(0.5) : 1.0;
                    w[level][q][u] = static_cast<std::int32_t>(std::lround(cu / 2 * sum / span * 8192));
                }
        }
    }
    const std::int32_t (*forSize(int n) const)[8] { return w[n == 1 ? 0 : n == 2 ? 1 : n == 4 ? 2 : 3]; }
};

std::uint8_t levelShift(std::int64_t value, int shift) {
    const std::int64_t v = ((value + (std::int64_t{1} << (shift - 1))) >> shift) + 128;
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255));
}

// Bit i set when coefficient i of the block is not 0.
#if defined(__SSE2__)
// Sixteen coefficients compared at a time, their 0xFF/0x00 bytes gathered.
std::uint64_t nonZeroCoefficients(const std::int16_t* block) {
    const __m128i zero = _mm_setzero_si128();
    std::uint64_t zeros = 0;
    for (int group = 0; group < 64; group += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + group));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + group + 8));
        const __m128i bytes = _mm_packs_epi16(_mm_cmpeq_epi16(a, zero), _mm_cmpeq_epi16(b, zero));
        zeros |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(bytes))) << group;
    }
    return ~zeros;
}
#else
// Four coefficients at a time, and none at all for the all-zero quarters of
// most blocks.
std::uint64_t nonZeroCoefficients(const std::int16_t* block) {
    std::uint64_t mask = 0;
    for (int group = 0; group < 64; group += 4) {
        std::uint64_t four;
        std::memcpy(&four, block + group, sizeof four);
        if (four == 0) continue;
        if constexpr (std::endian::native == std::endian::little) {
            // The top bit of each 16-bit lane tells whether the lane is not
            // 0; a multiplication gathers the four top bits side by side.
            constexpr std::uint64_t kLow15 = 0x7FFF7FFF7FFF7FFFu, kTop = 0x8000800080008000u;
            const std::uint64_t top = (((four & kLow15) + kLow15) | four) & kTop;
            const std::uint64_t gathered = ((top >> 15) * 0x0000200040008001u) >> 45 & 0xF;
            mask |= gathered << group;
        } else {
            for (int i = 0; i < 4; ++i) mask |= std::uint64_t{block[group + i] != 0} << (group + i);
        }
    }
    return mask;
}
#endif

// The reduced inverse DCT to N x N pixels summed coefficient by coefficient:
// output (q, p) is the sum of coefficient x row weight x column weight, the
// same integers as the separable two passes give, in another order. Real
// blocks are mostly zero, and zero coefficients cost nothing here; so do
// frequencies whose weights are all 0 at this size (for N = 2, the even ones
// above 0).
template <int N>
class SparseReducedIdct {
public:
    explicit SparseReducedIdct(const ReducedWeights& weights) {
        const auto* w = weights.forSize(N);
        for (int index = 0; index < 64; ++index)
            for (int q = 0; q < N; ++q)
                for (int p = 0; p < N; ++p) {
                    product_[index][q * N + p] = w[q][index >> 3] * w[p][index & 7];
                    if (product_[index][q * N + p] != 0) used_ |= std::uint64_t{1} << index;
                }
    }

    void run(const std::int16_t* coefs, const std::uint16_t* quant, int count, std::uint8_t* out, int stride) const {
        for (int i = 0; i < count; ++i) {
            const std::int16_t* block = coefs + 64 * i;
            const std::uint64_t nonZero = nonZeroCoefficients(block) & used_;
            // Unsigned sums: hostile coefficients wrap instead of overflowing.
            std::uint64_t sums[N * N] = {};
            for (std::uint64_t left = nonZero; left != 0; left &= left - 1) {
                const int index = std::countr_zero(left);
                const auto value = static_cast<std::uint64_t>(std::int64_t{block[index]} * quant[index]);
                for (int j = 0; j < N * N; ++j)
                    sums[j] += value * static_cast<std::uint64_t>(std::int64_t{product_[index][j]});
            }
            for (int q = 0; q < N; ++q)
                for (int p = 0; p < N; ++p)
                    out[q * stride + N * i + p] = levelShift(static_cast<std::int64_t>(sums[q * N + p]), 2 * kConstBits);
        }
    }

private:
    std::int32_t product_[64][N * N];
    std::uint64_t used_ = 0;  // bit i: coefficient i has a weight
};

// The 2 x 2 case in four sums. Each frequency used at this size is 0 or
// odd in each direction, and an odd frequency weighs the second half of the
// block as the negative of the first; so a coefficient adds to one of four
// sums (by whether its row and its column frequency are odd), and each pixel
// is those sums with its own signs. The same wrapping integers as the
// general kernel, which serves when the rounded weights lack that symmetry.
class QuarterReducedIdct {
public:
    explicit QuarterReducedIdct(const ReducedWeights& weights) : general_(weights) {
        const auto* w = weights.forSize(2);
        for (int u = 0; u < 8; ++u)
            symmetric_ = symmetric_ && (u == 0 ? w[1][u] == w[0][u] : w[1][u] == -w[0][u]);
        for (int index = 0; index < 64; ++index) {
            const int v = index >> 3, u = index & 7;
            weight_[index] = w[0][v] * w[0][u];
            sum_[index] = static_cast<std::uint8_t>((v != 0 ? 2 : 0) | (u != 0 ? 1 : 0));
            if (weight_[index] != 0) used_ |= std::uint64_t{1} << index;
        }
    }

    void run(const std::int16_t* coefs, const std::uint16_t* quant, int count, std::uint8_t* out, int stride) const {
        if (!symmetric_) return general_.run(coefs, quant, count, out, stride);
        for (int i = 0; i < count; ++i) {
            const std::int16_t* block = coefs + 64 * i;
            std::uint64_t sums[4] = {};  // [odd row frequency][odd column frequency]
            for (std::uint64_t left = nonZeroCoefficients(block) & used_; left != 0; left &= left - 1) {
                const int index = std::countr_zero(left);
                sums[sum_[index]] += static_cast<std::uint64_t>(std::int64_t{block[index]} * quant[index]) *
                                     static_cast<std::uint64_t>(std::int64_t{weight_[index]});
            }
            // Column-even and column-odd parts of the upper and the lower row.
            const std::uint64_t upperEven = sums[0] + sums[2], upperOdd = sums[1] + sums[3];
            const std::uint64_t lowerEven = sums[0] - sums[2], lowerOdd = sums[1] - sums[3];
            std::uint8_t* pixel = out + 2 * i;
            pixel[0] = levelShift(static_cast<std::int64_t>(upperEven + upperOdd), 2 * kConstBits);
            pixel[1] = levelShift(static_cast<std::int64_t>(upperEven - upperOdd), 2 * kConstBits);
            pixel[stride] = levelShift(static_cast<std::int64_t>(lowerEven + lowerOdd), 2 * kConstBits);
            pixel[stride + 1] = levelShift(static_cast<std::int64_t>(lowerEven - lowerOdd), 2 * kConstBits);
        }
    }

private:
    SparseReducedIdct<2> general_;
    std::int32_t weight_[64] = {};  // first-half row weight x first-half column weight
    std::uint8_t sum_[64] = {};
    std::uint64_t used_ = 0;
    bool symmetric_ = true;
};

// The full kernel's blocks, eight at a time through an 8-row tile, each
// pixel of the output the rounded mean of FX x FY tile pixels.
template <int FX, int FY>
void averageBlocks(IdctBlocksFn full, const std::int16_t* coefs, const std::uint16_t* quant, int count,
                   std::uint8_t* out, int stride) {
    constexpr int kBatch = 8, kTileStride = 8 * kBatch, kShift = (FX - 1) + (FY - 1);
    std::uint8_t tile[8 * kTileStride];
    for (int first = 0; first < count; first += kBatch) {
        const int blocks = std::min(kBatch, count - first);
        full(coefs + 64 * first, quant, blocks, tile, kTileStride);
        for (int row = 0; row < 8 / FY; ++row) {
            const std::uint8_t* upper = tile + FY * row * kTileStride;
            const std::uint8_t* lower = upper + (FY - 1) * kTileStride;
            std::uint8_t* target = out + row * stride + 8 / FX * first;
            for (int x = 0; x < 8 / FX * blocks; ++x) {
                int sum = upper[FX * x] + lower[FX * x];
                if constexpr (FX == 2) sum += upper[FX * x + 1] + lower[FX * x + 1];
                // The same row counted twice when FY is 1: halve it back.
                if constexpr (FY == 1) sum >>= 1;
                target[x] = static_cast<std::uint8_t>((sum + (1 << kShift >> 1)) >> kShift);
            }
        }
    }
}

}  // namespace

void idctBlocksPlain(const std::int16_t* coefs, const std::uint16_t* quant, int count, std::uint8_t* out, int stride) {
    for (int i = 0; i < count; ++i) idctBlockPlain(coefs + 64 * i, quant, out + 8 * i, stride);
}

void idctBlocksReduced(const std::int16_t* coefs, const std::uint16_t* quant, int count, std::uint8_t* out, int stride,
                       int width, int height) {
    static const ReducedWeights weights;
    if (width == height && width == 2) {
        static const QuarterReducedIdct kernel(weights);
        return kernel.run(coefs, quant, count, out, stride);
    }
    if (width == height && width == 4) {
        static const SparseReducedIdct<4> kernel(weights);
        return kernel.run(coefs, quant, count, out, stride);
    }
    const auto* across = weights.forSize(width);
    const auto* down = weights.forSize(height);
    for (int i = 0; i < count; ++i) {
        const std::int16_t* block = coefs + 64 * i;
        std::int64_t columns[8][8];  // [output row][frequency column]
        for (int col = 0; col < 8; ++col) {
            std::int64_t in[8];
            bool zero = true;
            for (int k = 0; k < 8; ++k) {
                in[k] = std::int64_t{block[k * 8 + col]} * quant[k * 8 + col];
                zero = zero && in[k] == 0;
            }
            if (zero) {  // most columns of real blocks
                for (int q = 0; q < height; ++q) columns[q][col] = 0;
                continue;
            }
            for (int q = 0; q < height; ++q) {
                std::int64_t sum = 0;
                for (int k = 0; k < 8; ++k) sum += in[k] * down[q][k];
                columns[q][col] = sum;
            }
        }
        for (int q = 0; q < height; ++q)
            for (int p = 0; p < width; ++p) {
                std::int64_t sum = 0;
                for (int k = 0; k < 8; ++k) sum += columns[q][k] * across[p][k];
                out[q * stride + width * i + p] = levelShift(sum, 2 * kConstBits);
            }
    }
}

void idctBlocksHalf(IdctBlocksFn full, const std::int16_t* coefs, const std::uint16_t* quant, int count,
                    std::uint8_t* out, int stride, int width, int height) {
    if (width == 4 && height == 4) return averageBlocks<2, 2>(full, coefs, quant, count, out, stride);
    if (width == 4) return averageBlocks<2, 1>(full, coefs, quant, count, out, stride);
    if (height == 4) return averageBlocks<1, 2>(full, coefs, quant, count, out, stride);
    full(coefs, quant, count, out, stride);
}

void idctBlocks1x1(const std::int16_t* coefs, const std::uint16_t* quant, int count, std::uint8_t* out, int) {
    // The block's mean is its DC coefficient divided by 8.
    for (int i = 0; i < count; ++i) out[i] = levelShift(std::int64_t{coefs[64 * i]} * quant[0], 3);
}

namespace {

// 14-bit constants of the JFIF conversion: R = Y + 1.402 Cr,
// G = Y - 0.34414 Cb - 0.71414 Cr, B = Y + 1.772 Cb.
void yccPixelToBgr(int l, int cb, int cr, std::uint8_t* out) {
    const int b = cb - 128, r = cr - 128;
    out[0] = static_cast<std::uint8_t>(std::clamp(l + ((b * 29032 + 8192) >> 14), 0, 255));
    out[1] = static_cast<std::uint8_t>(std::clamp(l + ((b * -5638 + r * -11700 + 8192) >> 14), 0, 255));
    out[2] = static_cast<std::uint8_t>(std::clamp(l + ((r * 22970 + 8192) >> 14), 0, 255));
}

}  // namespace

void yccToBgrPlain(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* out,
                   int width) {
    for (int x = 0; x < width; ++x) yccPixelToBgr(y[x], cb[x], cr[x], out + 3 * x);
}

void yccHalfChromaToBgrPlain(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* out,
                             int width) {
    for (int x = 0; x < width; ++x) yccPixelToBgr(y[x], cb[x >> 1], cr[x >> 1], out + 3 * x);
}

void rgbToBgr(const std::uint8_t* r, const std::uint8_t* g, const std::uint8_t* b, std::uint8_t* out, int width) {
    for (int x = 0; x < width; ++x) {
        out[3 * x + 0] = b[x];
        out[3 * x + 1] = g[x];
        out[3 * x + 2] = r[x];
    }
}

IdctBlocksFn idctBlocksFor(SimdLevel level) {
#ifdef LV_CODEC_X86
    if (level == SimdLevel::Avx2) return idctBlocksAvx2;
    if (level == SimdLevel::Sse2) return idctBlocksSse2;
#endif
    (void)level;
    return idctBlocksPlain;
}

YccToBgrFn yccToBgrFor(SimdLevel level) {
#ifdef LV_CODEC_X86
    if (level == SimdLevel::Avx2) return yccToBgrAvx2;
    if (level == SimdLevel::Sse2) return yccToBgrSse2;
#endif
    (void)level;
    return yccToBgrPlain;
}

YccToBgrFn yccHalfChromaToBgrFor(SimdLevel level) {
#ifdef LV_CODEC_X86
    if (level == SimdLevel::Avx2) return yccHalfChromaToBgrAvx2;
    if (level == SimdLevel::Sse2) return yccHalfChromaToBgrSse2;
#endif
    (void)level;
    return yccHalfChromaToBgrPlain;
}

}  // namespace lv::codec
