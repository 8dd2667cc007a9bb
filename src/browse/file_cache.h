// The thumbnail area's file-content cache: whole files kept in memory by
// path, so that a picture read for its tile is not read again when the
// viewer opens it.
//
// At most kMaxEntries entries and kMaxBytes bytes in all; adding evicts the
// oldest entries first until the new one fits. A single file larger than the
// byte limit may stay alone.
//
//     cache.add("C:\\a.jpg", bytes);
//     if (auto data = cache.find("c:\\A.JPG")) decode(*data);
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lv {

using FileData = std::shared_ptr<const std::vector<std::uint8_t>>;

class FileCache {
public:
    static constexpr std::size_t kMaxEntries = 19999;
    static constexpr std::size_t kMaxBytes = 5242880;

    void add(std::string_view path, FileData data);
    // The newest entry of that path (case ignored); null when absent.
    FileData find(std::string_view path) const;
    void clear();
    std::size_t size() const { return entries_.size(); }
    std::size_t totalBytes() const { return total_; }
    // The cached paths, oldest first.
    std::vector<std::string> paths() const;

private:
    struct Entry {
        std::string path;
        FileData data;
    };
    std::deque<Entry> entries_;
    std::size_t total_ = 0;
};

}  // namespace lv
