// Windows only: a self-check of the verification's illegal-instruction
// handling, for the tests.
#pragma once

namespace lv {

// Runs an instruction defined to fault (UD2) as a probe; true when the
// handler resumed after it and the probe reported the fault.
bool faultingProbeIsCaught();

}  // namespace lv
