// Where the viewer puts its picture: zoom values, the fitting of a picture
// to the window, the picture rectangle, panning and the printed page.
//
// Zoom is a display scale (1.0 = one picture pixel per screen pixel) kept
// within 0.1 to 100. Script values are thousandths ("1500" is 150 %).
//
//     double z = clampZoom(readDecimal("250") / 1000);      // 0.25
//     ViewRect r = pictureRect({3000, 2000}, 0.2, {600, 400}, {0, 0});
//     // r = {0, 0, 600, 400}
//
// Limits: sizes below 1 give the fitting zoom 1.0, so no division by zero
// can come from a picture or a window of no size.
#pragma once

#include <string_view>

#include "codec/fit.h"

namespace lv {

inline constexpr double kMinZoom = 0.1;
inline constexpr double kMaxZoom = 100.0;

struct ViewRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const ViewRect&) const = default;
};

struct PanOffset {
    int x = 0, y = 0;
    bool operator==(const PanOffset&) const = default;
};

// A decimal number as the script writes fractions: optional white space and
// sign, digits with an optional point and fraction, an optional exponent;
// reading stops at the first character that does not fit. 0 without digits.
double readDecimal(std::string_view text);

// The zoom limited to 0.1 ... 100; a value that is not a number gives 0.1.
double clampZoom(double zoom);

// min(window width / picture width, window height / picture height),
// clamped: the zoom of a file opened by path (small pictures are enlarged).
double fitZoom(PictureSize picture, PictureSize window);
// The same, never above 1.0: a picture put up by the program is shrunk to
// fit but never enlarged.
double shrinkZoom(PictureSize picture, PictureSize window);

// The pan after a zoom change: each offset scaled by new / old and cut
// toward zero.
PanOffset scalePan(PanOffset pan, double oldZoom, double newZoom);

// Drawn size trunc(side x zoom), centred in the client, moved back by the pan.
ViewRect pictureRect(PictureSize picture, double zoom, PictureSize client, PanOffset pan);

// A window point as picture coordinates under that rectangle and zoom,
// limited to the picture.
PanOffset windowToPicture(int x, int y, const ViewRect& rect, double zoom, PictureSize picture);

// The zoom about a point: the pan that keeps the picture point under the
// window point (x, y) when going from oldZoom to newZoom.
PanOffset panKeepingPoint(int x, int y, PictureSize picture, PictureSize client, PanOffset pan, double oldZoom,
                          double newZoom);

// The rectangle with its corners ordered (left <= right, top <= bottom).
ViewRect orderedRect(ViewRect r);

// Printing: the picture fitted into the page after correcting its height for
// unequal printer resolutions (height x dpiY / dpiX), centred.
ViewRect pageRect(PictureSize picture, PictureSize page, int dpiX, int dpiY);

}  // namespace lv
