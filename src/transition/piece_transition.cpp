// The piece transitions as block transitions: begin plans the pieces of the
// entry's recipe, takes the total time as the step count and computes every
// frame the clock will ask for (the same arithmetic as the frame clock), so
// the timer's steps only hand over stored commands. A step for a time that
// the stored frames do not hold (another refresh rate, a skipped frame)
// computes the frame from the pieces instead, from what is on screen.
// When a frame could not be painted (the display's lock gave nothing), the
// block kind lays the outgoing picture under the next commands; the next
// frame is then drawn whole, since what was on screen is gone.
#include <algorithm>
#include <memory>

#include "display/display.h"
#include "transition/families.h"
#include "transition/frame_clock.h"
#include "transition/piece_frames.h"
#include "transition/piece_recipes.h"

namespace lv {

namespace {

// Beyond these (very long durations) the rest of the frames are computed as
// they come rather than kept.
constexpr std::size_t kMostCachedFrames = 4096;
constexpr std::size_t kMostCachedCommands = std::size_t{1} << 19;

class PieceTransition : public BlockTransition {
public:
    PieceTransition(const CatalogueRow& row, const PieceRecipe& recipe) : BlockTransition(row), recipe_(recipe) {}

    int begin(const Surface& outgoing, const Surface& incoming, Display& display, StepSink& sink) override {
        watch_.inner = &sink;
        watch_.painted = expectPaint_ = false;
        return BlockTransition::begin(outgoing, incoming, display, watch_);
    }
    void useRandom(RandomSource& random) override { random_ = &random; }
    std::optional<std::int64_t> mapFrame(std::int64_t frame) const override {
        if (plan_.frameMap.empty()) return std::nullopt;
        return plan_.timeOf(frame);
    }
    void repaint() override {
        // A repaint between steps says nothing about the pending frame's paint.
        const bool painted = watch_.painted;
        repainting_ = true;
        BlockTransition::repaint();
        repainting_ = false;
        watch_.painted = painted;
    }

protected:
    void prepare() override {
        // The pieces move over both pictures' places, so nothing of either is left over.
        Rect area = picture_;
        if (!outgoingPicture_.empty()) {
            const std::int32_t left = std::min(area.left, outgoingPicture_.left), top = std::min(area.top, outgoingPicture_.top);
            const std::int32_t right = std::max(area.right(), outgoingPicture_.right());
            const std::int32_t bottom = std::max(area.bottom(), outgoingPicture_.bottom());
            area = Rect{left, top, right - left, bottom - top};
        }
        const PieceArea pieceArea{area.width, area.height, 1.0};
        plan_ = planPieces(recipe_, pieceArea, clientHeight_, random_ != nullptr ? *random_ : ownRandom_);
        info_.steps = plan_.total;
        frames_ = PieceFrames(plan_.pieces, pieceArea, area);
        fillCache();
    }

    void frame(std::int64_t t, Commands& out) override {
        if (repainting_) {
            frames_.whole(t, out);
            return;
        }
        // Called right after the previous frame was painted, or not.
        const bool lost = expectPaint_ && !watch_.painted;
        watch_.painted = false;
        expectPaint_ = true;
        if (lost) {
            replaying_ = false;
            frames_.whole(t, out);
            frames_.settle(t);
            return;
        }
        if (replaying_ && cursor_ < cache_.size() && cache_[cursor_].t == t) {
            out.insert(out.end(), cache_[cursor_].commands.begin(), cache_[cursor_].commands.end());
            ++cursor_;
            return;
        }
        if (replaying_) {
            replaying_ = false;
            if (cursor_ > 0) {
                frames_.settle(cache_[cursor_ - 1].t);
            } else {
                frames_.rewind();
            }
        }
        frames_.next(t, out);
    }

private:
    // Passes the paints on to the clock and remembers that one happened.
    struct PaintWatch : StepSink {
        StepSink* inner = nullptr;
        bool painted = false;
        void markPainted() override {
            painted = true;
            if (inner != nullptr) inner->markPainted();
        }
    };

    struct CachedFrame {
        std::int64_t t = 0;
        Commands commands;
    };

    // The clock's frames: tick k is at progress k x 1000000 / (duration x
    // refresh), per mille, and the frame is progress x total / 1000, in
    // 64 bits; a duration below 1 ms is over at once.
    void fillCache() {
        cache_.clear();
        const std::int64_t duration = parameters_.durationMs == -1 ? info_.defaultMs : parameters_.durationMs;
        const std::int32_t refresh =
            display_->outputs().empty() || display_->outputs().front().refreshHz <= 0 ? 75 : display_->outputs().front().refreshHz;
        const std::int64_t ticks = std::max<std::int64_t>(duration * refresh, 0);
        std::size_t commands = 0;
        for (std::int64_t k = 0; k <= ticks / 1000 && cache_.size() < kMostCachedFrames && commands < kMostCachedCommands; ++k) {
            const std::int64_t progress = FrameClock::frameFor(k, duration, refresh, 1000);
            CachedFrame cached;
            cached.t = plan_.timeOf(FrameClock::frameFor(k, duration, refresh, plan_.total));
            frames_.next(cached.t, cached.commands);
            commands += cached.commands.size();
            cache_.push_back(std::move(cached));
            if (progress >= 1000) break;
        }
        frames_.rewind();
        cursor_ = 0;
        replaying_ = true;
    }

    const PieceRecipe& recipe_;
    RandomSource* random_ = nullptr;
    CRandom ownRandom_;
    PiecePlan plan_;
    PieceFrames frames_;
    std::vector<CachedFrame> cache_;
    std::size_t cursor_ = 0;
    bool replaying_ = true;
    bool repainting_ = false;
    PaintWatch watch_;
    bool expectPaint_ = false;
};

}  // namespace

TransitionPtr makePieceTransition(const CatalogueRow& row) {
    const PieceRecipe* recipe = findPieceRecipe(row.name);
    if (recipe == nullptr) return nullptr;
    return std::make_unique<PieceTransition>(row, *recipe);
}

}  // namespace lv
