// Frame records (span_mask.h): merging the sets of one step into a record
// and painting a record on the display.
//
// Both run once per frame over every pixel that changes, so neither works
// pixel by pixel through general calls: the merge sizes each row entry once
// and writes it through a plain pointer; the painter blends and converts
// each group of a row in one go and copies it out run by run.
#include <algorithm>
#include <array>
#include <cstring>

#include "display/cpu_features.h"
#include "transition/blend_kernels.h"
#include "transition/frame_painter.h"
#include "transition/prefetch.h"
#include "transition/set_painter.h"
#include "transition/span_mask.h"

namespace lv {

// --- the record buffer -----------------------------------------------------------

void FrameRecord::reserve(std::size_t n) {
    if (n <= bytes_.size()) return;
    std::size_t size = bytes_.empty() ? kFirstSize : bytes_.size();
    while (n > size) size *= 2;
    bytes_.resize(size);
}

std::uint8_t* FrameRecord::append(std::size_t n) {
    reserve(used_ + n);
    std::uint8_t* at = bytes_.data() + used_;
    used_ += n;
    return at;
}

void FrameRecord::put(const void* v, std::size_t n) { std::memcpy(append(n), v, n); }

namespace {

std::uint8_t* write16(std::uint8_t* at, std::uint16_t v) {
    std::memcpy(at, &v, 2);
    return at + 2;
}
std::uint8_t* write32(std::uint8_t* at, std::uint32_t v) {
    std::memcpy(at, &v, 4);
    return at + 4;
}

// Bytes of one pixel of a group of `kind`, and of the group's head.
std::size_t pixelBytes(std::uint32_t kind) { return kind == 0 ? 6 : kind == 1 ? 10 : 2; }
std::size_t headBytes(std::uint32_t kind) { return kind == 1 || kind == 2 ? 12 : 8; }

// A step's sets are read row by row across all of them: one stream per set
// (a column set gives one pixel per row), more than the processor follows
// on its own, so each set's next rows are fetched ahead while this row is
// written.
constexpr std::size_t kAhead = 16;  // pixel records, three cache lines

// One set during a merge: its row counts, its next pixel and its group key.
struct Cursor {
    const std::uint16_t* counts;
    std::int32_t rows;
    const PixelRecord* next;
    const PixelRecord* end;
    SetMode mode;
    std::int32_t level;
    std::uint32_t colour;

    bool sameGroup(const Cursor& other) const {
        return mode == other.mode && (mode != SetMode::Blend || level == other.level) &&
               (mode != SetMode::Fill || colour == other.colour);
    }
    // Writes the set's pixels of row y at w; returns the end of what it wrote.
    std::uint8_t* writeRow(std::int32_t y, std::uint8_t* w) {
        const std::uint32_t n = y < rows ? counts[y] : 0;
        const PixelRecord* p = next;
        next += n;
        if (end - next > static_cast<std::ptrdiff_t>(kAhead)) prefetch(next + kAhead);
        switch (mode) {
        case SetMode::ShowIncoming:
            for (std::uint32_t k = 0; k < n; ++k) w = write32(write16(w, p[k].x), p[k].incoming);
            break;
        case SetMode::Blend:
            for (std::uint32_t k = 0; k < n; ++k) w = write32(write32(write16(w, p[k].x), p[k].outgoing), p[k].incoming);
            break;
        case SetMode::Fill:
            for (std::uint32_t k = 0; k < n; ++k) w = write16(w, p[k].x);
            break;
        }
        return w;
    }
};

// Sets of one row that share mode, level and colour: [first, last) of the
// sorted list, with their pixel count on the row.
struct Group {
    std::size_t first, last;
    std::uint32_t count;
};

}  // namespace

// --- merging -------------------------------------------------------------------

void mergeSets(std::vector<const PixelSet*> sets, FrameRecord& out) {
    out.clear();
    sortForPainting(sets);
    // Where each set stands, kept together so the walk reads one small table.
    std::vector<Cursor> cursors;
    cursors.reserve(sets.size());
    std::int32_t rows = 0;
    for (const PixelSet* set : sets) {
        cursors.push_back(Cursor{set->rowCounts.data(), set->rowCount(), set->pixels.data(),
                                 set->pixels.data() + set->pixels.size(), set->mode, set->level, set->colour});
        rows = std::max(rows, set->rowCount());
    }
    std::vector<Group> groups;
    groups.reserve(sets.size());
    for (std::int32_t y = 0; y < rows; ++y) {
        groups.clear();
        for (std::size_t s = 0; s < cursors.size(); ++s) {
            const std::uint32_t n = y < cursors[s].rows ? cursors[s].counts[y] : 0;
            if (n == 0) continue;
            // Sets without pixels on this row do not break a run.
            if (!groups.empty() && cursors[groups.back().first].sameGroup(cursors[s])) {
                groups.back().last = s + 1;
                groups.back().count += n;
            } else {
                groups.push_back(Group{s, s + 1, n});
            }
        }
        if (groups.empty()) continue;
        std::size_t bytes = 4;
        for (const Group& g : groups) {
            const std::uint32_t kind = static_cast<std::uint32_t>(cursors[g.first].mode);
            bytes += headBytes(kind) + g.count * pixelBytes(kind);
        }
        std::uint8_t* w = out.append(bytes);
        w = write16(w, static_cast<std::uint16_t>(groups.size()));
        w = write16(w, static_cast<std::uint16_t>(y));
        for (const Group& g : groups) {
            const Cursor& head = cursors[g.first];
            w = write32(w, g.count);
            w = write32(w, static_cast<std::uint32_t>(head.mode));
            if (head.mode == SetMode::Blend) w = write32(w, static_cast<std::uint32_t>(head.level));
            if (head.mode == SetMode::Fill) w = write32(w, head.colour);
            for (std::size_t s = g.first; s < g.last; ++s) w = cursors[s].writeRow(y, w);
        }
    }
    out.put16(0);
    out.put16(0);
}

// --- painting ------------------------------------------------------------------

namespace {

class RecordReader {
public:
    explicit RecordReader(const FrameRecord& frame) : at_(frame.data()), end_(frame.data() + frame.size()) {}
    bool has(std::size_t n) const { return static_cast<std::size_t>(end_ - at_) >= n; }
    std::uint16_t get16() {
        std::uint16_t v;
        std::memcpy(&v, at_, 2);
        at_ += 2;
        return v;
    }
    std::uint32_t get32() {
        std::uint32_t v;
        std::memcpy(&v, at_, 4);
        at_ += 4;
        return v;
    }
    // Skips n bytes, or to the end when fewer are left.
    void skip(std::size_t n) { at_ += std::min(n, static_cast<std::size_t>(end_ - at_)); }

private:
    const std::uint8_t* at_;
    const std::uint8_t* end_;
};

// The pixels of one group on one row, gathered so that they are blended and
// converted to the output's format in one go, then written run by run
// (a run: consecutive columns), each run clipped to the output and the
// visible spans as a whole. A full batch is written and a new one begun.
class GroupPainter {
public:
    static constexpr std::size_t kBatch = 2048;

