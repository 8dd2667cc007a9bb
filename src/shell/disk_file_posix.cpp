// The POSIX twin of the disk streams: Windows paths are mapped to POSIX
// names (toPosixPath); sharing has no meaning here and is ignored.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "shell/disk_file.h"
#include "shell/file_path.h"

namespace lv {

namespace {

class DiskStream final : public Stream {
public:
    explicit DiskStream(int fd) : fd_(fd) {}
    ~DiskStream() override { ::close(fd_); }

    std::int64_t seek(std::int64_t offset, SeekOrigin origin) override {
        static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
        const off_t result = ::lseek(fd_, static_cast<off_t>(offset), kWhence[static_cast<int>(origin)]);
        return result < 0 ? -1 : static_cast<std::int64_t>(result);
    }

    std::int64_t read(void* buffer, std::size_t count) override {
        return transfer(count, [&](std::size_t done, std::size_t left) {
            return ::read(fd_, static_cast<char*>(buffer) + done, left);
        });
    }

    std::int64_t write(const void* buffer, std::size_t count) override {
        return transfer(count, [&](std::size_t done, std::size_t left) {
            return ::write(fd_, static_cast<const char*>(buffer) + done, left);
        });
    }

    int flush() override { return ::fsync(fd_) == 0 ? 0 : -1; }

private:
    // Like the Win32 calls, a transfer goes on until the count is done, the
    // file ends, or an error stops it.
    template <typename Step>
    static std::int64_t transfer(std::size_t count, Step step) {
        std::size_t done = 0;
        while (done < count) {
            const ssize_t n = step(done, count - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return done ? static_cast<std::int64_t>(done) : -1;
            if (n == 0) break;
            done += static_cast<std::size_t>(n);
        }
        return static_cast<std::int64_t>(done);
    }

    int fd_;
};

}  // namespace

StreamPtr openDiskFile(std::string_view path, unsigned mode, int reserved) {
    if (reserved != 0) return nullptr;
    const std::string name = toPosixPath(toBackslashes(path));
    if (mode & OpenMode::kDelete) {
        ::unlink(name.c_str());
        return nullptr;
    }
    const int access = OpenMode::writable(mode) ? O_RDWR : O_RDONLY;
    int fd = -1;
    if (mode & OpenMode::kCreate) {
        fd = ::open(name.c_str(), access | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) fd = ::open(name.c_str(), access | O_TRUNC | O_CLOEXEC);
    } else {
        fd = ::open(name.c_str(), access | O_CLOEXEC);
    }
    if (fd < 0) return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<DiskStream>(fd);
}

}  // namespace lv
