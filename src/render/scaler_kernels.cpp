#include "render/scaler_kernels.h"

#include "display/cpu_features.h"

namespace lv {

namespace kernel_detail {

void verticalPlain(const VerticalPass& pass, int fromByte, std::uint8_t* out) {
    for (int j = fromByte; j < pass.bytes; ++j) {
        std::int32_t sum = 0;
        for (int k = 0; k < pass.taps; ++k) sum += pass.weights[k] * pass.rows[k][j];
        out[j] = clampToByte(sum >> pass.shift);
    }
}

}  // namespace kernel_detail

namespace {

using kernel_detail::clampToByte;

void horizontalPlain(const std::uint8_t* source, const HorizontalPass& pass, std::uint8_t* out) {
    for (int i = 0; i < pass.outputs; ++i, out += 4) {
        const std::uint8_t* p = source + 4 * static_cast<std::ptrdiff_t>(pass.first[i]);
        const std::int16_t* w = pass.weights + static_cast<std::ptrdiff_t>(i) * pass.taps;
        std::int32_t blue = 0, green = 0, red = 0;
        for (int k = 0; k < pass.taps; ++k, p += 4) {
            blue += w[k] * p[0];
            green += w[k] * p[1];
            red += w[k] * p[2];
        }
        out[0] = clampToByte(blue >> pass.shift);
        out[1] = clampToByte(green >> pass.shift);
        out[2] = clampToByte(red >> pass.shift);
        out[3] = 0;
    }
}

void verticalPlain(const VerticalPass& pass, std::uint8_t* out) { kernel_detail::verticalPlain(pass, 0, out); }

// Copies blue, green and red between pixels of inStep and outStep bytes; a
// fourth output byte is zero.
template <int inStep, int outStep>
void copyBgr(const std::uint8_t* in, int pixels, std::uint8_t* out) {
    for (int i = 0; i < pixels; ++i, in += inStep, out += outStep) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        if constexpr (outStep == 4) out[3] = 0;
    }
}

const ScalerKernels kPlain{"plain", horizontalPlain, verticalPlain, copyBgr<4, 3>, copyBgr<4, 4>, copyBgr<3, 4>};

}  // namespace

const ScalerKernels& plainScalerKernels() { return kPlain; }

const ScalerKernels& chooseScalerKernels(const ProcessorRecord& processor) {
    if (processor.avx2() && avx2ScalerKernels()) return *avx2ScalerKernels();
    if (processor.sse2() && sse2ScalerKernels()) return *sse2ScalerKernels();
    return kPlain;
}

}  // namespace lv
