// Where a cell's picture goes in the output frame: the part of the picture
// to show (the source rectangle) and the size and place to draw it at, from
// the fit mode, zoom and pan. Pure arithmetic, no pixels.
//
//     CellPlacement p = placeCellPicture({400, 300}, {800, 400}, cell);
//     // fit inside: source 400 x 300 (the whole picture), drawn 534 x 400 at (133, 0)
//
// Fit modes (w x h the picture, W x H the frame): 0 the W x H rectangle
// centred on the picture, one pixel per pixel; 1 a rectangle of the frame's
// proportions holding the whole picture, fitted into the frame; 2 the
// largest rectangle of the frame's proportions inside the picture, drawn at
// W x H; others the whole picture stretched to W x H. Zoom (1/10000) shrinks
// the source about its centre (0 or below: no zoom; never under one pixel);
// pan moves it by 1/10000 of its size. The source is then clipped to the
// picture and the drawing shrinks by the cut parts (never below 1 x 1),
// shifted by half the difference of opposite cuts. `visible` is false when
// nothing of the picture remains.
#pragma once

#include "codec/fit.h"
#include "render/bitmap_draw.h"
#include "show/show_file.h"

namespace lv {

struct CellPlacement {
    bool visible = false;
    IntRect source;      // inside the picture
    int drawWidth = 0;   // the size the source is resized to
    int drawHeight = 0;
    int left = 0;        // where it is drawn in the frame
    int top = 0;
};

CellPlacement placeCellPicture(PictureSize picture, PictureSize frame, const ShowCell& cell);

}  // namespace lv
