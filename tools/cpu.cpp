// lumavine-tool cpu: the processor record as the vector kernels see it.
#include <cstdio>

#include "display/cpu_features.h"
#include "tool_command.h"

namespace {

const char* yesNo(bool b) { return b ? "yes" : "no"; }

int runCpu(lv::tool::Args args) {
    if (!args.empty()) return 2;
    const lv::ProcessorRecord& r = lv::processorRecord();
    std::printf("feature word 0x%08X\n", static_cast<unsigned>(r.features));
    for (const lv::FeatureName& f : lv::featureNames())
        if (r.features & f.bit)
            std::printf("  0x%08X %.*s\n", static_cast<unsigned>(f.bit), static_cast<int>(f.name.size()), f.name.data());
    std::printf("MMX usable: %s\n", yesNo(r.mmxUsable));
    std::printf("AMD vector usable: %s\n", yesNo(r.amdVectorUsable));
    std::printf("AMD family 6: %s\n", yesNo(r.amdFamily6));
    std::printf("Intel SSE usable: %s\n", yesNo(r.intelSseUsable));
    std::printf("Intel SSE2 usable: %s\n", yesNo(r.intelSse2Usable));
    std::printf("Intel MMX2 usable: %s\n", yesNo(r.intelMmx2Usable));
    std::printf("SSSE3: %s, SSE4.1: %s, AVX2 with OS state: %s\n", yesNo(r.extensions.ssse3),
                yesNo(r.extensions.sse41), yesNo(r.extensions.avx2));
    std::printf("scaler kernels: %s\n", r.avx2() ? "AVX2" : r.sse2() ? "SSE2" : "plain");
    std::printf("operating-system class: %d\n", lv::operatingSystemClass());
    return 0;
}

const lv::tool::ToolCommand cpu{"cpu", "", "print the processor feature word and switches", runCpu};

}  // namespace
