#include "render/scaler.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>

namespace lv {

namespace {

// Ordered dither matrices, indexed [row parity][column parity], per channel
// in the order red, green, blue.
constexpr int kDitherMatrix[3][2][2] = {
    {{3, 1}, {0, 2}},  // red
    {{0, 3}, {2, 1}},  // green
    {{3, 0}, {1, 2}},  // blue
};

constexpr double kRectLimit = 4.0 * Bitmap::kMaxSide;

bool usableRect(const SourceRect& r) {
    for (double v : {r.left, r.top, r.right, r.bottom})
        if (!std::isfinite(v) || std::fabs(v) > kRectLimit) return false;
    return true;
}

bool usableSizes(const ScaleJob& job) {
    for (int v : {job.sourceWidth, job.sourceHeight, job.destWidth, job.destHeight})
        if (v < 1 || v > Bitmap::kMaxSide) return false;
    if (job.sourceKind != kSourceIndexed && job.sourceKind != kSourceBgr) return false;
    if (job.destPixelSize < 1 || job.destPixelSize > 4) return false;
    // One-byte output exists only as the index output of an indexed source.
    if (job.destPixelSize == 1 && !(job.indexOutput && job.sourceKind == kSourceIndexed)) return false;
    return !job.rect || usableRect(*job.rect);
}

}  // namespace

std::unique_ptr<DitherTables> makeDitherTables(const std::array<std::uint32_t, 3>& masks, const std::array<int, 3>& bits) {
    auto tables = std::make_unique<DitherTables>();
    for (int c = 0; c < 3; ++c) {
        const int b = bits[c];
        if (b < 4 || b > 6 || masks[c] == 0) return nullptr;
        const int shift = std::countr_zero(masks[c]);
        const int top = (1 << b) - 1;
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 2; ++column) {
                const int d = kDitherMatrix[c][row][column];
                for (int v = 0; v < 256; ++v) {
                    const int level = std::min((v + (d << (6 - b))) >> (8 - b), top);
                    tables->entry[row][column][c][v] = static_cast<std::uint16_t>(level << shift);
                }
            }
    }
    return tables;
}

struct Scaler::Job {
    struct Slot {
        int row = -1;  // -1: empty
        bool filled = false;
        std::vector<std::uint8_t> pixels;  // destination width, 4 bytes each
    };

    ScaleJob params;
    const ScalerKernels* kernels = nullptr;
    Contributions horizontal;  // windows moved inside the source row
    Contributions vertical;    // as built: taps outside the source reach the edge rows
    bool emitsNothing = false;
    std::array<std::uint32_t, 256> expandedPalette{};  // blue, green, red, 0 in memory order
    std::unique_ptr<DitherTables> dither;
    std::vector<Slot> cache;
    std::vector<std::uint8_t> sourceRow;  // one source row as blue, green, red, 0 plus padding
    std::vector<std::uint8_t> combined;   // the vertical pass's result
    std::vector<int> pending;
    std::vector<const std::uint8_t*> tapRows;
    int y = -1, first = 0, last = 0;

    std::vector<int> slotOfRow;  // per source row: its cache slot, or -1
    std::vector<int> emptySlots;

    Slot* slotOf(int row) {
        const int slot = slotOfRow[static_cast<std::size_t>(row)];
        return slot < 0 ? nullptr : &cache[static_cast<std::size_t>(slot)];
    }
};

Scaler::Scaler(int horizontalMethod, int verticalMethod)
    : horizontalMethod_(horizontalMethod), verticalMethod_(verticalMethod) {}

Scaler::~Scaler() = default;

void Scaler::end() { job_.reset(); }

bool Scaler::emitsNothing() const { return job_ && job_->emitsNothing; }

const char* Scaler::kernelName() const { return job_ ? job_->kernels->name : "none"; }

