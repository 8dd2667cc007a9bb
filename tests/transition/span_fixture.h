// Shared pieces of the span-mask tests: a mask folder holding a grey mask
// for every mask name (so the mask transitions run in every test of the
// binary), and a span transition driven step by step on a memory display.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "codec/byte_stream.h"
#include "codec/jpeg.h"
#include "render/bitmap.h"
#include "shell/temp_folder.h"
#include "transition/catalogue.h"
#include "transition/frame_clock.h"
#include "transition/span_settings.h"
#include "transition/span_transition.h"
#include "transition_fixture.h"

namespace lv::test {

// Writes an 8-bit (grey) or 24-bit Bitmap as a JPEG file at quality 99.
inline bool writeJpeg(const std::string& path, const Bitmap& bitmap) {
    codec::FileStream stream(path, "wb");
    return stream.ok() && codec::encodeJpeg(stream, bitmap, 99) == 0;
}

// A grey picture whose value grows from left to right in flat bands of 8
// columns (flat 8 x 8 blocks survive JPEG coding unchanged).
inline BitmapPtr bandedGradient(std::int32_t width, std::int32_t height) {
    BitmapPtr mask = createBitmap("mask", width, height, 8);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            mask->rows[y][x] = static_cast<std::uint8_t>(std::min(255, (x / 8) * 255 / std::max(1, (width - 1) / 8)));
        }
    }
    return mask;
}

using Spots = std::vector<std::pair<int, int>>;

// Pixels of one set as (x, y) pairs, read through its row counts.
inline Spots spotsOf(const PixelSet& set) {
    Spots spots;
    std::size_t k = 0;
    for (int y = 0; y < set.rowCount(); ++y) {
        for (int n = 0; n < set.rowCounts[y]; ++n) spots.emplace_back(set.pixels[k++].x, y);
    }
    return spots;
}

inline std::int64_t pixelsOf(const std::vector<PixelSet>& sets) {
    std::int64_t n = 0;
    for (const PixelSet& s : sets) n += static_cast<std::int64_t>(s.pixels.size());
    return n;
}

inline constexpr std::string_view kMaskNames[] = {"plasma", "star",   "swirl",   "swirl2",  "spiral", "star2",
                                                  "star3",  "brush",  "squaret", "waves",   "checker", "cwipe",
                                                  "chekdoor"};

// Every mask name as a gradient JPEG, in a folder of the test binary's own.
class MaskFolderEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        folder_ = std::make_unique<TempFolder>();
        BitmapPtr mask = bandedGradient(64, 48);
        for (std::string_view name : kMaskNames) writeJpeg(folder_->file(name), *mask);
        SpanMaskSettings settings;
        settings.maskFolder = folder_->folder();
        setSpanMaskSettings(settings);
    }
    void TearDown() override { folder_.reset(); }
    static std::string folder() { return spanMaskSettings().maskFolder; }

private:
    std::unique_ptr<TempFolder> folder_;
};

// Settings changed for one test and put back at its end.
class ScopedSpanSettings {
public:
    explicit ScopedSpanSettings(const SpanMaskSettings& settings) : saved_(spanMaskSettings()) {
        setSpanMaskSettings(settings);
    }
    ~ScopedSpanSettings() { setSpanMaskSettings(saved_); }

private:
    SpanMaskSettings saved_;
};

// One span transition begun on two patterned surfaces; `show(t)` paints
// frame t (pipelined steps: the second call paints what the first computed).
class SpanDriver {
public:
    SpanDriver(std::string_view name, std::int32_t width, std::int32_t height)
        : a(fullPattern(width, height, 1)), b(fullPattern(width, height, 2)), screen(width, height) {
        transition = makeSpanMask(catalogueRow(name));
        if (!transition) return;
        transition->setParameters(clockParameters(transition->describe(), -1));
        result = transition->begin(*a, *b, screen.display, sink);
        transition->setParameters(clockParameters(transition->describe(), -1));
    }
    SpanMaskTransition& span() { return static_cast<SpanMaskTransition&>(*transition); }
    void show(std::int64_t t) {
        transition->step(t, false);
        transition->step(t, false);
    }
    const std::vector<std::uint32_t>& frame() const { return screen.frames.back(); }
    std::uint32_t at(std::int32_t x, std::int32_t y) const { return frame()[static_cast<std::size_t>(y) * a->width + x]; }
    std::uint32_t outgoing(std::int32_t x, std::int32_t y) const { return a->row(y)[x]; }
    std::uint32_t incoming(std::int32_t x, std::int32_t y) const { return b->row(y)[x]; }

    SurfacePtr a, b;
    RecordingDisplay screen;
    CountingSink sink;
    TransitionPtr transition;
    int result = -1;
};

}  // namespace lv::test
