// The block kind: transitions that move whole pictures (pushes, slides,
// curtains, interlaced bars, paper wipes). Each frame is a short list of
// commands, each filling one window rectangle from the outgoing or the
// incoming surface at an offset, or with black; a family only says which
// commands make frame t, and this one mechanism begins, steps (pipelined),
// paints, repaints and ends them all.
//
//     class Push : public BlockTransition {
//         void prepare() override { info_.steps = size_.width; ... }
//         void frame(std::int64_t t, Commands& out) override { ... }
//     };
//
// Frame 0 of every family shows the outgoing picture unchanged; the final
// step paints the incoming surface whole, so the last frame is the incoming
// picture exactly whatever the family's geometry. A step whose lock gave
// nothing makes the next painted frame start from the outgoing surface, so
// no stale pixels survive.
#pragma once

#include <cstdint>
#include <vector>

#include "transition/catalogue.h"
#include "transition/formatted_rows.h"
#include "transition/surface.h"
#include "transition/transition.h"

namespace lv {

class FramePainter;

struct BlockCommand {
    enum class Source : std::uint8_t { Outgoing, Incoming, Black };
    Source source = Source::Black;
    Rect destination;                        // window coordinates
    std::int32_t sourceX = 0, sourceY = 0;   // where the destination's top-left comes from
};
using Commands = std::vector<BlockCommand>;

class BlockTransition : public Transition {
public:
    explicit BlockTransition(const CatalogueRow& row) : row_(row) {}

    int begin(const Surface& outgoing, const Surface& incoming, Display& display, StepSink& sink) override;
    void end() override {}
    TransitionInfo describe() const override { return info_; }
    void step(std::int64_t frame, bool final) override;
    void repaint() override;

    // The commands of frame t, for tests and the tool.
    Commands commandsFor(std::int64_t t);

protected:
    // Fills info_ (steps, default duration) and the family's tables.
    virtual void prepare() = 0;
    virtual void frame(std::int64_t t, Commands& out) = 0;

    // Helpers for the families: a window rectangle from a surface at a shift
    // (window x shows source x + dx), or black.
    static void take(Commands& out, BlockCommand::Source source, const Rect& destination, std::int32_t dx, std::int32_t dy);
    // The same, limited to `limit` of the source: the destination's parts
    // whose source falls outside it are black.
    static void takeWithin(Commands& out, BlockCommand::Source source, const Rect& destination, std::int32_t dx,
                           std::int32_t dy, const Rect& limit);
    static void black(Commands& out, const Rect& destination);

    const CatalogueRow& row_;
    TransitionInfo info_;
    Rect window_;   // the whole surface: 0, 0, W, H
    Rect picture_;  // the incoming picture inside it (ox, oy, w, h)
    Rect outgoingPicture_;
    Display* display_ = nullptr;
    const Surface* outgoing_ = nullptr;
    const Surface* incoming_ = nullptr;
    std::int32_t clientWidth_ = 0, clientHeight_ = 0;

private:
    void paint(const Commands& commands, bool fromOutgoing);
    void run(FramePainter& painter, const Commands& commands);

    StepSink* sink_ = nullptr;
    // The two pictures' rows in the output's format, for row copies.
    FormattedRows outgoingRows_, incomingRows_;
    Commands pending_;
    bool havePending_ = false;
    bool needFull_ = false;
    std::int64_t current_ = 0;
};

}  // namespace lv
