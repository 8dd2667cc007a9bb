// lvprobe: looks at and pokes the windows of programs under test, from inside
// the same Wine session. One action per run; output is one line per window:
//     hwnd=0x... pid=N tid=N visible=0|1 x=N y=N w=N h=N style=0x... class=NAME title=TEXT
//
//   lvprobe list                      every top-level window
//   lvprobe find TITLE [CLASS]        top-level windows with that title (and class); exit 1 if none
//   lvprobe children HWND             the child windows of a window
//   lvprobe quit TID                  posts the quit message to a thread
//   lvprobe post HWND MSG WPARAM LPARAM
//   lvprobe screen                    the primary screen's size
//   lvprobe warm-up                   makes a window and draws text once, so
//                                     that a new prefix builds its font cache
//                                     and desktop before any test waits
//   lvprobe clipboard FILE            writes the clipboard's CF_DIB block to FILE
//                                     and prints "dib=BYTES hdrop=0|1"; exit 1
//                                     when there is no bitmap
//   lvprobe run EXE [COMMANDLINE]     starts EXE with exactly that command line
//                                     (as a launcher would), waits for it and
//                                     exits with its exit code
//   lvprobe window X Y W H            shows a grey pop-up window of that client
//                                     size at X, Y (as the system's preview
//                                     window, for /p), prints its line, then
//                                     keeps it until its thread gets the quit
//                                     message or the window closes, at most 120 s
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void printWindow(HWND w) {
    char title[512] = {}, cls[256] = {};
    GetWindowTextA(w, title, sizeof title);
    GetClassNameA(w, cls, sizeof cls);
    RECT r{};
    GetWindowRect(w, &r);
    DWORD pid = 0;
    const DWORD tid = GetWindowThreadProcessId(w, &pid);
    std::printf("hwnd=0x%llx pid=%lu tid=%lu visible=%d x=%ld y=%ld w=%ld h=%ld style=0x%08lx class=%s title=%s\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w)), pid, tid,
                IsWindowVisible(w) ? 1 : 0, r.left, r.top, r.right - r.left, r.bottom - r.top,
                static_cast<unsigned long>(GetWindowLongA(w, GWL_STYLE)), cls, title);
}

BOOL CALLBACK collectWindow(HWND w, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
    return TRUE;
}

std::vector<HWND> topLevelWindows() {
    std::vector<HWND> all;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

HWND parseHandle(const char* text) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(text, nullptr, 0))); }

LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

// A window that another program may draw into through a child of its own.
int hostWindow(int x, int y, int width, int height) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = hostProcedure;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    cls.lpszClassName = "lvprobeHost";
    if (!RegisterClassA(&cls)) return 1;
    HWND window = CreateWindowExA(0, cls.lpszClassName, "lvprobe host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y,
                                  width, height, nullptr, nullptr, cls.hInstance, nullptr);
    if (!window) return 1;
    UpdateWindow(window);
    printWindow(window);
    std::fflush(stdout);
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < 120000) {
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) continue;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return 0;
            DispatchMessageA(&msg);
        }
    }
    return 0;
}

int usage() {
    std::fprintf(stderr, "usage: lvprobe list | find TITLE [CLASS] | children HWND | quit TID | post HWND MSG W L | screen\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string action = argv[1];
    if (action == "list") {
        for (HWND w : topLevelWindows()) printWindow(w);
        return 0;
    }
    if (action == "find" && argc >= 3) {
        int found = 0;
        for (HWND w : topLevelWindows()) {
            char title[512] = {}, cls[256] = {};
            GetWindowTextA(w, title, sizeof title);
            GetClassNameA(w, cls, sizeof cls);
            if (std::strcmp(title, argv[2]) != 0) continue;
            if (argc >= 4 && lstrcmpiA(cls, argv[3]) != 0) continue;
            printWindow(w);
            ++found;
        }
        return found ? 0 : 1;
    }
    if (action == "children" && argc >= 3) {
        std::vector<HWND> children;
        EnumChildWindows(parseHandle(argv[2]), collectWindow, reinterpret_cast<LPARAM>(&children));
        for (HWND w : children) printWindow(w);
        return 0;
    }
    if (action == "quit" && argc >= 3) {
        return PostThreadMessageA(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 0)), WM_QUIT, 0, 0) ? 0 : 1;
    }
    if (action == "post" && argc >= 6) {
        return PostMessageA(parseHandle(argv[2]), static_cast<UINT>(std::strtoul(argv[3], nullptr, 0)),
                            static_cast<WPARAM>(std::strtoull(argv[4], nullptr, 0)),
                            static_cast<LPARAM>(std::strtoll(argv[5], nullptr, 0)))
                   ? 0
                   : 1;
    }
    if (action == "run" && argc >= 3) {
        std::string line = std::string("\"") + argv[2] + "\"";
        if (argc >= 4) line += std::string(" ") + argv[3];
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            std::fprintf(stderr, "lvprobe: cannot start %s (error %lu)\n", argv[2], GetLastError());
            return 255;
        }
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 255;
        GetExitCodeProcess(process.hProcess, &code);
        return static_cast<int>(code);
    }
    if (action == "warm-up") {
        HWND window = CreateWindowExA(0, "static", "warm-up", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        HDC dc = GetDC(window);
        HFONT font = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, PROOF_QUALITY, VARIABLE_PITCH, "Arial");
        HGDIOBJ previous = SelectObject(dc, font);
        RECT area{0, 0, 0, 0};
        DrawTextA(dc, "warm-up", -1, &area, DT_CALCRECT);
        SelectObject(dc, previous);
        DeleteObject(font);
        ReleaseDC(window, dc);
        DestroyWindow(window);
        return 0;
    }
    if (action == "clipboard" && argc >= 3) {
        if (!OpenClipboard(nullptr)) return 1;
        const bool hasDrop = IsClipboardFormatAvailable(CF_HDROP) != 0;
        HANDLE data = GetClipboardData(CF_DIB);
        int result = 1;
        if (data) {
            const SIZE_T size = GlobalSize(data);
            if (const void* bytes = GlobalLock(data)) {
                if (std::FILE* out = std::fopen(argv[2], "wb")) {
                    std::fwrite(bytes, 1, size, out);
                    std::fclose(out);
                    std::printf("dib=%lu hdrop=%d\n", static_cast<unsigned long>(size), hasDrop ? 1 : 0);
                    result = 0;
                }
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return result;
    }
    if (action == "window" && argc >= 6) {
        return hostWindow(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
    }
    if (action == "screen") {
        std::printf("w=%d h=%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return 0;
    }
    return usage();
}
