// The cross-fade's row kernel: per channel
//     out = (outgoing x (256 - level) + incoming x level + bias) >> 8
// with the fourth byte 0. The bias spreads the rounding over consecutive
// frames: phase p of period n adds p x 256 / n (so every result is the
// exact blend rounded down or up, within 1). Level 256 gives the incoming
// pixels exactly, level 0 the outgoing ones when the bias is 0.
//
// Three forms give identical bytes: plain, SSE2 and AVX2; blendKernel (and
// blendRow24Kernel for 24-bit rows) picks the best that the processor
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

// The same blend written straight as a 24-bit row (bytes blue, green, red),
// the bytes that blending a row and packing it with packRow24Plain give.
using BlendRow24Kernel = void (*)(const std::uint32_t* outgoing, const std::uint32_t* incoming, std::int32_t count,
                                  std::int32_t level, std::int32_t bias, std::uint8_t* out);

void blendRow24Plain(const std::uint32_t* outgoing, const std::uint32_t* incoming, std::int32_t count,
                     std::int32_t level, std::int32_t bias, std::uint8_t* out);
BlendRow24Kernel blendRow24Sse2();
BlendRow24Kernel blendRow24Avx2();

BlendRow24Kernel blendRow24Kernel(const ProcessorRecord& processor);

// The bias of a dither phase.
inline std::int32_t ditherBias(std::int32_t phase, std::int32_t period) {
    return period > 1 ? phase * 256 / period : 0;
}

}  // namespace lv
