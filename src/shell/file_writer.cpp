#include "shell/file_writer.h"

#include <filesystem>
#include <random>
#include <system_error>

namespace lv {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBufferBytes = std::size_t{1} << 20;

// A name beside the target that no other writer picks at the same moment.
std::string temporaryBeside(const std::string& target) {
    static std::mt19937 pick{std::random_device{}()};
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = target + ".";
    for (int i = 0; i < 8; ++i) name += kLetters[pick() % (sizeof kLetters - 1)];
    return name + ".tmp";
}

}  // namespace

FileWriter::~FileWriter() { discard(); }

bool FileWriter::open(const std::string& target, std::string& error) {
    discard();
    target_ = target;
    failed_ = false;
    written_ = 0;
    if (target == "-") {
        file_ = binaryStandardOutput();
        ownsFile_ = false;
        return true;
    }
    std::error_code ec;
    const fs::file_status status = fs::status(fs::path(target), ec);
    if (fs::is_directory(status)) {
        error = target + ": is a folder, not a file";
        return false;
    }
    // Only a regular file, or none yet, is replaced through a temporary: a
    // rename would turn a device or a FIFO into a plain file.
    const bool replace = !fs::exists(status) || fs::is_regular_file(status);
    if (replace) temporary_ = temporaryBeside(target);
    file_ = std::fopen(replace ? temporary_.c_str() : target.c_str(), "wb");
    if (!file_) {
        error = "cannot write " + (replace ? temporary_ : target);
        temporary_.clear();
        return false;
    }
    ownsFile_ = true;
    buffer_.reset(new (std::nothrow) char[kBufferBytes]);
    if (buffer_) std::setvbuf(file_, buffer_.get(), _IOFBF, kBufferBytes);
    return true;
}

bool FileWriter::write(const void* data, std::size_t count) {
    if (!file_ || failed_) return false;
    if (count > 0 && std::fwrite(data, 1, count, file_) != count) failed_ = true;
    written_ += count;
    return !failed_;
}

bool FileWriter::writeAt(std::uint32_t offset, const void* data, std::size_t count) {
    if (!file_ || failed_ || !replaces() || offset + static_cast<std::uint64_t>(count) > written_) return false;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0 || std::fwrite(data, 1, count, file_) != count ||
        std::fseek(file_, 0, SEEK_END) != 0)
        failed_ = true;
    return !failed_;
}

bool FileWriter::commit(std::string& error) {
    if (!file_) {
        error = "cannot write " + target_ + ": not open";
        return false;
    }
    bool ok = !failed_ && std::fflush(file_) == 0 && !std::ferror(file_);
    if (ownsFile_) ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (!ok) {
        error = "cannot write " + target_;
        discard();
        return false;
    }
    if (replaces()) {
        std::error_code ec;
        fs::rename(fs::path(temporary_), fs::path(target_), ec);
        if (ec) {
            error = "cannot replace " + target_ + ": " + ec.message();
            discard();
            return false;
        }
        temporary_.clear();
    }
    return true;
}

void FileWriter::discard() {
    if (file_ && ownsFile_) std::fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) {
        std::error_code ignored;
        fs::remove(fs::path(temporary_), ignored);
        temporary_.clear();
    }
    buffer_.reset();
}

bool writeWholeFile(const std::string& target, std::span<const std::uint8_t> bytes, std::string& error) {
    FileWriter out;
    if (!out.open(target, error)) return false;
    out.write(bytes);  // a failure is reported by commit()
    return out.commit(error);
}

}  // namespace lv
