// The row-streaming image scaler.
//
// Separable: a horizontal pass, then a vertical pass, each with its own
// method (the indices of ScaleMethod in render/scaler_weights.h, from
// nearest pixel to windowed sinc). It works row by row and never holds a
// whole image: for each output row it says which source rows it still lacks,
// the caller delivers exactly those, and the scaler emits the row. Memory is
// a cache of as many horizontally filtered rows as the vertical method
// combines.
//
//     Scaler s(kScaleBilinear);
//     if (!s.start(job)) ...;
//     for (int y = 0; y < job.destHeight; ++y) {
//         for (int r : s.beginRow(y)) s.deliverRow(r, sourceRows[r]);
//         s.emitRow(destRows[y]);
//     }
//
// Sources are 8-bit indexed with a palette (kind 1) or 24-bit blue, green,
// red (kind 3). Destinations take 4 bytes (blue, green, red, 0), 3 bytes, 2
// bytes (16-bit pixels with ordered 2x2 dither) or 1 byte (index output: an
// indexed source expanded through its palette, scaled, and its blue channel
// written back; with a grey ramp this scales an intensity image or a mask).
//
// Filtered methods (3 to 9) reduce only: asked to enlarge, the job emits
// nothing. The cubic method hands a reduction to the Bell filter.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "display/cpu_features.h"
#include "render/bitmap.h"
#include "render/scaler_kernels.h"
#include "render/scaler_weights.h"

namespace lv {

enum ScaleSourceKind : int { kSourceIndexed = 1, kSourceBgr = 3 };

struct SourceRect {
    double left = 0, top = 0, right = 0, bottom = 0;  // source pixel units
};

struct ScaleJob {
    int sourceWidth = 0, sourceHeight = 0;
    int destWidth = 0, destHeight = 0;
    int sourceKind = kSourceBgr;
    int destPixelSize = 3;  // 1 (with indexOutput), 2, 3 or 4
    // 16-bit destinations: red, green and blue masks and their bit counts
    // (4, 5 or 6 bits each).
    std::array<std::uint32_t, 3> channelMasks{};
    std::array<int, 3> channelBits{};
    bool indexOutput = false;
    const Palette* palette = nullptr;  // kind 1: red-first entries; null means the grey ramp
    std::optional<SourceRect> rect;    // without it the whole source is mapped
    // Chooses the kernels; null means this processor's record.
    const ProcessorRecord* processor = nullptr;
};

// The 16-bit destination's dither: for each (row parity, column parity) and
// channel, every channel value's contribution to the pixel.
struct DitherTables {
    std::array<std::array<std::array<std::array<std::uint16_t, 256>, 3>, 2>, 2> entry{};  // [row][column][channel][value]
};
// Null when a channel's bit count is not 4, 5 or 6.
std::unique_ptr<DitherTables> makeDitherTables(const std::array<std::uint32_t, 3>& masks, const std::array<int, 3>& bits);

class Scaler {
public:
    // Method indices outside 0..9 leave that pass without a method: start fails.
    Scaler(int horizontalMethod, int verticalMethod);
    explicit Scaler(int method) : Scaler(method, method) {}
    ~Scaler();
    Scaler(const Scaler&) = delete;
    Scaler& operator=(const Scaler&) = delete;

    // Builds the tables and the row cache. False for an unusable job (sizes
    // below 1 or above the Bitmap limits, an unknown kind or size, a bad
    // rectangle, a pass without method) or exhausted memory; the scaler is
    // then idle.
    bool start(const ScaleJob& job);
    // True when a filtered method was asked to enlarge: the job emits nothing.
    bool emitsNothing() const;

    // The source rows to deliver before output row y, in this order. first
    // and last, when asked for, get the clamped source range [first, last).
    std::span<const int> beginRow(int y, int* first = nullptr, int* last = nullptr);
    // False when the row was not asked for.
    bool deliverRow(int row, const std::uint8_t* pixels);
    // Writes the current output row; false (and nothing written) when the
    // job emits nothing or a row it needs was not delivered.
    bool emitRow(std::uint8_t* dest);

    // Releases the tables and the cache; start may follow for a new job.
    void end();

    // For diagnostics: which kernel set runs the job.
    const char* kernelName() const;

private:
    struct Job;
    int horizontalMethod_, verticalMethod_;
    std::unique_ptr<Job> job_;
};

// A whole image through the scaler, rows by index; the convenience form
// of the row protocol. False when the job fails or emits nothing.
bool scaleRows(Scaler& scaler, const ScaleJob& job, std::span<const std::uint8_t* const> sourceRows,
               std::span<std::uint8_t* const> destRows);

}  // namespace lv
