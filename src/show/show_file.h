// Show files: one slide show per binary file beside the program, read into
// the program's own records.
//
// A show is a list of cells (slides: a JPEG with framing, tone, colour,
// rotation, its time on screen, the transition that brings it in, an optional
// sound and up to 20 captions), a music list of up to 100 sounds, up to 20
// show-wide captions and a few show-wide settings. Show 0 also carries the
// settings of the whole set (how many shows follow it, the show menu, the
// mask folder of the transitions, the banner).
//
//     std::unique_ptr<Show> show = loadShow(programFolder, 3);  // "<folder>slyde3"
//     if (show) for (const ShowCell& cell : show->cells) ...
//
// The file, all numbers little-endian, read front to back:
//   1 byte version (must be 0); the show record (55521 bytes); each show
//   sound record (328); each show caption block (caption record 396, u32
//   length L, L text bytes); each cell block (cell record 8888, its sound
//   record 328, its caption blocks).
// The show and cell records hold slots for their sound and caption records;
// the copies that follow a record replace its slots, so the copy after the
// record wins. The records here keep only what the player, the show menu, the
// soundtrack and the transitions interpret; reserved and working bytes are
// dropped (the writer stores zeros there, show_writer.h).
//
// Limits and failure: a file is refused as a whole (null, nothing kept) when
// it is missing, empty, larger than kMaxShowFile, its version byte is not 0,
// it ends early, or a count does not fit: sounds 0..100, captions 0..20 per
// show and per cell, a cell count that the bytes left in the file can hold,
// a caption text length of at least 1 that the file still holds. Every text
// of a fixed-size field ends within its field (a field without a zero keeps
// all but its last byte).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lv {

// Byte sizes of the file's records.
namespace ShowLayout {
inline constexpr std::size_t kShowRecord = 55521;
inline constexpr std::size_t kSoundRecord = 328;
inline constexpr std::size_t kCaptionRecord = 396;
inline constexpr std::size_t kCellRecord = 8888;
inline constexpr std::size_t kNameField = 260;   // file names, banner text, mask folder
inline constexpr std::size_t kTitleField = 520;
inline constexpr std::size_t kFaceField = 32;
inline constexpr int kMaxShowSounds = 100;
inline constexpr int kMaxCaptions = 20;
// A cell block is at least its cell record and its sound record.
inline constexpr std::size_t kMinCellBlock = kCellRecord + kSoundRecord;
}  // namespace ShowLayout

// Largest show file read.
inline constexpr std::size_t kMaxShowFile = std::size_t{64} << 20;

// Show number of the intro ("%sintro"); 0 and above are "%sslyde%d".
inline constexpr int kIntroShow = -1;

// A sound of the music list or of a cell. Times in milliseconds, volumes and
// duck levels in percent.
struct ShowSound {
    std::string fileName;         // MP3 or WAV; empty: no sound (cell sounds)
    std::int32_t startWithCell = 0;  // cell sound: non-zero starts with the cell, trimmed to it
    std::int32_t volume = 100;
    std::int32_t delayMs = 0;        // show sound: gap after the previous one; cell sound: after the cell's start
    std::int32_t startOffsetMs = 0;  // negative postpones the start by its magnitude
    std::int32_t playLengthMs = 0;   // 0 or negative: the file's length plus the magnitude
    std::int32_t fadeInMs = 0;
    std::int32_t fadeOutMs = 0;
    std::int32_t runOn = 0;          // cell sound: plays on past its cell
    std::int32_t useShowDuck = 0;    // cell sound: duck level and times from the show
    std::int32_t duckLevel = 0;
    std::int32_t duckFadeDownMs = 0;
    std::int32_t duckFadeUpMs = 0;
    double fileSeconds = 0;          // the sound file's length, written by the show's author

    bool operator==(const ShowSound&) const = default;
};

// The font of a caption, in the layout of the Windows logical-font record,
// except that the height is in 1/20000 of the frame height.
struct CaptionFont {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 400;
    std::uint8_t italic = 0, underline = 0, strikeOut = 0, charSet = 0;
    std::uint8_t outPrecision = 0, clipPrecision = 0, quality = 0, pitchAndFamily = 0;
    std::string face;  // at most 31 characters

    bool operator==(const CaptionFont&) const = default;
};

enum class CaptionAlign : std::int32_t { Left = 0, Right = 1, Centre = 2 };

