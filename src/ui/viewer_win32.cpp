// The viewer window ("vwr"): one picture fitted and centred, with zoom,
// pan, adjustments, a selection and next/previous over the thumbnail list.
// The picture's rules are ViewerPicture's (src/browse/viewer_picture.h).
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "browse/picture_decode.h"
#include "browse/viewer_picture.h"
#include "render/bitmap_draw_win32.h"
#include "render/bitmap_resize.h"
#include "render/depth_conversion.h"
#include "script/keywords.h"
#include "script/values.h"
#include "ui/browse_win32.h"
#include "ui/control_window_win32.h"

namespace lv {

namespace {

constexpr char kClassName[] = "vwr";
constexpr UINT kTimerMs = 50;
constexpr DWORD kTypedNumberMs = 1500;
constexpr double kWheelZoomStep = 1.25;

enum class Mode { Select = 0, Pan = 1, Redeye = 2 };
enum class Drag { None, Pan, Select };

bool sameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

class ViewerRecord final : public ControlRecord {
public:
    ViewerPicture picture;
    BitmapPtr displayCopy;  // the picture as drawn; rebuilt on demand
    BitmapPtr background;
    COLORREF colour = 0;
    std::optional<std::string> doubleLabel, validLabel, invalidLabel, sizeLabel;
    // Show settings, stored for the show player.
    int ssActive = 0, ssDelay = 6000, ssPause = 0, ssOrder = 1, fade = 0;
    Mode mode = Mode::Select;
    bool selectionValid = false;
    Drag drag = Drag::None;
    POINT dragFrom{};
    PanOffset panFrom;
    std::string typedNumber;
    DWORD typedTime = 0;

    PictureSize clientSize() const {
        RECT r{};
        if (window) GetClientRect(window, &r);
        return {r.right, r.bottom};
    }
    ViewRect shownRect() const {
        if (!picture.shown()) {
            const PictureSize c = clientSize();
            return {0, 0, c.width, c.height};
        }
        return pictureRect(picture.shownSize(), picture.zoom, clientSize(), picture.pan);
    }
    void changed() {
        displayCopy.reset();
        if (window) InvalidateRect(window, nullptr, FALSE);
    }

