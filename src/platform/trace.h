// Diagnostic trace: when the environment variable LUMAVINE_TRACE names a
// file, the program appends one line per noteworthy event to it (start-up
// state, ticks, labels run, shutdown). Tests that drive the program from
// outside read it; without the variable tracing costs one test of a flag.
#pragma once

#include <string_view>

namespace lv {

bool traceEnabled();
void trace(std::string_view line);

}  // namespace lv
