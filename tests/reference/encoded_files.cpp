#include "encoded_files.h"

#include <cstdlib>

#include "audio/format_probe.h"
#include "shell/unique_folder.h"

namespace lv::audio::reference {

namespace fs = std::filesystem;

bool haveTool(const char* name) { return run(std::string("command -v ") + name); }

bool run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

Workspace::Workspace(const std::string& name) : dir_(lv::test::makeUniqueFolder("lumavine-reference-" + name)) {}

Workspace::~Workspace() {
    std::error_code ignored;
    if (!dir_.empty()) fs::remove_all(dir_, ignored);
}

bool makeTestSound(const std::string& wavPath, int rate, int channels) {
    return run("sox -R -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " " + wavPath +
               " synth 1.5 pluck C3 pinknoise sine 200-5000 vol 0.4");
}

std::ostream& operator<<(std::ostream& out, const EncodedCase& c) { return out << c.name; }

std::string encodeTestSound(const Workspace& work, const std::string& encoder, const EncodedCase& c,
                            const std::string& extension) {
    const std::string wav = work.path("source.wav"), encoded = work.path(std::string(c.name) + "." + extension);
    if (!makeTestSound(wav, c.rate, c.channels)) return {};
    if (!run(encoder + " " + c.options + " " + wav + " " + encoded)) return {};
    return encoded;
}

HandleOutput decodeThroughHandle(const std::string& path) {
    HandleOutput out;
    auto source = FileByteSource::open(path);
    if (!source) return out;
    const auto kind = probeFormat(*source);
    if (!kind) return out;
    auto decoder = openDecoder(*kind, std::move(source));
    out.format = decoder->format();
    std::vector<uint8_t> chunk(decoder->largestChunk());
    while (out.format.valid && !decoder->atEnd()) {
        const size_t n = decoder->read(chunk);
        for (size_t i = 0; i + 1 < n; i += 2)
            out.samples.push_back(static_cast<int16_t>(chunk[i] | chunk[i + 1] << 8));
    }
    return out;
}

}  // namespace lv::audio::reference
