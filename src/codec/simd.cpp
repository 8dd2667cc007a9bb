#include "codec/simd.h"

#include <algorithm>
#include <atomic>

namespace lv::codec {

namespace {

SimdLevel detect() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return SimdLevel::Avx2;
    if (__builtin_cpu_supports("sse2")) return SimdLevel::Sse2;
#endif
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
    ProcessorFlags flags;
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    __builtin_cpu_init();
    const bool intel = __builtin_cpu_is("intel");
    flags.intelSse = intel && __builtin_cpu_supports("sse");
    flags.intelSse2 = intel && __builtin_cpu_supports("sse2");
#endif
    return flags;
}

}  // namespace lv::codec
