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

void blendRow24Plain(const std::uint32_t* outgoing, const std::uint32_t* incoming, std::int32_t count,
                     std::int32_t level, std::int32_t bias, std::uint8_t* out) {
    const std::uint32_t wIn = static_cast<std::uint32_t>(level), wOut = 256u - wIn, b = static_cast<std::uint32_t>(bias);
    for (std::int32_t i = 0; i < count; ++i, out += 3) {
        const std::uint32_t o = outgoing[i], n = incoming[i];
        for (int c = 0; c < 3; ++c) {
            const int shift = 8 * c;
            out[c] = static_cast<std::uint8_t>((((o >> shift) & 0xFFu) * wOut + ((n >> shift) & 0xFFu) * wIn + b) >> 8);
        }
    }
}

BlendRowKernel blendKernel(const ProcessorRecord& processor) {
    if (processor.avx2() && blendRowAvx2() != nullptr) return blendRowAvx2();
    if (processor.sse2() && blendRowSse2() != nullptr) return blendRowSse2();
    return blendRowPlain;
}

BlendRow24Kernel blendRow24Kernel(const ProcessorRecord& processor) {
    if (processor.avx2() && blendRow24Avx2() != nullptr) return blendRow24Avx2();
    if (processor.sse2() && blendRow24Sse2() != nullptr) return blendRow24Sse2();
    return blendRow24Plain;
}

}  // namespace lv
