#include "shell/file_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

#include "platform/host.h"
#include "platform/text.h"
#include "shell/disk_file.h"
#include "shell/packed_files.h"
#include "shell/process.h"
#include "shell/temp_folder.h"

namespace lv {
namespace {

std::string readAll(Stream& stream) {
    std::string text(64 * 1024, '\0');
    const std::int64_t n = stream.read(text.data(), text.size());
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

std::string withSlashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// --- disk streams -------------------------------------------------------

class DiskFileTest : public ::testing::Test {
protected:
    test::TempFolder temp;
};

TEST_F(DiskFileTest, ReadsSeeksAndRefusesWritesOfAnExistingFile) {
    StreamPtr s = openDiskFile(withSlashes(temp.write("a.txt", "hello")), OpenMode::kRead);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->seek(0, SeekOrigin::End), 5);
    EXPECT_EQ(s->seek(-1, SeekOrigin::Start), -1);
    EXPECT_EQ(s->seek(-2, SeekOrigin::End), 3);  // disk files count from the end forwards
    EXPECT_EQ(s->seek(1, SeekOrigin::Start), 1);
    EXPECT_EQ(readAll(*s), "ello");
    EXPECT_EQ(s->write("y", 1), -1);
}

TEST_F(DiskFileTest, AMissingFileAReservedArgumentOrADeleteGiveNull) {
    EXPECT_FALSE(openDiskFile(temp.file("none.txt"), OpenMode::kRead));
    EXPECT_FALSE(openDiskFile(temp.write("a.txt", "x"), OpenMode::kRead, 1));
    EXPECT_FALSE(openDiskFile(temp.file("a.txt"), OpenMode::kDelete));
    EXPECT_FALSE(std::filesystem::exists(temp.file("a.txt")));
}

TEST_F(DiskFileTest, CreateMakesANewFileOrTruncatesAnOldOne) {
    for (int round = 0; round < 2; ++round) {
        StreamPtr s = openDiskFile(temp.file("new.bin"), OpenMode::kCreateReadWrite);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->seek(0, SeekOrigin::End), 0) << "round " << round;
        EXPECT_EQ(s->write("data!", 5), 5);
        EXPECT_EQ(s->flush(), 0);
    }
    EXPECT_EQ(temp.read("new.bin"), "data!");
}

TEST_F(DiskFileTest, ReadWholeFileWithAndWithoutTheZero) {
    for (bool zero : {false, true}) {
        const auto whole = readWholeFile(temp.write("s.scr", "begin x"), zero);
        ASSERT_TRUE(whole);
        EXPECT_EQ(whole->length, 7u);
        EXPECT_EQ(std::string(whole->bytes.begin(), whole->bytes.end()), zero ? std::string("begin x", 8) : "begin x");
    }
    EXPECT_FALSE(readWholeFile(temp.write("empty", ""), true));
    EXPECT_FALSE(readWholeFile(temp.file("missing"), true));
}

// --- packed files -------------------------------------------------------

// A launcher file with files appended after a stand-in program image, its
// index "ix" in the program folder, and the start-up state that names them.
class PackedFilesTest : public ::testing::Test {
protected:
    test::TempFolder temp;
    RecordingHost recorder;
    std::string launcherBytes = std::string(1000, 'M');
    std::vector<PackedEntry> index;

    void SetUp() override { setHost(&recorder); }
    void TearDown() override {
        setHost(nullptr);
        setPackedFiles({});
        setStartupArgs({});
    }

    void pack(std::string name, std::string_view bytes, std::uint8_t flags = 0) {
        index.push_back(PackedEntry{std::move(name), flags, static_cast<std::uint32_t>(bytes.size()),
                                    static_cast<std::uint32_t>(launcherBytes.size())});
        launcherBytes += bytes;
    }

    std::size_t install() {
        StartupArgs args;
        args.cmdLine = temp.write("show.exe", launcherBytes);
        args.fromLauncher = true;
        args.loaderPath = args.programFolder = temp.folder();
        const auto ix = *encodePackedIndex(index);
        temp.write("ix", std::string(ix.begin(), ix.end()));
        setStartupArgs(args);
        return loadPackedFiles(args);
    }

