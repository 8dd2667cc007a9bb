#include "transition/piece_frames.h"

#include <algorithm>

namespace lv {

namespace {

bool meets(const Rect& a, const Rect& b) { return !a.empty() && !b.empty() && !intersect(a, b).empty(); }

// `rect` less `cut`: up to four strips (above, below, left, right).
void cutAway(const Rect& rect, const Rect& cut, std::vector<Rect>& out) {
    const Rect common = intersect(rect, cut);
    if (common.empty()) {
        out.push_back(rect);
        return;
    }
    const Rect strips[] = {
        Rect{rect.left, rect.top, rect.width, common.top - rect.top},
        Rect{rect.left, common.bottom(), rect.width, rect.bottom() - common.bottom()},
        Rect{rect.left, common.top, common.left - rect.left, common.height},
        Rect{common.right(), common.top, rect.right() - common.right(), common.height},
    };
    for (const Rect& strip : strips) {
        if (!strip.empty()) out.push_back(strip);
    }
}

}  // namespace

std::vector<Rect> uncovered(const Rect& rect, const std::vector<const Rect*>& cutters) {
    std::vector<Rect> parts{rect}, next;
    for (const Rect* cut : cutters) {
        next.clear();
        for (const Rect& part : parts) cutAway(part, *cut, next);
        parts.swap(next);
        if (parts.empty()) break;
    }
    return parts;
}

PieceFrames::PieceFrames(std::vector<Piece> pieces, const PieceArea& area, const Rect& placement)
    : pieces_(std::move(pieces)), area_(area), placement_(placement) {
    arriving_ = !pieces_.empty() && pieces_.front().arriving;
    rewind();
}

void PieceFrames::rewind() {
    onScreen_.assign(pieces_.size(), DrawnPiece{});
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
        if (!pieces_[i].arriving) onScreen_[i] = drawnAt(pieces_[i], area_, 0);
    }
}

void PieceFrames::settle(std::int64_t t) { onScreen_ = drawnAll(t); }

std::vector<DrawnPiece> PieceFrames::drawnAll(std::int64_t t) const {
    std::vector<DrawnPiece> drawn(pieces_.size());
    for (std::size_t i = 0; i < pieces_.size(); ++i) drawn[i] = drawnAt(pieces_[i], area_, t);
    return drawn;
}

void PieceFrames::emit(Commands& out, BlockCommand::Source source, const Rect& destination, std::int32_t sourceX,
                       std::int32_t sourceY) const {
    for (std::int32_t top = 0; top < destination.height; top += kBandRows) {
        const std::int32_t rows = std::min(kBandRows, destination.height - top);
        out.push_back(BlockCommand{source,
                                   Rect{destination.left + placement_.left, destination.top + top + placement_.top,
                                        destination.width, rows},
                                   sourceX + placement_.left, sourceY + top + placement_.top});
    }
}

// An area that shows the other picture comes from that picture's own place.
void PieceFrames::restore(Commands& out, const Rect& destination) const {
    emit(out, arriving_ ? BlockCommand::Source::Outgoing : BlockCommand::Source::Incoming, destination,
         destination.left, destination.top);
}

void PieceFrames::draw(Commands& out, const DrawnPiece& piece) const {
    emit(out, arriving_ ? BlockCommand::Source::Incoming : BlockCommand::Source::Outgoing, piece.destination,
         piece.sourceX, piece.sourceY);
}

void PieceFrames::next(std::int64_t t, Commands& out) {
    std::vector<DrawnPiece> now = drawnAll(t);
    if (pieces_.size() <= kSearchedPieces) {
        nextSearched(now, out);
    } else {
        nextPlain(now, out);
    }
    onScreen_.swap(now);
}

void PieceFrames::nextSearched(const std::vector<DrawnPiece>& now, Commands& out) const {
    const std::size_t n = pieces_.size();
    std::vector<const Rect*> covering;
    for (const DrawnPiece& d : now) {
        if (!d.destination.empty()) covering.push_back(&d.destination);
    }
    std::vector<bool> changed(n);
    for (std::size_t i = 0; i < n; ++i) changed[i] = !(now[i] == onScreen_[i]);
    // What pieces left, less what pieces cover now: back to the other picture.
    for (std::size_t i = 0; i < n; ++i) {
        if (!changed[i] || onScreen_[i].destination.empty()) continue;
        for (const Rect& part : uncovered(onScreen_[i].destination, covering)) restore(out, part);
    }
    // A piece at rest is drawn again only where something changed under or
    // before it: a piece left its area, or a piece drawn earlier covers it.
    std::vector<const Rect*> drawnSoFar;
    std::vector<std::size_t> drawing;
    for (std::size_t i = 0; i < n; ++i) {
        const Rect& mine = now[i].destination;
        if (mine.empty()) continue;
        bool redraw = changed[i];
        for (std::size_t j = 0; j < n && !redraw; ++j) redraw = j != i && changed[j] && meets(onScreen_[j].destination, mine);
        for (std::size_t k = 0; k < drawnSoFar.size() && !redraw; ++k) redraw = meets(*drawnSoFar[k], mine);
        if (!redraw) continue;
        drawnSoFar.push_back(&mine);
        drawing.push_back(i);
    }
    // Each drawn piece less what later drawn pieces cover: those parts would
    // be overwritten in the same frame (pieces crowding the centre).
    std::vector<const Rect*> later;
    for (std::size_t k = 0; k < drawing.size(); ++k) {
        const DrawnPiece& piece = now[drawing[k]];
        later.clear();
        for (std::size_t m = k + 1; m < drawing.size(); ++m) {
            if (meets(*drawnSoFar[m], piece.destination)) later.push_back(drawnSoFar[m]);
        }
        if (later.empty()) {
            draw(out, piece);
            continue;
        }
        for (const Rect& part : uncovered(piece.destination, later))
            draw(out, DrawnPiece{part, piece.sourceX + part.left - piece.destination.left,
                                 piece.sourceY + part.top - piece.destination.top});
    }
}

void PieceFrames::nextPlain(const std::vector<DrawnPiece>& now, Commands& out) const {
    std::vector<Rect> parts;
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
        if (now[i] == onScreen_[i] || onScreen_[i].destination.empty()) continue;
        parts.clear();
        cutAway(onScreen_[i].destination, now[i].destination, parts);
        for (const Rect& part : parts) restore(out, part);
    }
    for (const DrawnPiece& d : now) {
        if (!d.destination.empty()) draw(out, d);
    }
}

void PieceFrames::whole(std::int64_t t, Commands& out) const {
    restore(out, Rect{0, 0, area_.width, area_.height});
    for (const DrawnPiece& d : drawnAll(t)) {
        if (!d.destination.empty()) draw(out, d);
    }
}

}  // namespace lv
