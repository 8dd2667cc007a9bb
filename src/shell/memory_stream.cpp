#include "shell/memory_stream.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace lv {

std::int64_t MemoryStream::seek(std::int64_t offset, SeekOrigin origin) {
    const auto size = static_cast<std::int64_t>(data_.size());
    const auto position = static_cast<std::int64_t>(position_);
    std::int64_t target = offset;
    // Offsets come from callers; keep the sums inside 64 bits.
    constexpr std::int64_t kLimit = std::int64_t{1} << 62;
    if (offset > kLimit || offset < -kLimit) return -1;
    if (origin == SeekOrigin::Current) target = position + offset;
    if (origin == SeekOrigin::End) target = size - offset;
    if (target < 0) return -1;
    position_ = static_cast<std::size_t>(std::min(target, size));
    return static_cast<std::int64_t>(position_);
}

std::int64_t MemoryStream::read(void* buffer, std::size_t count) {
    if (!buffer) return 1;
    const std::size_t n = std::min(count, data_.size() - position_);
    if (n) std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return static_cast<std::int64_t>(n);
}

std::int64_t MemoryStream::write(const void* buffer, std::size_t count) {
    if (count == 0) return 0;
    if (!buffer || count > kMaxSize - position_) return 0;
    const std::size_t end = position_ + count;
    if (end > data_.size()) {
        try {
            data_.resize(end);
        } catch (const std::bad_alloc&) {
            return 0;
        }
    }
    std::memcpy(data_.data() + position_, buffer, count);
    position_ = end;
    return static_cast<std::int64_t>(count);
}

std::vector<std::uint8_t> MemoryStream::take() {
    std::vector<std::uint8_t> whole;
    whole.swap(data_);
    position_ = 0;
    return whole;
}

}  // namespace lv
