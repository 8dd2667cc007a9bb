#include "ui/top_window_win32.h"

#include "render/colour_module_win32.h"
#include "script/keywords.h"
#include "script/values.h"
#include "shell/process.h"
#include "shell/process_win32.h"
#include "ui/control_window_win32.h"

namespace lv {

namespace {

constexpr char kClassName[] = "wnd";
constexpr int kIconResource = 100;
constexpr int kLeastSaverWidth = 640;
constexpr int kLeastSaverHeight = 480;
constexpr LONG kFrameStyles = WS_BORDER | WS_DLGFRAME | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX;

// The client rectangle seen at the last WM_WINDOWPOSCHANGING, program-wide.
RECT gClientBeforeMove{};

void changeStyle(HWND window, LONG add, LONG remove) {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    SetWindowLongA(window, GWL_STYLE, (style | add) & ~remove);
}

// One side of the screen-saver cover: the virtual screen's extent, else the
// desktop's, else the screen's, each only when it reaches the least size.
int coverExtent(int origin, int least, int virtualMetric, int desktopCap, int screenCap) {
    int extent = GetSystemMetrics(virtualMetric);
    if (extent == 0 || extent < origin + least) {
        HDC desktop = GetDC(nullptr);
        extent = GetDeviceCaps(desktop, desktopCap);
        if (extent == 0 || extent < origin + least) extent = GetDeviceCaps(desktop, screenCap);
        ReleaseDC(nullptr, desktop);
    }
    return extent;
}

// Covers the virtual screen without a frame; false when the program is no
// screen saver.
bool applySaverPlacement(HWND window) {
    if (!startupArgs().screenSaver) return false;
    changeStyle(window, 0, kFrameStyles);
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int right = coverExtent(x, kLeastSaverWidth, SM_CXVIRTUALSCREEN, DESKTOPHORZRES, HORZRES);
    const int bottom = coverExtent(y, kLeastSaverHeight, SM_CYVIRTUALSCREEN, DESKTOPVERTRES, VERTRES);
    SetWindowPos(window, nullptr, x, y, right - x, bottom - y, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

RECT clientOnScreen(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

ControlRect outerRect(HWND window, const ControlRect& client) {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    FrameStyle frame;
    frame.dlgFrame = (style & WS_DLGFRAME) == WS_DLGFRAME;
    frame.thickFrame = (style & WS_THICKFRAME) != 0;
    frame.border = (style & WS_BORDER) == WS_BORDER;
    frame.hasCaptionArea = (style & (WS_MINIMIZE | WS_MAXIMIZE | WS_BORDER | WS_DLGFRAME | WS_SYSMENU)) != 0;
    FrameMetrics metrics;
    metrics.dlgFrameX = GetSystemMetrics(SM_CXDLGFRAME);
    metrics.dlgFrameY = GetSystemMetrics(SM_CYDLGFRAME);
    metrics.frameX = GetSystemMetrics(SM_CXFRAME);
    metrics.frameY = GetSystemMetrics(SM_CYFRAME);
    metrics.borderX = GetSystemMetrics(SM_CXBORDER);
    metrics.borderY = GetSystemMetrics(SM_CYBORDER);
    metrics.caption = GetSystemMetrics(SM_CYCAPTION);
    return outerFromClient(client, frame, metrics);
}

class WindowRecord final : public ControlRecord {
public:
    std::optional<std::string> sizeLabel, closeLabel;
    bool maximisePending = false;
    int resizing = 0;

    std::optional<std::string> get(int property) override {
        if (!window) return std::nullopt;
        RECT client;
        GetClientRect(window, &client);
        const ControlRect clientRect{0, 0, client.right, client.bottom};
        if (const auto value = rectProperty(clientRect, property)) return numberText(*value);
        if (property >= kwWindowwidth && property <= kwWindowbottom) return outerProperty(property);
        // hwnd and visible read as for every control ("1" or "0"), so that
        // `if` can test whether the window is shown.
        if (property == kwHwnd || property == kwVisible) return getCommon(property);
        return windowText(window);
    }

    int set(int property, std::string_view value) override {
        if (!window) return -1;
        if (rectProperty(ControlRect{}, property)) return setGeometry(property, leadingNumber(value));
        switch (property) {
        case kwMaximize: return setMaximize(visibleByParity(value));
        case kwVisible:
            if (!visibleByParity(value)) ShowWindow(window, SW_HIDE);
            else if (startupArgs().screenSaverPreviewWnd == 0) ShowWindow(window, SW_SHOW);
            return 0;
        case kwSize: sizeLabel = std::string(value); return 0;
        case kwClose: closeLabel = std::string(value); return 0;
        case kwResize: return setResizable(leadingNumber(value) != 0);
        default: SetWindowTextA(window, std::string(value).c_str()); return 0;
        }
    }

protected:
    void releaseOwned() override { sizeLabel.reset(); }

private:
    std::optional<std::string> outerProperty(int property) {
        RECT r;
        GetWindowRect(window, &r);
        switch (property) {
        case kwWindowwidth: return numberText(r.right - r.left);
        case kwWindowheight: return numberText(r.bottom - r.top);
        case kwWindowleft: return numberText(r.left);
        case kwWindowtop: return numberText(r.top);
        case kwWindowright: return numberText(r.right);
        default: return numberText(r.bottom);
        }
    }

    int setGeometry(int property, int value) {
        if (applySaverPlacement(window)) return 0;
        const ControlRect now = toControlRect(clientOnScreen(window));
        const ControlRect next = *editRect(now, property, value);
        if (next == now) return 0;
        const ControlRect outer = outerRect(window, next);
        SetWindowPos(window, nullptr, outer.left, outer.top, outer.width(), outer.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }

    int setMaximize(bool maximise) {
        if (!IsWindowVisible(window)) {
            maximisePending = maximise;
            return 0;
        }
        ShowWindow(window, maximise ? SW_MAXIMIZE : SW_SHOWNORMAL);
        return 0;
    }

    int setResizable(bool resizable) {
        if (resizable) {
            changeStyle(window, WS_THICKFRAME | WS_MAXIMIZEBOX, 0);
        } else {
            if (IsZoomed(window)) ShowWindow(window, SW_SHOWNORMAL);
            changeStyle(window, 0, WS_THICKFRAME | WS_MAXIMIZEBOX);
        }
        // The frame is drawn anew only when told the style changed.
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        return 0;
    }
};

ControlType gType("window");

void paintWindow(HWND window) {
    PalettePaint paint(window);
    const RECT all{0, 0, 10000, 10000};
    FillRect(paint.dc(), &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
}

void onPositionChanged(WindowRecord& record) {
    if (record.resizing != 0) return;
    RECT client;
    GetClientRect(record.window, &client);
    const bool resized = client.right - client.left != gClientBeforeMove.right - gClientBeforeMove.left ||
                         client.bottom - client.top != gClientBeforeMove.bottom - gClientBeforeMove.top;
    if (!resized) return;
    ++record.resizing;
    runControlLabel(record.sizeLabel);
    --record.resizing;
}

// Realises the display palette; when entries changed, the window and all
// its descendants repaint. The number of changed entries.
LRESULT realisePalette(HWND window) {
    HPALETTE palette = displayPaletteHandle();
    if (!palette) return 0;
    HDC dc = GetDC(window);
    HPALETTE previous = SelectPalette(dc, palette, FALSE);
    const UINT changed = RealizePalette(dc);
    SelectPalette(dc, previous, FALSE);
    ReleaseDC(window, dc);
    if (changed != 0 && changed != GDI_ERROR)
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_NOERASE);
    return changed == GDI_ERROR ? 0 : static_cast<LRESULT>(changed);
}

void onDestroy(WindowRecord& record) {
    // The close label runs after the record is gone, so it may make a new window.
    std::optional<std::string> closeLabel = std::move(record.closeLabel);
    record.closeLabel.reset();
    record.destroySequence(true);
    runControlLabel(closeLabel);
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGING) {
        GetClientRect(window, &gClientBeforeMove);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    WindowRecord* record = static_cast<WindowRecord*>(recordOf(window));
    if (!record) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: paintWindow(window); return 0;
    case WM_SHOWWINDOW:
        if (wParam && record->maximisePending) {
            record->maximisePending = false;
            ShowWindow(window, SW_MAXIMIZE);
            return 0;
        }
        break;
    case WM_WINDOWPOSCHANGED: onPositionChanged(*record); break;
    case WM_SYSCOMMAND:
        // Maximised, the window fills the screen without a frame.
        if ((wParam & 0xFFF0) == SC_MAXIMIZE) changeStyle(window, 0, kFrameStyles);
        break;
    case WM_QUERYNEWPALETTE: return realisePalette(window);
    case WM_PALETTECHANGED: return reinterpret_cast<HWND>(wParam) == window ? 0 : realisePalette(window);
    case WM_KEYDOWN: return forwardKey(window, message, wParam, lParam);
    case WM_MOUSEWHEEL: return forwardWheel(window, message, wParam, lParam);
    case WM_DESTROY: onDestroy(*record); break;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<ObjectInstance> createTopWindow(HWND owner, const std::optional<std::string>& title, bool resizable) {
    auto record = std::make_unique<WindowRecord>();
    const DWORD exStyle = startupArgs().screenSaver ? WS_EX_TOPMOST : 0;
    DWORD style = (title ? WS_OVERLAPPEDWINDOW : WS_POPUP) | WS_CLIPCHILDREN;
    if (resizable)
        style |= WS_THICKFRAME;
    else
        style &= ~static_cast<DWORD>(WS_THICKFRAME | WS_MAXIMIZEBOX);
    HWND window = CreateWindowExA(exStyle, kClassName, title ? title->c_str() : "", style, 0, 0, 100, 100, owner,
                                  nullptr, moduleInstance(), nullptr);
    if (!window) return nullptr;
    attachRecord(window, *record);
    applySaverPlacement(window);
    return record;
}

bool startWindowClass() {
    // The first control class to start: the screen depth every control's pictures follow.
    recordScreenDepth();
    HICON icon = LoadIconA(moduleInstance(), MAKEINTRESOURCEA(kIconResource));
    return registerControlClass(gType, kClassName, 0, windowProcedure, icon);
}

void stopWindowClass() { unregisterControlClass(gType, kClassName); }

}  // namespace lv
