#include "platform/trace.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace lv {

namespace {

struct TraceFile {
    std::FILE* file = nullptr;
    std::mutex lock;
    TraceFile() {
        if (const char* path = std::getenv("LUMAVINE_TRACE"); path && *path) file = std::fopen(path, "ab");
    }
    ~TraceFile() {
        if (file) std::fclose(file);
    }
};

TraceFile& traceFile() {
    static TraceFile instance;
    return instance;
}

}  // namespace

bool traceEnabled() { return traceFile().file != nullptr; }

void trace(std::string_view line) {
    TraceFile& t = traceFile();
    if (!t.file) return;
    std::lock_guard<std::mutex> guard(t.lock);
    std::fwrite(line.data(), 1, line.size(), t.file);
    std::fputc('\n', t.file);
    std::fflush(t.file);
}

}  // namespace lv
