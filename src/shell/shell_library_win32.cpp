#include <windows.h>

#include "shell/shell_library.h"

namespace lv {

namespace {
HMODULE shellLibrary = nullptr;
}  // namespace

void loadShellLibrary() {
    const DWORD version = GetVersion();
    const unsigned major = LOBYTE(LOWORD(version));
    const unsigned minor = HIBYTE(LOWORD(version));
    const bool nt = (version & 0x80000000u) == 0;
    if (shellLibrary || !wantsShellLibrary(platformFamily(nt, major, minor), major)) return;
    shellLibrary = LoadLibraryA("SHELL32");
}

void releaseShellLibrary() {
    if (shellLibrary) FreeLibrary(shellLibrary);
    shellLibrary = nullptr;
}

}  // namespace lv