    std::string openText(std::string_view name) {
        StreamPtr s = openWithPackedFiles(name, OpenMode::kRead);
        return s ? readAll(*s) : "<null>";
    }
};

// Packed files open by their exact name, before files on disk, with the
// loader path marker standing for the launcher's folder; unusable entries
// and those reaching past the launcher are not found, without a message.
TEST_F(PackedFilesTest, UsableEntriesOpenByTheirExactNameBeforeFilesOnDisk) {
    const std::string onDisk = temp.write("menu.scr", "from disk");
    pack("*/menu.scr", "begin init");
    pack("*/pic.jpg", "JPEG");
    pack(onDisk, "from launcher");
    pack("%loaderpath%show.scr", "loader");
    pack("*/hidden", "x", 0x01);
    pack("*/shown", "y", 0x10);
    index.push_back(PackedEntry{"*/beyond", 0, 10, static_cast<std::uint32_t>(launcherBytes.size() - 5)});
    EXPECT_EQ(install(), 5u);
    EXPECT_EQ(openText("*/pic.jpg"), "JPEG");
    EXPECT_EQ(openText("*/menu.scr"), "begin init");
    EXPECT_EQ(openText("*/MENU.SCR"), "<null>");  // case counts; no such file on disk
    EXPECT_EQ(openText(onDisk), "from launcher");
    EXPECT_EQ(openText(temp.folder() + "show.scr"), "loader");
    EXPECT_EQ(openText("*/hidden"), "<null>");
    EXPECT_EQ(openText("*/shown"), "y");
    EXPECT_EQ(openText("*/beyond"), "<null>");
    EXPECT_TRUE(recorder.boxes.empty());
    const auto whole = readWholeFile("*/menu.scr", true);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->length, 10u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(whole->bytes.data())), "begin init");
    StreamPtr copy = openWithPackedFiles("*/pic.jpg", OpenMode::kRead);  // a writable copy
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->seek(0, SeekOrigin::End), 4);
    EXPECT_EQ(copy->write("d", 1), 1);
    EXPECT_EQ(openText("*/pic.jpg"), "JPEG");
}

// A file dropped on the program (no "-stub ") is no launcher, and a launcher
// file that is gone gives no table either.
TEST_F(PackedFilesTest, OnlyAStartFromAnExistingLauncherFillsTheTable) {
    pack("*/a", "abc");
    install();
    auto startedWith = [&](const std::string& line) {
        StartupArgs args = parseCommandLine(line, "lumavine.exe");
        args.programFolder = temp.folder();  // where "ix" lies (the folders here use slashes)
        setStartupArgs(args);
        return loadPackedFiles(args);
    };
    EXPECT_EQ(startedWith("-stub " + temp.file("show.exe")), 1u);
    EXPECT_EQ(startedWith(temp.file("show.exe")), 0u);
    EXPECT_TRUE(packedFiles().empty());
    EXPECT_EQ(openText("*/a"), "<null>");
    std::filesystem::remove(temp.file("show.exe"));
    EXPECT_EQ(startedWith("-stub " + temp.file("show.exe")), 0u);
    EXPECT_TRUE(packedFiles().empty());
}

TEST_F(PackedFilesTest, AShortReadShowsBlehAndStillOpens) {
    pack("*/cut.jpg", "0123456789");
    install();
    launcherBytes.resize(launcherBytes.size() - 4);  // the launcher shrinks after start-up
    temp.write("show.exe", launcherBytes);
    StreamPtr s = openWithPackedFiles("*/cut.jpg", OpenMode::kRead);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->seek(0, SeekOrigin::End), 10);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, "bleh");
    EXPECT_EQ(recorder.boxes[0].caption, "*/cut.jpg");
}

TEST_F(PackedFilesTest, TheStarSlashFolderListsPackedFilesSorted) {
    pack("*/b.jpg", "b");
    pack("*/A.jpg", "a");
    pack("*/gone.jpg", "g", 0x02);
    pack("%loaderpath%c.scr", "c");
    install();
    EXPECT_EQ(listFiles("*/*.scr", 100),
              (std::vector<std::string>{"*/A.jpg", "*/b.jpg", temp.folder() + "c.scr"}));
    EXPECT_EQ(listFiles("*/x", 2).size(), 2u);
}

// --- listing ------------------------------------------------------------

class ListFilesTest : public DiskFileTest {};

TEST_F(ListFilesTest, NamesAreSortedWithoutRegardToCaseAndTheFolderKeptAsWritten) {
    EXPECT_TRUE(listFiles(temp.folder() + "*.jpg", 10).empty());
    for (const char* name : {"b.jpg", "C.JPG", "a.jpg", "d.txt"}) temp.write(name, "x");
    const std::string folder = withSlashes(temp.folder());
    EXPECT_EQ(listFiles(folder + "*.jpg", 100),
              (std::vector<std::string>{folder + "a.jpg", folder + "b.jpg", folder + "C.JPG"}));
}

TEST_F(ListFilesTest, AMaximumOf100Over150FilesGivesTheFirst100Sorted) {
    std::set<std::string> all;
    for (int i = 0; i < 150; ++i) {
        const std::string name = "pic" + std::to_string((i * 37) % 150) + (i % 2 ? ".JPG" : ".jpg");
        all.insert(temp.write(name, "x"));
    }
    const auto names = listFiles(temp.folder() + "*.jpg", 100);
    ASSERT_EQ(names.size(), 100u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) { return toLowerAscii(x) < toLowerAscii(y); });
    }));
    for (const auto& n : names) EXPECT_TRUE(all.count(n)) << n;
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 100u);
}

}  // namespace
}  // namespace lv
