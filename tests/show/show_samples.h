// Shows for the show tests: a rich sample that sets every field, and byte
// places of the records inside an encoded file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "render/bitmap.h"
#include "shell/temp_folder.h"
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
    for (int i = 0; i < 1 + seed % 2; ++i)
        c.captions.push_back(sampleCaption(std::string("cell caption ").append(std::to_string(i)), i));
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

// A 24-bit picture's pixel as (r, g, b).
struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
inline std::ostream& operator<<(std::ostream& o, const Rgb& c) { return o << "(" << c.r << "," << c.g << "," << c.b << ")"; }

inline Rgb pixel(const Bitmap& b, int x, int y) {
    const std::uint8_t* p = b.rows[static_cast<std::size_t>(y)] + 3 * x;
    return Rgb{p[2], p[1], p[0]};
}

// A 24-bit picture painted by a function of the position.
template <class F>
BitmapPtr picture(int w, int h, F colourAt) {
    BitmapPtr b = createBitmap("pic", w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb c = colourAt(x, y);
            std::uint8_t* p = b->rows[static_cast<std::size_t>(y)] + 3 * x;
            p[0] = static_cast<std::uint8_t>(c.b), p[1] = static_cast<std::uint8_t>(c.g), p[2] = static_cast<std::uint8_t>(c.r);
        }
    return b;
}
inline BitmapPtr solid(int w, int h, Rgb c) { return picture(w, h, [c](int, int) { return c; }); }

// Writes `bytes` as `name` in a test's own folder.
inline void writeBytes(const TempFolder& folder, std::string_view name, const std::vector<std::uint8_t>& bytes) {
    folder.write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// A clock that reads what the test sets.
class SetClock final : public Clock {
public:
    explicit SetClock(std::uint32_t start = 0) : now(start) {}
    std::uint32_t now;
    std::uint32_t milliseconds() override { return now; }
};

}  // namespace lv::test
