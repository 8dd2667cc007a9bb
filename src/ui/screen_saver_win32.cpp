// The screen saver's window: in preview mode a child of the window that the
// system gave with "/p", covering its client area, in which the playing
// viewer's pictures are drawn. Destroying it (the system closes the preview)
// ends the playing viewer and the program.
#include <windows.h>

#include "platform/trace.h"
#include "shell/process.h"
#include "shell/process_win32.h"
#include "ui/show_stage_win32.h"

namespace lv {

namespace {

constexpr char kSaverClass[] = "screenSaverClass";

bool gClassRegistered = false;
HWND gSaverWindow = nullptr;

HWND previewWindow() { return reinterpret_cast<HWND>(startupArgs().screenSaverPreviewWnd); }

LRESULT CALLBACK saverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: paintPlayingViewer(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_DESTROY:
        gSaverWindow = nullptr;
        trace("screen saver window: destroyed");
        if (HWND viewer = playingViewerWindow()) endScreenSaver(viewer);
        else PostQuitMessage(0);
        return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool registerSaverClass() {
    WNDCLASSA windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = saverProcedure;
    windowClass.hInstance = moduleInstance();
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kSaverClass;
    return RegisterClassA(&windowClass) != 0;
}

}  // namespace

void startScreenSaverWindow() {
    const StartupArgs& args = startupArgs();
    HWND preview = previewWindow();
    if (args.screenSaverMode() != 2 || !IsWindow(preview)) return;
    gClassRegistered = registerSaverClass();
    RECT client{};
    GetClientRect(preview, &client);
    if (gClassRegistered)
        gSaverWindow = CreateWindowExA(0, kSaverClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                                       0, client.right, client.bottom, preview, nullptr, moduleInstance(), nullptr);
    if (!gSaverWindow) {
        trace("screen saver window: failed");
        PostQuitMessage(0);
        return;
    }
    setScreenSaverPreviewWnd(reinterpret_cast<std::intptr_t>(gSaverWindow));
    trace("screen saver window: created");
}

void stopScreenSaverWindow() {
    if (gSaverWindow) DestroyWindow(gSaverWindow);
    gSaverWindow = nullptr;
    if (gClassRegistered) UnregisterClassA(kSaverClass, moduleInstance());
    gClassRegistered = false;
}

HWND drawingWindow(HWND viewer) {
    // A preview handle that names no window leaves the pictures in the viewer.
    HWND preview = previewWindow();
    return preview && IsWindow(preview) ? preview : viewer;
}

void endScreenSaver(HWND viewer) {
    // The quit goes first: destroying the viewer releases its playback, and
    // nothing of it may be used after that.
    PostQuitMessage(0);
    DestroyWindow(viewer);
}

}  // namespace lv
