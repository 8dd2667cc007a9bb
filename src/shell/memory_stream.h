// A stream over a block of memory that it owns. Packed files open as memory
// streams, and the thumbnail cache hands out copies of cached files as them.
//
// Rules (the same for every memory stream):
//  - seek: from the current position gives position + offset; from the end
//    gives size - offset (a positive offset moves back from the end); from the
//    start gives offset. A negative result gives -1 and keeps the position;
//    any other result is capped at the size and becomes the position.
//  - read: a null buffer reads nothing and gives 1; otherwise copies
//    min(count, size - position) bytes and advances.
//  - write: writes at the position, growing the block as needed; gives count,
//    or 0 when the block cannot grow (it then stays as it was).
#pragma once

#include <cstdint>
#include <vector>

#include "shell/stream.h"

namespace lv {

class MemoryStream final : public Stream {
public:
    // Largest block a memory stream grows to; a write beyond it gives 0.
    static constexpr std::size_t kMaxSize = std::size_t{1} << 30;

    MemoryStream() = default;
    explicit MemoryStream(std::vector<std::uint8_t> data) : data_(std::move(data)) {}

    std::int64_t seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t read(void* buffer, std::size_t count) override;
    std::int64_t write(const void* buffer, std::size_t count) override;

    std::size_t size() const { return data_.size(); }
    std::size_t position() const { return position_; }
    const std::vector<std::uint8_t>& data() const { return data_; }
    // The whole block, leaving the stream empty.
    std::vector<std::uint8_t> take();

private:
    std::vector<std::uint8_t> data_;
    std::size_t position_ = 0;
};

}  // namespace lv
