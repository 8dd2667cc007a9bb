// SSE2 variants of the codec kernels (see kernels.h and kernels_simd.inl).
#include <cstdint>
#include <cstring>

#include "codec/kernels.h"

#ifdef LV_CODEC_X86
#if defined(__clang__)
#include <emmintrin.h>
#pragma clang attribute push(__attribute__((target("sse2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("sse2")
#include <emmintrin.h>
#endif

namespace lv::codec::simd {

struct Sse2 {
    using T = __m128i;
    static constexpr int kBlocks = 1;
    static constexpr int kPixels = 8;

    static T set16(int v) { return _mm_set1_epi16(static_cast<short>(v)); }
    static T set32(int v) { return _mm_set1_epi32(v); }
    static T set64(long long v) { return _mm_set1_epi64x(v); }
    static T pair(int first, int second) {
        return _mm_set1_epi32(static_cast<int>((static_cast<std::uint32_t>(second) << 16) |
                                               (static_cast<std::uint32_t>(first) & 0xFFFF)));
    }
    static T add16(T a, T b) { return _mm_add_epi16(a, b); }
    static T sub16(T a, T b) { return _mm_sub_epi16(a, b); }
    static T adds16(T a, T b) { return _mm_adds_epi16(a, b); }
    static T mullo16(T a, T b) { return _mm_mullo_epi16(a, b); }
    static T min16(T a, T b) { return _mm_min_epi16(a, b); }
    static T max16(T a, T b) { return _mm_max_epi16(a, b); }
    static T add32(T a, T b) { return _mm_add_epi32(a, b); }
    static T sub32(T a, T b) { return _mm_sub_epi32(a, b); }
    static T madd(T a, T b) { return _mm_madd_epi16(a, b); }
    template <int S>
    static T srai32(T a) { return _mm_srai_epi32(a, S); }
    template <int S>
    static T slli16(T a) { return _mm_slli_epi16(a, S); }
    template <int S>
    static T srli64(T a) { return _mm_srli_epi64(a, S); }
    static T packs32(T a, T b) { return _mm_packs_epi32(a, b); }
    static T and_(T a, T b) { return _mm_and_si128(a, b); }
    static T or_(T a, T b) { return _mm_or_si128(a, b); }
    static T unpacklo16(T a, T b) { return _mm_unpacklo_epi16(a, b); }
    static T unpackhi16(T a, T b) { return _mm_unpackhi_epi16(a, b); }
    static T unpacklo32(T a, T b) { return _mm_unpacklo_epi32(a, b); }
    static T unpackhi32(T a, T b) { return _mm_unpackhi_epi32(a, b); }
    static T unpacklo64(T a, T b) { return _mm_unpacklo_epi64(a, b); }
    static T unpackhi64(T a, T b) { return _mm_unpackhi_epi64(a, b); }

    static T loadRows(const std::int16_t* p) { return _mm_loadu_si128(reinterpret_cast<const T*>(p)); }
    static T loadQuant(const std::uint16_t* p) { return _mm_loadu_si128(reinterpret_cast<const T*>(p)); }
    static T loadBytes(const std::uint8_t* p) {
        return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const T*>(p)), _mm_setzero_si128());
    }
    // Bytes 0-3, each twice.
    static T loadBytesDoubled(const std::uint8_t* p) {
        std::int32_t four;
        std::memcpy(&four, p, 4);
        const T bytes = _mm_cvtsi32_si128(four);
        return _mm_unpacklo_epi8(_mm_unpacklo_epi8(bytes, bytes), _mm_setzero_si128());
    }
    static void storeRowPair(T a, T b, std::uint8_t* first, std::uint8_t* second) {
        const T bytes = _mm_packus_epi16(a, b);
        _mm_storel_epi64(reinterpret_cast<T*>(first), bytes);
        _mm_storel_epi64(reinterpret_cast<T*>(second), _mm_srli_si128(bytes, 8));
    }
    // lo holds pixels 0-3 and hi pixels 4-7 as blue, green, red, zero.
    static void storeBgr(T lo, T hi, std::uint8_t* out);
};

}  // namespace lv::codec::simd

#include "codec/kernels_simd.inl"

namespace lv::codec {

void simd::Sse2::storeBgr(T lo, T hi, std::uint8_t* out) {
    alignas(16) std::uint64_t lanes[4];
    _mm_store_si128(reinterpret_cast<T*>(lanes), packPixelPairs<Sse2>(lo));
    _mm_store_si128(reinterpret_cast<T*>(lanes + 2), packPixelPairs<Sse2>(hi));
    for (int i = 0; i < 4; ++i) std::memcpy(out + 6 * i, &lanes[i], 8);
}

void idctBlocksSse2(const std::int16_t* coefs, const std::uint16_t* quant, int count, std::uint8_t* out, int stride) {
    simd::Idct<simd::Sse2>::run(coefs, quant, count, out, stride);
}

void yccToBgrSse2(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* out, int width) {
    simd::Colour<simd::Sse2>::run<false>(y, cb, cr, out, width);
}

void yccHalfChromaToBgrSse2(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* out,
                            int width) {
    simd::Colour<simd::Sse2>::run<true>(y, cb, cr, out, width);
}

}  // namespace lv::codec

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif
