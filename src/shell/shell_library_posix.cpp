#include "shell/shell_library.h"

namespace lv {

void loadShellLibrary() {}
void releaseShellLibrary() {}

}  // namespace lv