    std::optional<std::string> get(int property) override;
    int set(int property, std::string_view value) override;

protected:
    void releaseOwned() override {
        displayCopy.reset();
        background.reset();
        doubleLabel.reset();
        validLabel.reset();
        invalidLabel.reset();
        sizeLabel.reset();
    }
};

ControlType gType("viewer");
UINT_PTR gClassTimer = 0;

ViewerRecord* theViewer() {
    ObjectRegistry::Object* object = objectRegistry().find("viewer");
    if (!object || object->dead() || !object->type || object->type->name() != "viewer" || !object->instance)
        return nullptr;
    return static_cast<ViewerRecord*>(object->instance.get());
}

std::optional<std::string> scriptString(std::string_view name) {
    ObjectRegistry::Object* object = objectRegistry().find(name);
    if (!object || object->dead() || !object->type || object->type->name() != "string") return std::nullopt;
    return objectRegistry().get(name, kwText);
}

// Runs the valid or invalid label when the selection became usable or went away.
void reportSelection(ViewerRecord& v) {
    const bool usable = v.picture.hasSelection();
    if (usable && !v.selectionValid) {
        v.selectionValid = true;
        runControlLabel(v.validLabel);
    } else if (!usable && v.selectionValid) {
        v.selectionValid = false;
        runControlLabel(v.invalidLabel);
    }
}

void openPath(ViewerRecord& v, const std::string& path, bool reload) {
    if (!reload && sameNoCase(path, v.picture.path) && v.picture.shown()) return;
    if (!reload && !viewerSavePrompt(v.window ? GetParent(v.window) : nullptr)) return;
    const FileData data = readPictureFile(path);
    if (!data) return;
    if (reload) {
        BitmapPtr decoded = decodeFullPicture(*data);
        if (!decoded) return;
        v.picture.reload(std::move(decoded), v.clientSize());
    } else {
        // A picture shown at half its size or less comes up from a 1/2
        // decode; the whole one is decoded from the same bytes when needed.
        ViewerDecode decoded = decodeViewerPicture(*data, v.clientSize());
        if (!decoded.picture) return;
        v.picture.openReduced(std::move(decoded.picture), decoded.fullSize, decoded.reduction,
                              [data] { return decodeFullPicture(*data); }, path, v.clientSize());
    }
    v.selectionValid = false;
    v.changed();
}

int setMode(ViewerRecord& v, Mode mode) {
    if (v.mode != mode) {
        v.mode = mode;
        if (v.window) InvalidateRect(v.window, nullptr, FALSE);
    }
    return 0;
}

std::optional<std::string> ViewerRecord::get(int property) {
    switch (property) {
    case kwCrop: return mode == Mode::Select ? "1" : "0";
    case kwPan: return mode == Mode::Pan ? "1" : "0";
    case kwRedeye: return mode == Mode::Redeye ? "1" : "0";
    case kwInnerColor: return numberText(static_cast<std::int32_t>(colour));
    case kwInnerBit: return pictureText(background);
    case kwDouble: return doubleLabel;
    case kwValid: return validLabel;
    case kwInvalid: return invalidLabel;
    case kwSsActive: return numberText(ssActive);
    case kwSsDelay: return numberText(ssDelay);
    case kwSsPause: return numberText(ssPause);
    case kwSsOrder: return numberText(ssOrder);
    case kwFade: return numberText(fade);
    case kwZoom: return numberText(static_cast<long>(std::trunc(picture.zoom * 1000)));
    case kwReadFiles: return numberText(thumbList().count());
    default: return isCommonProperty(property) ? getCommon(property) : std::nullopt;
    }
}

int ViewerRecord::set(int property, std::string_view value) {
    const int number = leadingNumber(value);
    switch (property) {
    case kwBitmap: openPath(*this, std::string(value), false); return 0;
    case kwCrop: return setMode(*this, Mode::Select);
    case kwPan: return setMode(*this, Mode::Pan);
    case kwRedeye: return setMode(*this, Mode::Redeye);
    case kwMaximize: picture.setZoomUnscaled(readDecimal(value) / 1000); return 0;
    case kwSize: sizeLabel = std::string(value); return 0;
    case kwInnerColor:
        colour = static_cast<COLORREF>(number);
        if (window) InvalidateRect(window, nullptr, FALSE);
        return 0;
    case kwInnerBit:
        background = takePicture(value);
        if (window) InvalidateRect(window, nullptr, FALSE);
        return 0;
    case kwAngle: picture.turn(number); changed(); return 0;
    case kwHorz: picture.toggleMirror(true, number); changed(); return 0;
    case kwVert: picture.toggleMirror(false, number); changed(); return 0;
    case kwBright: picture.addLevel(Level::Bright, number); changed(); return 0;
    case kwContrast: picture.addLevel(Level::Contrast, number); changed(); return 0;
    case kwBlack: picture.addLevel(Level::Black, number); changed(); return 0;
    case kwWhite: picture.addLevel(Level::White, number); changed(); return 0;
    case kwDouble: doubleLabel = std::string(value); return 0;
    case kwValid: validLabel = std::string(value); return 0;
    case kwInvalid: invalidLabel = std::string(value); return 0;
    case kwSsActive: ssActive = number; return 0;
    case kwSsDelay: ssDelay = number; return 0;
    case kwSsPause: ssPause = number; return 0;
    case kwSsOrder: ssOrder = number; return 0;
    case kwFade: fade = number; return 0;
    case kwZoom: picture.setZoom(readDecimal(value) / 1000); changed(); return 0;
    case kwZoomAdd: picture.setZoom(picture.zoom + readDecimal(value) / 1000); changed(); return 0;
    case kwReload: openPath(*this, picture.path, true); return 0;
    case kwHwnd: return 0;
    default: return isCommonProperty(property) ? *setCommon(property, value) : -1;
    }
}

// --- painting ---------------------------------------------------------------

// The picture as drawn: shrunk pictures are resized once to the drawn size
// (a better and faster draw than stretching every paint); an 8-bit screen
// gets an 8-bit copy.
const Bitmap& displayPicture(ViewerRecord& v, const ViewRect& rect) {
    const Bitmap& shown = *v.picture.shown();
    const bool stale = !v.displayCopy || (rect.width() < shown.width && (v.displayCopy->width != rect.width() ||
                                                                         v.displayCopy->height != rect.height()));
    if (stale) {
        v.displayCopy.reset();
        if (rect.width() >= 1 && rect.height() >= 1 && rect.width() < shown.width && rect.height() < shown.height)
            v.displayCopy = resizeBitmap(shown, rect.width(), rect.height());
        const Bitmap& base = v.displayCopy ? *v.displayCopy : shown;
        if (screenDepth() <= 8 && base.depth != 8)
            if (BitmapPtr eight = convertTo8(base)) v.displayCopy = std::move(eight);
    }
    return v.displayCopy ? *v.displayCopy : shown;
}

void tileBackground(HDC dc, const RECT& client, const Bitmap& picture) {
    if (picture.width <= 0 || picture.height <= 0) return;
    for (int y = 0; y < client.bottom; y += picture.height)
        for (int x = 0; x < client.right; x += picture.width) {
            const RECT cell{x, y, x + picture.width, y + picture.height};
            drawBitmap(picture, dc, cell);
        }
}

void drawSelection(ViewerRecord& v, HDC dc, const ViewRect& rect) {
    if (!v.picture.base() || v.mode != Mode::Select || v.picture.selection.left < 0) return;
    const ViewRect s = orderedRect(v.picture.selection);
    const double z = v.picture.zoom;
    RECT r{rect.left + static_cast<int>(s.left * z), rect.top + static_cast<int>(s.top * z),
           rect.left + static_cast<int>(s.right * z), rect.top + static_cast<int>(s.bottom * z)};
    DrawFocusRect(dc, &r);
    InflateRect(&r, 1, 1);
    DrawFocusRect(dc, &r);
}

void paintViewer(ViewerRecord& v) {
    v.picture.applyAdjustments();
    PalettePaint paint(v.window);
    HDC dc = paint.dc();
    const RECT client = paint.client();
    const ViewRect rect = v.shownRect();
    const int saved = SaveDC(dc);
    if (v.picture.shown()) {
        drawBitmap(displayPicture(v, rect), dc, RECT{rect.left, rect.top, rect.right, rect.bottom});
        ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
    if (v.background) {
        tileBackground(dc, client, *v.background);
    } else {
        HBRUSH brush = CreateSolidBrush(v.colour);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
    }
    RestoreDC(dc, saved);
    drawSelection(v, dc, rect);
    if (thumbList().count() == 0) {
        // A script without the string draws nothing.
        if (const auto text = scriptString("noFilesText"); text && !text->empty()) {
            RECT r = client;
            SetTextColor(dc, RGB(255, 255, 255));
            SetBkMode(dc, TRANSPARENT);
            DrawTextA(dc, text->c_str(), static_cast<int>(text->size()), &r,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
}

// --- mouse --------------------------------------------------------------------

bool largerThanWindow(const ViewerRecord& v) {
    const ViewRect r = v.shownRect();
    const PictureSize c = v.clientSize();
    return r.width() > c.width || r.height() > c.height;
}

void startDrag(ViewerRecord& v, int x, int y, bool select) {
    if (!v.picture.shown()) return;
    if (select) {
        const PanOffset p = windowToPicture(x, y, v.shownRect(), v.picture.zoom, v.picture.shownSize());
        v.picture.selection = {p.x, p.y, p.x, p.y};
        v.mode = Mode::Select;
        v.drag = Drag::Select;
    } else if (v.mode == Mode::Pan || largerThanWindow(v)) {
        v.drag = Drag::Pan;
        v.panFrom = v.picture.pan;
    } else {
        return;
    }
    v.dragFrom = {x, y};
    SetCapture(v.window);
}

void moveDrag(ViewerRecord& v, int x, int y) {
    if (v.drag == Drag::Pan) {
        v.picture.pan = {v.panFrom.x - (x - v.dragFrom.x), v.panFrom.y - (y - v.dragFrom.y)};
        InvalidateRect(v.window, nullptr, FALSE);
    } else if (v.drag == Drag::Select) {
        const PanOffset p = windowToPicture(x, y, v.shownRect(), v.picture.zoom, v.picture.shownSize());
        v.picture.selection.right = p.x;
        v.picture.selection.bottom = p.y;
        InvalidateRect(v.window, nullptr, FALSE);
    }
}

void endDrag(ViewerRecord& v) {
    const Drag was = v.drag;
    v.drag = Drag::None;
    if (GetCapture() == v.window) ReleaseCapture();
    if (was != Drag::Select) return;
    if (!v.picture.hasSelection()) v.picture.selection.left = -1;
    InvalidateRect(v.window, nullptr, FALSE);
    reportSelection(v);
}

void wheelZoom(ViewerRecord& v, WPARAM wParam, LPARAM lParam) {
    const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
    if (notches == 0 || !v.picture.shown()) return;
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(v.window, &p);
    const double newZoom = clampZoom(v.picture.zoom * std::pow(kWheelZoomStep, notches));
    v.picture.pan = panKeepingPoint(p.x, p.y, v.picture.shownSize(), v.clientSize(), v.picture.pan, v.picture.zoom,
                                    newZoom);
    v.picture.zoom = newZoom;
    v.picture.ensureDetail();
    v.changed();
}

void toggleMaximised(HWND viewer) {
    HWND top = GetAncestor(viewer, GA_ROOT);
    if (!top || top == viewer) return;
    constexpr LONG kFrame = WS_BORDER | WS_DLGFRAME | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX;
    const LONG style = GetWindowLongA(top, GWL_STYLE);
    if (!IsZoomed(top)) {
        SetWindowLongA(top, GWL_STYLE, style & ~kFrame);
        SendMessageA(top, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else {
        SetWindowLongA(top, GWL_STYLE, style | kFrame);
        SendMessageA(top, WM_SYSCOMMAND, SC_RESTORE, 0);
    }
}

LRESULT viewerKey(ViewerRecord& v, WPARAM key) {
    switch (key) {
    case VK_ESCAPE: PostQuitMessage(0); return 0;
    case VK_LEFT:
    case VK_UP:
    case VK_PRIOR: viewerStep(-1); return 0;
    case VK_RIGHT:
    case VK_DOWN:
    case VK_NEXT:
    case VK_SPACE: viewerStep(1); return 0;
    case VK_ADD:
    case VK_OEM_PLUS: v.picture.setZoom(v.picture.zoom * kWheelZoomStep); v.changed(); return 0;
    case VK_SUBTRACT:
    case VK_OEM_MINUS: v.picture.setZoom(v.picture.zoom / kWheelZoomStep); v.changed(); return 0;
    default: break;
    }
    // Digits choose a show by number (kept for the show menu).
    if (key >= '0' && key <= '9' && v.typedNumber.size() < 9) {
        v.typedNumber += static_cast<char>(key);
        v.typedTime = GetTickCount();
    }
    return 0;
}

void CALLBACK classTick(HWND, UINT, UINT_PTR, DWORD now) {
    ViewerRecord* v = theViewer();
    if (v && !v->typedNumber.empty() && now - v->typedTime > kTypedNumberMs) v->typedNumber.clear();
}

LRESULT CALLBACK viewerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* v = static_cast<ViewerRecord*>(recordOf(window));
    if (!v) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: paintViewer(*v); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
        SetFocus(window);
        startDrag(*v, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), (wParam & (MK_SHIFT | MK_CONTROL)) != 0);
        return 0;
    case WM_RBUTTONDOWN: startDrag(*v, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), true); return 0;
    case WM_MOUSEMOVE: moveDrag(*v, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_CAPTURECHANGED:
        if (v->drag != Drag::None) endDrag(*v);
        return 0;
    case WM_LBUTTONDBLCLK: toggleMaximised(window); return 0;
    case WM_MOUSEWHEEL:
        if (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) {
            wheelZoom(*v, wParam, lParam);
            return 0;
        }
        return forwardWheel(window, message, wParam, lParam);
    case WM_KEYDOWN: return viewerKey(*v, wParam);
    case WM_WINDOWPOSCHANGED:
        if (v->picture.refit(v->clientSize())) v->changed();
        break;
    case WM_DESTROY:
        viewerSavePrompt(GetParent(window));
        v->destroySequence(true);
        break;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<ObjectInstance> createViewer(HWND parent) {
    auto record = std::make_unique<ViewerRecord>();
    if (!createChildWindow(*record, kClassName, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, parent)) return nullptr;
    // A 1 x 1 black picture with an empty path until a file is opened.
    record->picture.show(createBitmap("bitmap", 1, 1, 24), "", record->clientSize());
    return record;
}

bool startViewerClass() {
    if (!registerControlClass(gType, kClassName, CS_DBLCLKS, viewerProcedure)) return false;
    gClassTimer = SetTimer(nullptr, 0, kTimerMs, classTick);
    return true;
}

void stopViewerClass() {
    if (gClassTimer) KillTimer(nullptr, gClassTimer);
    gClassTimer = 0;
    unregisterControlClass(gType, kClassName);
}

void viewerOpen(const std::string& path) {
    if (theViewer()) objectRegistry().set("viewer", kwBitmap, path);
}

void viewerStep(int step) {
    ThumbList& list = thumbList();
    if (list.count() == 0) return;
    int index = list.firstSelected();
    if (index < 0) index = 0;
    list.entries[index].selected = false;
    redrawTile(index);
    const int target = ((index + step) % list.count() + list.count()) % list.count();
    list.entries[target].selected = true;
    redrawTile(target);
    // Copy the path: the open below may run labels that read another folder.
    const std::string path = list.entries[target].path;
    viewerOpen(path);
}

void viewerCrop() {
    ViewerRecord* v = theViewer();
    if (!v || !v->selectionValid) return;
    if (v->picture.crop()) {
        v->selectionValid = false;
        runControlLabel(v->invalidLabel);
        v->changed();
    }
}

bool viewerSavePrompt(HWND owner) {
    ViewerRecord* v = theViewer();
    if (!v || !v->picture.modified) return true;
    const std::string text = scriptString("saveText").value_or("");
    const std::string title = scriptString("saveTitle").value_or("");
    const int answer = MessageBoxA(owner, text.c_str(), title.c_str(), MB_YESNO);
    const PromptAnswer given = answer == IDYES ? PromptAnswer::Yes : PromptAnswer::No;
    SaveResult result = SaveResult::Cancelled;
    if (given == PromptAnswer::Yes) {
        const SaveOutcome outcome = saveViewerPicture(owner, 75);
        result = outcome == SaveOutcome::Saved ? SaveResult::Saved
                 : outcome == SaveOutcome::Failed ? SaveResult::Failed : SaveResult::Cancelled;
    }
    // The record may have gone while the box was up.
    v = theViewer();
    if (!promptLetsGo(given, result)) return false;
    if (v) v->picture.modified = false;
    return true;
}

ViewerPictureView viewerPictureForOutput() {
    ViewerRecord* v = theViewer();
    // Outputs take every pixel: a picture held reduced is decoded whole first.
    if (!v || !v->picture.base()) return {};
    const bool wasReduced = v->picture.reduced();
    if (!v->picture.ensureFull()) return {};
    if (wasReduced) v->changed();
    v->picture.applyAdjustments();
    ViewerPictureView out;
    out.picture = v->picture.shown();
    out.path = v->picture.path;
    out.unmodifiedFile = !v->picture.modified && !out.path.empty() && GetFileAttributesA(out.path.c_str()) != INVALID_FILE_ATTRIBUTES;
    out.window = v->window;
    return out;
}

}  // namespace lv
