#include "shell/shell_library.h"

namespace lv {

int platformFamily(bool nt, unsigned major, unsigned minor) {
    if (nt) return major < 5 ? 4 : 5;
    if (major < 3 || (major == 3 && minor <= 79)) return 0;
    if (major == 4 && minor == 0) return 1;
    if (major == 4 && minor >= 1 && minor <= 89) return 2;
    return 3;
}

bool wantsShellLibrary(int family, unsigned major) {
    if (family >= 1 && family <= 3) return true;
    return family >= 4 && major >= 4;
}

}  // namespace lv