    GroupPainter(const LockedOutput& out, const VisibleRegion* visible, BlendRowKernel blend)
        : out_(out), visible_(visible != nullptr && !visible->allVisible() ? visible : nullptr), blend_(blend),
          bytesPerPixel_(static_cast<std::size_t>(out.format->bytesPerPixel)), columns_(kBatch), outgoing_(kBatch),
          incoming_(kBatch), mixed_(kBatch), bytes_(kBatch * 4) {}

    void start(std::int32_t y, std::uint32_t kind, std::uint32_t extra) {
        y_ = y;
        kind_ = kind;
        extra_ = extra;
        n_ = 0;
    }
    // Adds a pixel; `outgoing` counts for blends only.
    void add(std::int32_t x, std::uint32_t outgoing, std::uint32_t incoming) {
        if (n_ == kBatch) flush();
        columns_[n_] = x;
        outgoing_[n_] = outgoing;
        incoming_[n_] = incoming;
        ++n_;
    }
    void flush() {
        if (n_ == 0) return;
        const std::int32_t n = static_cast<std::int32_t>(n_);
        const std::uint32_t* values = incoming_.data();
        if (kind_ == 1) {
            blend_(outgoing_.data(), incoming_.data(), n, static_cast<std::int32_t>(std::min<std::uint32_t>(extra_, 256)), 0,
                   mixed_.data());
            values = mixed_.data();
        } else if (kind_ == 2) {
            std::fill_n(mixed_.begin(), n_, extra_);
            values = mixed_.data();
        }
        storePixels(*out_.format, values, n, bytes_.data());
        for (std::size_t first = 0; first < n_;) {
            std::size_t last = first + 1;
            while (last < n_ && columns_[last] == columns_[last - 1] + 1) ++last;
            writeRun(first, last);
            first = last;
        }
        n_ = 0;
    }

private:
    // Writes the gathered pixels [first, last), consecutive columns.
    void writeRun(std::size_t first, std::size_t last) {
        const std::int32_t x = columns_[first], end = x + static_cast<std::int32_t>(last - first);
        if (visible_ == nullptr) {
            store(first, x, std::max(x, out_.area.left), std::min(end, out_.area.right()));
            return;
        }
        const std::vector<std::int32_t>& spans = visible_->spans(y_);
        for (std::size_t k = 0; k + 1 < spans.size(); k += 2) {
            store(first, x, std::max({x, spans[k], out_.area.left}), std::min({end, spans[k + 1], out_.area.right()}));
        }
    }
    // Columns [from, to) of the run of gathered pixel `first` at column x.
    void store(std::size_t first, std::int32_t x, std::int32_t from, std::int32_t to) {
        if (from >= to) return;
        const std::uint8_t* bytes = bytes_.data() + (first + static_cast<std::size_t>(from - x)) * bytesPerPixel_;
        std::uint8_t* target = out_.at(from, y_);
        if (to - from == 1) {
            // Scattered pixels (a dissolve) come one by one: copies of a known size.
            switch (bytesPerPixel_) {
            case 2: std::memcpy(target, bytes, 2); return;
            case 3: std::memcpy(target, bytes, 3); return;
            case 4: std::memcpy(target, bytes, 4); return;
            default: break;
            }
        }
        std::memcpy(target, bytes, static_cast<std::size_t>(to - from) * bytesPerPixel_);
    }

