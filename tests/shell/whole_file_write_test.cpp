// Whole-file writes: regular files replaced only when complete, devices and
// FIFOs written in place.
#include "shell/whole_file_write.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "../show/show_samples.h"

namespace lv::test {
namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::span<const std::uint8_t> bytes(const std::string& s) {
    return std::span(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

TEST(WholeFileWrite, CreatesAndReplacesARegularFileLeavingNoTemporary) {
    UniqueFolder folder;
    ASSERT_TRUE(folder.ok());
    std::string error;
    const std::string target = folder.file("show");
    ASSERT_TRUE(writeWholeFile(target, bytes("first"), error)) << error;
    ASSERT_TRUE(writeWholeFile(target, bytes("second"), error)) << error;
    EXPECT_EQ(readAll(target), "second");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.folder())) files += entry.exists();
    EXPECT_EQ(files, 1);
}

TEST(WholeFileWrite, RefusesAFolderAndAMissingParent) {
    UniqueFolder folder;
    ASSERT_TRUE(folder.ok());
    std::string error;
    EXPECT_FALSE(writeWholeFile(folder.folder(), bytes("x"), error));
    EXPECT_FALSE(writeWholeFile(folder.file("no/such/file"), bytes("x"), error));
}

#ifndef _WIN32
TEST(WholeFileWrite, WritesAFifoInPlace) {
    UniqueFolder folder;
    ASSERT_TRUE(folder.ok());
    const std::string fifo = folder.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = readAll(fifo); });
    std::string error;
    EXPECT_TRUE(writeWholeFile(fifo, bytes("through the pipe"), error)) << error;
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_FALSE(std::filesystem::is_regular_file(fifo));
}
#endif

}  // namespace
}  // namespace lv::test
