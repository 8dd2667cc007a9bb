#include <fcntl.h>
#include <io.h>

#include "shell/file_writer.h"

namespace lv {

// The C runtime opens them in text mode, which would turn every 0x0A byte
// of a picture into 0x0D 0x0A.
std::FILE* binaryStandardOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
    return stdout;
}

std::FILE* binaryStandardInput() {
    _setmode(_fileno(stdin), _O_BINARY);
    return stdin;
}

}  // namespace lv
