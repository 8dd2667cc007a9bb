// Verification on Windows: each extension the processor claims is tried
// with one instruction under a handler that answers only the
// illegal-instruction exception. The probe puts its resume address in
// EAX/RAX and a cleared failure flag in ECX/RCX; the handler resumes there
// with the flag set. An operating system that does not save the newer
// registers makes the instruction fault, and the bit goes.
#include <windows.h>

#include <atomic>

#include "display/cpu_features.h"
#include "display/cpu_probe_win32.h"

namespace lv {

namespace {

std::atomic<bool> probing{false};

LONG CALLBACK illegalInstructionHandler(EXCEPTION_POINTERS* info) {
    if (!probing.load() || info->ExceptionRecord->ExceptionCode != 0xC000001D) return EXCEPTION_CONTINUE_SEARCH;
    CONTEXT* c = info->ContextRecord;
#if defined(_M_X64) || defined(__x86_64__)
    c->Rip = c->Rax;
    c->Rcx = 1;
#else
    c->Eip = c->Eax;
    c->Ecx = 1;
#endif
    return EXCEPTION_CONTINUE_EXECUTION;
}

#if defined(__x86_64__)
#define LV_LOAD_RESUME "leaq 1f(%%rip), %%rax\n\t"
#define LV_RESUME_REG "rax"
#else
#define LV_LOAD_RESUME "movl $1f, %%eax\n\t"
#define LV_RESUME_REG "eax"
#endif

// Each probe: resume address into EAX/RAX, ECX = 0, the instruction, label 1.
#define LV_PROBE(instructions, ...)                                                       \
    do {                                                                                  \
        std::uintptr_t failed;                                                            \
        asm volatile(LV_LOAD_RESUME "xor %%ecx, %%ecx\n\t" instructions "\n1:\n\t"       \
                     : "=c"(failed)                                                       \
                     :                                                                    \
                     : LV_RESUME_REG, "memory", ##__VA_ARGS__);                           \
        return failed == 0;                                                               \
    } while (0)

// Target options let the compiler accept the vector registers as clobbered
// even in the plain i686 build; nothing else in these functions uses them.
__attribute__((target("mmx"))) bool probeMmx() { LV_PROBE("movq %%mm0, %%mm0\n\temms", "mm0"); }
__attribute__((target("sse"))) bool probeSse() { LV_PROBE("addps %%xmm0, %%xmm0", "xmm0"); }
__attribute__((target("sse2"))) bool probeMmx2() { LV_PROBE("pmuludq %%xmm0, %%xmm0", "xmm0"); }
__attribute__((target("sse2"))) bool probeSse2() { LV_PROBE("addpd %%xmm0, %%xmm0", "xmm0"); }
__attribute__((target("3dnow"))) bool probe3DNow() { LV_PROBE("pfadd %%mm0, %%mm0\n\tfemms", "mm0"); }
__attribute__((target("3dnow"))) bool probeEnhanced3DNow() { LV_PROBE("pswapd %%mm0, %%mm0\n\tfemms", "mm0"); }

// UD2 exists only to fault: the self-check of the mechanism.
bool probeUndefined() { LV_PROBE(".byte 0x0f, 0x0b"); }

// The handler is installed for the probes only, and removed afterwards.
class ProbeHandler {
public:
    ProbeHandler() : handle_(AddVectoredExceptionHandler(1, illegalInstructionHandler)) { probing = handle_ != nullptr; }
    ~ProbeHandler() {
        probing = false;
        if (handle_) RemoveVectoredExceptionHandler(handle_);
    }
    bool installed() const { return handle_ != nullptr; }

private:
    void* handle_;
};

bool runProbe(std::uint32_t bit) {
    switch (bit) {
    case cpu::kMmx: return probeMmx();
    case cpu::kSse: return probeSse();
    case cpu::kMmx2: return probeMmx2();
    case cpu::kSse2: return probeSse2();
    case cpu::k3DNow: return probe3DNow();
    case cpu::kEnhanced3DNow: return probeEnhanced3DNow();
    default: return true;
    }
}

int computeOsClass() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return 5;
#pragma GCC diagnostic pop
    return operatingSystemClassFor(info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS, static_cast<int>(info.dwMajorVersion),
                                   static_cast<int>(info.dwMinorVersion));
}

}  // namespace

std::uint32_t verifyOnThisPlatform(std::uint32_t features) {
    // The first 32-bit consumer release has no debugger query; the probes run there.
    const bool debugger = operatingSystemClass() != 0 && IsDebuggerPresent();
    if (debugger) return features;
    const ProbeHandler handler;
    if (!handler.installed()) return features;
    return verifyFeatureWord(features, false, runProbe);
}

bool faultingProbeIsCaught() {
    const ProbeHandler handler;
    return handler.installed() && !probeUndefined();
}

int operatingSystemClass() {
    static const int osClass = computeOsClass();
    return osClass;
}

}  // namespace lv
