// The viewer's picture and what the script does to it: the base picture (as
// loaded or last committed), the pending adjustments (levels, rotation,
// mirrors) that make the current picture from it, zoom and pan, the
// selection, and the modified flag that the save prompt looks at.
//
// Levels add up relative to the last commit; a rotation or a mirroring first
// commits everything before it:
//
//     ViewerPicture v;  v.show(load("a.jpg"), "a.jpg", window, true);
//     v.addLevel(Level::Bright, 10);  v.addLevel(Level::Bright, 10);
//     v.applyAdjustments();   // base brightened by 20, not 10 twice
//     v.turn(90);             // the brightened picture becomes the base, then turns
//
// A large picture may be opened reduced (openReduced): the viewer holds it
// at 1/2 while it is drawn at half size or less, and decodes it whole, once,
// when more is needed: a zoom that draws more pixels than it holds, a
// commit (rotation, mirroring), a crop, or an output (save, copy, print ask
// for fullPicture()). Sizes, zoom, pan and selection are always those of
// the whole picture.
//
// Failures: a rotation by an angle that is not a multiple of 90 or a failed
// flip leaves the picture unadjusted in that respect; zoom stays within
// 0.1 ... 100 whatever the script writes.
#pragma once

#include <functional>
#include <string>

#include "browse/view_geometry.h"
#include "render/bitmap.h"

namespace lv {

enum class Level { Bright, Contrast, Black, White };

class ViewerPicture {
public:
    std::string path;
    double zoom = 1.0;
    PanOffset pan;
    bool fit = true;
    bool modified = false;
    ViewRect selection{-1, 0, 0, 0};  // picture coordinates; left -1: none

    // The picture as shown: the current picture, else the base picture; null
    // before the first show.
    const Bitmap* shown() const { return current_ ? current_.get() : base_.get(); }
    const Bitmap* base() const { return base_.get(); }
    PictureSize shownSize() const;

    // Puts up a new picture under that name: adjustments and selection reset,
    // pan 0, zoom fitted (shrunk only) when the fit flag is set, else 1.0.
    void show(BitmapPtr picture, std::string name, PictureSize window);
    // Opened by path: as show, then fitted both ways (small pictures enlarged).
    void open(BitmapPtr picture, std::string name, PictureSize window);
    // A show picture while a show plays: the base picture stays (playback
    // gives it back when it stops) and the new one becomes the current
    // picture. With the fit flag, a picture whose width and height both
    // differ from the window's is resized to its fitted size (the zoom
    // stays); otherwise the zoom shrinks it to fit as show does.
    void showPlaying(BitmapPtr picture, std::string name, PictureSize window);
    // As open, from the picture at 1/`reduction` of `fullSize` (each side
    // rounded up); `loadFull` decodes the whole picture when it is needed.
    using FullLoader = std::function<BitmapPtr()>;
    void openReduced(BitmapPtr picture, PictureSize fullSize, int reduction, FullLoader loadFull, std::string name,
                     PictureSize window);
    bool reduced() const { return reduction_ > 1; }
    // The whole picture from here on (pending adjustments are applied to it
    // anew); false when it could not be decoded (the reduced one stays).
    bool ensureFull();
    // Decodes the whole picture when the zoom draws more than is held.
    void ensureDetail();

    void addLevel(Level level, int value);
    // Commit, then add to the angle / toggle a mirror (a value of 0 does nothing to it).
    void turn(int degrees);
    void toggleMirror(bool horizontal, int value);
    bool adjustPending() const { return adjustPending_; }

    // Rebuilds the current picture from the base when adjustments are pending.
    void applyAdjustments();
    // Applies them and makes the result the new base picture.
    void commitAdjustments();

    // New zoom (clamped); the pan scales with it.
    void setZoom(double newZoom);
    // The `maximize` value: the zoom, clamped like every other.
    void setZoomUnscaled(double newZoom) {
        zoom = clampZoom(newZoom);
        ensureDetail();
    }
    // Refit after the window changed size; true when the zoom changed.
    bool refit(PictureSize window);

    // The selection ordered and limited to the picture; empty when none.
    ViewRect selectionRect() const;
    bool hasSelection() const;
    // Crops the base picture to the selection: true when it did.
    bool crop();

    // The picture reloaded from its file: shown under the same path,
    // unmodified.
    void reload(BitmapPtr picture, PictureSize window);

private:
    void resetAdjustments();
    void dropReduction();
    BitmapPtr base_;
    BitmapPtr current_;  // null: the base picture is shown as it is
    int levels_[4] = {0, 0, 0, 0};
    int angle_ = 0;
    bool mirrorH_ = false, mirrorV_ = false;
    bool adjustPending_ = false;
    // Reduced: the base is 1/reduction_ of fullSize_; loadFull_ decodes it whole.
    int reduction_ = 1;
    PictureSize fullSize_;
    FullLoader loadFull_;
    const Bitmap* levelledReduced_ = nullptr;  // the current picture made from the reduced base
};

// The save prompt's outcome: whether the old picture may be replaced (or the
// edits dropped) and the modified flag cleared. Only a successful save or the
// answer No lets it go; a cancelled dialog or a failed save keeps the edits.
enum class PromptAnswer { Yes, No };
enum class SaveResult { Saved, Cancelled, Failed };
bool promptLetsGo(PromptAnswer answer, SaveResult result);

}  // namespace lv
