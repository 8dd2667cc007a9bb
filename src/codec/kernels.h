// The codec's pixel kernels: inverse DCT and colour conversion.
//
// Each full-size kernel has a plain variant and SSE2/AVX2 variants that give
// identical bytes for every input (also for hostile coefficients: the plain
// code follows the vector code's 16-bit wrap-around and saturation). The
// reduced-size inverse DCTs are plain only, except the half size, which
// averages a full kernel's output.
//
// Inverse DCT: the accurate integer algorithm (Loeffler, Ligtenberg and
// Moschytz) with 13-bit constants and 2 extra bits kept between passes. Its
// multiplications are grouped in pairs, a*c1 + b*c2, so that vector code can
// use a multiply-add of 16-bit lanes.
#pragma once

#include <cstdint>

#include "codec/simd.h"

namespace lv::codec {

// Coefficients of `count` consecutive blocks, 64 each in natural (row-major)
// order, still quantized; `quant` is the block's quantization table in
// natural order. Block i is written as 8x8 pixels at out + 8 * i.
using IdctBlocksFn = void (*)(const std::int16_t* coefs, const std::uint16_t* quant, int count, std::uint8_t* out,
                              int stride);

// Three equal-length rows of Y, Cb, Cr samples to blue-green-red pixels.
using YccToBgrFn = void (*)(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* out,
                            int width);

IdctBlocksFn idctBlocksFor(SimdLevel level);
YccToBgrFn yccToBgrFor(SimdLevel level);
// The same with chroma rows of half the width, each sample serving two
// pixels (horizontal 2:1 subsampling, replicated): pixel x takes cb[x / 2].
YccToBgrFn yccHalfChromaToBgrFor(SimdLevel level);

void idctBlocksPlain(const std::int16_t* coefs, const std::uint16_t* quant, int count, std::uint8_t* out, int stride);
void yccToBgrPlain(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* out, int width);
void yccHalfChromaToBgrPlain(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* out,
                             int width);

// Reduced sizes straight from the coefficients: `width` x `height` pixels per
// block (each 1, 2, 4 or 8), each pixel the exact mean of its part of the
// full inverse DCT; block i is written at out + width * i. 1x1 is the mean of
// the block, from the DC coefficient alone.
void idctBlocksReduced(const std::int16_t* coefs, const std::uint16_t* quant, int count, std::uint8_t* out, int stride,
                       int width, int height);
void idctBlocks1x1(const std::int16_t* coefs, const std::uint16_t* quant, int count, std::uint8_t* out, int stride);
// Half size along either axis or both: `width` x `height` pixels per block
// (each 4 or 8), the `full` kernel's 8x8 pixels averaged in pairs along each
// halved axis (rounding half up), so a 1/2 decode is the full decode
// box-filtered, as fast as the full kernel, and the same bytes at every
// level. Block i is written at out + width * i.
void idctBlocksHalf(IdctBlocksFn full, const std::int16_t* coefs, const std::uint16_t* quant, int count,
                    std::uint8_t* out, int stride, int width, int height);

// Rows already in red, green, blue (files that say they carry RGB).
void rgbToBgr(const std::uint8_t* r, const std::uint8_t* g, const std::uint8_t* b, std::uint8_t* out, int width);

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define LV_CODEC_X86 1
void idctBlocksSse2(const std::int16_t* coefs, const std::uint16_t* quant, int count, std::uint8_t* out, int stride);
void idctBlocksAvx2(const std::int16_t* coefs, const std::uint16_t* quant, int count, std::uint8_t* out, int stride);
void yccToBgrSse2(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* out, int width);
void yccToBgrAvx2(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* out, int width);
void yccHalfChromaToBgrSse2(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* out,
                            int width);
void yccHalfChromaToBgrAvx2(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* out,
                            int width);
#endif

}  // namespace lv::codec
