#include "ui/placeholder_controls_win32.h"

#include "ui/control_window_win32.h"

namespace lv {

namespace {

constexpr char kViewerClass[] = "vwr";
constexpr char kThumbAreaClass[] = "thm";
constexpr DWORD kChildStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

class PlainRecord final : public ControlRecord {};

ControlType gViewerType("viewer");
ControlType gThumbAreaType("thumbArea");

LRESULT CALLBACK plainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlRecord* record = recordOf(window);
    if (!record) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: {
        PalettePaint paint(window);
        const RECT client = paint.client();
        FillRect(paint.dc(), &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return 0;
    }
    // The thumbnail area and the viewer take the wheel themselves; passed on
    // to the parent it would come back forwarded.
    case WM_MOUSEWHEEL: return 0;
    case WM_DESTROY: record->destroySequence(true); break;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<ObjectInstance> createViewer(HWND parent) {
    return createChildControl<PlainRecord>(kViewerClass, kChildStyle, parent);
}
std::unique_ptr<ObjectInstance> createThumbArea(HWND parent) {
    return createChildControl<PlainRecord>(kThumbAreaClass, kChildStyle, parent);
}

bool startViewerClass() { return registerControlClass(gViewerType, kViewerClass, CS_DBLCLKS, plainProcedure); }
void stopViewerClass() { unregisterControlClass(gViewerType, kViewerClass); }
bool startThumbAreaClass() { return registerControlClass(gThumbAreaType, kThumbAreaClass, 0, plainProcedure); }
void stopThumbAreaClass() { unregisterControlClass(gThumbAreaType, kThumbAreaClass); }

}  // namespace lv
