#include "show/show_writer.h"

#include <cstring>

#include "show/show_fields.h"

namespace lv {

namespace {

using namespace ShowLayout;

using Bytes = std::vector<std::uint8_t>;

void append(Bytes& out, const Bytes& block) { out.insert(out.end(), block.begin(), block.end()); }

Bytes soundRecord(const ShowSound& sound) {
    Bytes record(kSoundRecord, 0);
    writeFields(soundFields(), sound, record.data());
    return record;
}

Bytes captionRecord(const ShowCaption& caption) {
    Bytes record(kCaptionRecord, 0);
    writeFields(captionFields(), caption, record.data());
    writeFields(fontFields(), caption.font, record.data() + ShowOffsets::kCaptionFont);
    return record;
}

// The caption record, then the text's length (with its zero) and bytes.
void appendCaptionBlock(Bytes& out, const Bytes& record, const ShowCaption& caption) {
    append(out, record);
    Bytes length(4);
    writeInt32(length.data(), static_cast<std::int32_t>(caption.text.size() + 1));
    append(out, length);
    out.insert(out.end(), caption.text.begin(), caption.text.end());
    out.push_back(0);
}

// Fills the slots in the record and appends the caption blocks after it.
void placeCaptions(const std::vector<ShowCaption>& captions, std::uint8_t* record, std::size_t countAt,
                   std::size_t slotsAt, Bytes& after) {
    writeInt32(record + countAt, static_cast<std::int32_t>(captions.size()));
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const Bytes caption = captionRecord(captions[i]);
        std::memcpy(record + slotsAt + i * kCaptionRecord, caption.data(), kCaptionRecord);
        appendCaptionBlock(after, caption, captions[i]);
    }
}

bool fits(const Show& show) {
    if (show.sounds.size() > kMaxShowSounds || show.captions.size() > kMaxCaptions) return false;
    for (const ShowCell& cell : show.cells)
        if (cell.captions.size() > kMaxCaptions) return false;
    return true;
}

void appendCell(Bytes& out, const ShowCell& cell) {
    Bytes record(kCellRecord, 0);
    writeFields(cellFields(), cell, record.data());
    const Bytes sound = soundRecord(cell.sound);
    std::memcpy(record.data() + ShowOffsets::kCellSoundSlot, sound.data(), kSoundRecord);
    Bytes captions;
    placeCaptions(cell.captions, record.data(), ShowOffsets::kCellCaptionCount, ShowOffsets::kCellCaptionSlots,
                  captions);
    append(out, record);
    append(out, sound);
    append(out, captions);
}

}  // namespace

std::vector<std::uint8_t> encodeShow(const Show& show, std::string* error) {
    if (!fits(show)) {
        if (error) *error = "more than 100 sounds or 20 captions";
        return {};
    }
    Bytes record(kShowRecord, 0);
    writeFields(showFields(), show, record.data());

    writeInt32(record.data() + ShowOffsets::kShowSoundCount, static_cast<std::int32_t>(show.sounds.size()));
    Bytes sounds;
    for (std::size_t i = 0; i < show.sounds.size(); ++i) {
        const Bytes sound = soundRecord(show.sounds[i]);
        std::memcpy(record.data() + ShowOffsets::kShowSoundSlots + i * kSoundRecord, sound.data(), kSoundRecord);
        append(sounds, sound);
    }
    Bytes captions;
    placeCaptions(show.captions, record.data(), ShowOffsets::kShowCaptionCount, ShowOffsets::kShowCaptionSlots,
                  captions);
    writeInt32(record.data() + ShowOffsets::kShowCellCount, static_cast<std::int32_t>(show.cells.size()));

    Bytes out{0};  // the version byte
    append(out, record);
    append(out, sounds);
    append(out, captions);
    for (const ShowCell& cell : show.cells) appendCell(out, cell);
    return out;
}

}  // namespace lv
