// The thumbnail area's file list: one entry per picture file of the folder
// read, with its decoded small picture, its composed tile and its selection
// mark; and the work of giving entries their pictures.
//
// Entries get their pictures lazily, visible ones first:
//
//     ThumbList list;
//     list.assign(listFiles(folder + "*.jpg", 20000));
//     list.decodeSome({first, last}, {100, 100}, read, deadline);
//
// Each entry is tried once: a file that cannot be read or decoded keeps no
// picture (the pending look) and is never tried again, so once every entry
// has a picture or has failed, nothing is pending and no more work is done.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "browse/file_cache.h"
#include "codec/fit.h"
#include "render/bitmap.h"

namespace lv {

struct ThumbEntry {
    std::string path;
    BitmapPtr picture;  // the decoded small picture
    BitmapPtr tile;     // the composed tile
    bool selected = false;
    bool tried = false;  // decoding was attempted and failed
};

struct VisibleRange {
    int first = 0, last = -1;
};

// The whole content of a file by path; null when it cannot be read.
using FileReader = std::function<FileData(const std::string& path)>;
// Decodes a tile picture; the program's is decodeTilePicture.
using TileDecoder = std::function<BitmapPtr(std::span<const std::uint8_t> bytes, PictureSize box)>;

class ThumbList {
public:
    std::vector<ThumbEntry> entries;

    void assign(const std::vector<std::string>& paths);
    void clear() { entries.clear(); }
    int count() const { return static_cast<int>(entries.size()); }
    bool valid(int index) const { return index >= 0 && index < count(); }

    // The first (last) entry marked selected; -1 when none.
    int firstSelected() const;
    int lastSelected() const;

    // The next entry to decode: visible entries first, in order, then the
    // others from the start; entries with a picture or a failed try are
    // passed over. -1 when nothing is pending.
    int nextToDecode(VisibleRange visible) const;
    bool pending() const { return nextToDecode({0, -1}) >= 0; }

    // Decodes one entry (nextToDecode's): reads the file, decodes it into the
    // box. Returns the index worked on, or -1 when nothing was pending.
    int decodeOne(VisibleRange visible, PictureSize box, const FileReader& read, const TileDecoder& decode);
};

}  // namespace lv
