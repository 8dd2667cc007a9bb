// Row packers from the engine's 32-bit pixels (0x00RRGGBB, bytes blue,
// green, red, 0) to 24-bit output rows (bytes blue, green, red): the fourth
// byte of each pixel is dropped, whatever it holds.
//
//     packRow24Kernel(processorRecord())(row, 1920, out);  // writes 5760 bytes
//
// Three forms give identical bytes: plain, SSE2 and AVX2; packRow24Kernel
// picks the best that the processor record allows. A count of 0 or less
// writes nothing; nothing past count x 3 bytes is written.
#pragma once

#include <cstdint>

namespace lv {

struct ProcessorRecord;

using PackRowKernel = void (*)(const std::uint32_t* pixels, std::int32_t count, std::uint8_t* out);

void packRow24Plain(const std::uint32_t* pixels, std::int32_t count, std::uint8_t* out);
// Null where the build has no such form.
PackRowKernel packRow24Sse2();
PackRowKernel packRow24Avx2();

PackRowKernel packRow24Kernel(const ProcessorRecord& processor);

}  // namespace lv
