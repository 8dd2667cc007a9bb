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
//
// A family whose pictures only grow (the paper wipes) may draw a frame as
// what changed since the frame the display shows (frameSince); the kind
// keeps track of that frame, and when the display shows something else (a
// lost lock) it draws the whole frame over the outgoing picture instead.
// A family whose pictures both move (the pushes) copies from the work
// surface, which holds both pictures' visible parts in one picture's room;
// a frame's copies from it go down the window together, row by row.
// Rows are copied from the pictures kept in the output's format (converted
// at begin), by row_copy.h.
#pragma once

#include <cstdint>
#include <vector>

#include "transition/block_work.h"
#include "transition/catalogue.h"
#include "transition/formatted_rows.h"
#include "transition/surface.h"
#include "transition/transition.h"

namespace lv {

class FramePainter;

struct BlockCommand {
    // Work: the family's work surface (block_work.h); IncomingInWork paints
    // nothing but says that the work surface holds the incoming picture in
    // the destination rectangle (the outgoing one elsewhere), all such
    // commands of a frame together.
    enum class Source : std::uint8_t { Outgoing, Incoming, Black, Work, IncomingInWork };
    Source source = Source::Black;
    Rect destination;                        // window coordinates
    std::int32_t sourceX = 0, sourceY = 0;   // where the destination's top-left comes from
    // Source pixels per window pixel: 1 copies straight; -2 shows the source
    // mirrored and every second pixel of it (a paper wipe's roll).
    std::int8_t stepX = 1, stepY = 1;
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
    // The commands that turn the picture of frame `since` (kOutgoingShown:
    // the outgoing picture) into frame t; they must also hold when drawn
    // over any frame between `since` and t. True when they rely on `since`;
    // the default draws the whole frame and gives false.
    static constexpr std::int64_t kOutgoingShown = -1;
    virtual bool frameSince(std::int64_t t, std::int64_t since, Commands& out) {
        (void)since;
        frame(t, out);
        return false;
    }

    // Helpers for the families: a window rectangle from a surface at a shift
    // (window x shows source x + dx), or black.
    static void take(Commands& out, BlockCommand::Source source, const Rect& destination, std::int32_t dx, std::int32_t dy);
    // The same, limited to `limit` of the source: the destination's parts
    // whose source falls outside it are black.
    static void takeWithin(Commands& out, BlockCommand::Source source, const Rect& destination, std::int32_t dx,
                           std::int32_t dy, const Rect& limit);
    static void black(Commands& out, const Rect& destination);
    // For families whose both pictures move: asks for the work surface (in
    // prepare), and says where it holds the incoming picture in a frame
    // (kept also when empty, so that a frame's rectangles keep their order).
    // A family that reads the columns left and right of `splitColumn` from
    // different rows has them kept in two bands (block_work.h).
    void useWork(std::int32_t splitColumn = 0) {
        wantsWork_ = true;
        workSplit_ = splitColumn;
    }
    static void holdIncoming(Commands& out, const Rect& area);

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
    static constexpr std::int64_t kUnknownShown = -2;

    // Paints frame t's commands, made for the display showing `since`;
    // `fromOutgoing` lays the outgoing picture under them first.
    void paint(std::int64_t t, std::int64_t since, bool incremental, Commands& commands, bool fromOutgoing);
    void run(FramePainter& painter, const Commands& commands);
    void copyStepped(FramePainter& painter, const Surface& surface, const BlockCommand& command, FormattedRows& rows);
    // Brings the work surface to the outputs' format and to what the
    // commands say it holds; false when the commands use no work surface.
    bool prepareWork(FramePainter& painter, const Commands& commands);
    // A straight command from the outgoing or incoming picture.
    void copyFrom(FramePainter& painter, const BlockCommand& command);

    StepSink* sink_ = nullptr;
    // The two pictures' rows in the output's format, for row copies.
    FormattedRows outgoingRows_, incomingRows_;
    bool wantsWork_ = false;
    std::int32_t workSplit_ = 0;
    BlockWork work_;
    Commands pending_;
    bool havePending_ = false;
    bool pendingIncremental_ = false;
    std::int64_t pendingSince_ = kOutgoingShown;
    // The frame the display shows: a frame number, kOutgoingShown, or
    // kUnknownShown before the first frame and after a lost lock.
    std::int64_t shown_ = kUnknownShown;
    std::int64_t current_ = 0;
};

}  // namespace lv
