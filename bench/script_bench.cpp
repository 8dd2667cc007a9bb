// Script engine timings (no reference library exists for this): loading a
// 1 MB script, and running 1,000,000 simple lines.
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/host.h"
#include "script/engine.h"
#include "script/objects.h"
#include "script/script_loader.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// About 1 MB: functions of indented statement lines with comments between.
std::string megabyteScript() {
    std::string text;
    for (int f = 0; text.size() < (1u << 20); ++f) {
        text += "comment between blocks " + std::to_string(f) + "\r\nbegin f" + std::to_string(f) + "\r\n";
        for (int line = 0; line < 20; ++line)
            text += "    rect name=pic" + std::to_string(line) + " left=10 top=(5+10%) innerColor=#FF8000\r\n";
        text += "end\r\n\r\n";
    }
    return text;
}

}  // namespace

int main() {
    lv::RecordingHost host;
    lv::setHost(&host);

    const std::string script = megabyteScript();
    lv::FunctionList loaded;
    auto start = std::chrono::steady_clock::now();
    lv::addScriptText(loaded, script, "big.scr");
    const double loadSeconds = secondsSince(start);
    std::printf("load %zu bytes, %zu functions: %.3f s (%.1f MB/s)\n", script.size(), loaded.all().size(),
                loadSeconds, script.size() / loadSeconds / 1e6);

    // 100 lines per run of the body, 10,000 runs: a million lines.
    std::string body = "begin work\n";
    for (int i = 0; i < 25; ++i)
        body += "x=5\nstring name=s text=t\nif name=0 goto=nowhere\nrect name=r width=(10+50%) innerColor=#102030\n";
    body += "end\n";
    lv::StringType strings;
    lv::ObjectRegistry objects;
    objects.registerType(strings);
    lv::FunctionList functions;
    lv::addScriptText(functions, body);
    lv::ScriptEngine engine(functions, objects);
    start = std::chrono::steady_clock::now();
    for (int run = 0; run < 10000; ++run) engine.runLabel("work");
    const double runSeconds = secondsSince(start);
    std::printf("run 1,000,000 lines: %.3f s (%.2f M lines/s)\n", runSeconds, 1.0 / runSeconds);

    lv::setHost(nullptr);
    return 0;
}
