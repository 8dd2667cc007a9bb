#include "transition/block_kind.h"

#include <algorithm>
#include <cstring>

#include "display/cpu_features.h"
#include "display/display.h"
#include "transition/frame_painter.h"
#include "transition/row_copy.h"

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
    // Both pictures are copied whole at some frame (the outgoing at the
    // first, the incoming at the last): their rows are converted now.
    if (!display.outputs().empty()) {
        outgoingRows_.prepare(outgoing, display.outputs().front().format);
        incomingRows_.prepare(incoming, display.outputs().front().format);
    }
    clientWidth_ = display.clientWidth();
    clientHeight_ = display.clientHeight();
    window_ = Rect{0, 0, incoming.width, incoming.height};
    picture_ = intersect(incoming.picture, window_);
    if (picture_.empty()) picture_ = window_;
    outgoingPicture_ = intersect(outgoing.picture, window_);
    display.setView(window_);
    info_ = TransitionInfo{};
    wantsWork_ = false;
    workSplit_ = 0;
    work_ = BlockWork{};
    info_.defaultMs = 2000;
    info_.familyFlag4 = 1;
    info_.passMode = 1;
    prepare();
    if (info_.steps < 1) info_.steps = 1;
    if (wantsWork_ && !display.outputs().empty()) {
        work_.reset(BlockWork::Pictures{outgoing_, incoming_, &outgoingRows_, &incomingRows_}, &display.outputs().front().format,
                    workSplit_);
    }
    pending_.clear();
    havePending_ = false;
    // The first painted frame lays the outgoing picture under the commands,
    // so a window that showed something else starts from the right picture.
    shown_ = kUnknownShown;
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

void BlockTransition::holdIncoming(Commands& out, const Rect& area) {
    out.push_back(BlockCommand{BlockCommand::Source::IncomingInWork, area, area.left, area.top});
}

Commands BlockTransition::commandsFor(std::int64_t t) {
    Commands commands;
    frame(t, commands);
    return commands;
}

namespace {

// The format that every output shares, when they do; null otherwise.
const PixelFormat* sharedFormat(const std::vector<LockedOutput>& outputs) {
    if (outputs.empty()) return nullptr;
    for (const LockedOutput& out : outputs) {
        if (out.format->code != outputs.front().format->code || out.format->code == pixel_code::kHigh16) return nullptr;
    }
    return outputs.front().format;
}

}  // namespace

bool BlockTransition::prepareWork(FramePainter& painter, const Commands& commands) {
    std::vector<Rect> held;
    bool used = false;
    for (const BlockCommand& command : commands) {
        used = used || command.source == BlockCommand::Source::Work;
        if (command.source == BlockCommand::Source::IncomingInWork) held.push_back(command.destination);
    }
    if (!used) return false;
    const PixelFormat* format = sharedFormat(painter.outputs());
    const int wanted = format != nullptr ? format->code : pixel_code::kUnsupported;
    if (!work_.ready() || work_.code() != wanted) {
        work_.reset(BlockWork::Pictures{outgoing_, incoming_, &outgoingRows_, &incomingRows_}, format, workSplit_);
    }
    work_.hold(held);
    return true;
}

namespace {

// A block of source rows for one output: in the output's format, or engine
// pixels (0x00RRGGBB words) that are converted as they are written. Row
// top + i starts at bytes + i x pitch, at the source's column `column`.
struct SourceRows {
    const std::uint8_t* bytes = nullptr;
    std::size_t pitch = 0;
    bool formatted = false;
    std::int32_t column = 0;
};

// One command's part on one output: window rows top ... top + rows - 1 at
// columns left ... left + width - 1, from source rows `pitch` apart, the
// first at `from` (source column sourceX).
struct RowPiece {
    const LockedOutput* out = nullptr;
    std::int32_t left = 0, top = 0, width = 0, rows = 0;
    const std::uint8_t* from = nullptr;
    std::size_t pitch = 0;
    bool formatted = false;
    std::int32_t sourceX = 0;

