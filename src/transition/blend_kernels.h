// The cross-fade's row kernel: per channel
//     out = (outgoing x (256 - level) + incoming x level + bias) >> 8
// with the fourth byte 0. The bias spreads the rounding over consecutive
// frames: phase p of period n adds p x 256 / n (so every result is the
// exact blend rounded down or up, within 1). Level 256 gives the incoming
// pixels exactly, level 0 the outgoing ones when the bias is 0.
//
// Three forms give identical bytes: plain, SSE2 and AVX2; blendKernel (and
// blendBytesKernel for formatted rows) picks the best that the processor
// record allows.
#pragma once

#include <cstdint>

namespace lv {

struct ProcessorRecord;

using BlendRowKernel = void (*)(const std::uint32_t* outgoing, const std::uint32_t* incoming, std::int32_t count,
                                std::int32_t level, std::int32_t bias, std::uint32_t* out);

void blendRowPlain(const std::uint32_t* outgoing, const std::uint32_t* incoming, std::int32_t count,
                   std::int32_t level, std::int32_t bias, std::uint32_t* out);
// Null where the build has no such form.
BlendRowKernel blendRowSse2();
BlendRowKernel blendRowAvx2();

BlendRowKernel blendKernel(const ProcessorRecord& processor);

// The same blend byte by byte, for rows already in an output's format of 8
// bits per channel (24 or 32 bits): each byte mixes with the byte at the same
// place, so blending two formatted rows gives the bytes that blending the
// engine pixels and storing them would (a padding byte is 0 in both and stays
// 0). `count` is in bytes. The vector forms write the output with streaming
// stores, past the caches: a frame is written once and not read back by the
// blend, so it does not push the two pictures out of the cache.
using BlendBytesKernel = void (*)(const std::uint8_t* outgoing, const std::uint8_t* incoming, std::int32_t count,
                                  std::int32_t level, std::int32_t bias, std::uint8_t* out);

void blendBytesPlain(const std::uint8_t* outgoing, const std::uint8_t* incoming, std::int32_t count, std::int32_t level,
                     std::int32_t bias, std::uint8_t* out);
BlendBytesKernel blendBytesSse2();
BlendBytesKernel blendBytesAvx2();

BlendBytesKernel blendBytesKernel(const ProcessorRecord& processor);

// The bias of a dither phase.
inline std::int32_t ditherBias(std::int32_t phase, std::int32_t period) {
    return period > 1 ? phase * 256 / period : 0;
}

}  // namespace lv
