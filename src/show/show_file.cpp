#include "show/show_file.h"

#include <cstring>

#include "shell/file_services.h"
#include "show/show_fields.h"

namespace lv {

namespace {

using namespace ShowLayout;

// The file's blocks in order. Every take() checks that the bytes are there
// before handing them out; a short file fails at the first block it lacks.
class BlockReader {
public:
    explicit BlockReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    const std::uint8_t* take(std::size_t count) {
        if (count > left()) return nullptr;
        const std::uint8_t* at = bytes_.data() + position_;
        position_ += count;
        return at;
    }
    std::size_t left() const { return bytes_.size() - position_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

struct Refusal {
    std::string* error;
    std::nullptr_t operator()(const char* reason) const {
        if (error) *error = reason;
        return nullptr;
    }
};

bool countFits(std::int32_t count, int maximum) { return count >= 0 && count <= maximum; }

// A caption record, read over its slot: the copy after the record wins, so
// the slot's bytes are never looked at. Then the text's length and bytes.
bool readCaption(BlockReader& in, ShowCaption& caption) {
    const std::uint8_t* record = in.take(kCaptionRecord);
    if (!record) return false;
    readFields(captionFields(), record, caption);
    readFields(fontFields(), record + ShowOffsets::kCaptionFont, caption.font);
    const std::uint8_t* lengthBytes = in.take(4);
    if (!lengthBytes) return false;
    const auto length = static_cast<std::uint32_t>(readInt32(lengthBytes));
    // At least the terminating zero, and no more than the file still holds.
    if (length < 1 || length > in.left()) return false;
    const std::uint8_t* text = in.take(length);
    caption.text = readFieldText(text, length);
    return true;
}

bool readCaptions(BlockReader& in, std::int32_t count, std::vector<ShowCaption>& captions) {
    captions.resize(static_cast<std::size_t>(count));
    for (ShowCaption& caption : captions)
        if (!readCaption(in, caption)) return false;
    return true;
}

bool readSound(BlockReader& in, ShowSound& sound) {
    const std::uint8_t* record = in.take(kSoundRecord);
    if (!record) return false;
    readFields(soundFields(), record, sound);
    return true;
}

const char* readCell(BlockReader& in, ShowCell& cell) {
    const std::uint8_t* record = in.take(kCellRecord);
    if (!record) return "the file ends inside a cell record";
    readFields(cellFields(), record, cell);
    const std::int32_t captionCount = readInt32(record + ShowOffsets::kCellCaptionCount);
    if (!countFits(captionCount, kMaxCaptions)) return "a cell's caption count is outside 0 to 20";
    if (!readSound(in, cell.sound)) return "the file ends inside a cell's sound record";
    if (!readCaptions(in, captionCount, cell.captions)) return "a cell's caption does not fit the file";
    return nullptr;
}

}  // namespace

std::int64_t Show::lengthMs() const {
    std::int64_t total = 0;
    for (const ShowCell& cell : cells) total += std::int64_t{cell.displayMs} + cell.transitionMs;
    return total;
}

std::string showFileName(std::string_view programFolder, int number) {
    std::string name(programFolder);
    if (number == kIntroShow) return name + "intro";
    return name + "slyde" + std::to_string(number);
}

std::unique_ptr<Show> parseShow(std::span<const std::uint8_t> bytes, std::string* error) {
    const Refusal refuse{error};
    if (bytes.size() > kMaxShowFile) return refuse("the file is too large for a show");
    BlockReader in(bytes);
    const std::uint8_t* version = in.take(1);
    if (!version) return refuse("the file is empty");
    if (*version != 0) return refuse("the version byte is not 0");
    const std::uint8_t* record = in.take(kShowRecord);
    if (!record) return refuse("the file ends inside the show record");

    auto show = std::make_unique<Show>();
    readFields(showFields(), record, *show);
    const std::int32_t soundCount = readInt32(record + ShowOffsets::kShowSoundCount);
    const std::int32_t captionCount = readInt32(record + ShowOffsets::kShowCaptionCount);
    const std::int32_t cellCount = readInt32(record + ShowOffsets::kShowCellCount);
    if (!countFits(soundCount, kMaxShowSounds)) return refuse("the show's sound count is outside 0 to 100");
    if (!countFits(captionCount, kMaxCaptions)) return refuse("the show's caption count is outside 0 to 20");
    if (cellCount < 0) return refuse("the cell count is negative");

    show->sounds.resize(static_cast<std::size_t>(soundCount));
    for (ShowSound& sound : show->sounds)
        if (!readSound(in, sound)) return refuse("the file ends inside a show sound record");
    if (!readCaptions(in, captionCount, show->captions)) return refuse("a show caption does not fit the file");

    // Each cell takes at least its record and its sound record, so the bytes
    // left bound the count before anything is allocated for it.
    if (static_cast<std::uint64_t>(cellCount) > in.left() / kMinCellBlock)
        return refuse("the cell count is larger than the file can hold");
    show->cells.resize(static_cast<std::size_t>(cellCount));
    for (ShowCell& cell : show->cells)
        if (const char* reason = readCell(in, cell)) return refuse(reason);
    return show;
}

std::unique_ptr<Show> loadShow(std::string_view programFolder, int number, std::string* error) {
    const std::string name = showFileName(programFolder, number);
    const std::optional<FileBytes> file = readWholeFile(name, false);
    if (!file) {
        if (error) *error = "cannot read " + name;
        return nullptr;
    }
    return parseShow(std::span(file->bytes.data(), file->length), error);
}

}  // namespace lv
