#include "display/cpu_features.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "display/cpu_probe_win32.h"
#endif

#include <algorithm>
#include <cstring>
#include <vector>

namespace lv {
namespace {

constexpr std::uint32_t kStandardSse = 1u << 25;
constexpr std::uint32_t kStandardSse2 = 1u << 26;
constexpr std::uint32_t kStandardMmx = 1u << 23;

CpuidAnswers answers(const char* vendor, std::uint32_t family, std::uint32_t standard, std::uint32_t extended = 0) {
    CpuidAnswers a;
    std::memcpy(a.vendor, vendor, std::min<std::size_t>(std::strlen(vendor), 12));
    a.family = family;
    a.standardEdx = standard;
    a.extendedEdx = extended;
    return a;
}

struct FeatureWordCase {
    const char* vendor;
    std::uint32_t family, standard, extended, before, expected;
};

// The brand comes from the vendor's last four letters; family 4 stops before
// the feature bits; SSE2 brings MMX2 and SSE brings enhanced MMX with it.
TEST(FeatureWord, FromTheCpuidAnswers) {
    using namespace cpu;
    const FeatureWordCase cases[] = {
        {"GenuineIntel", 6, kStandardSse2, 0, kFpu, kFpu | kBrandIntel | kFamily6 | kSse2 | kMmx2},
        {"AuthenticAMD", 5, kStandardSse | kStandardMmx, 0, 0, kBrandAmd | kFamily5 | kSse | kEnhancedMmx | kMmx},
        {"CyrixInstead", 5, 0, 0, 0, kBrandCyrix | kFamily5},
        {"CentaurHauls", 5, 0, 0, 0, kBrandIdt | kFamily5},
        {"HygonGenuine", 5, 0, 0, 0, kBrandUnknown | kFamily5},
        {"GenuineIntel", 4, kStandardMmx, 1u << 31, kFpu, kFpu | kBrandIntel | kFamily4},
        {"AuthenticAMD", 15, 0, (1u << 31) | (1u << 30), 0, kBrandAmd | kFamily6 | k3DNow | kEnhanced3DNow},
    };
    for (const FeatureWordCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.vendor << " family " << c.family);
        EXPECT_EQ(featureWordFromCpuid(c.before, answers(c.vendor, c.family, c.standard, c.extended)), c.expected);
    }
}

TEST(ProcessorRecordSwitches, FollowBrandAndBits) {
    const ProcessorRecord amd = makeProcessorRecord(cpu::kBrandAmd | cpu::k3DNow | cpu::kFamily6 | cpu::kSse2);
    EXPECT_TRUE(amd.amdVectorUsable);
    EXPECT_TRUE(amd.amdFamily6);
    EXPECT_FALSE(amd.intelSse2Usable);
    EXPECT_TRUE(amd.sse2());
    const ProcessorRecord intel = makeProcessorRecord(cpu::kBrandIntel | cpu::kSse | cpu::kMmx2);
    EXPECT_TRUE(intel.intelSseUsable);
    EXPECT_TRUE(intel.intelMmx2Usable);
    EXPECT_FALSE(intel.intelSse2Usable);
    EXPECT_FALSE(intel.mmxUsable);
}

TEST(Verification, DebuggerLeavesTheDetectedBits) {
    int probes = 0;
    const std::uint32_t word = cpu::kMmx | cpu::kSse | cpu::kSse2;
    EXPECT_EQ(verifyFeatureWord(word, true, [&](std::uint32_t) { return ++probes, false; }), word);
    EXPECT_EQ(probes, 0);
}

TEST(Verification, AFaultingProbeClearsOnlyItsBitInOrder) {
    std::vector<std::uint32_t> order;
    const std::uint32_t word = cpu::kFpu | cpu::kMmx | cpu::kSse | cpu::kMmx2 | cpu::kSse2 | cpu::k3DNow | cpu::kEnhanced3DNow;
    const std::uint32_t result = verifyFeatureWord(word, false, [&](std::uint32_t bit) {
        order.push_back(bit);
        return bit != cpu::kMmx2;
    });
    EXPECT_EQ(result, word & ~cpu::kMmx2);
    EXPECT_EQ(order, (std::vector<std::uint32_t>{cpu::kMmx, cpu::kSse, cpu::kMmx2, cpu::kSse2, cpu::k3DNow,
                                                 cpu::kEnhanced3DNow}));
}

TEST(OperatingSystemClass, FromVersionNumbers) {
    EXPECT_EQ(operatingSystemClassFor(true, 3, 10), 0);
    EXPECT_EQ(operatingSystemClassFor(true, 4, 0), 1);
    EXPECT_EQ(operatingSystemClassFor(true, 4, 10), 2);
    EXPECT_EQ(operatingSystemClassFor(true, 4, 90), 3);
    EXPECT_EQ(operatingSystemClassFor(false, 4, 0), 4);
    EXPECT_EQ(operatingSystemClassFor(false, 10, 0), 5);
}

#ifdef _WIN32
TEST(ProcessorRecordDetection, AFaultingProbeIsCaughtAndReported) { EXPECT_TRUE(faultingProbeIsCaught()); }
#endif

#if defined(__x86_64__)
// Every x86-64 processor has SSE2, and verification must not take it away.
TEST(ProcessorRecordDetection, ThisProcessorKeepsSse2) {
    const ProcessorRecord& r = processorRecord();
    EXPECT_TRUE(r.features & cpu::kFpu);
    EXPECT_TRUE(r.sse2());
    EXPECT_TRUE(r.features & cpu::kMmx2);
}
#endif

}  // namespace
}  // namespace lv
