#include <windows.h>

#include "shell/error_mode_win32.h"
#include "shell/find_files.h"

namespace lv {

namespace {

constexpr DWORD kNoMoreFiles = ERROR_NO_MORE_FILES;  // 18

class DiskFinder final : public Finder {
public:
    explicit DiskFinder(HANDLE search, const WIN32_FIND_DATAA& data) : search_(search) { take(data); }
    ~DiskFinder() override {
        CriticalErrorsOff quiet;
        FindClose(search_);
    }

    int next() override {
        CriticalErrorsOff quiet;
        WIN32_FIND_DATAA data;
        if (!FindNextFileA(search_, &data)) return GetLastError() == kNoMoreFiles ? 0 : -1;
        take(data);
        return 1;
    }

private:
    void take(const WIN32_FIND_DATAA& data) {
        entry_ = FindEntry{};
        entry_.longName = data.cFileName;
        entry_.shortName = data.cAlternateFileName;
        entry_.attributes = data.dwFileAttributes;
        entry_.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
        FILETIME local;
        WORD date = 0, time = 0;
        if (FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) && FileTimeToDosDateTime(&local, &date, &time)) {
            entry_.dosDate = date;
            entry_.dosTime = time;
        }
        prepareEntry(entry_);
    }

    HANDLE search_;
};

}  // namespace

FinderPtr findOnDisk(const std::string& pattern) {
    CriticalErrorsOff quiet;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<DiskFinder>(search, data);
}

std::uint32_t logicalDriveMask() {
    CriticalErrorsOff quiet;
    return GetLogicalDrives();
}

}  // namespace lv
