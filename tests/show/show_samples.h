// Shows for the show tests: a rich sample that sets every field, byte
// places of the records inside an encoded file, and a unique folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "show/show_file.h"
#include "show/show_fields.h"
#include "show/show_writer.h"

namespace lv::test {

inline ShowCaption sampleCaption(std::string text, int seed) {
    ShowCaption c;
    c.anchorX = 5000 + seed;
    c.anchorY = 9000 - seed;
    c.font.height = 1200 + seed;
    c.font.weight = 700;
    c.font.italic = 1;
    c.font.quality = 2;
    c.font.face = "Arial";
    c.textColour = 0x00112233u + static_cast<std::uint32_t>(seed);
    c.textOpacity = 200;
    c.shadow = 1;
    c.shadowOpacity = 128;
    c.alignment = 2;
    c.outline = 1;
    c.outlineColour = 0x00FFFFFF;
    c.text = std::move(text);
    return c;
}

inline ShowSound sampleSound(std::string file, int seed) {
    ShowSound s;
    s.fileName = std::move(file);
    s.startWithCell = seed & 1;
    s.volume = 80 + seed;
    s.delayMs = -2000 + seed;
    s.startOffsetMs = 150;
    s.playLengthMs = 30000;
    s.fadeInMs = 500;
    s.fadeOutMs = 700;
    s.runOn = 1;
    s.useShowDuck = 1;
    s.duckLevel = 30;
    s.duckFadeDownMs = 400;
    s.duckFadeUpMs = 600;
    s.fileSeconds = 12.5 + seed;
    return s;
}

inline ShowCell sampleCell(int seed) {
    ShowCell c;
    c.hasImage = 1;
    c.imageFile = "photo" + std::to_string(seed) + ".jpg";
    c.fitMode = seed % 4;
    c.zoom = 12000;
    c.panX = -300;
    c.panY = 250;
    c.brightness = 100;
    c.blackPoint = 20;
    c.whitePoint = -30;
    c.toneExtra = 5;
    c.imageOpacity = 230;
    c.tint = 1;
    c.tintColour = 0x0080C0FF;
    c.rotation = 90;
    c.mirrorLeftRight = 1;
    c.mirrorTopBottom = 0;
    c.background = 1;
    c.useShowBackground = 0;
    c.backgroundColour = 0x00336699;
    c.sound = sampleSound("voice.wav", seed);
    c.displayMs = 3000 + seed;
    c.transition = 171;
    c.transitionMs = 800;
    for (int i = 0; i < 1 + seed % 2; ++i) c.captions.push_back(sampleCaption("cell caption " + std::to_string(i), i));
    return c;
}

inline Show sampleShow(int cells = 3) {
    Show s;
    s.title = "Autumn walk";
    s.soundOn = 1;
    s.trimMusic = 1;
    s.backgroundColour = 0x00102030;
    s.volume = 90;
    s.duckLevel = 40;
    s.duckFadeDownMs = 300;
    s.duckFadeUpMs = 350;
    s.cellSoundVolume = 70;
    s.cellSoundFadeInMs = 100;
    s.cellSoundFadeOutMs = 200;
    s.sounds = {sampleSound("music.mp3", 0), sampleSound("other.mp3", 3)};
    s.captions = {sampleCaption("Show caption", 7)};
    for (int i = 0; i < cells; ++i) s.cells.push_back(sampleCell(i + 1));
    s.startedLate = 0;
    s.singlePass = 1;
    s.furtherShows = 4;
    s.banner = 1;
    s.bannerMiddle = 1;
    s.bannerText = "Preview";
    s.noMenu = 1;
    s.menuBrightness = -40;
    s.maskFolder = "masks\\";
    s.bandTiming = 1;
    return s;
}

// File offsets of an encoded show's blocks.
struct ShowFilePlaces {
    static constexpr std::size_t kShowRecord = 1;
    static std::size_t captionBlockSize(const ShowCaption& c) { return ShowLayout::kCaptionRecord + 4 + c.text.size() + 1; }
    static std::size_t firstShowSound() { return kShowRecord + ShowLayout::kShowRecord; }
    static std::size_t firstShowCaption(const Show& s) {
        return firstShowSound() + s.sounds.size() * ShowLayout::kSoundRecord;
    }
    static std::size_t cell(const Show& s, std::size_t index) {
        std::size_t at = firstShowCaption(s);
        for (const ShowCaption& c : s.captions) at += captionBlockSize(c);
        for (std::size_t i = 0; i < index; ++i) {
            at += ShowLayout::kMinCellBlock;
            for (const ShowCaption& c : s.cells[i].captions) at += captionBlockSize(c);
        }
        return at;
    }
};

inline std::span<const std::uint8_t> bytesOf(const std::vector<std::uint8_t>& v) { return v; }

// A folder of this test's own, removed with its contents at the end. Like
// mkdtemp: a name is taken only when creating it succeeds, so two tests
// running at once never share one.
class UniqueFolder {
public:
    UniqueFolder() {
        std::random_device entropy;
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            auto candidate = base / ("lumavine-show-" + std::to_string(entropy()) + std::to_string(entropy()));
            std::error_code ec;
            if (std::filesystem::create_directory(candidate, ec) && !ec) path_ = candidate;
        }
    }
    ~UniqueFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    UniqueFolder(const UniqueFolder&) = delete;
    UniqueFolder& operator=(const UniqueFolder&) = delete;
    bool ok() const { return !path_.empty(); }
    std::string folder() const { return (path_ / "").string(); }
    std::string file(std::string_view name) const { return (path_ / name).string(); }
    void write(std::string_view name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream out(path_ / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

private:
    std::filesystem::path path_;
};

}  // namespace lv::test
