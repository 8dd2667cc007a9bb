// The shared writer of whole files: replace a regular file only when
// complete, write devices and FIFOs directly, never lose a target.
#include "shell/file_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "shell/temp_folder.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <future>
#endif

namespace lv {
namespace {

namespace fs = std::filesystem;

class FileWriterTest : public ::testing::Test {
protected:
    test::TempFolder temp;
    std::string error;

    bool writeText(const std::string& path, std::string_view text) {
        FileWriter out;
        return out.open(path, error) && out.write(text) && out.commit(error);
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(temp.path()), fs::directory_iterator()));
    }
};

TEST_F(FileWriterTest, WritesANewFileAndEveryByte) {
    ASSERT_TRUE(writeText(temp.file("new.txt"), "hello")) << error;
    EXPECT_EQ(temp.read("new.txt"), "hello");
    EXPECT_EQ(entries(), 1u);  // no temporary left beside it
    const std::uint8_t bytes[] = {0, 10, 13, 255};
    ASSERT_TRUE(writeWholeFile(temp.file("w.bin"), bytes, error));
    EXPECT_EQ(temp.read("w.bin"), std::string("\0\n\r\xff", 4));
}

TEST_F(FileWriterTest, ReplacesARegularFileOnlyAtCommit) {
    const std::string path = temp.write("a.txt", "old");
    FileWriter out;
    ASSERT_TRUE(out.open(path, error));
    EXPECT_TRUE(out.replaces());
    out.write(std::string_view("new contents"));
    EXPECT_EQ(temp.read("a.txt"), "old");
    ASSERT_TRUE(out.commit(error)) << error;
    EXPECT_EQ(temp.read("a.txt"), "new contents");
}

TEST_F(FileWriterTest, DestructionWithoutCommitKeepsTheTargetAndRemovesTheTemporary) {
    const std::string path = temp.write("a.txt", "old");
    {
        FileWriter out;
        ASSERT_TRUE(out.open(path, error));
        out.write(std::string_view("half"));
    }
    EXPECT_EQ(temp.read("a.txt"), "old");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(FileWriterTest, AFolderIsRefusedAndKept) {
    fs::create_directory(temp.file("folder"));
    EXPECT_FALSE(writeText(temp.file("folder"), "x"));
    EXPECT_NE(error.find("folder"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(temp.file("folder")));
}

// The target turns into a non-empty folder while the file is written: the
// rename fails, and the folder must survive with what is in it.
TEST_F(FileWriterTest, ATargetThatCannotBeReplacedIsNeverDeleted) {
    const std::string path = temp.file("target");
    FileWriter out;
    ASSERT_TRUE(out.open(path, error));
    out.write(std::string_view("data"));
    fs::create_directory(path);
    temp.write("target/keep.txt", "precious");
    EXPECT_FALSE(out.commit(error));
    EXPECT_EQ(temp.read("target/keep.txt"), "precious");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(FileWriterTest, WriteAtPatchesBytesAlreadyWritten) {
    const std::string path = temp.file("h.bin");
    FileWriter out;
    ASSERT_TRUE(out.open(path, error));
    out.write(std::string_view("0000body"));
    EXPECT_TRUE(out.writeAt(0, "HEAD", 4));
    EXPECT_FALSE(out.writeAt(6, "xyz", 3));  // past what was written
    out.write(std::string_view("!"));
    ASSERT_TRUE(out.commit(error));
    EXPECT_EQ(temp.read("h.bin"), "HEADbody!");
}

#ifndef _WIN32

// A write that fails half way (the file size limit) leaves the old file.
TEST_F(FileWriterTest, AFailedWriteLeavesTheExistingTargetIntact) {
    const std::string path = temp.write("big.bin", "the old file");
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldSignal = signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1 << 16;
    setrlimit(RLIMIT_FSIZE, &small);
    FileWriter out;
    const bool opened = out.open(path, error);
    const std::string block(1 << 20, 'x');
    out.write(block);
    out.write(block);
    const bool committed = out.commit(error);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldSignal);
    ASSERT_TRUE(opened);
    EXPECT_FALSE(committed);
    EXPECT_EQ(temp.read("big.bin"), "the old file");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(FileWriterTest, AFifoIsWrittenDirectlyAndStaysAFifo) {
    const std::string path = temp.file("pipe");
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    auto reader = std::async(std::launch::async, [&] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    });
    FileWriter out;
    ASSERT_TRUE(out.open(path, error)) << error;
    EXPECT_FALSE(out.replaces());
    out.write(std::string_view("through the pipe"));
    ASSERT_TRUE(out.commit(error)) << error;
    EXPECT_EQ(reader.get(), "through the pipe");
    EXPECT_TRUE(fs::is_fifo(path));
    EXPECT_EQ(entries(), 1u);
}

// A null device of our own under the test folder, never the system's.
TEST_F(FileWriterTest, ACharacterDeviceStaysADevice) {
    const std::string path = temp.file("null");
    if (mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) GTEST_SKIP() << "cannot make a device node here";
    ASSERT_TRUE(writeText(path, "discarded")) << error;
    EXPECT_TRUE(fs::is_character_file(path));
    EXPECT_EQ(entries(), 1u);
}

#endif

}  // namespace
}  // namespace lv
