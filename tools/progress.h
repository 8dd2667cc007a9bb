// Progress of a long tool operation (a batch of files, the frames of a
// render) on one self-rewriting line of stderr, shown only when stderr is a
// terminal, so logs and pipes stay clean.
//
//     lv::tool::Progress progress("jpeg-decode", files.size());
//     for (const auto& f : files) { progress.step(f); ... }
//
// The line is cleared when the Progress object ends. Messages printed
// meanwhile should go through progress.message() so they land on their own line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lv::tool {

class Progress {
public:
    Progress(std::string_view label, std::size_t total);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Counts one more item and names it.
    void step(std::string_view item = {});
    // A line of its own on stderr (an error about the current item).
    void message(std::string_view text);
    bool shown() const { return shown_; }

private:
    void clearLine();
    std::string label_;
    std::size_t total_ = 0, done_ = 0;
    bool shown_ = false;
    bool lineOpen_ = false;
};

// True when stderr is a terminal.
bool stderrIsTerminal();

}  // namespace lv::tool