    const LockedOutput& out_;
    const VisibleRegion* visible_;
    BlendRowKernel blend_;
    std::size_t bytesPerPixel_;
    std::int32_t y_ = 0;
    std::uint32_t kind_ = 0, extra_ = 0;
    std::size_t n_ = 0;
    std::vector<std::int32_t> columns_;
    std::vector<std::uint32_t> outgoing_, incoming_, mixed_;
    std::vector<std::uint8_t> bytes_;
};

// Reads the record a few row entries ahead of the painter and asks for the
// display lines those rows will write. A step's pixels lie in a column, on
// a line or scattered (a dissolve): one or a few per row, every row on its
// own memory page, which the processor does not fetch ahead by itself.
class LineFetcher {
public:
    static constexpr int kRowsAhead = 8;

    LineFetcher(const FrameRecord& frame, const LockedOutput& out, std::int32_t ox, std::int32_t oy)
        : reader_(frame), out_(out), ox_(ox), oy_(oy) {}

    // Fetches the lines of the next row entry; false at the record's end.
    bool next() {
        if (!reader_.has(4)) return false;
        const std::uint16_t groups = reader_.get16();
        const std::int32_t y = reader_.get16() + oy_;
        if (groups == 0) return false;
        const bool rowInside = y >= out_.area.top && y < out_.area.bottom();
        for (std::uint16_t g = 0; g < groups && reader_.has(8); ++g) {
            const std::uint32_t count = reader_.get32();
            const std::uint32_t kind = reader_.get32();
            if ((kind == 1 || kind == 2) && reader_.has(4)) reader_.get32();
            const std::size_t perPixel = pixelBytes(kind);
            if (!rowInside) {
                reader_.skip(std::size_t{count} * perPixel);
                continue;
            }
            std::uintptr_t lastLine = 0;
            for (std::uint32_t k = 0; k < count && reader_.has(perPixel); ++k) {
                const std::int32_t x = reader_.get16() + ox_;
                reader_.skip(perPixel - 2);
                if (x < out_.area.left || x >= out_.area.right()) continue;
                const std::uint8_t* at = out_.at(x, y);
                const std::uintptr_t line = reinterpret_cast<std::uintptr_t>(at) / 64;
                if (line != lastLine) prefetchForWrite(at);
                lastLine = line;
            }
        }
        return true;
    }

private:
    RecordReader reader_;
    const LockedOutput& out_;
    std::int32_t ox_, oy_;
};

}  // namespace

bool paintFrameRecord(const FrameRecord& frame, Display& display, std::int32_t ox, std::int32_t oy,
                      const VisibleRegion* visible) {
    FramePainter painter(display);
    if (!painter.locked()) return false;
    const BlendRowKernel blend = blendKernel(processorRecord());
    for (const LockedOutput& out : painter.outputs()) {
        GroupPainter group(out, visible, blend);
        LineFetcher ahead(frame, out, ox, oy);
        for (int k = 0; k < LineFetcher::kRowsAhead && ahead.next(); ++k) {
        }
        RecordReader reader(frame);
        while (reader.has(4)) {
            ahead.next();
            const std::uint16_t groups = reader.get16();
            const std::int32_t y = reader.get16() + oy;
            if (groups == 0) break;
            const bool rowInside = y >= out.area.top && y < out.area.bottom();
            for (std::uint16_t g = 0; g < groups && reader.has(8); ++g) {
                const std::uint32_t count = reader.get32();
                const std::uint32_t kind = reader.get32();
                std::uint32_t extra = 0;
                if ((kind == 1 || kind == 2) && reader.has(4)) extra = reader.get32();
                const std::size_t perPixel = pixelBytes(kind);
                if (!rowInside) {
                    reader.skip(std::size_t{count} * perPixel);
                    continue;
                }
                group.start(y, kind, extra);
                for (std::uint32_t k = 0; k < count && reader.has(perPixel); ++k) {
                    const std::int32_t x = reader.get16() + ox;
                    const std::uint32_t outgoing = kind == 1 ? reader.get32() : 0;
                    const std::uint32_t incoming = kind != 2 ? reader.get32() : 0;
                    group.add(x, outgoing, incoming);
                }
                group.flush();
            }
        }
    }
    return true;
}

}  // namespace lv
