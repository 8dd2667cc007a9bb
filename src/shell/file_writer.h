// FileWriter: the one way the program and its tool write a whole file.
//
// A regular file (or a path that does not exist yet) is written to a
// temporary file beside it and renamed over it only by commit(), after every
// byte was written and the close succeeded; any failure, or destruction
// without commit(), removes the temporary and leaves the target as it was.
// A target that could not be replaced is never deleted. Anything else that
// can be opened for writing - a device such as /dev/null, a FIFO, a
// terminal - is written directly and stays what it is; "-" is standard
// output. A folder is refused.
//
//     lv::FileWriter out;
//     std::string error;
//     if (!out.open("picture.ppm", error) || !out.write(header) || !out.write(rows) || !out.commit(error))
//         report(error);  // picture.ppm is untouched unless commit() succeeded
//
// Limits: write() failures are sticky and reported by commit(); writeAt()
// (patching a header once the size is known) only works on a temporary,
// i.e. when replaces() is true.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

namespace lv {

class FileWriter {
public:
    FileWriter() = default;
    ~FileWriter();  // discards an uncommitted temporary
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // False with a reason in `error` when the target cannot be written.
    bool open(const std::string& target, std::string& error);
    bool isOpen() const { return file_ != nullptr; }
    // True when writing to a temporary that commit() renames over the target.
    bool replaces() const { return !temporary_.empty(); }

    // False once any write has failed; the first failure is kept for commit().
    bool write(const void* data, std::size_t count);
    bool write(std::span<const std::uint8_t> bytes) { return write(bytes.data(), bytes.size()); }
    bool write(std::string_view text) { return write(text.data(), text.size()); }
    // Overwrites bytes already written, then continues at the end.
    bool writeAt(std::uint32_t offset, const void* data, std::size_t count);
    std::uint64_t written() const { return written_; }

    // Flushes and closes (checked) and, for a temporary, renames it over the
    // target. False with a reason when anything failed; the target is then
    // left as it was (a device or pipe may have received part of the data).
    bool commit(std::string& error);
    // Removes the temporary; the target is untouched.
    void discard();

private:
    std::string target_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
    bool ownsFile_ = false;  // false for standard output
    bool failed_ = false;
    std::uint64_t written_ = 0;
    std::unique_ptr<char[]> buffer_;
};

// A whole file through a FileWriter; false with a reason in `error`.
bool writeWholeFile(const std::string& target, std::span<const std::uint8_t> bytes, std::string& error);

// Standard input and output switched to binary where the platform has text
// modes (standard_streams_*.cpp).
std::FILE* binaryStandardOutput();
std::FILE* binaryStandardInput();

}  // namespace lv
