// Processor features: which instruction-set extensions the processor offers
// and the operating system really lets run, found once and handed to every
// kernel chooser as a small record copied by value.
//
// The feature word keeps one bit per fact (the table below, names for
// diagnostics only). Detection asks CPUID where the compiler offers it; on
// Windows each extension bit is then verified by running one instruction of
// it under an illegal-instruction handler. Elsewhere the record reports what
// CPUID and the operating system (XGETBV for the AVX register state) allow.
// On processors without these instruction sets the record reports nothing and
// every kernel takes its plain form, with the same results.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace lv {

namespace cpu {
inline constexpr std::uint32_t kFpu = 0x1;
inline constexpr std::uint32_t kMmx = 0x2;
inline constexpr std::uint32_t k3DNow = 0x4;
inline constexpr std::uint32_t kSse = 0x8;
inline constexpr std::uint32_t kCMov = 0x10;
inline constexpr std::uint32_t kEnhanced3DNow = 0x20;
inline constexpr std::uint32_t kEnhancedMmx = 0x40;
inline constexpr std::uint32_t kBrandIntel = 0x100;
inline constexpr std::uint32_t kBrandAmd = 0x200;
inline constexpr std::uint32_t kBrandCyrix = 0x400;
inline constexpr std::uint32_t kBrandIdt = 0x800;
inline constexpr std::uint32_t kBrandUnknown = 0x8000;
inline constexpr std::uint32_t kSpc1 = 0x10000;
inline constexpr std::uint32_t kSpc2 = 0x20000;
inline constexpr std::uint32_t kFamily4 = 0x100000;
inline constexpr std::uint32_t kFamily5 = 0x200000;
inline constexpr std::uint32_t kFamily6 = 0x400000;
inline constexpr std::uint32_t kSse2 = 0x1000000;
inline constexpr std::uint32_t kMmx2 = 0x2000000;
}  // namespace cpu

struct FeatureName {
    std::uint32_t bit;
    std::string_view name;
};
// Every bit of the feature word with its diagnostic name, lowest bit first.
std::span<const FeatureName> featureNames();

// Extensions newer than the feature word, found from CPUID leaves 1 and 7
// and the register state the operating system saves (XGETBV).
struct VectorExtensions {
    bool ssse3 = false;
    bool sse41 = false;
    bool avx2 = false;  // AVX2 instructions and the YMM state enabled by the OS
};

// What kernel choosers receive.
struct ProcessorRecord {
    std::uint32_t features = 0;
    bool mmxUsable = false;        // "MMX"
    bool amdVectorUsable = false;  // "Brand = AMD" and "3DNow"
    bool amdFamily6 = false;       // the previous and "Family = 6"
    bool intelSseUsable = false;   // "Brand = Intel" and "SSE"
    bool intelSse2Usable = false;  // "Brand = Intel" and "SSE2"
    bool intelMmx2Usable = false;  // "Brand = Intel" and "MMX2"
    VectorExtensions extensions;

    // Which vector kernels may run, whatever the brand: SSE2 from the
    // (verified) feature word, the newer ones from the extensions.
    bool sse2() const { return (features & cpu::kSse2) != 0; }
    bool avx2() const { return sse2() && extensions.avx2; }
};

// A record with the derived switches worked out from the word.
ProcessorRecord makeProcessorRecord(std::uint32_t features, VectorExtensions extensions = {});

// The answers of the identification instruction that detection reads.
struct CpuidAnswers {
    char vendor[13] = {};            // leaf 0: EBX, EDX, ECX as text
    std::uint32_t family = 0;        // leaf 1: EAX bits 8..11
    std::uint32_t standardEdx = 0;   // leaf 1: EDX
    std::uint32_t extendedEdx = 0;   // leaf 0x80000001: EDX
};

// Steps 4 to 7 of detection: brand, family, extended and standard bits,
// added to the bits found so far ("FPU"). Family 4 stops after the family.
std::uint32_t featureWordFromCpuid(std::uint32_t soFar, const CpuidAnswers& answers);

// Verification: unless a debugger is attached, runs the probe of each set
// extension bit in the fixed order ("MMX", "SSE", "MMX2", "SSE2", "3DNow",
// "Enhanced 3DNow") and clears the bit whose probe faults. `probe` returns
// false when the instruction faulted.
std::uint32_t verifyFeatureWord(std::uint32_t features, bool debuggerAttached,
                                const std::function<bool(std::uint32_t bit)>& probe);

// The platform's verification (the Win32 twin runs the real probes; the
// portable twin returns the word as detected).
std::uint32_t verifyOnThisPlatform(std::uint32_t features);

// The processor's record: detected and verified the first time it is asked
// for, constant afterwards.
const ProcessorRecord& processorRecord();

// Operating-system class from the platform's version: consumer family below
// 3.80 -> 0, consumer 4.0 -> 1, consumer 4.1 to 4.88 -> 2, other consumer ->
// 3, business family below 5 -> 4, business 5 or later -> 5.
int operatingSystemClassFor(bool consumerFamily, int major, int minor);
// This system's class, computed once (5 on systems other than Windows).
int operatingSystemClass();

}  // namespace lv
