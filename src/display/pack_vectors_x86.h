// Register-level pieces of the 32-to-24-bit packers: the row packer's, and
// any kernel that packs its own results.
// Only for GCC-compatible x86 builds; each function carries its own target,
// so callers compiled for a plain processor may include this.
//
//     store16Sse2(out, a, b, c, d);  // 16 pixels in four vectors -> 48 bytes
//     store8Avx2(out, v);            // 8 pixels -> 24 bytes
//
// The fourth byte of each pixel is dropped, whatever it holds.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace lv::pack_x86 {

// Four pixels to their 12 bytes at the bottom of the vector, the top four
// bytes zero. Each 64-bit lane packs its two pixels into 6 bytes, then the
// upper lane moves down next to the lower one.
__attribute__((target("sse2"))) inline __m128i squeeze4Sse2(__m128i v) {
    const __m128i even = _mm_and_si128(v, _mm_set_epi32(0, 0xFFFFFF, 0, 0xFFFFFF));
    const __m128i odd = _mm_srli_epi64(_mm_and_si128(v, _mm_set_epi32(0xFFFFFF, 0, 0xFFFFFF, 0)), 8);
    const __m128i lanes = _mm_or_si128(even, odd);
    return _mm_or_si128(_mm_move_epi64(lanes), _mm_slli_si128(_mm_srli_si128(lanes, 8), 6));
}

// Sixteen pixels (a holds the first four) as 48 bytes at out, in three stores.
__attribute__((target("sse2"))) inline void store16Sse2(std::uint8_t* out, __m128i a, __m128i b, __m128i c, __m128i d) {
    const __m128i r0 = squeeze4Sse2(a), r1 = squeeze4Sse2(b), r2 = squeeze4Sse2(c), r3 = squeeze4Sse2(d);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_or_si128(r0, _mm_slli_si128(r1, 12)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_or_si128(_mm_srli_si128(r1, 4), _mm_slli_si128(r2, 8)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32), _mm_or_si128(_mm_srli_si128(r2, 8), _mm_slli_si128(r3, 4)));
}

// Eight pixels as 24 bytes at out: each 128-bit half drops its fourth bytes,
// a permute joins the halves' 12 bytes, and two stores write exactly 24.
__attribute__((target("avx2"))) inline void store8Avx2(std::uint8_t* out, __m256i v) {
    const __m256i drop = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,  //
                                          0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m256i joined = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(v, drop), _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(joined));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(joined, 1));
}

}  // namespace lv::pack_x86
