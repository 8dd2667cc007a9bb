// The show-file loader on files built here, whole and damaged.
#include "show/show_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "show/show_fields.h"
#include "show/show_writer.h"
#include "show_samples.h"

namespace lv::test {
namespace {

class ShowFileTest : public ::testing::Test {
protected:
    Show show = sampleShow();
    std::vector<std::uint8_t> bytes = encodeShow(show);
    std::string error;

    std::unique_ptr<Show> parse() { return parseShow(bytes, &error); }
    void poke(std::size_t at, std::int32_t value) { writeInt32(bytes.data() + at, value); }
    std::size_t showField(std::size_t offset) const { return ShowFilePlaces::kShowRecord + offset; }
    std::size_t cellField(std::size_t cell, std::size_t offset) const { return ShowFilePlaces::cell(show, cell) + offset; }
    // The text length of the last caption of the last cell.
    std::size_t lastCaptionLength() const {
        const ShowCell& cell = show.cells.back();
        std::size_t at = ShowFilePlaces::cell(show, show.cells.size() - 1) + ShowLayout::kMinCellBlock;
        for (std::size_t i = 0; i + 1 < cell.captions.size(); ++i) at += ShowFilePlaces::captionBlockSize(cell.captions[i]);
        return at + ShowLayout::kCaptionRecord;
    }
};

TEST_F(ShowFileTest, WrittenShowReadsBackEqual) {
    const auto loaded = parse();
    ASSERT_TRUE(loaded) << error;
    EXPECT_EQ(*loaded, show);
}

TEST_F(ShowFileTest, CopyAfterTheRecordWinsOverTheSlot) {
    // Volume of sound 0 in its slot inside the show record.
    poke(showField(ShowOffsets::kShowSoundSlots + 268), 7);
    // Time on screen stays, the slot copy of cell 0's sound changes.
    poke(cellField(0, ShowOffsets::kCellSoundSlot + 268), 9);
    auto loaded = parse();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->sounds[0].volume, show.sounds[0].volume);
    EXPECT_EQ(loaded->cells[0].sound.volume, show.cells[0].sound.volume);

    poke(ShowFilePlaces::firstShowSound() + 268, 7);
    poke(cellField(0, ShowLayout::kCellRecord + 268), 9);
    loaded = parse();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->sounds[0].volume, 7);
    EXPECT_EQ(loaded->cells[0].sound.volume, 9);
}

TEST_F(ShowFileTest, FieldsSitAtTheirOffsets) {
    EXPECT_EQ(readInt32(bytes.data() + showField(54956)), 4);                    // further shows
    EXPECT_EQ(bytes[showField(55520)], 1);                                       // band timing
    EXPECT_EQ(readInt32(bytes.data() + cellField(0, 944)), show.cells[0].displayMs);
    EXPECT_EQ(readInt32(bytes.data() + cellField(0, 952)), 171);
    EXPECT_EQ(std::memcmp(bytes.data() + cellField(0, 4), "photo1.jpg", 11), 0);
}

TEST_F(ShowFileTest, AnotherVersionOrAShortenedFileIsRefused) {
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{100}, ShowFilePlaces::firstShowSound(),
                             ShowFilePlaces::cell(show, 1), bytes.size() - 1}) {
        const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(parseShow(cut)) << size;
    }
    bytes[0] = 1;  // the version byte
    EXPECT_FALSE(parse());
}

// The length is time on screen plus transition of every cell, summed without
// overflow; a show of no cells loads with length zero.
TEST_F(ShowFileTest, LengthIsTimeOnScreenPlusTransitionOfEveryCell) {
    show.cells.clear();
    bytes = encodeShow(show);
    const auto loaded = parse();
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->cells.empty());
    EXPECT_EQ(loaded->lengthMs(), 0);
    show.cells.resize(2);
    show.cells[0].displayMs = 3000, show.cells[0].transitionMs = 500;
    show.cells[1].displayMs = 2000000000, show.cells[1].transitionMs = 2000000000;
    EXPECT_EQ(show.lengthMs(), 4000003500LL);
}

