#include "shell/find_files.h"

#include "shell/file_path.h"

namespace lv {

namespace {

constexpr int kDriveCount = 26;

std::string driveName(int drive) { return std::string{static_cast<char>('A' + drive), ':'}; }

void setDriveEntry(FindEntry& entry, int drive) {
    entry = FindEntry{};
    entry.shortName = driveName(drive);
    entry.attributes = FindEntry::kDirectory;
    entry.valid = true;
}

// "*.*" or an empty pattern: every drive present, in letter order.
class DriveListFinder final : public Finder {
public:
    explicit DriveListFinder(std::uint32_t mask) : mask_(mask) {}
    bool moveToNextDrive() {
        while (++drive_ < kDriveCount)
            if (mask_ & (1u << drive_)) {
                setDriveEntry(entry_, drive_);
                return true;
            }
        return false;
    }
    int next() override { return moveToNextDrive() ? 1 : 0; }

private:
    std::uint32_t mask_;
    int drive_ = -1;
};

// A letter and a colon: that one drive.
class OneDriveFinder final : public Finder {
public:
    explicit OneDriveFinder(int drive) { setDriveEntry(entry_, drive); }
    int next() override { return 0; }
};

int driveIndex(char letter) {
    if (letter >= 'a' && letter <= 'z') return letter - 'a';
    if (letter >= 'A' && letter <= 'Z') return letter - 'A';
    return -1;
}

char toUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

void prepareEntry(FindEntry& entry) {
    if (entry.shortName.empty()) {
        entry.shortName = entry.longName;
        for (char& c : entry.shortName) c = toUpperAscii(c);
        if (entry.shortName == entry.longName) entry.longName.clear();
    }
    entry.valid = true;
}

DosDateTime toDosDateTime(int year, int month, int day, int hour, int minute, int second) {
    if (year < 1980 || year > 2107) return {};
    DosDateTime result;
    result.date = static_cast<std::uint16_t>((year - 1980) << 9 | month << 5 | day);
    result.time = static_cast<std::uint16_t>(hour << 11 | minute << 5 | second / 2);
    return result;
}

FinderPtr findFirst(std::string_view pattern, int reserved) {
    if (reserved != 0) return nullptr;
    const std::string text = toBackslashes(pattern);
    if (text.empty() || text == "*.*") {
        auto drives = std::make_unique<DriveListFinder>(logicalDriveMask());
        if (!drives->moveToNextDrive()) return nullptr;
        return drives;
    }
    if (text.size() == 2 && text[1] == ':' && driveIndex(text[0]) >= 0) {
        const int drive = driveIndex(text[0]);
        if (!(logicalDriveMask() & (1u << drive))) return nullptr;
        return std::make_unique<OneDriveFinder>(drive);
    }
    return findOnDisk(text);
}

}  // namespace lv
