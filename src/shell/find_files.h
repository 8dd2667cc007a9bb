// Finding files and folders in the manner of the old drive-and-directory
// model. Every entry carries a DOS date and time (local time); a pattern of
// "*.*" or an empty pattern lists the drives, "c:" the one drive C:.
//
//     for (FinderPtr f = findFirst("C:\\pics\\*.jpg"); f; ) {
//         use(f->entry().name());
//         if (f->next() != 1) break;
//     }
//
// Short names: an entry whose short name is empty takes its long name in
// upper case as its short name; when that equals the long name exactly the
// long name is emptied. So README.TXT lists by its short name and readme.txt
// by its long name. name() is the long name, or the short name without one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace lv {

struct FindEntry {
    static constexpr std::uint32_t kDirectory = 0x10;
    static constexpr std::uint32_t kArchive = 0x20;

    std::string longName;   // at most 259 characters
    std::string shortName;  // at most 13 characters
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    std::uint16_t dosTime = 0;
    std::uint16_t dosDate = 0;
    bool valid = false;

    const std::string& name() const { return longName.empty() ? shortName : longName; }
    bool isDirectory() const { return (attributes & kDirectory) != 0; }
};

class Finder {
public:
    virtual ~Finder() = default;
    const FindEntry& entry() const { return entry_; }
    // Moves to the next entry: 1 when there is one, 0 when there are no
    // more, -1 on an error.
    virtual int next() = 0;

protected:
    FindEntry entry_;
};

using FinderPtr = std::unique_ptr<Finder>;  // destroying it is find close

// The first entry matching the pattern (slashes become backslashes), or null
// when nothing matches, the drive is absent or reserved is not 0.
FinderPtr findFirst(std::string_view pattern, int reserved = 0);

// Applies the short-name rule and marks the entry valid.
void prepareEntry(FindEntry& entry);

// DOS date (bits 15-9 year - 1980, 8-5 month, 4-0 day) and time (15-11
// hour, 10-5 minute, 4-0 seconds / 2); both 0 outside the years 1980-2107.
struct DosDateTime {
    std::uint16_t date = 0, time = 0;
};
DosDateTime toDosDateTime(int year, int month, int day, int hour, int minute, int second);

// --- platform part (find_files_win32.cpp, find_files_posix.cpp) ----------
// The system's find-first over a pattern with backslashes; null on failure.
FinderPtr findOnDisk(const std::string& pattern);
// Bit n set when drive 'A' + n is present. The POSIX twin has one drive, Z:,
// which is the root "/" (as under Wine).
std::uint32_t logicalDriveMask();

}  // namespace lv
