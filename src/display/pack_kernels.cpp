#include "display/pack_kernels.h"

#include "display/cpu_features.h"

namespace lv {

void packRow24Plain(const std::uint32_t* pixels, std::int32_t count, std::uint8_t* out) {
    for (std::int32_t i = 0; i < count; ++i, out += 3) {
        const std::uint32_t p = pixels[i];
        out[0] = static_cast<std::uint8_t>(p);
        out[1] = static_cast<std::uint8_t>(p >> 8);
        out[2] = static_cast<std::uint8_t>(p >> 16);
    }
}

PackRowKernel packRow24Kernel(const ProcessorRecord& processor) {
    if (processor.avx2() && packRow24Avx2() != nullptr) return packRow24Avx2();
    if (processor.sse2() && packRow24Sse2() != nullptr) return packRow24Sse2();
    return packRow24Plain;
}

}  // namespace lv
