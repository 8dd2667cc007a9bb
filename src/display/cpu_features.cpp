#include "display/cpu_features.h"

#include <array>
#include <cstring>

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#define LV_X86_DETECTION 1
#include <cpuid.h>
#endif

namespace lv {

namespace {

constexpr std::array<FeatureName, 19> kFeatureNames{{
    {cpu::kFpu, "FPU"},
    {cpu::kMmx, "MMX"},
    {cpu::k3DNow, "3DNow"},
    {cpu::kSse, "SSE"},
    {cpu::kCMov, "CMov"},
    {cpu::kEnhanced3DNow, "Enhanced 3DNow"},
    {cpu::kEnhancedMmx, "Enhanced MMX"},
    {cpu::kBrandIntel, "Brand = Intel"},
    {cpu::kBrandAmd, "Brand = AMD"},
    {cpu::kBrandCyrix, "Brand = Cyrix"},
    {cpu::kBrandIdt, "Brand = IDT"},
    {cpu::kBrandUnknown, "Brand = unknown"},
    {cpu::kSpc1, "SPC1"},
    {cpu::kSpc2, "SPC2"},
    {cpu::kFamily4, "Family = 4"},
    {cpu::kFamily5, "Family = 5"},
    {cpu::kFamily6, "Family = 6"},
    {cpu::kSse2, "SSE2"},
    {cpu::kMmx2, "MMX2"},
}};

// Feature bits read from CPUID: which register bit sets which word bit.
struct CpuidBit {
    int bit;
    std::uint32_t feature;
};
constexpr std::array<CpuidBit, 4> kExtendedBits{{
    {31, cpu::k3DNow}, {30, cpu::kEnhanced3DNow}, {22, cpu::kEnhancedMmx}, {15, cpu::kCMov}}};
constexpr std::array<CpuidBit, 6> kStandardBits{{
    {23, cpu::kMmx}, {25, cpu::kSse}, {25, cpu::kEnhancedMmx}, {15, cpu::kCMov}, {26, cpu::kSse2}, {26, cpu::kMmx2}}};

struct VendorBrand {
    std::string_view ending;
    std::uint32_t brand;
};
constexpr std::array<VendorBrand, 4> kVendorBrands{{
    {"ntel", cpu::kBrandIntel}, {"cAMD", cpu::kBrandAmd}, {"tead", cpu::kBrandCyrix}, {"auls", cpu::kBrandIdt}}};

std::uint32_t bitsFrom(std::uint32_t reg, std::span<const CpuidBit> table) {
    std::uint32_t word = 0;
    for (const CpuidBit& b : table)
        if (reg & (std::uint32_t{1} << b.bit)) word |= b.feature;
    return word;
}

#ifdef LV_X86_DETECTION

// Step 1: a floating-point unit answers with a clear status word and the
// masked control word 0x3F after initialisation. The caller's control word
// is put back, so double arithmetic keeps its precision setting.
bool fpuAnswers() {
    std::uint16_t saved = 0, status = 0xFFFF, control = 0;
    asm volatile("fnstcw %0" : "=m"(saved));
    asm volatile("fninit\n\tfnstsw %0\n\tfnstcw %1" : "=m"(status), "=m"(control));
    asm volatile("fldcw %0" : : "m"(saved));
    return status == 0 && (control & 0x103F) == 0x3F;
}

#if defined(__i386__)
// Whether a bit of the flags register can be toggled (386: alignment check
// sticks not; 486 without identification: the ID bit sticks not).
bool flagToggles(std::uint32_t mask) {
    std::uint32_t before, after;
    asm volatile(
        "pushfl\n\t"
        "pushfl\n\t"
        "popl %0\n\t"
        "movl %0, %1\n\t"
        "xorl %2, %1\n\t"
        "pushl %1\n\t"
        "popfl\n\t"
        "pushfl\n\t"
        "popl %1\n\t"
        "popfl"
        : "=&r"(before), "=&r"(after)
        : "ri"(mask)
        : "cc");
    return ((before ^ after) & mask) != 0;
}

// A Cyrix 486 leaves the arithmetic flags alone in a division: with them
// cleared beforehand, only the always-set bit 1 remains.
bool cyrixDivisionTest() {
    std::uint32_t flags;
    asm volatile(
        "xorl %%eax, %%eax\n\t"
        "sahf\n\t"
        "movl $5, %%eax\n\t"
        "movl $2, %%ecx\n\t"
        "divb %%cl\n\t"
        "lahf\n\t"
        "movzbl %%ah, %0"
        : "=r"(flags)
        :
        : "eax", "ecx", "cc");
    return flags == 2;
}
#else
bool flagToggles(std::uint32_t) { return true; }
bool cyrixDivisionTest() { return false; }
#endif

CpuidAnswers askCpuid() {
    CpuidAnswers answers;
    unsigned a, b, c, d;
    __cpuid(0, a, b, c, d);
    std::memcpy(answers.vendor, &b, 4);
    std::memcpy(answers.vendor + 4, &d, 4);
    std::memcpy(answers.vendor + 8, &c, 4);
    __cpuid(1, a, b, c, d);
    answers.family = (a >> 8) & 0xF;
    answers.standardEdx = d;
    // Asked without checking the highest extended leaf, as the older
    // processors this word was made for answer it harmlessly.
    __cpuid(0x80000001u, a, b, c, d);
    answers.extendedEdx = d;
    return answers;
}

std::uint64_t enabledRegisterState() {
    std::uint32_t low, high;
    // XGETBV with ECX = 0, spelled as bytes so no target option is needed.
    asm volatile(".byte 0x0f, 0x01, 0xd0" : "=a"(low), "=d"(high) : "c"(0));
    return (std::uint64_t{high} << 32) | low;
}

VectorExtensions askExtensions() {
    VectorExtensions ext;
    unsigned a, b, c, d;
    const unsigned highest = __get_cpuid_max(0, nullptr);
    if (highest < 1) return ext;
    __cpuid(1, a, b, c, d);
    ext.ssse3 = (c & (1u << 9)) != 0;
    ext.sse41 = (c & (1u << 19)) != 0;
    const bool osSavesState = (c & (1u << 27)) != 0;
    const bool avx = (c & (1u << 28)) != 0;
    if (highest < 7 || !osSavesState || !avx) return ext;
    // XMM (bit 1) and YMM (bit 2) state must both be saved by the system.
    if ((enabledRegisterState() & 6) != 6) return ext;
    __cpuid_count(7, 0, a, b, c, d);
    ext.avx2 = (b & (1u << 5)) != 0;
    return ext;
}

std::uint32_t detectFeatureWord() {
    if (!fpuAnswers()) return 0;
    std::uint32_t word = cpu::kFpu;
    if (!flagToggles(1u << 18)) return word;  // a 386
    if (!flagToggles(1u << 21)) {             // a 486 without identification
        word |= cyrixDivisionTest() ? cpu::kBrandCyrix : cpu::kBrandIntel;
        return word | cpu::kFamily4;
    }
    return featureWordFromCpuid(word, askCpuid());
}

#else

std::uint32_t detectFeatureWord() { return 0; }
VectorExtensions askExtensions() { return {}; }

#endif

}  // namespace

std::span<const FeatureName> featureNames() { return kFeatureNames; }

ProcessorRecord makeProcessorRecord(std::uint32_t features, VectorExtensions extensions) {
    ProcessorRecord r;
    const auto has = [features](std::uint32_t bits) { return (features & bits) == bits; };
    r.features = features;
    r.mmxUsable = has(cpu::kMmx);
    r.amdVectorUsable = has(cpu::kBrandAmd | cpu::k3DNow);
    r.amdFamily6 = r.amdVectorUsable && has(cpu::kFamily6);
    r.intelSseUsable = has(cpu::kBrandIntel | cpu::kSse);
    r.intelSse2Usable = has(cpu::kBrandIntel | cpu::kSse2);
    r.intelMmx2Usable = has(cpu::kBrandIntel | cpu::kMmx2);
    r.extensions = extensions;
    return r;
}

std::uint32_t featureWordFromCpuid(std::uint32_t word, const CpuidAnswers& answers) {
    const std::string_view vendor(answers.vendor, strnlen(answers.vendor, 12));
    std::uint32_t brand = cpu::kBrandUnknown;
    for (const VendorBrand& v : kVendorBrands)
        if (vendor.size() >= 4 && vendor.substr(vendor.size() - 4) == v.ending) brand = v.brand;
    word |= brand;

    if (answers.family == 4) return word | cpu::kFamily4;
    word |= answers.family == 5 ? cpu::kFamily5 : cpu::kFamily6;
    word |= bitsFrom(answers.extendedEdx, kExtendedBits);
    word |= bitsFrom(answers.standardEdx, kStandardBits);
    return word;
}

std::uint32_t verifyFeatureWord(std::uint32_t features, bool debuggerAttached,
                                const std::function<bool(std::uint32_t)>& probe) {
    if (debuggerAttached) return features;
    for (std::uint32_t bit : {cpu::kMmx, cpu::kSse, cpu::kMmx2, cpu::kSse2, cpu::k3DNow, cpu::kEnhanced3DNow})
        if ((features & bit) && !probe(bit)) features &= ~bit;
    return features;
}

const ProcessorRecord& processorRecord() {
    static const ProcessorRecord record = [] {
        const std::uint32_t word = verifyOnThisPlatform(detectFeatureWord());
        VectorExtensions ext = askExtensions();
        if (!(word & cpu::kSse2)) ext = {};  // the newer ones build on a working SSE2
        return makeProcessorRecord(word, ext);
    }();
    return record;
}

int operatingSystemClassFor(bool consumerFamily, int major, int minor) {
    if (!consumerFamily) return major < 5 ? 4 : 5;
    if (major < 3 || (major == 3 && minor < 80)) return 0;
    if (major == 4 && minor == 0) return 1;
    if (major == 4 && minor >= 1 && minor <= 88) return 2;
    return 3;
}

}  // namespace lv
