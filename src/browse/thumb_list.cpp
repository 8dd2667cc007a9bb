#include "browse/thumb_list.h"

#include <algorithm>

namespace lv {

namespace {

bool wanting(const ThumbEntry& entry) { return !entry.picture && !entry.tried; }

}  // namespace

void ThumbList::assign(const std::vector<std::string>& paths) {
    entries.clear();
    entries.reserve(paths.size());
    for (const std::string& path : paths) entries.push_back(ThumbEntry{path, nullptr, nullptr, false, false});
}

int ThumbList::firstSelected() const {
    for (int i = 0; i < count(); ++i)
        if (entries[i].selected) return i;
    return -1;
}

int ThumbList::lastSelected() const {
    for (int i = count() - 1; i >= 0; --i)
        if (entries[i].selected) return i;
    return -1;
}

int ThumbList::nextToDecode(VisibleRange visible) const {
    const int first = std::max(0, visible.first);
    const int last = std::min(count() - 1, visible.last);
    for (int i = first; i <= last; ++i)
        if (wanting(entries[i])) return i;
    for (int i = 0; i < count(); ++i)
        if (wanting(entries[i])) return i;
    return -1;
}

int ThumbList::decodeOne(VisibleRange visible, PictureSize box, const FileReader& read, const TileDecoder& decode) {
    const int index = nextToDecode(visible);
    if (index < 0) return -1;
    // Copy the path: nothing here may keep a reference into the list.
    const std::string path = entries[index].path;
    BitmapPtr picture;
    if (const FileData data = read(path)) picture = decode(*data, box);
    ThumbEntry& entry = entries[index];
    if (picture) {
        entry.picture = std::move(picture);
        entry.tile.reset();
    } else {
        entry.tried = true;
    }
    return index;
}

}  // namespace lv
