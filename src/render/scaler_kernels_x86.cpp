// SSE2 and AVX2 forms of the scaler's row kernels. Each function carries its
// own target option, so the plain i686 build compiles them and runs them only
// when the processor record allows. They compute the very sums of the plain
// kernels: pixels widen to 16 bits, pairs of taps meet their weight pairs in
// one multiply-add to 32 bits, and the result shifts and saturates to bytes.
#include "render/scaler_kernels.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))

#include <immintrin.h>

#include <cstring>

namespace lv {

namespace {

#define LV_SSE2 __attribute__((target("sse2")))
#define LV_AVX2 __attribute__((target("avx2")))

LV_SSE2 inline __m128i weightPair(std::int16_t w0, std::int16_t w1) {
    return _mm_set1_epi32(static_cast<std::int32_t>(static_cast<std::uint16_t>(w0) |
                                                    (static_cast<std::uint32_t>(static_cast<std::uint16_t>(w1)) << 16)));
}

LV_SSE2 inline __m128i load32(const std::uint8_t* p) {
    std::int32_t v;
    std::memcpy(&v, p, 4);
    return _mm_cvtsi32_si128(v);
}

// ---- horizontal pass -------------------------------------------------------

// One output pixel: sums of blue, green, red, zero as four 32-bit lanes.
LV_SSE2 inline __m128i horizontalSums(const std::uint8_t* p, const std::int16_t* w, int taps) {
    const __m128i zero = _mm_setzero_si128();
    __m128i sum = zero;
    int k = 0;
    for (; k + 4 <= taps; k += 4, p += 16) {
        // Four pixels P0..P3 -> byte pairs (P0,P1) and (P2,P3) interleaved.
        const __m128i quad = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i order = _mm_shuffle_epi32(quad, _MM_SHUFFLE(3, 1, 2, 0));  // P0 P2 P1 P3
        const __m128i pairs = _mm_unpacklo_epi8(order, _mm_srli_si128(order, 8));
        const __m128i weights = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(w + k));
        sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_unpacklo_epi8(pairs, zero), _mm_shuffle_epi32(weights, 0x00)));
        sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_unpackhi_epi8(pairs, zero), _mm_shuffle_epi32(weights, 0x55)));
    }
    for (; k + 2 <= taps; k += 2, p += 8) {
        const __m128i pairs = _mm_unpacklo_epi8(load32(p), load32(p + 4));
        sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_unpacklo_epi8(pairs, zero), weightPair(w[k], w[k + 1])));
    }
    if (k < taps) {
        const __m128i pairs = _mm_unpacklo_epi8(load32(p), zero);
        sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_unpacklo_epi8(pairs, zero), weightPair(w[k], 0)));
    }
    return sum;
}

LV_SSE2 void horizontalSse2(const std::uint8_t* source, const HorizontalPass& pass, std::uint8_t* out) {
    const __m128i shift = _mm_cvtsi32_si128(pass.shift);
    int i = 0;
    for (; i + 2 <= pass.outputs; i += 2, out += 8) {
        const std::int16_t* w = pass.weights + static_cast<std::ptrdiff_t>(i) * pass.taps;
        const __m128i a = _mm_sra_epi32(horizontalSums(source + 4 * static_cast<std::ptrdiff_t>(pass.first[i]), w, pass.taps), shift);
        const __m128i b = _mm_sra_epi32(
            horizontalSums(source + 4 * static_cast<std::ptrdiff_t>(pass.first[i + 1]), w + pass.taps, pass.taps), shift);
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_setzero_si128());
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
    }
    if (i < pass.outputs) {
        const std::int16_t* w = pass.weights + static_cast<std::ptrdiff_t>(i) * pass.taps;
        const __m128i a = _mm_sra_epi32(horizontalSums(source + 4 * static_cast<std::ptrdiff_t>(pass.first[i]), w, pass.taps), shift);
        const std::int32_t v = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(a, a), a));
        std::memcpy(out, &v, 4);
    }
}

