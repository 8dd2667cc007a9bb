// The fitting rule shared by the codec, the viewer and the thumbnail area.
//
// fitSize() fits a source size inside a box keeping its aspect ratio, in
// 16.16 fixed point with rounding: first the height that goes with the box's
// width; when that is too tall, the width that goes with the box's height.
#pragma once

namespace lv {

struct PictureSize {
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize&) const = default;
};

// source sides must be at least 1; box sides are taken as they come.
PictureSize fitSize(PictureSize source, PictureSize box);

}  // namespace lv