bool Scaler::start(const ScaleJob& params) {
    end();
    if (!usableSizes(params)) return false;
    try {
        auto job = std::make_unique<Job>();
        job->params = params;
        job->kernels = &chooseScalerKernels(params.processor ? *params.processor : processorRecord());

        ScaleAxis across{params.sourceWidth, params.destWidth, {}, 0};
        ScaleAxis down{params.sourceHeight, params.destHeight, {}, 0};
        if (params.rect) {
            across.rectStart = params.rect->left;
            across.rectEnd = params.rect->right;
            down.rectStart = params.rect->top;
            down.rectEnd = params.rect->bottom;
        }
        auto horizontal = buildContributions(horizontalMethod_, across);
        auto vertical = buildContributions(verticalMethod_, down);
        if (!horizontal || !vertical) return false;
        job->emitsNothing = horizontal->empty() || vertical->empty();
        job->horizontal = std::move(*horizontal);
        job->vertical = std::move(*vertical);
        if (!job->emitsNothing) foldIntoSource(job->horizontal, params.sourceWidth);

        const Palette& palette = params.palette ? *params.palette : greyRamp();
        for (int i = 0; i < 256; ++i) {
            const std::uint8_t bgr0[4] = {palette[i].blue, palette[i].green, palette[i].red, 0};
            std::memcpy(&job->expandedPalette[i], bgr0, 4);
        }
        if (params.destPixelSize == 2) {
            job->dither = makeDitherTables(params.channelMasks, params.channelBits);
            if (!job->dither) return false;
        }

        const std::size_t destBytes = static_cast<std::size_t>(params.destWidth) * 4;
        // A list never needs more distinct rows than the source has.
        job->cache.resize(static_cast<std::size_t>(std::clamp(job->vertical.taps, 1, params.sourceHeight)));
        for (Job::Slot& slot : job->cache) slot.pixels.assign(destBytes, 0);
        // The horizontal windows reach at most `taps` pixels past the row's end.
        job->sourceRow.assign((static_cast<std::size_t>(params.sourceWidth) + job->horizontal.taps + 4) * 4, 0);
        job->combined.assign(destBytes, 0);
        job->tapRows.resize(static_cast<std::size_t>(job->vertical.taps));
        job->pending.reserve(job->cache.size());
        job->emptySlots.reserve(job->cache.size());
        job->slotOfRow.assign(static_cast<std::size_t>(params.sourceHeight), -1);
        job_ = std::move(job);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

std::span<const int> Scaler::beginRow(int y, int* first, int* last) {
    if (!job_) return {};
    Job& j = *job_;
    j.pending.clear();
    j.y = -1;
    j.first = j.last = 0;
    if (!j.emitsNothing && y >= 0 && y < j.params.destHeight) {
        const int height = j.params.sourceHeight;
        const std::int64_t from = j.vertical.first[y];
        // Taps outside the source take the nearest row inside it.
        j.first = static_cast<int>(std::clamp<std::int64_t>(from, 0, height - 1));
        j.last = static_cast<int>(std::clamp<std::int64_t>(from + j.vertical.taps - 1, 0, height - 1)) + 1;
        j.y = y;
        j.emptySlots.clear();
        for (std::size_t i = 0; i < j.cache.size(); ++i) {
            Job::Slot& s = j.cache[i];
            if (s.row >= 0 && (s.row < j.first || s.row >= j.last)) {
                j.slotOfRow[static_cast<std::size_t>(s.row)] = -1;
                s.row = -1;
                s.filled = false;
            }
            if (s.row < 0) j.emptySlots.push_back(static_cast<int>(i));
        }
        auto nextEmpty = j.emptySlots.begin();  // handed out lowest first
        for (int r = j.first; r < j.last; ++r) {
            if (const Job::Slot* s = j.slotOf(r)) {
                if (!s->filled) j.pending.push_back(r);
                continue;
            }
            Job::Slot& empty = j.cache[static_cast<std::size_t>(*nextEmpty++)];
            empty.row = r;
            empty.filled = false;
            j.slotOfRow[static_cast<std::size_t>(r)] = static_cast<int>(&empty - j.cache.data());
            j.pending.push_back(r);
        }
    }
    if (first) *first = j.first;
    if (last) *last = j.last;
    return j.pending;
}

bool Scaler::deliverRow(int row, const std::uint8_t* pixels) {
    if (!job_ || !pixels || job_->y < 0) return false;
    Job& j = *job_;
    if (row < 0 || row >= j.params.sourceHeight) return false;
    Job::Slot* slot = j.slotOf(row);
    if (!slot || slot->filled) return false;

    const int width = j.params.sourceWidth;
    std::uint8_t* row4 = j.sourceRow.data();
    if (j.params.sourceKind == kSourceBgr) {
        j.kernels->fromBgr(pixels, width, row4);
    } else {
        for (int x = 0; x < width; ++x) std::memcpy(row4 + 4 * x, &j.expandedPalette[pixels[x]], 4);
    }
    if (width == 1) {
        // A source one pixel wide is that pixel across the whole row.
        for (int x = 0; x < j.params.destWidth; ++x) std::memcpy(slot->pixels.data() + 4 * x, row4, 4);
    } else {
        const Contributions& h = j.horizontal;
        j.kernels->horizontal(row4, HorizontalPass{h.first.data(), h.weights.data(), h.taps, h.shift, j.params.destWidth},
                              slot->pixels.data());
    }
    slot->filled = true;
    return true;
}

bool Scaler::emitRow(std::uint8_t* dest) {
    if (!job_ || !dest || job_->y < 0) return false;
    Job& j = *job_;
    const Contributions& v = j.vertical;
    const std::int64_t from = v.first[j.y];
    for (int k = 0; k < v.taps; ++k) {
        const int row = static_cast<int>(std::clamp<std::int64_t>(from + k, j.first, j.last - 1));
        const Job::Slot* s = j.slotOf(row);
        if (!s || !s->filled) return false;
        j.tapRows[k] = s->pixels.data();
    }
    const int width = j.params.destWidth;
    j.kernels->vertical(VerticalPass{j.tapRows.data(), v.weightsOf(j.y), v.taps, v.shift, width * 4}, j.combined.data());

    const std::uint8_t* in = j.combined.data();
    switch (j.params.destPixelSize) {
    case 4: j.kernels->toBgr0(in, width, dest); break;
    case 3: j.kernels->toBgr(in, width, dest); break;
    case 2: {
        const auto& rowTables = j.dither->entry[j.y & 1];
        for (int x = 0; x < width; ++x, in += 4) {
            const auto& t = rowTables[x & 1];
            const std::uint16_t pixel = static_cast<std::uint16_t>(t[0][in[2]] + t[1][in[1]] + t[2][in[0]]);
            dest[2 * x] = static_cast<std::uint8_t>(pixel);
            dest[2 * x + 1] = static_cast<std::uint8_t>(pixel >> 8);
        }
        break;
    }
    default:
        for (int x = 0; x < width; ++x) dest[x] = in[4 * x];  // index output: the first channel
        break;
    }
    return true;
}

bool scaleRows(Scaler& scaler, const ScaleJob& job, std::span<const std::uint8_t* const> sourceRows,
               std::span<std::uint8_t* const> destRows) {
    if (static_cast<int>(sourceRows.size()) < job.sourceHeight || static_cast<int>(destRows.size()) < job.destHeight)
        return false;
    if (!scaler.start(job) || scaler.emitsNothing()) return false;
    for (int y = 0; y < job.destHeight; ++y) {
        for (int r : scaler.beginRow(y)) scaler.deliverRow(r, sourceRows[r]);
        if (!scaler.emitRow(destRows[y])) return false;
    }
    scaler.end();
    return true;
}

}  // namespace lv
