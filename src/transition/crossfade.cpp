// "ssBlend", the cross-fade: every pixel of the picture mixes the outgoing
// and the incoming value at a level that follows the symmetric cube easing
// over 256 steps (slow at both ends). The rounding of the mix is spread over
// three consecutive frames by a dither phase; the final frame is painted
// with phase 0 and period 1, which at level 256 is the incoming picture
// exactly. "ssNone" puts the incoming picture up in one step.
#include <algorithm>
#include <memory>
#include <vector>

#include "display/cpu_features.h"
#include "display/display.h"
#include "display/pixel_format.h"
#include "transition/blend_kernels.h"
#include "transition/easing.h"
#include "transition/families.h"
#include "transition/formatted_rows.h"
#include "transition/frame_painter.h"
#include "transition/run.h"
#include "transition/surface.h"

namespace lv {

namespace {

class CrossFade : public Transition {
public:
    static constexpr std::int32_t kSteps = 256;

    int begin(const Surface& outgoing, const Surface& incoming, Display& display, StepSink& sink) override {
        if (outgoing.width != incoming.width || outgoing.height != incoming.height || incoming.width <= 0) return 2;
        outgoing_ = &outgoing;
        incoming_ = &incoming;
        display_ = &display;
        sink_ = &sink;
        area_ = Rect{0, 0, incoming.width, incoming.height};
        display.setView(Rect{(display.clientWidth() - incoming.width) / 2, (display.clientHeight() - incoming.height) / 2,
                             incoming.width, incoming.height});
        table_ = symmetricEasing(kSteps, EasingShape::Cube);
        kernel_ = blendKernel(processorRecord());
        bytesKernel_ = blendBytesKernel(processorRecord());
        outgoingRows_.clear();
        incomingRows_.clear();
        if (!display.outputs().empty()) {
            outgoingRows_.prepare(outgoing, display.outputs().front().format);
            incomingRows_.prepare(incoming, display.outputs().front().format);
        }
        period_ = 3;
        phase_ = 0;
        row_.resize(static_cast<std::size_t>(incoming.width));
        return 0;
    }

    TransitionInfo describe() const override {
        TransitionInfo info;
        info.defaultMs = 1500;
        info.steps = kSteps;
        info.familyFlag4 = 1;
        info.passMode = 1;
        return info;
    }

    void step(std::int64_t t, bool final) override {
        level_ = easedAt(table_, t);
        FramePainter painter(*display_);
        if (!painter.locked()) return;
        if (!final) sink_->markPainted();
        paint(painter, final ? 0 : phase_, final ? 1 : period_);
        if (++phase_ >= period_) phase_ = 0;
    }

    void repaint() override {
        {
            FramePainter painter(*display_);
            if (painter.locked()) paint(painter, 0, 1);
        }
        constexpr std::int32_t kBeyond = 10000;
        const Rect v = display_->view();
        const std::int32_t cw = display_->clientWidth(), ch = display_->clientHeight();
        display_->fillBlack(Rect{-kBeyond, -kBeyond, cw + 2 * kBeyond, v.top + kBeyond});
        display_->fillBlack(Rect{-kBeyond, v.bottom(), cw + 2 * kBeyond, ch + kBeyond - v.bottom()});
        display_->fillBlack(Rect{-kBeyond, v.top, v.left + kBeyond, v.height});
        display_->fillBlack(Rect{v.right(), v.top, cw + kBeyond - v.right(), v.height});
    }

    std::int32_t level() const { return level_; }

private:
    // The surface's row y goes to view row y; each output takes its part. The
    // two pictures' rows are kept in the output's format (converted once, at
    // begin), so a frame is one pass that reads both and writes
    // the output; a format that is not kept (16 bits) goes through the row
    // buffer and the per-channel tables.
    void paint(FramePainter& painter, std::int32_t phase, std::int32_t period) {
        const std::int32_t bias = ditherBias(phase, period);
        const Rect view = display_->view();
        for (const LockedOutput& out : painter.outputs()) {
            const Rect part = intersect(Rect{view.left, view.top, area_.width, area_.height}, out.area);
            for (std::int32_t y = part.top; y < part.bottom(); ++y) {
                const std::int32_t sy = y - view.top, sx = part.left - view.left;
                const std::uint32_t* o = outgoing_->row(sy) + sx;
                const std::uint32_t* n = incoming_->row(sy) + sx;
                const std::uint8_t* formattedOut = outgoingRows_.row(*outgoing_, *out.format, sy);
                const std::uint8_t* formattedIn = incomingRows_.row(*incoming_, *out.format, sy);
                if (formattedOut != nullptr && formattedIn != nullptr) {
                    const std::int32_t bytesPerPixel = out.format->bytesPerPixel;
                    bytesKernel_(formattedOut + sx * bytesPerPixel, formattedIn + sx * bytesPerPixel,
                                 part.width * bytesPerPixel, level_, bias, out.at(part.left, y));
                    continue;
                }
                kernel_(o, n, part.width, level_, bias, row_.data());
                storePixels(*out.format, row_.data(), part.width, out.at(part.left, y));
            }
        }
    }

    const Surface* outgoing_ = nullptr;
    const Surface* incoming_ = nullptr;
    Display* display_ = nullptr;
    StepSink* sink_ = nullptr;
    Rect area_;
    std::vector<std::int32_t> table_;
    BlendRowKernel kernel_ = blendRowPlain;
    BlendBytesKernel bytesKernel_ = blendBytesPlain;
    FormattedRows outgoingRows_, incomingRows_;
    std::int32_t level_ = 0, phase_ = 0, period_ = 3;
    std::vector<std::uint32_t> row_;
};

class NoTransition : public Transition {
public:
    int begin(const Surface&, const Surface& incoming, Display& display, StepSink& sink) override {
        incoming_ = &incoming;
        display_ = &display;
        sink_ = &sink;
        return 0;
    }
    TransitionInfo describe() const override {
        TransitionInfo info;
        info.defaultMs = 1;
        info.steps = 1;
        info.passMode = 1;
        return info;
    }
    void step(std::int64_t, bool) override {
        // A lock that gave nothing leaves the step to be made again.
        done_ = paintIncoming(*incoming_, *display_);
        if (done_) sink_->markPainted();
    }
    bool allDone() const override { return done_; }
    void repaint() override { paintIncoming(*incoming_, *display_); }

private:
    const Surface* incoming_ = nullptr;
    Display* display_ = nullptr;
    StepSink* sink_ = nullptr;
    bool done_ = false;
};

}  // namespace

TransitionPtr makeCrossFade(const CatalogueRow&) { return std::make_unique<CrossFade>(); }
TransitionPtr makeNoTransition(const CatalogueRow&) { return std::make_unique<NoTransition>(); }

}  // namespace lv
