// lvtransition: shows one transition in a real window through the window
// display and the frame clock's timer thread, for the Wine tests.
//
//   lvtransition NAME [portable]
//
// A borderless 160 x 100 window at (40, 40) changes from picture A to
// picture B (patterns the test computes too) by the named transition, timed
// at 600 ms. Lines go to the file named by LUMAVINE_TRACE: "mode direct" or
// "mode backbuffer", "entry NAME", then "finished" once the run has made its
// last frame. The window then keeps showing B (repainting it when asked)
// until its thread gets the quit message, or for 60 s.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display/window_display.h"
#include "transition/registry.h"
#include "transition/run.h"

namespace {

constexpr int kWidth = 160, kHeight = 100;

lv::Display* g_display = nullptr;
const lv::Surface* g_shown = nullptr;

void trace(const std::string& line) {
    const char* path = std::getenv("LUMAVINE_TRACE");
    if (path == nullptr) return;
    if (FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

lv::SurfacePtr pattern(bool incoming) {
    lv::SurfacePtr s = lv::createSurface(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::uint32_t r = incoming ? (x * 3) & 255 : 200, g = incoming ? (y * 5) & 255 : (x * 7) & 255,
                                b = incoming ? 77 : (y * 3) & 255;
            s->row(y)[x] = (r << 16) | (g << 8) | b;
        }
    }
    return s;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        if (g_display != nullptr && g_shown != nullptr) lv::paintIncoming(*g_shown, *g_display);
        return 0;
    }
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const bool portable = argc > 2 && std::strcmp(argv[2], "portable") == 0;
    WNDCLASSA cls{};
    cls.lpfnWndProc = windowProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "lvtransition";
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&cls);
    HWND window = CreateWindowExA(0, "lvtransition", "lvtransition", WS_POPUP | WS_VISIBLE, 40, 40, kWidth, kHeight,
                                  nullptr, nullptr, cls.hInstance, nullptr);
    if (window == nullptr) return 3;
    UpdateWindow(window);

    lv::SurfacePtr a = pattern(false), b = pattern(true);
    std::unique_ptr<lv::WindowDisplay> display = lv::createWindowDisplay(window, portable);
    g_display = display.get();
    g_shown = a.get();
    trace(display->mode() == lv::DisplayMode::DirectSurface ? "mode direct" : "mode backbuffer");
    lv::paintIncoming(*a, *display);

    lv::Registry registry;
    registry.build(lv::RegistryConditions{});
    lv::RunOptions options;
    options.mode = lv::ClockMode::Timed;
    lv::TransitionRun run;
    if (run.start(registry, *a, *b, *display, registry.findName(argv[1]), 600, options) != 0) return 4;
    trace("entry " + registry.entryName(run.entry()));

    const DWORD start = GetTickCount();
    MSG msg;
    bool quit = false;
    while (!run.finished() && GetTickCount() - start < 20000) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            quit = quit || msg.message == WM_QUIT;
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
    const bool finished = run.finished();
    run.end();
    g_shown = b.get();
    trace(finished ? "finished" : "not finished");
    while (!quit && GetTickCount() - start < 60000) {
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                quit = quit || msg.message == WM_QUIT;
                DispatchMessageA(&msg);
            }
        }
    }
    g_display = nullptr;
    DestroyWindow(window);
    return finished ? 0 : 1;
}