TEST_F(ShowFileTest, CountsAndLengthsTheFileCannotHoldAreRefused) {
    const struct {
        std::size_t at;
        std::vector<std::uint32_t> values;
        const char* reason;
    } cases[] = {
        {showField(ShowOffsets::kShowSoundCount), {101, 0xFFFFFFFFu}, "sound count"},
        {showField(ShowOffsets::kShowCaptionCount), {21}, "show's caption count"},
        {cellField(2, ShowOffsets::kCellCaptionCount), {21, 0xFFFFFFFBu}, "cell's caption count"},
        {showField(ShowOffsets::kShowCellCount), {0x7FFFFFFFu, 0xFFFFFFFFu, 4, 1000}, "cell count"},
        {lastCaptionLength(), {0, 0xFFFFFFFFu, 0x80000000u, static_cast<std::uint32_t>(bytes.size())}, "caption does not fit"},
    };
    const std::vector<std::uint8_t> whole = bytes;
    for (const auto& c : cases) {
        for (std::uint32_t value : c.values) {
            bytes = whole;
            poke(c.at, static_cast<std::int32_t>(value));
            EXPECT_FALSE(parse()) << c.reason << " " << value;
            EXPECT_NE(error.find(c.reason), std::string::npos) << value << ": " << error;
        }
    }
}

// Texts end at their zero, or without one, before the end of their field.
TEST_F(ShowFileTest, TextsEndAtTheirZeroOrWithinTheirField) {
    std::memset(bytes.data() + showField(0), 'A', ShowLayout::kTitleField);
    std::memset(bytes.data() + cellField(0, 4), 'B', ShowLayout::kNameField);
    std::memset(bytes.data() + showField(55236), 'C', ShowLayout::kNameField);
    // Cell 0's first caption: "cell caption 0" with a zero put after "cell".
    bytes[cellField(0, ShowLayout::kMinCellBlock + ShowLayout::kCaptionRecord + 4) + 4] = 0;
    ASSERT_EQ(show.cells.back().captions.back().text, "cell caption 1");
    bytes.back() = 'x';  // the zero of the last caption's text
    const auto loaded = parse();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->title, std::string(519, 'A'));
    EXPECT_EQ(loaded->cells[0].imageFile, std::string(259, 'B'));
    EXPECT_EQ(loaded->maskFolder, std::string(259, 'C'));
    EXPECT_EQ(loaded->cells[0].captions[0].text, "cell");
    EXPECT_EQ(loaded->cells[0].captions[1].text, "cell caption 1");
    EXPECT_EQ(loaded->cells.back().captions.back().text, "cell caption 1");  // the x is cut
}

TEST_F(ShowFileTest, WriterRefusesCountsBeyondTheLimits) {
    show.sounds.resize(101);
    EXPECT_TRUE(encodeShow(show, &error).empty());
    show.sounds.resize(1);
    show.cells[0].captions.resize(21);
    EXPECT_TRUE(encodeShow(show).empty());
}

// The names "intro" and "slyde<n>" in the folder.
TEST(ShowFileLoad, FindsShowsByNameInTheFolder) {
    TempFolder folder;
    Show intro = sampleShow(1);
    intro.title = "intro";
    Show third = sampleShow(2);
    third.title = "third";
    writeBytes(folder, "intro", encodeShow(intro));
    writeBytes(folder, "slyde3", encodeShow(third));
    const auto a = loadShow(folder.folder(), kIntroShow);
    const auto b = loadShow(folder.folder(), 3);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->title, "intro");
    EXPECT_EQ(b->title, "third");
    EXPECT_FALSE(loadShow(folder.folder(), 2));
}

}  // namespace
}  // namespace lv::test
