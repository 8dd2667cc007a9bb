#include "browse/viewer_picture.h"

#include <algorithm>
#include <utility>

#include "codec/fit.h"
#include "render/bitmap_resize.h"
#include "render/image_ops.h"

namespace lv {

PictureSize ViewerPicture::shownSize() const {
    // The reduced base, or levels applied to it, stands for the whole
    // picture (nothing turns it while reduced: a turn decodes it whole).
    if (reduced() && (!current_ || current_.get() == levelledReduced_)) return fullSize_;
    const Bitmap* b = shown();
    return b ? PictureSize{b->width, b->height} : PictureSize{};
}

void ViewerPicture::resetAdjustments() {
    std::fill(std::begin(levels_), std::end(levels_), 0);
    angle_ = 0;
    mirrorH_ = mirrorV_ = false;
    adjustPending_ = false;
}

void ViewerPicture::dropReduction() {
    reduction_ = 1;
    fullSize_ = {};
    loadFull_ = nullptr;
}

void ViewerPicture::show(BitmapPtr picture, std::string name, PictureSize window) {
    dropReduction();
    resetAdjustments();
    selection.left = -1;
    current_.reset();
    base_ = std::move(picture);
    pan = {0, 0};
    zoom = fit ? shrinkZoom(shownSize(), window) : 1.0;
    path = std::move(name);
}

void ViewerPicture::showPlaying(BitmapPtr picture, std::string name, PictureSize window) {
    if (!picture) return;
    pan = {0, 0};
    path = std::move(name);
    if (!fit) {
        zoom = 1.0;
    } else if (picture->width != window.width && picture->height != window.height) {
        const PictureSize fitted = fitSize({picture->width, picture->height}, window);
        if (fitted.width >= 1 && fitted.height >= 1)
            if (BitmapPtr resized = resizeBitmap(*picture, fitted.width, fitted.height)) picture = std::move(resized);
    } else {
        zoom = shrinkZoom({picture->width, picture->height}, window);
    }
    current_ = std::move(picture);
}

void ViewerPicture::open(BitmapPtr picture, std::string name, PictureSize window) {
    show(std::move(picture), std::move(name), window);
    setZoom(fitZoom(shownSize(), window));
}

void ViewerPicture::openReduced(BitmapPtr picture, PictureSize fullSize, int reduction, FullLoader loadFull,
                                std::string name, PictureSize window) {
    show(std::move(picture), std::move(name), window);
    if (reduction > 1 && base_ && loadFull) {
        reduction_ = reduction;
        fullSize_ = fullSize;
        loadFull_ = std::move(loadFull);
        zoom = fit ? shrinkZoom(fullSize_, window) : 1.0;
    }
    setZoom(fitZoom(shownSize(), window));
}

bool ViewerPicture::ensureFull() {
    if (!reduced()) return base_ != nullptr;
    BitmapPtr full = loadFull_();
    if (!full || full->width != fullSize_.width || full->height != fullSize_.height) return false;
    // Nothing was committed to the reduced base, so the whole picture
    // replaces it as it is; pending levels are applied to it anew.
    base_ = std::move(full);
    if (current_) adjustPending_ = true;
    current_.reset();
    dropReduction();
    return true;
}

void ViewerPicture::ensureDetail() {
    if (!reduced() || !base_) return;
    const ViewRect drawn = pictureRect(fullSize_, zoom, {0, 0}, {0, 0});
    if (drawn.width() > base_->width || drawn.height() > base_->height) ensureFull();
}

void ViewerPicture::addLevel(Level level, int value) {
    levels_[static_cast<int>(level)] += value;
    adjustPending_ = true;
}

void ViewerPicture::turn(int degrees) {
    commitAdjustments();
    angle_ += degrees;
    adjustPending_ = true;
}

void ViewerPicture::toggleMirror(bool horizontal, int value) {
    commitAdjustments();
    if (value != 0) (horizontal ? mirrorH_ : mirrorV_) = !(horizontal ? mirrorH_ : mirrorV_);
    adjustPending_ = true;
}

void ViewerPicture::applyAdjustments() {
    if (!base_ || !adjustPending_) return;
    BitmapPtr result = copyBitmap(*base_);
    if (!result) return;
    result->palette = base_->palette;
    if (levels_[0] || levels_[1] || levels_[2] || levels_[3]) {
        adjustBitmap(*result, levels_[0], levels_[1], levels_[2], levels_[3]);
        modified = true;
    }
    if (angle_ != 0) {
        if (BitmapPtr turned = rotateBitmap(*result, angle_)) {
            result = std::move(turned);
            modified = true;
        }
    }
    if (mirrorH_ || mirrorV_) {
        if (BitmapPtr flipped = flipBitmap(*result, mirrorH_, mirrorV_)) {
            result = std::move(flipped);
            modified = true;
        }
    }
    current_ = std::move(result);
    levelledReduced_ = reduced() ? current_.get() : nullptr;
    adjustPending_ = false;
}

void ViewerPicture::commitAdjustments() {
    // What is committed becomes the base: it must be the whole picture.
    ensureFull();
    applyAdjustments();
    if (current_) base_ = std::move(current_);
    resetAdjustments();
}

void ViewerPicture::setZoom(double newZoom) {
    const double clamped = clampZoom(newZoom);
    pan = scalePan(pan, zoom, clamped);
    zoom = clamped;
    ensureDetail();
}

bool ViewerPicture::refit(PictureSize window) {
    if (!shown()) return false;
    const double fitted = fitZoom(shownSize(), window);
    if (fitted == zoom) return false;
    setZoom(fitted);
    return true;
}

ViewRect ViewerPicture::selectionRect() const {
    if (selection.left < 0 || !shown()) return {};
    ViewRect r = orderedRect(selection);
    const PictureSize size = shownSize();
    r.left = std::clamp(r.left, 0, size.width);
    r.right = std::clamp(r.right, 0, size.width);
    r.top = std::clamp(r.top, 0, size.height);
    r.bottom = std::clamp(r.bottom, 0, size.height);
    return r;
}

bool ViewerPicture::hasSelection() const {
    const ViewRect r = selectionRect();
    return r.width() > 0 && r.height() > 0;
}

bool ViewerPicture::crop() {
    if (!base_ || !hasSelection()) return false;
    applyAdjustments();
    const ViewRect r = selectionRect();
    commitAdjustments();
    if (cropBitmap(*base_, r.left, r.top, r.right, r.bottom) != 0) return false;
    modified = true;
    pan = {0, 0};
    selection.left = -1;
    return true;
}

void ViewerPicture::reload(BitmapPtr picture, PictureSize window) {
    fit = true;
    std::string keep = path;
    show(std::move(picture), std::move(keep), window);
    modified = false;
}

bool promptLetsGo(PromptAnswer answer, SaveResult result) {
    return answer == PromptAnswer::No || result == SaveResult::Saved;
}

}  // namespace lv