    Rect area() const { return Rect{left, top, width, rows}; }
    void copyRow(std::int32_t i) const {
        static const RowCopy copy = rowCopy(processorRecord());
        const std::uint8_t* source = from + pitch * static_cast<std::size_t>(i);
        std::uint8_t* target = out->at(left, top + i);
        if (formatted) {
            copy(target, source, static_cast<std::size_t>(width) * static_cast<std::size_t>(out->format->bytesPerPixel));
        } else {
            storePixels(*out->format, reinterpret_cast<const std::uint32_t*>(source), width, target);
        }
    }
};
using RowPieces = std::vector<RowPiece>;

// Adds `command`'s pieces from source rows (`rowsFor(output, top, count)`,
// asked once per output), clipped to `bounds` of the source and to each output.
template <typename RowsFor>
void planCommand(const std::vector<LockedOutput>& outputs, const BlockCommand& command, const Rect& bounds,
                 RowsFor rowsFor, RowPieces& pieces) {
    const Rect& d = command.destination;
    const Rect inSource = intersect(Rect{command.sourceX, command.sourceY, d.width, d.height}, bounds);
    const Rect wanted{d.left + inSource.left - command.sourceX, d.top + inSource.top - command.sourceY, inSource.width,
                      inSource.height};
    for (const LockedOutput& out : outputs) {
        const Rect part = intersect(wanted, out.area);
        if (part.empty()) continue;
        const std::int32_t sx = part.left - d.left + command.sourceX;
        const SourceRows rows = rowsFor(out, part.top - d.top + command.sourceY, part.height);
        const std::size_t pixelBytes =
            rows.formatted ? static_cast<std::size_t>(out.format->bytesPerPixel) : sizeof(std::uint32_t);
        pieces.push_back(RowPiece{&out, part.left, part.top, part.width, part.height,
                                  rows.bytes + static_cast<std::size_t>(sx - rows.column) * pixelBytes, rows.pitch,
                                  rows.formatted, sx});
    }
}

// The pieces of a command that reads the work surface; one that reads
// across the work surface's split takes one piece per band.
void planWork(const std::vector<LockedOutput>& outputs, const BlockWork& work, const Rect& window,
              const BlockCommand& command, RowPieces& pieces) {
    const Rect& d = command.destination;
    const std::int32_t end = std::min(command.sourceX + d.width, window.width);
    for (std::int32_t left = std::max(command.sourceX, 0); left < end; left = work.bandEnd(left)) {
        const std::int32_t right = std::min(end, work.bandEnd(left));
        const BlockCommand band{command.source, Rect{d.left + left - command.sourceX, d.top, right - left, d.height},
                                left, command.sourceY};
        planCommand(outputs, band, window,
                    [&](const LockedOutput& out, std::int32_t top, std::int32_t) {
                        return SourceRows{work.at(left, top), work.rowBytesAt(left), work.code() == out.format->code, left};
                    },
                    pieces);
    }
}

void copyPieces(const RowPieces& pieces) {
    for (const RowPiece& piece : pieces) {
        for (std::int32_t i = 0; i < piece.rows; ++i) piece.copyRow(i);
    }
}

bool disjoint(const RowPieces& pieces) {
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        for (std::size_t j = i + 1; j < pieces.size(); ++j) {
            if (!intersect(pieces[i].area(), pieces[j].area()).empty()) return false;
        }
    }
    return true;
}

// Copies a few pieces down the window a row at a time, every piece's part
// of a row before the next row, so that the sources are read in step with
// the window. A push shows each row of the work surface turned round (its
// end first): taken in the order of their source columns, the pieces read
// that row front to back, one stream through memory that the processor
// fetches ahead, instead of two strided passes over every row's two parts.
// Where destinations overlap the pieces keep their order, which a row by
// row copy keeps as well.
void copyPiecesByRow(RowPieces& pieces) {
    if (pieces.size() < 2) {
        copyPieces(pieces);
        return;
    }
    if (disjoint(pieces)) {
        std::stable_sort(pieces.begin(), pieces.end(),
                         [](const RowPiece& a, const RowPiece& b) { return a.sourceX < b.sourceX; });
    }
    std::int32_t top = pieces.front().top, bottom = pieces.front().top;
    for (const RowPiece& piece : pieces) {
        top = std::min(top, piece.top);
        bottom = std::max(bottom, piece.top + piece.rows);
    }
    for (std::int32_t y = top; y < bottom; ++y) {
        for (const RowPiece& piece : pieces) {
            if (y >= piece.top && y - piece.top < piece.rows) piece.copyRow(y - piece.top);
        }
    }
}

}  // namespace

void BlockTransition::copyFrom(FramePainter& painter, const BlockCommand& command) {
    RowPieces pieces;
    const bool fromOutgoing = command.source == BlockCommand::Source::Outgoing;
    const Surface& surface = fromOutgoing ? *outgoing_ : *incoming_;
    FormattedRows& rows = fromOutgoing ? outgoingRows_ : incomingRows_;
    planCommand(painter.outputs(), command, Rect{0, 0, surface.width, surface.height},
                [&](const LockedOutput& out, std::int32_t top, std::int32_t count) {
                    const std::uint8_t* ready = rows.rows(surface, *out.format, top, count);
                    if (ready != nullptr) return SourceRows{ready, rows.rowBytes(), true, 0};
                    return SourceRows{reinterpret_cast<const std::uint8_t*>(surface.row(top)),
                                      static_cast<std::size_t>(surface.stride) * sizeof(std::uint32_t), false, 0};
                },
                pieces);
    copyPieces(pieces);
}

