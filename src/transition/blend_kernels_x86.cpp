// SSE2 and AVX2 forms of the cross-fade's row kernels. Channels widen to 16
// bits; a weighted sum never passes 255 x 256 + 255, so it fits a 16-bit lane
// unsigned, and the shift by 8 and the pack give the plain kernel's bytes.
// The byte forms blend formatted rows and stream their results past the
// caches.
#include "transition/blend_kernels.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))

#include <immintrin.h>


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

// 16 blended bytes (four pixels; the fourth bytes hold the blend of the
// inputs' ones).
LV_SSE2 inline __m128i blend16(const void* outgoing, const void* incoming, const WeightsSse2& w) {
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
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_and_si128(blend16(outgoing + i, incoming + i, w), colour));
    }
    blendRowPlain(outgoing + i, incoming + i, count - i, level, bias, out + i);
}

// Where the streaming stores of `alignment`-byte vectors start: the first
// aligned byte of `out`.
inline std::int32_t alignedStart(const std::uint8_t* out, std::uintptr_t alignment) {
    const std::uintptr_t misaligned = reinterpret_cast<std::uintptr_t>(out) & (alignment - 1);
    return misaligned == 0 ? 0 : static_cast<std::int32_t>(alignment - misaligned);
}

// Rows of a vector or more: the first and the last vector are written with
// ordinary stores where they fall, the aligned ones between them streamed;
// the overlaps are written twice with the same bytes.
LV_SSE2 void blendBytesSse2Form(const std::uint8_t* outgoing, const std::uint8_t* incoming, std::int32_t count,
                                std::int32_t level, std::int32_t bias, std::uint8_t* out) {
    if (count < 16) {
        blendBytesPlain(outgoing, incoming, count, level, bias, out);
        return;
    }
    const WeightsSse2 w(level, bias);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), blend16(outgoing, incoming, w));
    std::int32_t i = alignedStart(out, 16);
    for (; i + 16 <= count; i += 16) {
        _mm_stream_si128(reinterpret_cast<__m128i*>(out + i), blend16(outgoing + i, incoming + i, w));
    }
    _mm_sfence();
    const std::int32_t last = count - 16;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + last), blend16(outgoing + last, incoming + last, w));
}

// 32 blended bytes (eight pixels); unpack and pack work within 128-bit
// halves, so the byte order holds.
LV_AVX2 inline __m256i blend8(const void* outgoing, const void* incoming, __m256i wOut, __m256i wIn,
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

LV_AVX2 void blendBytesAvx2Form(const std::uint8_t* outgoing, const std::uint8_t* incoming, std::int32_t count,
                                std::int32_t level, std::int32_t bias, std::uint8_t* out) {
    if (count < 32) {
        blendBytesSse2Form(outgoing, incoming, count, level, bias, out);
        return;
    }
    const __m256i wIn = _mm256_set1_epi16(static_cast<short>(level));
    const __m256i wOut = _mm256_set1_epi16(static_cast<short>(256 - level));
    const __m256i b = _mm256_set1_epi16(static_cast<short>(bias));
    // blend8 mixes 32 bytes; that they are eight pixels does not matter.
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), blend8(outgoing, incoming, wOut, wIn, b));
    std::int32_t i = alignedStart(out, 32);
    for (; i + 32 <= count; i += 32) {
        _mm256_stream_si256(reinterpret_cast<__m256i*>(out + i), blend8(outgoing + i, incoming + i, wOut, wIn, b));
    }
    _mm_sfence();
    const std::int32_t last = count - 32;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + last), blend8(outgoing + last, incoming + last, wOut, wIn, b));
}

}  // namespace

BlendRowKernel blendRowSse2() { return blendSse2; }
BlendRowKernel blendRowAvx2() { return blendAvx2; }
BlendBytesKernel blendBytesSse2() { return blendBytesSse2Form; }
BlendBytesKernel blendBytesAvx2() { return blendBytesAvx2Form; }

}  // namespace lv

#else

namespace lv {
BlendRowKernel blendRowSse2() { return nullptr; }
BlendRowKernel blendRowAvx2() { return nullptr; }
BlendBytesKernel blendBytesSse2() { return nullptr; }
BlendBytesKernel blendBytesAvx2() { return nullptr; }
}  // namespace lv

#endif
