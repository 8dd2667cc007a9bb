// The system shell library, loaded at file services start-up where the
// platform version has it (nothing calls into it yet; it stays loaded for
// file operations of the shell).
#pragma once

namespace lv {

// Families of the platform version word: 0 the 16-bit hosted 32-bit
// extension of Windows 3, 1 Windows 95, 2 Windows 98, 3 other non-NT, 4 NT
// before 5, 5 NT 5 or later.
int platformFamily(bool nt, unsigned major, unsigned minor);
// Whether start-up loads the shell library on that platform.
bool wantsShellLibrary(int family, unsigned major);

// Platform part (shell_library_win32.cpp; the POSIX twin does nothing).
void loadShellLibrary();
void releaseShellLibrary();

}  // namespace lv
