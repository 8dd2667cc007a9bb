// lumavine-tool show-audio DIR N OUT.wav [--seconds S]: renders show N's
// soundtrack offline through the same graph and entry provider as playback,
// the clock driven by the rendered samples, to a 44100 Hz 16-bit stereo WAV.
// S defaults to the show's length; at most an hour.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "audio/show_soundtrack.h"
#include "audio/soundtrack.h"
#include "audio/wav_writer.h"
#include "show/show_file.h"
#include "tool_command.h"

namespace lv::tool {
namespace {

constexpr double longestRender = 3600;

bool parseNumber(std::string_view text, double& value) {
    const std::string s(text);
    char* end = nullptr;
    value = std::strtod(s.c_str(), &end);
    return !s.empty() && end && *end == '\0' && std::isfinite(value);
}

int runShowAudio(Args args) {
    std::vector<std::string_view> positional;
    double seconds = -1;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a == "--seconds") {
            if (i + 1 >= args.size() || !parseNumber(args[++i], seconds) || seconds <= 0 || seconds > longestRender)
                return 2;
        } else {
            positional.push_back(a);
        }
    }
    double number = 0;
    if (positional.size() != 3 || !parseNumber(positional[1], number) || number != std::floor(number) || number < -1 ||
        number > 10000)
        return 2;
    std::string folder(positional[0]);
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
    const std::string out(positional[2]);

    std::string error;
    const std::unique_ptr<Show> show = loadShow(folder, static_cast<int>(number), &error);
    if (!show) {
        std::fprintf(stderr, "show-audio: %s\n", error.c_str());
        return 1;
    }
    if (seconds < 0) seconds = std::min(longestRender, static_cast<double>(show->lengthMs()) / 1000.0);
    std::vector<uint8_t> pcm;
    const bool rendered = audio::renderSoundtrack(audio::soundtrackInput(*show), audio::fileServicesOpener(folder), seconds,
                                                  [&](const int16_t* frames, int32_t count) {
                                                      for (int32_t i = 0; i < count * 2; ++i) {
                                                          const auto v = static_cast<uint16_t>(frames[i]);
                                                          pcm.push_back(static_cast<uint8_t>(v & 0xFF));
                                                          pcm.push_back(static_cast<uint8_t>(v >> 8));
                                                      }
                                                      return true;
                                                  });
    if (!rendered) {
        std::fprintf(stderr, "show-audio: the soundtrack could not be rendered\n");
        return 1;
    }
    if (!audio::writeWav16(out, 44100, 2, pcm)) {
        std::fprintf(stderr, "show-audio: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("frames: %zu\n", pcm.size() / 4);
    return 0;
}

const ToolCommand showAudio{"show-audio", "DIR N OUT.wav [--seconds S]",
                            "render show N's soundtrack offline to a 44100 Hz stereo WAV", runShowAudio};

}  // namespace
}  // namespace lv::tool
