#include "codec/simd.h"

#include <algorithm>
#include <atomic>

#include "display/cpu_features.h"

namespace lv::codec {

namespace {

SimdLevel detect() {
    const ProcessorRecord& record = processorRecord();
    if (record.avx2()) return SimdLevel::Avx2;
    if (record.sse2()) return SimdLevel::Sse2;
    return SimdLevel::Plain;
}

std::atomic<int> overridden{-1};

}  // namespace

SimdLevel detectedSimdLevel() {
    static const SimdLevel level = detect();
    return level;
}

SimdLevel simdLevel() {
    const int level = overridden.load(std::memory_order_relaxed);
    return level < 0 ? detectedSimdLevel() : static_cast<SimdLevel>(level);
}

void setSimdLevel(SimdLevel level) {
    overridden.store(std::min(static_cast<int>(level), static_cast<int>(detectedSimdLevel())),
                     std::memory_order_relaxed);
}

}  // namespace lv::codec

namespace lv::codec {

ProcessorFlags processorFlags() {
    const ProcessorRecord& record = processorRecord();
    return {record.amdFamily6, record.intelSseUsable, record.intelSse2Usable};
}

}  // namespace lv::codec
