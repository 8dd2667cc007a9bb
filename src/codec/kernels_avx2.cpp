// AVX2 variants of the codec kernels (see kernels.h and kernels_simd.inl):
// two blocks, or two groups of eight pixels, per register.
#include <cstdint>
#include <cstring>

#include "codec/kernels.h"

#ifdef LV_CODEC_X86
#if defined(__clang__)
#include <immintrin.h>
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#include <immintrin.h>
#endif

#include "codec/kernels_simd.inl"

namespace lv::codec::simd {

struct Avx2 {
    using T = __m256i;
    static constexpr int kBlocks = 2;
    static constexpr int kPixels = 16;

    LV_CODEC_LANE_OPERATIONS(_mm256, si256)

    // Row k of two consecutive blocks, one per half.
    static T loadRows(const std::int16_t* p) {
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 64));
        return _mm256_inserti128_si256(_mm256_castsi128_si256(first), second, 1);
    }
    static T loadQuant(const std::uint16_t* p) {
        return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    }
    // Pixels 0-7 in the low half and 8-15 in the high half.
    static T loadBytes(const std::uint8_t* p) {
        const __m128i lo = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
        const __m128i hi = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 8));
        return _mm256_cvtepu8_epi16(_mm_unpacklo_epi64(lo, hi));
    }
    // Bytes 0-7, each twice: pixels 0-7 in the low half, 8-15 in the high.
    static T loadBytesDoubled(const std::uint8_t* p) {
        const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
        return _mm256_cvtepu8_epi16(_mm_unpacklo_epi8(bytes, bytes));
    }
    static void storeRowPair(T a, T b, std::uint8_t* first, std::uint8_t* second) {
        // packus gives [block0 a, block0 b | block1 a, block1 b]; order the
        // quadwords as [block0 a, block1 a, block0 b, block1 b].
        const T bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(a, b), 0xD8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(first), _mm256_castsi256_si128(bytes));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(second), _mm256_extracti128_si256(bytes, 1));
    }
    // lo holds pixels 0-3 | 8-11 and hi pixels 4-7 | 12-15.
    static void storeBgr(T lo, T hi, std::uint8_t* out);
};

}  // namespace lv::codec::simd

namespace lv::codec {

void simd::Avx2::storeBgr(T lo, T hi, std::uint8_t* out) {
    alignas(32) std::uint64_t low[4], high[4];
    _mm256_store_si256(reinterpret_cast<T*>(low), packPixelPairs<Avx2>(lo));
    _mm256_store_si256(reinterpret_cast<T*>(high), packPixelPairs<Avx2>(hi));
    // Lane i of each register holds a pixel pair: low {0, 2, 8, 10}, high
    // {4, 6, 12, 14}. Each store spills 2 bytes into the next pair, so they
    // go in increasing order.
    const std::uint64_t* inOrder[8] = {&low[0], &low[1], &high[0], &high[1], &low[2], &low[3], &high[2], &high[3]};
    for (int i = 0; i < 8; ++i) std::memcpy(out + 6 * i, inOrder[i], 8);
}

LV_CODEC_KERNEL_ENTRY_POINTS(Avx2)

}  // namespace lv::codec

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif
