// SSE2 and AVX2 forms of the cross-fade's row kernels. Channels widen to 16
// bits; a weighted sum never passes 255 x 256 + 255, so it fits a 16-bit lane
// unsigned, and the shift by 8 and the pack give the plain kernel's bytes.
// The 24-bit forms pack the blended pixels in registers, so each pixel is
// read once from each surface and written once to the output.
#include "transition/blend_kernels.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))

#include <immintrin.h>

#include "display/pack_vectors_x86.h"

namespace lv {

namespace {

#define LV_SSE2 __attribute__((target("sse2")))
#define LV_AVX2 __attribute__((target("avx2")))

struct WeightsSse2 {
    __m128i wOut, wIn, bias;
    LV_SSE2 WeightsSse2(std::int32_t level, std::int32_t b)
        : wOut(_mm_set1_epi16(static_cast<short>(256 - level))), wIn(_mm_set1_epi16(static_cast<short>(level))),
          bias(_mm_set1_epi16(static_cast<short>(b))) {}
};

LV_SSE2 inline __m128i blendHalf(__m128i o, __m128i n, const WeightsSse2& w) {
    const __m128i sum = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(o, w.wOut), _mm_mullo_epi16(n, w.wIn)), w.bias);
    return _mm_srli_epi16(sum, 8);
}

// Four blended pixels; the fourth bytes hold the blend of the inputs' ones.
LV_SSE2 inline __m128i blend4(const std::uint32_t* outgoing, const std::uint32_t* incoming, const WeightsSse2& w) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(outgoing));
    const __m128i n = _mm_loadu_si128(reinterpret_cast<const __m128i*>(incoming));
    return _mm_packus_epi16(blendHalf(_mm_unpacklo_epi8(o, zero), _mm_unpacklo_epi8(n, zero), w),
                            blendHalf(_mm_unpackhi_epi8(o, zero), _mm_unpackhi_epi8(n, zero), w));
}

LV_SSE2 void blendSse2(const std::uint32_t* outgoing, const std::uint32_t* incoming, std::int32_t count,
                       std::int32_t level, std::int32_t bias, std::uint32_t* out) {
    const WeightsSse2 w(level, bias);
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    std::int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_and_si128(blend4(outgoing + i, incoming + i, w), colour));
    }
    blendRowPlain(outgoing + i, incoming + i, count - i, level, bias, out + i);
}

LV_SSE2 void blend24Sse2(const std::uint32_t* outgoing, const std::uint32_t* incoming, std::int32_t count,
                         std::int32_t level, std::int32_t bias, std::uint8_t* out) {
    const WeightsSse2 w(level, bias);
    std::int32_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const std::uint32_t* o = outgoing + i;
        const std::uint32_t* n = incoming + i;
        pack_x86::store16Sse2(out + static_cast<std::size_t>(i) * 3, blend4(o, n, w), blend4(o + 4, n + 4, w),
                              blend4(o + 8, n + 8, w), blend4(o + 12, n + 12, w));
    }
    blendRow24Plain(outgoing + i, incoming + i, count - i, level, bias, out + static_cast<std::size_t>(i) * 3);
}

// Eight blended pixels; unpack and pack work within 128-bit halves, so the
// pixel order holds.
LV_AVX2 inline __m256i blend8(const std::uint32_t* outgoing, const std::uint32_t* incoming, __m256i wOut, __m256i wIn,
                              __m256i b) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i o = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(outgoing));
    const __m256i n = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(incoming));
    const __m256i lo = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(o, zero), wOut),
                                          _mm256_mullo_epi16(_mm256_unpacklo_epi8(n, zero), wIn)), b), 8);
    const __m256i hi = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(o, zero), wOut),
                                          _mm256_mullo_epi16(_mm256_unpackhi_epi8(n, zero), wIn)), b), 8);
    return _mm256_packus_epi16(lo, hi);
}

LV_AVX2 void blendAvx2(const std::uint32_t* outgoing, const std::uint32_t* incoming, std::int32_t count,
                       std::int32_t level, std::int32_t bias, std::uint32_t* out) {
    const __m256i wIn = _mm256_set1_epi16(static_cast<short>(level));
    const __m256i wOut = _mm256_set1_epi16(static_cast<short>(256 - level));
    const __m256i b = _mm256_set1_epi16(static_cast<short>(bias));
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    std::int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                            _mm256_and_si256(blend8(outgoing + i, incoming + i, wOut, wIn, b), colour));
    }
    blendRowPlain(outgoing + i, incoming + i, count - i, level, bias, out + i);
}

LV_AVX2 void blend24Avx2(const std::uint32_t* outgoing, const std::uint32_t* incoming, std::int32_t count,
                         std::int32_t level, std::int32_t bias, std::uint8_t* out) {
    const __m256i wIn = _mm256_set1_epi16(static_cast<short>(level));
    const __m256i wOut = _mm256_set1_epi16(static_cast<short>(256 - level));
    const __m256i b = _mm256_set1_epi16(static_cast<short>(bias));
    std::int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        pack_x86::store8Avx2(out + static_cast<std::size_t>(i) * 3, blend8(outgoing + i, incoming + i, wOut, wIn, b));
    }
    blendRow24Plain(outgoing + i, incoming + i, count - i, level, bias, out + static_cast<std::size_t>(i) * 3);
}

}  // namespace

BlendRowKernel blendRowSse2() { return blendSse2; }
BlendRowKernel blendRowAvx2() { return blendAvx2; }
BlendRow24Kernel blendRow24Sse2() { return blend24Sse2; }
BlendRow24Kernel blendRow24Avx2() { return blend24Avx2; }

}  // namespace lv

#else

namespace lv {
BlendRowKernel blendRowSse2() { return nullptr; }
BlendRowKernel blendRowAvx2() { return nullptr; }
BlendRow24Kernel blendRow24Sse2() { return nullptr; }
BlendRow24Kernel blendRow24Avx2() { return nullptr; }
}  // namespace lv

#endif
