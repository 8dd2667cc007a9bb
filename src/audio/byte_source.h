// The byte input a decoder reads from: read, seek and position over a disk
// file, a memory block or (later) a packed file. Shaped like the file
// services' streams so that they can be adapted to it one to one.
//
// No operation throws. read() returns the count actually read (short at the
// end of the input); seek() fails on a negative position or when the
// underlying file cannot seek there; seeking past the end is allowed and
// leaves nothing to read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace lv::audio {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual size_t read(void* buffer, size_t count) = 0;
    virtual bool seek(int64_t position) = 0;
    virtual int64_t tell() const = 0;
    // The whole input's size in bytes, or -1 when it is not known.
    virtual int64_t size() const = 0;
    // The name the input was opened under ("" for memory blocks).
    virtual const std::string& name() const = 0;
};

// A source over bytes in memory: its own copy, or with view() bytes that
// outlive it, read where they lie.
class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::vector<uint8_t> bytes, std::string name = {});
    MemoryByteSource(std::span<const uint8_t> bytes, std::string name = {});
    static std::unique_ptr<MemoryByteSource> view(std::span<const uint8_t> bytes, std::string name = {});
    MemoryByteSource(const MemoryByteSource&) = delete;  // the view may point into its own copy
    MemoryByteSource& operator=(const MemoryByteSource&) = delete;
    size_t read(void* buffer, size_t count) override;
    bool seek(int64_t position) override;
    int64_t tell() const override { return position_; }
    int64_t size() const override { return static_cast<int64_t>(bytes_.size()); }
    const std::string& name() const override { return name_; }

private:
    MemoryByteSource() = default;
    std::vector<uint8_t> owned_;
    std::span<const uint8_t> bytes_;
    int64_t position_ = 0;
    std::string name_;
};

// A source over a disk file opened for reading; closes it when destroyed.
class FileByteSource final : public ByteSource {
public:
    // Null when the file cannot be opened.
    static std::unique_ptr<FileByteSource> open(const std::string& path);
    ~FileByteSource() override;
    size_t read(void* buffer, size_t count) override;
    bool seek(int64_t position) override;
    int64_t tell() const override { return position_; }
    int64_t size() const override { return size_; }
    const std::string& name() const override { return name_; }

private:
    FileByteSource(std::FILE* file, int64_t size, std::string name);
    std::FILE* file_;
    int64_t size_;
    int64_t position_ = 0;
    std::string name_;
};

}  // namespace lv::audio
