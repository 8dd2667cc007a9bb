// Outside Windows the record reports what CPUID and the operating system
// allow: there is no probe to run.
#include "display/cpu_features.h"

namespace lv {

std::uint32_t verifyOnThisPlatform(std::uint32_t features) { return features; }

int operatingSystemClass() { return operatingSystemClassFor(false, 5, 0); }

}  // namespace lv
