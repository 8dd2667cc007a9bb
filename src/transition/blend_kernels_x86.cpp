// SSE2 and AVX2 forms of the cross-fade's row kernel. Channels widen to 16
// bits; a weighted sum never passes 255 x 256 + 255, so it fits a 16-bit lane
// unsigned, and the shift by 8 and the pack give the plain kernel's bytes.
#include "transition/blend_kernels.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))

#include <immintrin.h>

namespace lv {

namespace {

#define LV_SSE2 __attribute__((target("sse2")))
#define LV_AVX2 __attribute__((target("avx2")))

LV_SSE2 inline __m128i blend8(__m128i o, __m128i n, __m128i wOut, __m128i wIn, __m128i bias) {
    const __m128i sum = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(o, wOut), _mm_mullo_epi16(n, wIn)), bias);
    return _mm_srli_epi16(sum, 8);
}

LV_SSE2 void blendSse2(const std::uint32_t* outgoing, const std::uint32_t* incoming, std::int32_t count,
                       std::int32_t level, std::int32_t bias, std::uint32_t* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i wIn = _mm_set1_epi16(static_cast<short>(level));
    const __m128i wOut = _mm_set1_epi16(static_cast<short>(256 - level));
    const __m128i b = _mm_set1_epi16(static_cast<short>(bias));
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    std::int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(outgoing + i));
        const __m128i n = _mm_loadu_si128(reinterpret_cast<const __m128i*>(incoming + i));
        const __m128i lo = blend8(_mm_unpacklo_epi8(o, zero), _mm_unpacklo_epi8(n, zero), wOut, wIn, b);
        const __m128i hi = blend8(_mm_unpackhi_epi8(o, zero), _mm_unpackhi_epi8(n, zero), wOut, wIn, b);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_and_si128(_mm_packus_epi16(lo, hi), colour));
    }
    blendRowPlain(outgoing + i, incoming + i, count - i, level, bias, out + i);
}

LV_AVX2 void blendAvx2(const std::uint32_t* outgoing, const std::uint32_t* incoming, std::int32_t count,
                       std::int32_t level, std::int32_t bias, std::uint32_t* out) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i wIn = _mm256_set1_epi16(static_cast<short>(level));
    const __m256i wOut = _mm256_set1_epi16(static_cast<short>(256 - level));
    const __m256i b = _mm256_set1_epi16(static_cast<short>(bias));
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    std::int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i o = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(outgoing + i));
        const __m256i n = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(incoming + i));
        // Unpack and pack work within 128-bit halves, so the pixel order holds.
        const __m256i lo = _mm256_srli_epi16(
            _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(o, zero), wOut),
                                              _mm256_mullo_epi16(_mm256_unpacklo_epi8(n, zero), wIn)), b), 8);
        const __m256i hi = _mm256_srli_epi16(
            _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(o, zero), wOut),
                                              _mm256_mullo_epi16(_mm256_unpackhi_epi8(n, zero), wIn)), b), 8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_and_si256(_mm256_packus_epi16(lo, hi), colour));
    }
    blendRowPlain(outgoing + i, incoming + i, count - i, level, bias, out + i);
}

}  // namespace

BlendRowKernel blendRowSse2() { return blendSse2; }
BlendRowKernel blendRowAvx2() { return blendAvx2; }

}  // namespace lv

#else

namespace lv {
BlendRowKernel blendRowSse2() { return nullptr; }
BlendRowKernel blendRowAvx2() { return nullptr; }
}  // namespace lv

#endif
