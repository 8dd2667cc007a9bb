#include "codec/byte_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <system_error>

namespace lv::codec {

long SharedStream::seek(long offset, int origin) {
    if (origin < 0 || origin > 2) return -1;
    const std::int64_t position = stream_.seek(offset, static_cast<SeekOrigin>(origin));
    return position < 0 || position > std::numeric_limits<long>::max() ? -1 : static_cast<long>(position);
}

int SharedStream::read(std::uint8_t* buffer, int count) {
    if (count <= 0) return count < 0 ? -1 : 0;
    const std::int64_t n = stream_.read(buffer, static_cast<std::size_t>(count));
    return n < 0 || n > count ? -1 : static_cast<int>(n);
}

int SharedStream::write(const std::uint8_t* buffer, int count) {
    if (count < 0) return -1;
    const std::int64_t n = stream_.write(buffer, static_cast<std::size_t>(count));
    return n < 0 || n > count ? -1 : static_cast<int>(n);
}

long MemoryStream::seek(long offset, int origin) {
    long base = 0;
    if (origin == 1) base = static_cast<long>(position_);
    if (origin == 2) base = static_cast<long>(bytes_.size());
    const long target = origin == 2 ? base - offset : base + offset;
    if (target < 0) return -1;
    position_ = std::min(static_cast<std::size_t>(target), bytes_.size());
    return static_cast<long>(position_);
}

int MemoryStream::read(std::uint8_t* buffer, int count) {
    if (count <= 0) return 0;
    const std::size_t n = std::min(static_cast<std::size_t>(count), bytes_.size() - position_);
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return static_cast<int>(n);
}

int MemoryStream::write(const std::uint8_t* buffer, int count) {
    if (count <= 0) return 0;
    try {
        const std::size_t end = position_ + static_cast<std::size_t>(count);
        if (end > bytes_.size()) bytes_.resize(end);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    std::memcpy(bytes_.data() + position_, buffer, static_cast<std::size_t>(count));
    position_ += static_cast<std::size_t>(count);
    return count;
}

FileStream::FileStream(const std::string& path, const char* mode) : file_(std::fopen(path.c_str(), mode)) {}

FileStream::~FileStream() { close(); }

long FileStream::seek(long offset, int origin) {
    if (!file_) return -1;
    const int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    if (std::fseek(file_, origin == 2 ? -offset : offset, whence) != 0) return -1;
    return std::ftell(file_);
}

int FileStream::read(std::uint8_t* buffer, int count) {
    if (!file_ || count <= 0) return count < 0 ? -1 : 0;
    return static_cast<int>(std::fread(buffer, 1, static_cast<std::size_t>(count), file_));
}

int FileStream::write(const std::uint8_t* buffer, int count) {
    if (!file_ || count < 0) return -1;
    return static_cast<int>(std::fwrite(buffer, 1, static_cast<std::size_t>(count), file_));
}

bool FileStream::close() {
    if (!file_) return true;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
}

int AtomicFileSink::write(const std::uint8_t* buffer, int count) {
    if (count < 0) return -1;
    return file_.write(buffer, static_cast<std::size_t>(count)) ? count : -1;
}

}  // namespace lv::codec
