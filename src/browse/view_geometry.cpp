#include "browse/view_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace lv {

double readDecimal(std::string_view text) {
    // strtod reads exactly the described form; a copy gives it its terminator.
    const std::string copy(text);
    return std::strtod(copy.c_str(), nullptr);
}

double clampZoom(double zoom) {
    if (!(zoom >= kMinZoom)) return kMinZoom;  // also NaN
    return std::min(zoom, kMaxZoom);
}

double fitZoom(PictureSize picture, PictureSize window) {
    if (picture.width < 1 || picture.height < 1 || window.width < 1 || window.height < 1) return 1.0;
    const double across = static_cast<double>(window.width) / picture.width;
    const double down = static_cast<double>(window.height) / picture.height;
    return clampZoom(std::min(across, down));
}

double shrinkZoom(PictureSize picture, PictureSize window) { return std::min(fitZoom(picture, window), 1.0); }

PanOffset scalePan(PanOffset pan, double oldZoom, double newZoom) {
    if (!(oldZoom > 0)) return pan;
    const double ratio = newZoom / oldZoom;
    return {static_cast<int>(std::trunc(pan.x * ratio)), static_cast<int>(std::trunc(pan.y * ratio))};
}

ViewRect pictureRect(PictureSize picture, double zoom, PictureSize client, PanOffset pan) {
    const int width = static_cast<int>(std::trunc(picture.width * zoom));
    const int height = static_cast<int>(std::trunc(picture.height * zoom));
    ViewRect r;
    r.left = (client.width - width) / 2 - pan.x;
    r.top = (client.height - height) / 2 - pan.y;
    r.right = r.left + width;
    r.bottom = r.top + height;
    return r;
}

PanOffset windowToPicture(int x, int y, const ViewRect& rect, double zoom, PictureSize picture) {
    const double z = zoom > 0 ? zoom : 1.0;
    const int px = static_cast<int>(std::floor((x - rect.left) / z));
    const int py = static_cast<int>(std::floor((y - rect.top) / z));
    return {std::clamp(px, 0, std::max(0, picture.width)), std::clamp(py, 0, std::max(0, picture.height))};
}

PanOffset panKeepingPoint(int x, int y, PictureSize picture, PictureSize client, PanOffset pan, double oldZoom,
                          double newZoom) {
    const ViewRect before = pictureRect(picture, oldZoom, client, pan);
    // The picture point under the pointer, in picture pixels (fractional).
    const double px = (x - before.left) / oldZoom;
    const double py = (y - before.top) / oldZoom;
    const ViewRect centred = pictureRect(picture, newZoom, client, {0, 0});
    // left = centred.left - pan must put px at x: pan = centred.left + px * new - x.
    return {static_cast<int>(std::lround(centred.left + px * newZoom - x)),
            static_cast<int>(std::lround(centred.top + py * newZoom - y))};
}

ViewRect orderedRect(ViewRect r) {
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    return r;
}

ViewRect pageRect(PictureSize picture, PictureSize page, int dpiX, int dpiY) {
    if (picture.width < 1 || picture.height < 1 || dpiX < 1 || dpiY < 1) return {};
    const long long corrected = static_cast<long long>(dpiY) * picture.height / dpiX;
    const int height = static_cast<int>(std::clamp<long long>(corrected, 1, 0x7FFFFFFF));
    const PictureSize fitted = fitSize({picture.width, height}, page);
    ViewRect r;
    r.left = (page.width - fitted.width) / 2;
    r.top = (page.height - fitted.height) / 2;
    r.right = r.left + fitted.width;
    r.bottom = r.top + fitted.height;
    return r;
}

}  // namespace lv