void BlockTransition::run(FramePainter& painter, const Commands& commands) {
    const bool withWork = prepareWork(painter, commands);
    // Commands that read the work surface one after another are copied
    // together, row by row (copyPiecesByRow).
    RowPieces fromWork;
    for (const BlockCommand& command : commands) {
        if (command.source == BlockCommand::Source::IncomingInWork) continue;
        if (command.source == BlockCommand::Source::Work) {
            if (withWork) planWork(painter.outputs(), work_, window_, command, fromWork);
            continue;
        }
        copyPiecesByRow(fromWork);
        fromWork.clear();
        if (command.source == BlockCommand::Source::Black) {
            painter.fillBlack(command.destination);
            continue;
        }
        if (command.stepX == 1 && command.stepY == 1) {
            copyFrom(painter, command);
            continue;
        }
        const bool fromOutgoing = command.source == BlockCommand::Source::Outgoing;
        copyStepped(painter, fromOutgoing ? *outgoing_ : *incoming_, command, fromOutgoing ? outgoingRows_ : incomingRows_);
    }
    copyPiecesByRow(fromWork);
}

namespace {

// Pixel k of the row goes to out + k x B, from `from` at source column
// first + k x step; columns outside 0 ... width are not written.
template <int B>
void gatherRow(const std::uint8_t* from, std::int32_t width, std::int64_t first, std::int32_t step, std::int32_t count,
               std::uint8_t* out) {
    for (std::int32_t k = 0; k < count; ++k) {
        const std::int64_t x = first + std::int64_t{step} * k;
        if (x >= 0 && x < width) std::memcpy(out + static_cast<std::size_t>(k) * B, from + static_cast<std::size_t>(x) * B, B);
    }
}

}  // namespace

void BlockTransition::copyStepped(FramePainter& painter, const Surface& surface, const BlockCommand& command,
                                  FormattedRows& rows) {
    const Rect& d = command.destination;
    for (const LockedOutput& out : painter.outputs()) {
        const Rect part = intersect(d, out.area);
        const int bytesPerPixel = out.format->bytesPerPixel;
        const std::int64_t firstX = command.sourceX + std::int64_t{command.stepX} * (part.left - d.left);
        for (std::int32_t y = part.top; y < part.bottom(); ++y) {
            const std::int64_t sy = command.sourceY + std::int64_t{command.stepY} * (y - d.top);
            if (sy < 0 || sy >= surface.height) continue;
            const std::int32_t row = static_cast<std::int32_t>(sy);
            std::uint8_t* target = out.at(part.left, y);
            const std::uint8_t* ready = rows.row(surface, *out.format, row);
            if (ready != nullptr && bytesPerPixel == 3) {
                gatherRow<3>(ready, surface.width, firstX, command.stepX, part.width, target);
            } else if (ready != nullptr && bytesPerPixel == 4) {
                gatherRow<4>(ready, surface.width, firstX, command.stepX, part.width, target);
            } else {
                // A format that is not kept: each pixel through the format's store.
                for (std::int32_t k = 0; k < part.width; ++k) {
                    const std::int64_t x = firstX + std::int64_t{command.stepX} * k;
                    if (x < 0 || x >= surface.width) continue;
                    storePixels(*out.format, surface.row(row) + x, 1, target + static_cast<std::size_t>(k) * bytesPerPixel);
                }
            }
        }
    }
}

void BlockTransition::paint(std::int64_t t, std::int64_t since, bool incremental, Commands& commands, bool fromOutgoing) {
    FramePainter painter(*display_);
    if (!painter.locked()) {
        shown_ = kUnknownShown;
        return;
    }
    const BlockCommand outgoingWhole{BlockCommand::Source::Outgoing, window_, 0, 0};
    if (fromOutgoing || shown_ == kUnknownShown) {
        copyFrom(painter, outgoingWhole);
        shown_ = kOutgoingShown;
    }
    if (incremental && (shown_ < since || shown_ > t)) {
        // The display does not show what the commands build on: the whole
        // frame over the outgoing picture.
        if (shown_ != kOutgoingShown) copyFrom(painter, outgoingWhole);
        commands.clear();
        frameSince(t, kOutgoingShown, commands);
    }
    run(painter, commands);
    shown_ = t;
    sink_->markPainted();
}

void BlockTransition::step(std::int64_t t, bool final) {
    if (final) {
        // The last frame is the incoming picture, whatever was skipped.
        Commands whole;
        take(whole, BlockCommand::Source::Incoming, window_, 0, 0);
        paint(t, kOutgoingShown, false, whole, false);
        havePending_ = false;
        return;
    }
    if (havePending_) paint(current_, pendingSince_, pendingIncremental_, pending_, false);
    pending_.clear();
    current_ = t;
    // Made now, painted by the next step over what the display then shows.
    pendingSince_ = std::max(shown_, kOutgoingShown);
    pendingIncremental_ = frameSince(t, pendingSince_, pending_);
    havePending_ = true;
}

void BlockTransition::repaint() {
    Commands commands;
    frameSince(current_, kOutgoingShown, commands);
    paint(current_, kOutgoingShown, false, commands, true);
}

}  // namespace lv
