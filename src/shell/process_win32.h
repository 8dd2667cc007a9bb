// Process-wide Win32 handles, set once at start-up.
#pragma once

#include <windows.h>

namespace lv {

// The running program's instance: every window class registers with it.
HINSTANCE moduleInstance();
// The atom of "mini": the name of the window property holding a control's record.
ATOM windowRecordAtom();

void setModuleInstance(HINSTANCE instance);
void setWindowRecordAtom(ATOM atom);

}  // namespace lv
