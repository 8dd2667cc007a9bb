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

#include "codec/kernels_simd.inl"

namespace lv::codec::simd {

struct Sse2 {
    using T = __m128i;
    static constexpr int kBlocks = 1;
    static constexpr int kPixels = 8;

    LV_CODEC_LANE_OPERATIONS(_mm, si128)

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

namespace lv::codec {

void simd::Sse2::storeBgr(T lo, T hi, std::uint8_t* out) {
    alignas(16) std::uint64_t lanes[4];
    _mm_store_si128(reinterpret_cast<T*>(lanes), packPixelPairs<Sse2>(lo));
    _mm_store_si128(reinterpret_cast<T*>(lanes + 2), packPixelPairs<Sse2>(hi));
    for (int i = 0; i < 4; ++i) std::memcpy(out + 6 * i, &lanes[i], 8);
}

LV_CODEC_KERNEL_ENTRY_POINTS(Sse2)

}  // namespace lv::codec

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif
