// lumavine-tool show DIR --dump [N|intro]
// lumavine-tool show DIR --render N|intro OUTDIR [--size WxH]
// lumavine-tool show DIR --audio N|intro OUT.wav [--seconds S]
// lumavine-tool show-make SHOW.json OUT_FILE
//
// --dump prints show N of the set in DIR (default 0) as JSON (docs/shows.md).
// --render writes every cell as the player shows it, cell-000.png and on,
// at 1024 x 768 unless --size says otherwise, and timing.tsv with one line
// per cell: index, display ms, transition number, transition ms. Pictures
// named in the cells are opened as the player opens them, relative to DIR.
// --audio renders the show's soundtrack offline through the same graph and
// entry provider as playback, the clock driven by the rendered samples, to a
// 44100 Hz 16-bit stereo WAV of the show's length (or S seconds, at most an
// hour); "-" writes it to standard output.
// show-make writes one show file from such JSON; a dump of it gives the
// same JSON back.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>

#include "audio/byte_order.h"
#include "audio/show_soundtrack.h"
#include "audio/soundtrack.h"
#include "audio/wav_writer.h"
#include "picture_file.h"
#include "shell/json.h"
#include "shell/file_writer.h"
#include "show/show_file.h"
#include "show/show_json.h"
#include "show/show_player.h"
#include "show/show_writer.h"
#include "tool_args.h"
#include "tool_command.h"