// A text over a cell (or over every cell of the show). The anchor is in
// 1/10000 of the frame; the text is centred vertically on it.
struct ShowCaption {
    std::int32_t anchorX = 0;
    std::int32_t anchorY = 0;
    CaptionFont font;
    std::uint32_t textColour = 0;   // 0x00BBGGRR
    std::int32_t textOpacity = 255;
    std::int32_t shadow = 0;
    std::int32_t shadowOpacity = 0;
    std::int32_t alignment = 0;     // CaptionAlign; other values: left
    std::int32_t outline = 0;
    std::uint32_t outlineColour = 0;
    std::string text;               // up to the text's zero

    bool operator==(const ShowCaption&) const = default;
};

// Fit modes of a cell; any other value stretches.
enum class FitMode : std::int32_t { Natural = 0, Inside = 1, Fill = 2, Stretch = 3 };

// One slide.
struct ShowCell {
    std::int32_t hasImage = 0;
    std::string imageFile;          // opened through the file services unchanged
    std::int32_t fitMode = 1;       // FitMode
    std::int32_t zoom = 10000;      // 1/10000; 0 or below: no zoom
    std::int32_t panX = 0;          // 1/10000 of the chosen part; positive moves right
    std::int32_t panY = 0;          // positive moves down
    std::int32_t brightness = 0;    // thousandths, -1000..1000
    std::int32_t blackPoint = 0;
    std::int32_t whitePoint = 0;
    std::int32_t toneExtra = 0;     // only its being non-zero counts (it triggers the late tone pass)
    std::int32_t imageOpacity = 255;
    std::int32_t tint = 0;
    std::uint32_t tintColour = 0;   // low byte red
    std::int32_t rotation = 0;      // 90, 180, 270 turn clockwise; others nothing
    std::int32_t mirrorLeftRight = 0;
    std::int32_t mirrorTopBottom = 0;
    std::int32_t background = 0;    // 0: black
    std::int32_t useShowBackground = 0;
    std::uint32_t backgroundColour = 0;
    ShowSound sound;
    std::int32_t displayMs = 0;     // time on screen, not counting the transition
    std::int32_t transition = 1;    // transition number (1 none, 171 blend)
    std::int32_t transitionMs = 0;
    std::vector<ShowCaption> captions;

    bool operator==(const ShowCell&) const = default;
};

// A loaded show. Fields marked "show 0" are the set-wide settings and are
// read from show 0 only.
struct Show {
    std::string title;
    std::int32_t soundOn = 0;          // 0 plays without any sound
    std::int32_t trimMusic = 0;        // cut the music to end with the show
    std::uint32_t backgroundColour = 0;
    std::int32_t volume = 100;
    std::int32_t duckLevel = 0;
    std::int32_t duckFadeDownMs = 0;
    std::int32_t duckFadeUpMs = 0;
    std::int32_t cellSoundVolume = 100;   // cell sounds that start with their cell
    std::int32_t cellSoundFadeInMs = 0;
    std::int32_t cellSoundFadeOutMs = 0;
    std::vector<ShowSound> sounds;        // the music list, played in order
    std::vector<ShowCaption> captions;    // show-wide captions
    std::vector<ShowCell> cells;
    // The two values of the audio start area that the file carries through
    // (the player never sets them): the show began part-way, and the music
    // plays once instead of looping.
    std::int32_t startedLate = 0;
    std::int32_t singlePass = 0;
    std::int32_t furtherShows = 0;     // show 0: shows after show 0
    std::int32_t banner = 0;           // draw the banner text across every cell
    std::int32_t bannerMiddle = 0;     // 0 lower part of the frame, else the middle
    std::string bannerText;
    std::int32_t noMenu = 0;           // show 0: play all in a loop instead of the menu
    std::int32_t menuBrightness = 0;   // show 0: signed shift of the menu background
    std::string maskFolder;            // show 0: prefix of mask-image names
    std::uint8_t bandTiming = 0;       // show 0: 1 paints a black leading band

    bool operator==(const Show&) const = default;

    // Sum over the cells of time on screen and transition time.
    std::int64_t lengthMs() const;
};

// "<folder>intro" for kIntroShow, else "<folder>slyde<N>"; the folder keeps
// its trailing separator.
std::string showFileName(std::string_view programFolder, int number);

// The show in the bytes of a whole file, or null with a reason in `error`.
std::unique_ptr<Show> parseShow(std::span<const std::uint8_t> bytes, std::string* error = nullptr);

// Reads the show file of the number through the file services (packed files
// first) and parses it; null when it is missing or refused.
std::unique_ptr<Show> loadShow(std::string_view programFolder, int number, std::string* error = nullptr);

}  // namespace lv
