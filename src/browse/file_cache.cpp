#include "browse/file_cache.h"

#include <algorithm>
#include <cctype>

namespace lv {

namespace {

bool sameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

void FileCache::add(std::string_view path, FileData data) {
    if (!data) return;
    const std::size_t bytes = data->size();
    while (!entries_.empty() && (entries_.size() >= kMaxEntries || total_ + bytes > kMaxBytes)) {
        total_ -= entries_.front().data->size();
        entries_.pop_front();
    }
    entries_.push_back({std::string(path), std::move(data)});
    total_ += bytes;
}

FileData FileCache::find(std::string_view path) const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        if (sameNoCase(it->path, path)) return it->data;
    return nullptr;
}

void FileCache::clear() {
    entries_.clear();
    total_ = 0;
}

std::vector<std::string> FileCache::paths() const {
    std::vector<std::string> out;
    for (const Entry& e : entries_) out.push_back(e.path);
    return out;
}

}  // namespace lv
