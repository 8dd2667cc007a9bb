#include "shell/file_writer.h"

namespace lv {

// POSIX streams have no text mode.
std::FILE* binaryStandardOutput() { return stdout; }
std::FILE* binaryStandardInput() { return stdin; }

}  // namespace lv