// Two neighbouring outputs at once, one in each 128-bit half, with the
// steps of horizontalSums.
LV_AVX2 inline __m256i horizontalSumsPair(const std::uint8_t* p0, const std::uint8_t* p1, const std::int16_t* w0,
                                          const std::int16_t* w1, int taps) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i sum = zero;
    int k = 0;
    for (; k + 4 <= taps; k += 4, p0 += 16, p1 += 16) {
        const __m256i quad = _mm256_inserti128_si256(
            _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p0))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(p1)), 1);
        const __m256i order = _mm256_shuffle_epi32(quad, _MM_SHUFFLE(3, 1, 2, 0));
        const __m256i pairs = _mm256_unpacklo_epi8(order, _mm256_srli_si256(order, 8));
        const __m256i weights = _mm256_inserti128_si256(
            _mm256_castsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(w0 + k))),
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(w1 + k)), 1);
        sum = _mm256_add_epi32(sum, _mm256_madd_epi16(_mm256_unpacklo_epi8(pairs, zero), _mm256_shuffle_epi32(weights, 0x00)));
        sum = _mm256_add_epi32(sum, _mm256_madd_epi16(_mm256_unpackhi_epi8(pairs, zero), _mm256_shuffle_epi32(weights, 0x55)));
    }
    if (k == taps) return sum;
    // The last one to three taps: each half through the SSE2 steps.
    const __m128i low = horizontalSums(p0, w0 + k, taps - k);
    const __m128i high = horizontalSums(p1, w1 + k, taps - k);
    return _mm256_add_epi32(sum, _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1));
}

LV_AVX2 void horizontalAvx2(const std::uint8_t* source, const HorizontalPass& pass, std::uint8_t* out) {
    const __m128i shift = _mm_cvtsi32_si128(pass.shift);
    int i = 0;
    for (; i + 2 <= pass.outputs; i += 2, out += 8) {
        const std::int16_t* w = pass.weights + static_cast<std::ptrdiff_t>(i) * pass.taps;
        const __m256i sums = _mm256_sra_epi32(
            horizontalSumsPair(source + 4 * static_cast<std::ptrdiff_t>(pass.first[i]),
                               source + 4 * static_cast<std::ptrdiff_t>(pass.first[i + 1]), w, w + pass.taps, pass.taps),
            shift);
        const __m256i words = _mm256_packs_epi32(sums, sums);
        const __m256i bytes = _mm256_packus_epi16(words, words);
        const std::int32_t a = _mm_cvtsi128_si32(_mm256_castsi256_si128(bytes));
        const std::int32_t b = _mm_cvtsi128_si32(_mm256_extracti128_si256(bytes, 1));
        std::memcpy(out, &a, 4);
        std::memcpy(out + 4, &b, 4);
    }
    if (i < pass.outputs)
        horizontalSse2(source, HorizontalPass{pass.first + i, pass.weights + static_cast<std::ptrdiff_t>(i) * pass.taps,
                                              pass.taps, pass.shift, pass.outputs - i},
                       out);
}

// ---- vertical pass ---------------------------------------------------------

LV_SSE2 void verticalSse2(const VerticalPass& pass, std::uint8_t* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i shift = _mm_cvtsi32_si128(pass.shift);
    int j = 0;
    for (; j + 16 <= pass.bytes; j += 16) {
        __m128i s0 = zero, s1 = zero, s2 = zero, s3 = zero;
        for (int k = 0; k < pass.taps; k += 2) {
            const bool pair = k + 1 < pass.taps;
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pass.rows[k] + j));
            const __m128i b = pair ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(pass.rows[k + 1] + j)) : zero;
            const __m128i w = weightPair(pass.weights[k], pair ? pass.weights[k + 1] : 0);
            const __m128i lo = _mm_unpacklo_epi8(a, b), hi = _mm_unpackhi_epi8(a, b);
            s0 = _mm_add_epi32(s0, _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), w));
            s1 = _mm_add_epi32(s1, _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), w));
            s2 = _mm_add_epi32(s2, _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), w));
            s3 = _mm_add_epi32(s3, _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), w));
        }
        const __m128i low = _mm_packs_epi32(_mm_sra_epi32(s0, shift), _mm_sra_epi32(s1, shift));
        const __m128i high = _mm_packs_epi32(_mm_sra_epi32(s2, shift), _mm_sra_epi32(s3, shift));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j), _mm_packus_epi16(low, high));
    }
    kernel_detail::verticalPlain(pass, j, out);
}

LV_AVX2 inline __m256i weightPair256(std::int16_t w0, std::int16_t w1) {
    return _mm256_set1_epi32(static_cast<std::int32_t>(static_cast<std::uint16_t>(w0) |
                                                       (static_cast<std::uint32_t>(static_cast<std::uint16_t>(w1)) << 16)));
}

