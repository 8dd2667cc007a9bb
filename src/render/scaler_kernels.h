// The scaler's inner row kernels. Each exists in a plain form and, on x86,
// in vector forms (SSE2, AVX2) that give byte-identical results: all of them
// compute the same integer sums, (sum of weight * value) >> shift clamped to
// 0..255. The scaler picks one set per job from the processor record.
//
// Rows between the passes hold 4 bytes per pixel: blue, green, red, zero.
#pragma once

#include <cstdint>

namespace lv {

struct ProcessorRecord;

// One horizontal pass over a row: output i combines `taps` source pixels
// starting at first[i] with weights[i * taps ...]. Every window lies inside
// the source row, whose buffer extends at least `taps` pixels past its end.
struct HorizontalPass {
    const std::int32_t* first;
    const std::int16_t* weights;
    int taps;
    int shift;
    int outputs;
};

// Combines `taps` rows byte by byte into `bytes` output bytes.
struct VerticalPass {
    const std::uint8_t* const* rows;
    const std::int16_t* weights;
    int taps;
    int shift;
    int bytes;
};

struct ScalerKernels {
    const char* name;
    void (*horizontal)(const std::uint8_t* source, const HorizontalPass& pass, std::uint8_t* out);
    void (*vertical)(const VerticalPass& pass, std::uint8_t* out);
    void (*toBgr)(const std::uint8_t* bgr0, int pixels, std::uint8_t* out);      // 3-byte destinations
    void (*toBgr0)(const std::uint8_t* bgr0, int pixels, std::uint8_t* out);     // 4-byte destinations
    void (*fromBgr)(const std::uint8_t* bgr, int pixels, std::uint8_t* bgr0);   // 24-bit sources
};

const ScalerKernels& plainScalerKernels();
// Null where the build has no such kernels.
const ScalerKernels* sse2ScalerKernels();
const ScalerKernels* avx2ScalerKernels();

// The fastest set that the processor record allows.
const ScalerKernels& chooseScalerKernels(const ProcessorRecord& processor);

namespace kernel_detail {
inline std::uint8_t clampToByte(std::int32_t v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }
// The plain loops, for the vector kernels' row tails.
void verticalPlain(const VerticalPass& pass, int fromByte, std::uint8_t* out);
}  // namespace kernel_detail

}  // namespace lv
