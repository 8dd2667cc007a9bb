// What the audio comparisons share: a scratch folder for the sounds a test
// makes with command-line encoders, a check that an encoder is installed,
// and decoding a file through the decoder handle the way a file source does
// (probe, open, read to the end).
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "audio/decoder.h"

namespace lv::audio::reference {

bool haveTool(const char* name);

// Runs a shell command quietly; true when it exits 0.
bool run(const std::string& command);

// One folder per case, removed with everything in it: ctest runs the cases
// in parallel processes.
class Workspace {
public:
    explicit Workspace(const std::string& name);
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

private:
    std::filesystem::path dir_;
};

// A 1.5 s WAV of plucked string, pink noise and a sweep, different in each
// channel so that joint stereo has work to do. True when sox made it.
bool makeTestSound(const std::string& wavPath, int rate, int channels);

// A test sound made at `rate` with `channels`, encoded with `options`.
struct EncodedCase {
    const char* name;
    int rate;
    int channels;
    const char* options;
};

std::ostream& operator<<(std::ostream& out, const EncodedCase& c);

// Makes the case's test sound in `work` and runs `encoder OPTIONS IN OUT` on
// it; the path of OUT (named after the case, with `extension`), or empty
// when a step failed.
std::string encodeTestSound(const Workspace& work, const std::string& encoder, const EncodedCase& c,
                            const std::string& extension);

struct HandleOutput {
    std::vector<int16_t> samples;  // interleaved
    DecoderFormat format;
};

// An invalid format when the file cannot be opened or probed.
HandleOutput decodeThroughHandle(const std::string& path);

}  // namespace lv::audio::reference
