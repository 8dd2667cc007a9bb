#include "transition/blend_kernels.h"

#include "display/cpu_features.h"

namespace lv {

void blendRowPlain(const std::uint32_t* outgoing, const std::uint32_t* incoming, std::int32_t count,
                   std::int32_t level, std::int32_t bias, std::uint32_t* out) {
    const std::uint32_t wIn = static_cast<std::uint32_t>(level), wOut = 256u - wIn, b = static_cast<std::uint32_t>(bias);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint32_t o = outgoing[i], n = incoming[i];
        std::uint32_t v = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const std::uint32_t c = (((o >> shift) & 0xFFu) * wOut + ((n >> shift) & 0xFFu) * wIn + b) >> 8;
            v |= c << shift;
        }
        out[i] = v;
    }
}

void blendBytesPlain(const std::uint8_t* outgoing, const std::uint8_t* incoming, std::int32_t count, std::int32_t level,
                     std::int32_t bias, std::uint8_t* out) {
    const std::uint32_t wIn = static_cast<std::uint32_t>(level), wOut = 256u - wIn, b = static_cast<std::uint32_t>(bias);
    for (std::int32_t i = 0; i < count; ++i) {
        out[i] = static_cast<std::uint8_t>((outgoing[i] * wOut + incoming[i] * wIn + b) >> 8);
    }
}

BlendRowKernel blendKernel(const ProcessorRecord& processor) {
    if (processor.avx2() && blendRowAvx2() != nullptr) return blendRowAvx2();
    if (processor.sse2() && blendRowSse2() != nullptr) return blendRowSse2();
    return blendRowPlain;
}

BlendBytesKernel blendBytesKernel(const ProcessorRecord& processor) {
    if (processor.avx2() && blendBytesAvx2() != nullptr) return blendBytesAvx2();
    if (processor.sse2() && blendBytesSse2() != nullptr) return blendBytesSse2();
    return blendBytesPlain;
}

}  // namespace lv
