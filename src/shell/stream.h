// Streams: one interface for files on disk, blocks of memory and the files a
// launcher carries packed inside itself, so every reader reads them alike.
//
//     StreamPtr s = openWithPackedFiles("*/menu.scr", OpenMode::kRead);
//     if (s) { s->seek(0, SeekOrigin::End); ... }
//
// Closing a stream is destroying it (the unique_ptr releases it). Every
// operation reports failure by its return value; none throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace lv {

// The 16-bit open mode. Bits 0 and 1: access (0 read only, else read and
// write); bits 4 to 6: sharing; 0x200: delete the file; 0x1000: create it.
namespace OpenMode {
inline constexpr unsigned kAccessMask = 0x3;
inline constexpr unsigned kShareExclusive = 0x10;  // no sharing
inline constexpr unsigned kShareDenyOthers = 0x20;  // no sharing unless 0x40 is set too
inline constexpr unsigned kShareAll = 0x40;         // others may read and write
inline constexpr unsigned kDelete = 0x200;
inline constexpr unsigned kCreate = 0x1000;

inline constexpr unsigned kRead = 0x40;                // read, shared
inline constexpr unsigned kCreateReadWrite = 0x1042;  // create (or truncate) for reading and writing, shared

constexpr bool writable(unsigned mode) { return (mode & kAccessMask) != 0; }
constexpr bool shared(unsigned mode) {
    if (mode & kShareExclusive) return false;
    return !((mode & kShareDenyOthers) && !(mode & kShareAll));
}
}  // namespace OpenMode

enum class SeekOrigin { Start = 0, Current = 1, End = 2 };

class Stream {
public:
    virtual ~Stream() = default;
    // Moves the position; returns the new position, or -1. From the end a
    // disk file moves to size + offset and a memory stream to size - offset
    // (memory_stream.h); the readers only ever seek to 0 from the end.
    virtual std::int64_t seek(std::int64_t offset, SeekOrigin origin) = 0;
    // Returns the number of bytes transferred, or -1 when the platform call fails.
    virtual std::int64_t read(void* buffer, std::size_t count) = 0;
    virtual std::int64_t write(const void* buffer, std::size_t count) = 0;
    // Pushes buffered writes to the device; 0 on success, -1 on failure.
    virtual int flush() { return 0; }
};

using StreamPtr = std::unique_ptr<Stream>;

}  // namespace lv
