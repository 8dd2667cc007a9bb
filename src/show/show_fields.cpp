#include "show/show_fields.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>

namespace lv {

namespace {

using S = Show;
using Snd = ShowSound;
using Cap = ShowCaption;
using F = CaptionFont;
using C = ShowCell;

constexpr RecordField<Show> kShowFields[] = {
    {"title", 0, ShowLayout::kTitleField, &S::title},
    {"sound_on", 520, 4, &S::soundOn},
    {"trim_music", 544, 4, &S::trimMusic},
    {"background_colour", 4772, 4, &S::backgroundColour},
    {"volume", 5048, 4, &S::volume},
    {"duck_level", 5052, 4, &S::duckLevel},
    {"duck_fade_down_ms", 5056, 4, &S::duckFadeDownMs},
    {"duck_fade_up_ms", 5060, 4, &S::duckFadeUpMs},
    {"cell_sound_volume", 5064, 4, &S::cellSoundVolume},
    {"cell_sound_fade_in_ms", 5068, 4, &S::cellSoundFadeInMs},
    {"cell_sound_fade_out_ms", 5072, 4, &S::cellSoundFadeOutMs},
    {"started_late", 54948, 4, &S::startedLate},
    {"single_pass", 54952, 4, &S::singlePass},
    {"further_shows", 54956, 4, &S::furtherShows},
    {"banner", 54960, 4, &S::banner},
    {"banner_middle", 54964, 4, &S::bannerMiddle},
    {"banner_text", 54968, ShowLayout::kNameField, &S::bannerText},
    {"no_menu", 55228, 4, &S::noMenu},
    {"menu_brightness", 55232, 4, &S::menuBrightness},
    {"mask_folder", 55236, ShowLayout::kNameField, &S::maskFolder},
    {"band_timing", 55520, 1, &S::bandTiming},
};

constexpr RecordField<ShowSound> kSoundFields[] = {
    {"file", 0, ShowLayout::kNameField, &Snd::fileName},
    {"start_with_cell", 264, 4, &Snd::startWithCell},
    {"volume", 268, 4, &Snd::volume},
    {"delay_ms", 272, 4, &Snd::delayMs},
    {"start_offset_ms", 276, 4, &Snd::startOffsetMs},
    {"play_length_ms", 280, 4, &Snd::playLengthMs},
    {"fade_in_ms", 288, 4, &Snd::fadeInMs},
    {"fade_out_ms", 292, 4, &Snd::fadeOutMs},
    {"run_on", 296, 4, &Snd::runOn},
    {"use_show_duck", 300, 4, &Snd::useShowDuck},
    {"duck_level", 304, 4, &Snd::duckLevel},
    {"duck_fade_down_ms", 308, 4, &Snd::duckFadeDownMs},
    {"duck_fade_up_ms", 312, 4, &Snd::duckFadeUpMs},
    {"file_seconds", 316, 8, &Snd::fileSeconds},
};

constexpr RecordField<ShowCaption> kCaptionFields[] = {
    {"x", 0, 4, &Cap::anchorX},
    {"y", 4, 4, &Cap::anchorY},
    {"colour", 80, 4, &Cap::textColour},
    {"opacity", 84, 4, &Cap::textOpacity},
    {"shadow", 88, 4, &Cap::shadow},
    {"shadow_opacity", 92, 4, &Cap::shadowOpacity},
    {"align", 96, 4, &Cap::alignment},
    {"outline", 100, 4, &Cap::outline},
    {"outline_colour", 104, 4, &Cap::outlineColour},
};

// The logical-font record, at caption offset 20.
constexpr RecordField<CaptionFont> kFontFields[] = {
    {"height", 0, 4, &F::height},
    {"width", 4, 4, &F::width},
    {"escapement", 8, 4, &F::escapement},
    {"orientation", 12, 4, &F::orientation},
    {"weight", 16, 4, &F::weight},
    {"italic", 20, 1, &F::italic},
    {"underline", 21, 1, &F::underline},
    {"strike_out", 22, 1, &F::strikeOut},
    {"char_set", 23, 1, &F::charSet},
    {"out_precision", 24, 1, &F::outPrecision},
    {"clip_precision", 25, 1, &F::clipPrecision},
    {"quality", 26, 1, &F::quality},
    {"pitch_and_family", 27, 1, &F::pitchAndFamily},
    {"face", 28, ShowLayout::kFaceField, &F::face},
};

constexpr RecordField<ShowCell> kCellFields[] = {
    {"has_image", 0, 4, &C::hasImage},
    {"image", 4, ShowLayout::kNameField, &C::imageFile},
    {"fit", 264, 4, &C::fitMode},
    {"zoom", 268, 4, &C::zoom},
    {"pan_x", 272, 4, &C::panX},
    {"pan_y", 276, 4, &C::panY},
    {"brightness", 280, 4, &C::brightness},
    {"black_point", 284, 4, &C::blackPoint},
    {"white_point", 288, 4, &C::whitePoint},
    {"tone_extra", 292, 4, &C::toneExtra},
    {"image_opacity", 296, 4, &C::imageOpacity},
    {"tint", 300, 4, &C::tint},
    {"tint_colour", 304, 4, &C::tintColour},
    {"rotation", 308, 4, &C::rotation},
    {"mirror_left_right", 312, 4, &C::mirrorLeftRight},
    {"mirror_top_bottom", 316, 4, &C::mirrorTopBottom},
    {"background", 320, 4, &C::background},
    {"use_show_background", 324, 4, &C::useShowBackground},
    {"background_colour", 332, 4, &C::backgroundColour},
    {"display_ms", 944, 4, &C::displayMs},
    {"transition", 952, 4, &C::transition},
    {"transition_ms", 956, 4, &C::transitionMs},
};

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

std::span<const RecordField<Show>> showFields() { return kShowFields; }
std::span<const RecordField<ShowSound>> soundFields() { return kSoundFields; }
std::span<const RecordField<ShowCaption>> captionFields() { return kCaptionFields; }
std::span<const RecordField<CaptionFont>> fontFields() { return kFontFields; }
std::span<const RecordField<ShowCell>> cellFields() { return kCellFields; }

std::int32_t readInt32(const std::uint8_t* at) {
    const std::uint32_t v = at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
    return static_cast<std::int32_t>(v);
}

void writeInt32(std::uint8_t* at, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::string readFieldText(const std::uint8_t* at, std::size_t size) {
    if (size == 0) return {};
    const std::uint8_t* end = std::find(at, at + size - 1, 0);
    return std::string(reinterpret_cast<const char*>(at), static_cast<std::size_t>(end - at));
}

namespace {

double readDouble(const std::uint8_t* at) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= std::uint64_t{at[i]} << (8 * i);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void writeDouble(std::uint8_t* at, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

}  // namespace

template <class Record>
void readFields(std::span<const RecordField<Record>> table, const std::uint8_t* bytes, Record& record) {
    for (const RecordField<Record>& field : table) {
        const std::uint8_t* at = bytes + field.offset;
        std::visit(Overloaded{
                       [&](std::int32_t Record::*m) { record.*m = readInt32(at); },
                       [&](std::uint32_t Record::*m) { record.*m = static_cast<std::uint32_t>(readInt32(at)); },
                       [&](std::uint8_t Record::*m) { record.*m = *at; },
                       [&](double Record::*m) { record.*m = readDouble(at); },
                       [&](std::string Record::*m) { record.*m = readFieldText(at, field.size); },
                   },
                   field.member);
    }
}

template <class Record>
void writeFields(std::span<const RecordField<Record>> table, const Record& record, std::uint8_t* bytes) {
    for (const RecordField<Record>& field : table) {
        std::uint8_t* at = bytes + field.offset;
        std::visit(Overloaded{
                       [&](std::int32_t Record::*m) { writeInt32(at, record.*m); },
                       [&](std::uint32_t Record::*m) { writeInt32(at, static_cast<std::int32_t>(record.*m)); },
                       [&](std::uint8_t Record::*m) { *at = record.*m; },
                       [&](double Record::*m) { writeDouble(at, record.*m); },
                       [&](std::string Record::*m) {
                           const std::string& text = record.*m;
                           const std::size_t n = std::min(text.size(), field.size - 1);
                           std::memset(at, 0, field.size);
                           std::memcpy(at, text.data(), n);
                       },
                   },
                   field.member);
    }
}

#define LV_SHOW_FIELD_RECORD(R)                                                                       \
    template void readFields<R>(std::span<const RecordField<R>>, const std::uint8_t*, R&);            \
    template void writeFields<R>(std::span<const RecordField<R>>, const R&, std::uint8_t*);
LV_SHOW_FIELD_RECORD(Show)
LV_SHOW_FIELD_RECORD(ShowSound)
LV_SHOW_FIELD_RECORD(ShowCaption)
LV_SHOW_FIELD_RECORD(CaptionFont)
LV_SHOW_FIELD_RECORD(ShowCell)
#undef LV_SHOW_FIELD_RECORD

}  // namespace lv
