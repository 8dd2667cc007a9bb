// Copying a run of bytes from one row to another (the block transitions'
// window copies). The library's memcpy is fast on average but, on some
// processors, several times slower for some distances between the two
// addresses; a frame of a push or an opening slide copies its rows at
// offsets that change every frame, so a plain loop of unaligned vector loads
// and stores aligned to the target's cache lines gives steadier frames.
//
//     const RowCopy copy = rowCopy(processorRecord());
//     copy(target, source, width * 3);
//
// The two ranges must not overlap. Two forms give identical bytes: plain
// (memcpy) and AVX2; rowCopy picks the AVX2 form when the processor allows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lv {

struct ProcessorRecord;

using RowCopy = void (*)(std::uint8_t* target, const std::uint8_t* source, std::size_t count);

void rowCopyPlain(std::uint8_t* target, const std::uint8_t* source, std::size_t count);
// Null where the build has no such form.
RowCopy rowCopyAvx2();

RowCopy rowCopy(const ProcessorRecord& processor);

}  // namespace lv
