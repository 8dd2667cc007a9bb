#include "ui/static_win32.h"

#include "render/bitmap_draw_win32.h"
#include "script/keywords.h"
#include "script/values.h"
#include "ui/control_window_win32.h"

namespace lv {

namespace {

constexpr char kClassName[] = "sta";

class StaticRecord final : public ControlRecord {
public:
    BitmapPtr picture;
    COLORREF colour = 0;
    std::optional<std::string> sizeLabel;

    std::optional<std::string> get(int property) override {
        switch (property) {
        case kwInnerColor: return numberText(static_cast<std::int32_t>(colour));
        case kwInnerBit: return pictureText(picture);
        default: return isCommonProperty(property) ? getCommon(property) : std::nullopt;
        }
    }

    int set(int property, std::string_view value) override {
        switch (property) {
        case kwSize: sizeLabel = std::string(value); return 0;
        case kwInnerColor: colour = static_cast<COLORREF>(leadingNumber(value)); return 0;
        case kwInnerBit:
            picture.reset();
            picture = takePicture(value);
            return 0;
        case kwHwnd: return 0;
        default: return isCommonProperty(property) ? *setCommon(property, value) : -1;
        }
    }

protected:
    void releaseOwned() override {
        picture.reset();
        sizeLabel.reset();
    }
};

ControlType gType("static");

// The picture at its own size from the top-left corner; the window clips the
// last column and row.
void tile(HDC dc, const RECT& client, const Bitmap& picture) {
    if (picture.width <= 0 || picture.height <= 0) return;
    for (int y = 0; y < client.bottom; y += picture.height)
        for (int x = 0; x < client.right; x += picture.width) {
            const RECT cell{x, y, x + picture.width, y + picture.height};
            drawBitmap(picture, dc, cell);
        }
}

void paintStatic(HWND window, const StaticRecord& record) {
    PalettePaint paint(window);
    const RECT client = paint.client();
    if (record.picture) {
        tile(paint.dc(), client, *record.picture);
        return;
    }
    HBRUSH brush = CreateSolidBrush(record.colour);
    FillRect(paint.dc(), &client, brush);
    DeleteObject(brush);
}

LRESULT CALLBACK staticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    StaticRecord* record = static_cast<StaticRecord*>(recordOf(window));
    if (!record) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: paintStatic(window, *record); return 0;
    case WM_MOUSEWHEEL: return forwardWheel(window, message, wParam, lParam);
    case WM_DESTROY: record->destroySequence(true); break;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<ObjectInstance> createStatic(HWND parent) {
    return createChildControl<StaticRecord>(kClassName, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, parent);
}

bool startStaticClass() { return registerControlClass(gType, kClassName, 0, staticProcedure); }

void stopStaticClass() { unregisterControlClass(gType, kClassName); }

}  // namespace lv
