#include "progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define LV_ISATTY _isatty
#define LV_FILENO _fileno
#else
#include <unistd.h>
#define LV_ISATTY isatty
#define LV_FILENO fileno
#endif

namespace lv::tool {

bool stderrIsTerminal() { return LV_ISATTY(LV_FILENO(stderr)) != 0; }

Progress::Progress(std::string_view label, std::size_t total)
    : label_(label), total_(total), shown_(stderrIsTerminal()) {}

Progress::~Progress() { clearLine(); }

void Progress::step(std::string_view item) {
    ++done_;
    if (!shown_) return;
    std::fprintf(stderr, "\r\033[K%s: %llu/%llu %.*s", label_.c_str(),
                 static_cast<unsigned long long>(done_), static_cast<unsigned long long>(total_), static_cast<int>(item.size()),
                 item.data());
    std::fflush(stderr);
    lineOpen_ = true;
}

void Progress::message(std::string_view text) {
    clearLine();
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

void Progress::clearLine() {
    if (!lineOpen_) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    lineOpen_ = false;
}

}  // namespace lv::tool
