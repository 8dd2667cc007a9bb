#include <windows.h>

#include "shell/disk_file.h"
#include "shell/error_mode_win32.h"
#include "shell/file_path.h"

namespace lv {

namespace {

class DiskStream final : public Stream {
public:
    explicit DiskStream(HANDLE file) : file_(file) {}
    ~DiskStream() override {
        CriticalErrorsOff quiet;
        CloseHandle(file_);
    }

    std::int64_t seek(std::int64_t offset, SeekOrigin origin) override {
        static constexpr DWORD kMethods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
        CriticalErrorsOff quiet;
        LONG high = static_cast<LONG>(offset >> 32);
        const DWORD low = SetFilePointer(file_, static_cast<LONG>(offset & 0xFFFFFFFF), &high,
                                         kMethods[static_cast<int>(origin)]);
        if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return -1;
        return (static_cast<std::int64_t>(high) << 32) | low;
    }

    std::int64_t read(void* buffer, std::size_t count) override {
        CriticalErrorsOff quiet;
        DWORD done = 0;
        if (!ReadFile(file_, buffer, clampCount(count), &done, nullptr)) return -1;
        return done;
    }

    std::int64_t write(const void* buffer, std::size_t count) override {
        CriticalErrorsOff quiet;
        DWORD done = 0;
        if (!WriteFile(file_, buffer, clampCount(count), &done, nullptr)) return -1;
        return done;
    }

    int flush() override {
        CriticalErrorsOff quiet;
        return FlushFileBuffers(file_) ? 0 : -1;
    }

private:
    // One call transfers at most 1 GiB; callers loop on short counts anyway.
    static DWORD clampCount(std::size_t count) { return static_cast<DWORD>(count < (1u << 30) ? count : (1u << 30)); }

    HANDLE file_;
};

HANDLE openHandle(const std::string& path, unsigned mode) {
    const DWORD access = OpenMode::writable(mode) ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    const DWORD share = OpenMode::shared(mode) ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN;
    if (!(mode & OpenMode::kCreate))
        return CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr);
    HANDLE file = CreateFileA(path.c_str(), access, share, nullptr, CREATE_NEW, flags, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        file = CreateFileA(path.c_str(), access, share, nullptr, TRUNCATE_EXISTING, flags, nullptr);
    return file;
}

}  // namespace

StreamPtr openDiskFile(std::string_view path, unsigned mode, int reserved) {
    if (reserved != 0) return nullptr;
    const std::string name = toBackslashes(path);
    CriticalErrorsOff quiet;
    if (mode & OpenMode::kDelete) {
        DeleteFileA(name.c_str());
        return nullptr;
    }
    HANDLE file = openHandle(name, mode);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<DiskStream>(file);
}

}  // namespace lv
