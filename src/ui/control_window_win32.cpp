#include "ui/control_window_win32.h"

#include <charconv>
#include <vector>

#include "platform/trace.h"
#include "render/bitmap_object.h"
#include "render/colour_module_win32.h"
#include "render/depth_conversion.h"
#include "script/keywords.h"
#include "script/script_module.h"
#include "script/values.h"
#include "shell/process_win32.h"

namespace lv {

namespace {

int gScreenDepth = 24;

LPCSTR recordProperty() { return MAKEINTATOM(windowRecordAtom()); }

}  // namespace

// --- the record ------------------------------------------------------------

ControlRecord::~ControlRecord() {
    // A record released before its window went (an entry that could not be
    // made) still takes the window with it.
    if (window) {
        HWND going = window;
        window = nullptr;
        RemovePropA(going, recordProperty());
        DestroyWindow(going);
    }
}

void ControlRecord::destroySequence(bool windowGoing) {
    objectRegistry().markDead(this);
    if (window) {
        HWND going = window;
        if (HDC dc = GetDC(going)) {
            SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
            ReleaseDC(going, dc);
        }
        window = nullptr;
        RemovePropA(going, recordProperty());
        // Inside WM_DESTROY the window is already on its way out.
        if (!windowGoing) DestroyWindow(going);
    }
    releaseOwned();
}

std::optional<std::string> ControlRecord::get(int property) { return getCommon(property); }

int ControlRecord::set(int property, std::string_view value) { return setCommon(property, value).value_or(-1); }

ControlRect toControlRect(const RECT& r) { return ControlRect{r.left, r.top, r.right, r.bottom}; }

namespace {

// The client rectangle in the client coordinates of the parent.
ControlRect rectInParent(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    MapWindowPoints(window, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return toControlRect(r);
}

}  // namespace

std::optional<std::string> ControlRecord::getCommon(int property) {
    if (property == kwHwnd) return handleText(window);
    if (property == kwVisible) return std::string(window && IsWindowVisible(window) ? "1" : "0");
    if (!window) return std::nullopt;
    if (const auto value = rectProperty(rectInParent(window), property)) return numberText(*value);
    return std::nullopt;
}

std::optional<int> ControlRecord::setCommon(int property, std::string_view value) {
    if (property == kwVisible) {
        if (window) ShowWindow(window, visibleByParity(value) ? SW_SHOW : SW_HIDE);
        return 0;
    }
    if (!rectProperty(ControlRect{}, property)) return std::nullopt;
    if (!window) return -1;
    const ControlRect now = rectInParent(window);
    const ControlRect next = *editRect(now, property, leadingNumber(value));
    if (next != now)
        SetWindowPos(window, nullptr, next.left, next.top, next.width(), next.height(), SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

bool isCommonProperty(int property) {
    return property == kwHwnd || property == kwVisible || rectProperty(ControlRect{}, property).has_value();
}

ControlRecord* recordOf(HWND window) { return static_cast<ControlRecord*>(GetPropA(window, recordProperty())); }

void attachRecord(HWND window, ControlRecord& record) {
    record.window = window;
    SetPropA(window, recordProperty(), &record);
}

// --- the type --------------------------------------------------------------

void ControlType::destroy(ObjectInstance& instance) { static_cast<ControlRecord&>(instance).destroySequence(false); }

std::optional<std::string> ControlType::get(ObjectInstance& instance, int property) {
    return static_cast<ControlRecord&>(instance).get(property);
}

int ControlType::set(std::unique_ptr<ObjectInstance>& slot, int property, std::string_view value) {
    if (!slot) return -1;
    return static_cast<ControlRecord&>(*slot).set(property, value);
}

bool registerControlClass(ControlType& type, const char* className, UINT classStyle, WNDPROC procedure, HICON icon) {
    if (objectRegistry().registerType(type) != 0) return false;
    WNDCLASSA windowClass{};
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = moduleInstance();
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    if (RegisterClassA(&windowClass)) return true;
    objectRegistry().unregisterType(type);
    return false;
}

void unregisterControlClass(ControlType& type, const char* className) {
    objectRegistry().unregisterType(type);
    UnregisterClassA(className, moduleInstance());
}

bool createChildWindow(ControlRecord& record, const char* className, DWORD style, HWND parent) {
    HWND window = CreateWindowExA(0, className, "", style, 0, 0, 100, 100, parent, nullptr, moduleInstance(), nullptr);
    if (!window) return false;
    attachRecord(window, record);
    return true;
}

// --- helpers ---------------------------------------------------------------

std::string windowText(HWND window) {
    if (!window) return {};
    std::vector<char> text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1);
    const int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

std::string handleText(HWND window) {
    return std::to_string(reinterpret_cast<std::intptr_t>(window));
}

HWND objectWindow(std::string_view name) {
    const std::optional<std::string> text = objectRegistry().get(name, kwHwnd);
    if (!text) return nullptr;
    long long value = 0;
    std::from_chars(text->data(), text->data() + text->size(), value);
    HWND window = reinterpret_cast<HWND>(static_cast<std::intptr_t>(value));
    return window && IsWindow(window) ? window : nullptr;
}

void runControlLabel(const std::optional<std::string>& label) {
    // A copy: the label run may replace the record's own.
    const std::string name = label.value_or(std::string());
    scriptEngine().runLabel(name);
}

namespace {

// True while a key or wheel turn is being forwarded. A control that receives
// it and would forward it again (a button or window that the name
// "thumbArea" or "viewer" belongs to, or a thumbnail area that passes the
// wheel on to its parent) must not: the two would hand it back and forth
// without end.
bool gForwarding = false;

// The window of the named object when forwarding may reach it: never the
// sender itself or one of its ancestors, to which the default handling
// passes the wheel on anyway and which would send it straight back.
HWND forwardTarget(HWND sender, std::string_view name) {
    HWND target = objectWindow(name);
    if (!target || target == sender || IsChild(target, sender)) return nullptr;
    return target;
}

LRESULT forwardTo(HWND target, std::string_view name, UINT message, WPARAM wParam, LPARAM lParam) {
    if (traceEnabled())
        trace(std::string("forward ") + (message == WM_MOUSEWHEEL ? "wheel" : "key") + " to " + std::string(name));
    gForwarding = true;
    const LRESULT result = SendMessageA(target, message, wParam, lParam);
    gForwarding = false;
    return result;
}

}  // namespace

LRESULT forwardKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (gForwarding) return 0;
    if (HWND target = forwardTarget(window, "thumbArea")) return forwardTo(target, "thumbArea", message, wParam, lParam);
    if (HWND target = forwardTarget(window, "viewer")) return forwardTo(target, "viewer", message, wParam, lParam);
    return 0;
}

LRESULT forwardWheel(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!gForwarding) {
        if (HWND target = forwardTarget(window, "thumbArea")) return forwardTo(target, "thumbArea", message, wParam, lParam);
    }
    // The default handling passes the wheel to the parent, so it only climbs.
    return DefWindowProcA(window, message, wParam, lParam);
}

PalettePaint::PalettePaint(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {
    if (HPALETTE palette = displayPaletteHandle(); palette && dc_) {
        previous_ = SelectPalette(dc_, palette, FALSE);
        RealizePalette(dc_);
    }
}

PalettePaint::~PalettePaint() {
    if (previous_) SelectPalette(dc_, previous_, FALSE);
    EndPaint(window_, &paint_);
}

RECT PalettePaint::client() const {
    RECT r;
    GetClientRect(window_, &r);
    return r;
}

int screenDepth() { return gScreenDepth; }

void recordScreenDepth() {
    if (HDC screen = GetDC(nullptr)) {
        gScreenDepth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
        ReleaseDC(nullptr, screen);
    }
}

BitmapPtr takePicture(std::string_view objectName) {
    const Bitmap* source = bitmapObject(objectRegistry(), objectName);
    if (!source) return nullptr;
    BitmapPtr copy = copyBitmap(*source);
    if (copy && copy->depth == 24 && screenDepth() == 8) {
        if (BitmapPtr reduced = changeDepth(*copy, 8)) copy = std::move(reduced);
    }
    return copy;
}

std::optional<std::string> pictureText(const BitmapPtr& picture) {
    if (!picture) return std::nullopt;
    return picture->name.empty() ? std::string("1") : picture->name;
}

}  // namespace lv