// The same as verticalSse2 on 32 bytes at a time. The unpacks and packs work
// within each 128-bit half, so the bytes come back in their own order.
LV_AVX2 void verticalAvx2(const VerticalPass& pass, std::uint8_t* out) {
    const __m256i zero = _mm256_setzero_si256();
    const __m128i shift = _mm_cvtsi32_si128(pass.shift);
    int j = 0;
    for (; j + 32 <= pass.bytes; j += 32) {
        __m256i s0 = zero, s1 = zero, s2 = zero, s3 = zero;
        for (int k = 0; k < pass.taps; k += 2) {
            const bool pair = k + 1 < pass.taps;
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pass.rows[k] + j));
            const __m256i b = pair ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pass.rows[k + 1] + j)) : zero;
            const __m256i w = weightPair256(pass.weights[k], pair ? pass.weights[k + 1] : 0);
            const __m256i lo = _mm256_unpacklo_epi8(a, b), hi = _mm256_unpackhi_epi8(a, b);
            s0 = _mm256_add_epi32(s0, _mm256_madd_epi16(_mm256_unpacklo_epi8(lo, zero), w));
            s1 = _mm256_add_epi32(s1, _mm256_madd_epi16(_mm256_unpackhi_epi8(lo, zero), w));
            s2 = _mm256_add_epi32(s2, _mm256_madd_epi16(_mm256_unpacklo_epi8(hi, zero), w));
            s3 = _mm256_add_epi32(s3, _mm256_madd_epi16(_mm256_unpackhi_epi8(hi, zero), w));
        }
        const __m256i low = _mm256_packs_epi32(_mm256_sra_epi32(s0, shift), _mm256_sra_epi32(s1, shift));
        const __m256i high = _mm256_packs_epi32(_mm256_sra_epi32(s2, shift), _mm256_sra_epi32(s3, shift));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j), _mm256_packus_epi16(low, high));
    }
    if (j < pass.bytes) verticalSse2(VerticalPass{pass.rows, pass.weights, pass.taps, pass.shift, pass.bytes}, out);
}

// ---- format writers --------------------------------------------------------

LV_SSE2 void toBgr0Sse2(const std::uint8_t* in, int pixels, std::uint8_t* out) {
    const __m128i keep = _mm_set1_epi32(0x00FFFFFF);
    int i = 0;
    for (; i + 4 <= pixels; i += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * i),
                         _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * i)), keep));
    for (; i < pixels; ++i) {
        std::memcpy(out + 4 * i, in + 4 * i, 3);
        out[4 * i + 3] = 0;
    }
}

// 4 pixels of 4 bytes to 12 bytes: shifts and ors of 32-bit lanes (no byte
// shuffle before SSSE3), written 12 bytes at a time.
LV_SSE2 void toBgrWords(const std::uint8_t* in, int pixels, std::uint8_t* out) {
    int i = 0;
    for (; i + 8 <= pixels; i += 4) {
        alignas(16) std::uint32_t p[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(p), _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * i)));
        const std::uint32_t w0 = (p[0] & 0xFFFFFF) | (p[1] << 24);
        const std::uint32_t w1 = ((p[1] >> 8) & 0xFFFF) | (p[2] << 16);
        const std::uint32_t w2 = ((p[2] >> 16) & 0xFF) | (p[3] << 8);
        std::memcpy(out + 3 * i, &w0, 4);
        std::memcpy(out + 3 * i + 4, &w1, 4);
        std::memcpy(out + 3 * i + 8, &w2, 4);
    }
    for (; i < pixels; ++i) std::memcpy(out + 3 * i, in + 4 * i, 3);
}

LV_SSE2 void fromBgrSse2(const std::uint8_t* in, int pixels, std::uint8_t* out) {
    int i = 0;
    // Reads 4 bytes per 3-byte pixel: stop while a whole 4-byte read stays inside.
    for (; i + 2 <= pixels; ++i) {
        std::uint32_t v;
        std::memcpy(&v, in + 3 * i, 4);
        v &= 0x00FFFFFF;
        std::memcpy(out + 4 * i, &v, 4);
    }
    for (; i < pixels; ++i) {
        std::memcpy(out + 4 * i, in + 3 * i, 3);
        out[4 * i + 3] = 0;
    }
}

const ScalerKernels kSse2{"SSE2", horizontalSse2, verticalSse2, toBgrWords, toBgr0Sse2, fromBgrSse2};
const ScalerKernels kAvx2{"AVX2", horizontalAvx2, verticalAvx2, toBgrWords, toBgr0Sse2, fromBgrSse2};

}  // namespace

const ScalerKernels* sse2ScalerKernels() { return &kSse2; }
const ScalerKernels* avx2ScalerKernels() { return &kAvx2; }

}  // namespace lv

#else

namespace lv {
const ScalerKernels* sse2ScalerKernels() { return nullptr; }
const ScalerKernels* avx2ScalerKernels() { return nullptr; }
}  // namespace lv

#endif
