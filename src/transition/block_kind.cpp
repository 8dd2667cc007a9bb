#include "transition/block_kind.h"

#include "display/display.h"
#include "transition/frame_painter.h"

namespace lv {

int BlockTransition::begin(const Surface& outgoing, const Surface& incoming, Display& display, StepSink& sink) {
    // Both surfaces are frames of one window; anything else cannot run.
    if (outgoing.width != incoming.width || outgoing.height != incoming.height || incoming.width <= 0) return 2;
    outgoing_ = &outgoing;
    incoming_ = &incoming;
    display_ = &display;
    sink_ = &sink;
    outgoingRows_.clear();
    incomingRows_.clear();
    clientWidth_ = display.clientWidth();
    clientHeight_ = display.clientHeight();
    window_ = Rect{0, 0, incoming.width, incoming.height};
    picture_ = intersect(incoming.picture, window_);
    if (picture_.empty()) picture_ = window_;
    outgoingPicture_ = intersect(outgoing.picture, window_);
    display.setView(window_);
    info_ = TransitionInfo{};
    info_.defaultMs = 2000;
    info_.familyFlag4 = 1;
    info_.passMode = 1;
    prepare();
    if (info_.steps < 1) info_.steps = 1;
    pending_.clear();
    havePending_ = false;
    // The first painted frame lays the outgoing picture under the commands,
    // so a window that showed something else starts from the right picture.
    needFull_ = true;
    current_ = 0;
    return 0;
}

void BlockTransition::take(Commands& out, BlockCommand::Source source, const Rect& destination, std::int32_t dx,
                           std::int32_t dy) {
    if (destination.empty()) return;
    out.push_back(BlockCommand{source, destination, destination.left + dx, destination.top + dy});
}

void BlockTransition::black(Commands& out, const Rect& destination) {
    if (!destination.empty()) out.push_back(BlockCommand{BlockCommand::Source::Black, destination, 0, 0});
}

void BlockTransition::takeWithin(Commands& out, BlockCommand::Source source, const Rect& destination, std::int32_t dx,
                                 std::int32_t dy, const Rect& limit) {
    if (destination.empty()) return;
    const Rect shown = intersect(destination, Rect{limit.left - dx, limit.top - dy, limit.width, limit.height});
    if (shown.empty()) {
        black(out, destination);
        return;
    }
    take(out, source, shown, dx, dy);
    // The rest of the destination, as up to four black bands round `shown`.
    black(out, Rect{destination.left, destination.top, destination.width, shown.top - destination.top});
    black(out, Rect{destination.left, shown.bottom(), destination.width, destination.bottom() - shown.bottom()});
    black(out, Rect{destination.left, shown.top, shown.left - destination.left, shown.height});
    black(out, Rect{shown.right(), shown.top, destination.right() - shown.right(), shown.height});
}

Commands BlockTransition::commandsFor(std::int64_t t) {
    Commands commands;
    frame(t, commands);
    return commands;
}

void BlockTransition::run(FramePainter& painter, const Commands& commands) {
    for (const BlockCommand& command : commands) {
        switch (command.source) {
        case BlockCommand::Source::Black:
            painter.fillBlack(command.destination);
            break;
        case BlockCommand::Source::Outgoing:
            painter.copy(*outgoing_, command.destination, command.sourceX, command.sourceY, outgoingRows_);
            break;
        case BlockCommand::Source::Incoming:
            painter.copy(*incoming_, command.destination, command.sourceX, command.sourceY, incomingRows_);
            break;
        }
    }
}

void BlockTransition::paint(const Commands& commands, bool fromOutgoing) {
    FramePainter painter(*display_);
    if (!painter.locked()) {
        needFull_ = true;
        return;
    }
    if (fromOutgoing || needFull_) painter.copy(*outgoing_, window_, 0, 0, outgoingRows_);
    needFull_ = false;
    run(painter, commands);
    sink_->markPainted();
}

void BlockTransition::step(std::int64_t t, bool final) {
    if (final) {
        // The last frame is the incoming picture, whatever was skipped.
        Commands whole;
        take(whole, BlockCommand::Source::Incoming, window_, 0, 0);
        paint(whole, false);
        havePending_ = false;
        return;
    }
    if (havePending_) paint(pending_, false);
    pending_.clear();
    current_ = t;
    frame(t, pending_);
    havePending_ = true;
}

void BlockTransition::repaint() {
    Commands commands;
    frame(current_, commands);
    paint(commands, true);
}

}  // namespace lv
