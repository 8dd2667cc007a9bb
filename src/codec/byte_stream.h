// Byte streams the codec reads from and writes to.
//
// The codec's view of a stream: seek with the usual origins (0 from the
// start, 1 from the current position, 2 from the end) returning the new
// position or -1, read and write returning the byte count moved (or -1), and
// close. SharedStream reads and writes through one of the program's
// file-service streams (shell/stream.h: disk files, memory blocks and packed
// files alike); memory streams serve tests and the fuzzer; file streams wrap
// std::FILE*.
//
// AtomicFileSink is the codec's output file: a FileWriter (shell/file_writer.h)
// seen as a stream, so a regular file is replaced only when close() succeeds
// and a failed or interrupted write never leaves a half-written picture
// where a good one was; a device, a FIFO or "-" is written directly.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "shell/file_writer.h"
#include "shell/stream.h"

namespace lv::codec {

class ByteStream {
public:
    virtual ~ByteStream() = default;
    virtual long seek(long offset, int origin) = 0;
    virtual int read(std::uint8_t* buffer, int count) = 0;
    virtual int write(const std::uint8_t* buffer, int count) = 0;
    // Finishes the stream; false when buffered data could not be written.
    virtual bool close() = 0;
};

// A file-service stream seen through the codec's operations. close()
// flushes; the stream itself belongs to the caller.
class SharedStream final : public ByteStream {
public:
    explicit SharedStream(Stream& stream) : stream_(stream) {}
    long seek(long offset, int origin) override;
    int read(std::uint8_t* buffer, int count) override;
    int write(const std::uint8_t* buffer, int count) override;
    bool close() override { return stream_.flush() == 0; }

private:
    Stream& stream_;
};

class MemoryStream final : public ByteStream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::span<const std::uint8_t> bytes) : bytes_(bytes.begin(), bytes.end()) {}
    long seek(long offset, int origin) override;
    int read(std::uint8_t* buffer, int count) override;
    int write(const std::uint8_t* buffer, int count) override;
    bool close() override { return true; }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

class FileStream final : public ByteStream {
public:
    // mode as std::fopen's; ok() tells whether the file opened.
    FileStream(const std::string& path, const char* mode);
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;
    bool ok() const { return file_ != nullptr; }
    long seek(long offset, int origin) override;
    int read(std::uint8_t* buffer, int count) override;
    int write(const std::uint8_t* buffer, int count) override;
    bool close() override;

private:
    std::FILE* file_ = nullptr;
};

class AtomicFileSink final : public ByteStream {
public:
    explicit AtomicFileSink(const std::string& target) { file_.open(target, error_); }
    // Destruction without close() discards the temporary.
    bool ok() const { return file_.isOpen(); }
    // The reason of the last failure to open or close.
    const std::string& error() const { return error_; }
    long seek(long, int) override { return -1; }  // written front to back
    int read(std::uint8_t*, int) override { return -1; }
    int write(const std::uint8_t* buffer, int count) override;
    // Completes the file (renaming a temporary over the target).
    bool close() override { return file_.commit(error_); }
    // Removes the temporary; the target is untouched.
    void discard() { file_.discard(); }

private:
    FileWriter file_;
    std::string error_;
};

}  // namespace lv::codec