namespace {

namespace fs = std::filesystem;

bool parseShowNumber(const char* text, int& number) {
    if (std::strcmp(text, "intro") == 0) {
        number = lv::kIntroShow;
        return true;
    }
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (!*text || *end || value < 0 || value > 999999) return false;
    number = static_cast<int>(value);
    return true;
}

bool parseSize(const char* text, int& width, int& height) {
    char x = 0;
    return std::sscanf(text, "%d%c%d", &width, &x, &height) == 3 && (x == 'x' || x == 'X') && width > 0 &&
           height > 0 && width <= 16384 && height <= 16384;
}

int dump(const std::string& folder, int number) {
    std::string error;
    const auto show = lv::loadShow(folder, number, &error);
    if (!show) {
        std::fprintf(stderr, "show: %s\n", error.c_str());
        return 1;
    }
    const std::string text = lv::writeJson(lv::showToJson(*show));
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

std::string cellFileName(const fs::path& outDir, int index) {
    char name[32];
    std::snprintf(name, sizeof name, "cell-%03d.png", index);
    return (outDir / name).string();
}

int render(const std::string& folder, int number, const char* outDirText, int width, int height) {
    std::error_code ec;
    const fs::path outDir = fs::absolute(outDirText, ec);
    fs::create_directories(outDir, ec);
    // Cell pictures are named as the player opens them, from the set's folder.
    fs::current_path(folder, ec);
    if (ec) {
        std::fprintf(stderr, "show: cannot enter %s\n", folder.c_str());
        return 1;
    }
    lv::ShowPlayer player(folder);
    if (!player.load(number)) {
        std::fprintf(stderr, "show: cannot load show %d of %s\n", number, folder.c_str());
        return 1;
    }
    const int cells = static_cast<int>(player.show()->cells.size());
    std::string timing;
    for (int i = 0; i < cells; ++i, player.advance(1)) {
        const lv::BitmapPtr picture = player.nextPicture(width, height);
        std::string error;
        if (!picture || !lv::tool::savePicture(*picture, cellFileName(outDir, i), error)) {
            std::fprintf(stderr, "show: cell %d: %s\n", i, picture ? error.c_str() : "out of memory");
            return 1;
        }
        timing += std::to_string(i) + "\t" + std::to_string(player.displayTime()) + "\t" +
                  std::to_string(player.transitionNumber()) + "\t" + std::to_string(player.transitionTime()) + "\n";
    }
    std::string error;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(timing.data());
    if (!lv::writeWholeFile((outDir / "timing.tsv").string(), std::span(bytes, timing.size()), error)) {
        std::fprintf(stderr, "show: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

constexpr double kLongestAudioSeconds = 3600;

bool parseSeconds(const char* text, double& seconds) {
    char* end = nullptr;
    seconds = std::strtod(text, &end);
    return *text && !*end && std::isfinite(seconds) && seconds > 0 && seconds <= kLongestAudioSeconds;
}

int renderAudio(const std::string& folder, int number, const char* out, double seconds) {
    std::string error;
    const auto show = lv::loadShow(folder, number, &error);
    if (!show) {
        std::fprintf(stderr, "show: %s\n", error.c_str());
        return 1;
    }
    if (seconds <= 0) seconds = std::min(kLongestAudioSeconds, static_cast<double>(show->lengthMs()) / 1000.0);
    lv::audio::WavWriter wav;
    const auto frames = static_cast<std::uint64_t>(seconds * 44100.0 + 0.5);
    if (!wav.open(out, 44100, 2, error, frames * 4)) {
        std::fprintf(stderr, "show: %s\n", error.c_str());
        return 1;
    }
    std::vector<std::uint8_t> piece;
    const bool rendered = lv::audio::renderSoundtrack(
        lv::audio::soundtrackInput(*show), lv::audio::fileServicesOpener(folder), seconds,
        [&](const std::int16_t* samples, std::int32_t count) {
            piece.resize(static_cast<std::size_t>(count) * 4);
            lv::audio::storeLe16Samples(samples, static_cast<std::size_t>(count) * 2, piece.data());
            return wav.write(piece);
        });
    if (!rendered) {
        std::fprintf(stderr, "show: the soundtrack of show %d could not be rendered\n", number);
        return 1;
    }
    if (!wav.finish(error)) {
        std::fprintf(stderr, "show: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int runShow(lv::tool::Args args) {
    if (args.size() < 2) return 2;
    const std::string folder = lv::tool::programFolderOf(args[0]);
    int number = 0;
    if (std::strcmp(args[1], "--dump") == 0) {
        if (args.size() > 3 || (args.size() == 3 && !parseShowNumber(args[2], number))) return 2;
        return dump(folder, number);
    }
    if (std::strcmp(args[1], "--render") == 0) {
        int width = 1024, height = 768;
        if (args.size() != 4 && args.size() != 6) return 2;
        if (!parseShowNumber(args[2], number)) return 2;
        if (args.size() == 6 && (std::strcmp(args[4], "--size") != 0 || !parseSize(args[5], width, height)))
            return 2;
        return render(folder, number, args[3], width, height);
    }
    if (std::strcmp(args[1], "--audio") == 0) {
        double seconds = 0;
        if (args.size() != 4 && args.size() != 6) return 2;
        if (!parseShowNumber(args[2], number)) return 2;
        if (args.size() == 6 && (std::strcmp(args[4], "--seconds") != 0 || !parseSeconds(args[5], seconds)))
            return 2;
        return renderAudio(folder, number, args[3], seconds);
    }
    return 2;
}

int runShowMake(lv::tool::Args args) {
    if (args.size() != 2) return 2;
    std::string error;
    const auto text = lv::tool::readAuthorFile(args[0], error);
    if (!text) {
        std::fprintf(stderr, "show-make: %s\n", error.c_str());
        return 1;
    }
    const auto json = lv::parseJson(*text, error);
    const auto show = json ? lv::showFromJson(*json, error) : std::nullopt;
    if (!show) {
        std::fprintf(stderr, "show-make: %s: %s\n", args[0], error.c_str());
        return 1;
    }
    const std::vector<std::uint8_t> bytes = lv::encodeShow(*show, &error);
    if (bytes.empty() || !lv::writeWholeFile(args[1], bytes, error)) {
        std::fprintf(stderr, "show-make: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

const lv::tool::ToolCommand showCommand{"show", "DIR --dump [N|intro] | DIR --render N|intro OUTDIR [--size WxH] | DIR --audio N|intro OUT.wav [--seconds S]",
                                        "print a show as JSON, render its cells to PNG with their timing, or its soundtrack to WAV",
                                        runShow};
const lv::tool::ToolCommand makeCommand{"show-make", "SHOW.json OUT_FILE",
                                        "write a show file (DIR/slyde0, DIR/intro ...) from JSON", runShowMake};

}  // namespace
