// The viewer window ("vwr"): one picture fitted and centred, with zoom,
// pan, adjustments, a selection and next/previous over the thumbnail list.
// The picture's rules are ViewerPicture's (src/browse/viewer_picture.h).
//
// It is also the stage of shows: its ShowPlayback (show/show_playback.h)
// takes ssActive, ssDelay, ssPause, ssOrder and fade, the playback keys, a
// click on the show menu and the typed-number check; ViewerHost gives it
// this window's pictures, timers and display. As a screen saver, any key or
// button and a pointer move of more than 5 pixels end the program.
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
#include "platform/trace.h"
#include "shell/process.h"
#include "transition/run.h"
#include "ui/browse_win32.h"
#include "ui/control_window_win32.h"
#include "ui/show_stage_win32.h"

namespace lv {

namespace {

constexpr char kClassName[] = "vwr";
constexpr UINT kTimerMs = 50;
constexpr double kWheelZoomStep = 1.25;

enum class Mode { Select = 0, Pan = 1, Redeye = 2 };
enum class Drag { None, Pan, Select };

bool sameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

class ViewerRecord;

// What show playback asks of the viewer window (show/playback_host.h).
class ViewerHost final : public PlaybackHost {
public:
    explicit ViewerHost(ViewerRecord& viewer) : v_(viewer) {}
    std::uint32_t now() override { return GetTickCount(); }
    PictureSize drawingSize() override;
    void showPicture(BitmapPtr picture, const std::string& name) override;
    bool hasBasePicture() override;
    PictureSize currentPictureSize() override;
    std::string picturePath() override;
    void restorePicture(const std::string& path) override;
    void refitZoom() override;
    void updateWindow() override;
    void beep() override { MessageBeep(0xFFFFFFFF); }
    void postQuit() override { PostQuitMessage(0); }
    bool savePrompt() override;
    std::unique_ptr<Display> makeDisplay() override;
    void startTick() override { startPlaybackTick(); }
    void stopTick() override { stopPlaybackTick(); }

private:
    ViewerRecord& v_;
};

class ViewerRecord final : public ControlRecord {
public:
    ViewerPicture picture;
    BitmapPtr displayCopy;  // the picture as drawn; rebuilt on demand
    BitmapPtr background;
    COLORREF colour = 0;
    std::optional<std::string> doubleLabel, validLabel, invalidLabel, sizeLabel;
    // Show settings kept when there is no show stage to play them on.
    int ssActive = 0, ssDelay = 6000, ssPause = 0, ssOrder = 1, fade = 0;
    Mode mode = Mode::Select;
    bool selectionValid = false;
    Drag drag = Drag::None;
    POINT dragFrom{};
    PanOffset panFrom;
    // The host outlives the playback that holds it.
    ViewerHost host{*this};
    std::unique_ptr<ShowPlayback> playback;

    bool playing() const { return playback && playback->playing(); }
    HWND drawing() const { return drawingWindow(window); }
    PictureSize drawingSize() const {
        RECT r{};
        if (HWND w = drawing()) GetClientRect(w, &r);
        return {r.right, r.bottom};
    }

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

    // The viewer's end: playback stops first (tick, transition, surfaces)
    // and forgets this viewer as the playing one.
    void endPlayback() {
        if (!playback) return;
        if (playback->playing()) stopPlaybackTick();
        playback.reset();
    }

protected:
    void releaseOwned() override {
        endPlayback();
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

void openPath(ViewerRecord& v, const std::string& path, bool reload, bool force = false) {
    if (!reload && !force && sameNoCase(path, v.picture.path) && v.picture.shown()) return;
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

// --- the show host -------------------------------------------------------------

void invalidateDrawing(ViewerRecord& v) {
    v.changed();
    if (HWND w = v.drawing(); w && w != v.window) InvalidateRect(w, nullptr, FALSE);
}

PictureSize ViewerHost::drawingSize() { return v_.drawingSize(); }

void ViewerHost::showPicture(BitmapPtr picture, const std::string& name) {
    if (!picture) return;
    if (v_.playing())
        v_.picture.showPlaying(std::move(picture), name, v_.drawingSize());
    else
        v_.picture.show(std::move(picture), name, v_.drawingSize());
    invalidateDrawing(v_);
    if (traceEnabled()) {
        trace("show picture: " + name);
        trace("frames presented: " + std::to_string(showFramesPresented()) + " at " + std::to_string(GetTickCount()));
    }
}

bool ViewerHost::hasBasePicture() { return v_.picture.base() != nullptr; }
PictureSize ViewerHost::currentPictureSize() { return v_.picture.shownSize(); }
std::string ViewerHost::picturePath() { return v_.picture.path; }
void ViewerHost::restorePicture(const std::string& path) { openPath(v_, path, false, true); }

void ViewerHost::refitZoom() {
    if (v_.picture.refit(v_.drawingSize())) invalidateDrawing(v_);
}

void ViewerHost::updateWindow() {
    if (HWND w = v_.drawing()) UpdateWindow(w);
}

bool ViewerHost::savePrompt() { return viewerSavePrompt(v_.window ? GetParent(v_.window) : nullptr); }

std::unique_ptr<Display> ViewerHost::makeDisplay() {
    HWND w = v_.drawing();
    return w ? makeShowDisplay(w) : nullptr;
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
    case kwSsActive: return numberText(playback ? playback->active() : ssActive);
    case kwSsDelay: return numberText(playback ? playback->delay() : ssDelay);
    case kwSsPause: return numberText(playback ? playback->pause() : ssPause);
    case kwSsOrder: return numberText(playback ? playback->order() : ssOrder);
    case kwFade: return numberText(playback ? playback->fade() : fade);
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
    case kwSsActive: return playback ? playback->setActive(number) : (ssActive = number, 0);
    case kwSsDelay: return playback ? playback->setDelay(number) : (ssDelay = number, 0);
    case kwSsPause: return playback ? playback->setPause(number) : (ssPause = number, 0);
    case kwSsOrder: return playback ? playback->setOrder(number) : (ssOrder = number, 0);
    case kwFade: return playback ? playback->setFade(number) : (fade = number, 0);
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

// Eight 5 x 5 handles, inverted, centred 2 pixels outside the corners and
// the middles of the sides of the selection.
void drawSelectionHandles(HDC dc, const RECT& r) {
    const int xs[3] = {r.left - 2, (r.left + r.right) / 2, r.right + 2};
    const int ys[3] = {r.top - 2, (r.top + r.bottom) / 2, r.bottom + 2};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (i != 1 || j != 1) PatBlt(dc, xs[i] - 2, ys[j] - 2, 5, 5, DSTINVERT);
}

// The selection marks, in XOR so that drawing them again erases them.
void drawSelection(ViewerRecord& v, HDC dc, const ViewRect& rect) {
    if (!v.picture.base() || v.playing() || v.mode != Mode::Select || v.picture.selection.left < 0) return;
    const ViewRect s = orderedRect(v.picture.selection);
    const double z = v.picture.zoom;
    RECT r{rect.left + static_cast<int>(s.left * z), rect.top + static_cast<int>(s.top * z),
           rect.left + static_cast<int>(s.right * z), rect.top + static_cast<int>(s.bottom * z)};
    DrawFocusRect(dc, &r);
    RECT outer = r;
    InflateRect(&outer, 1, 1);
    DrawFocusRect(dc, &outer);
    drawSelectionHandles(dc, r);
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

// While a show plays, the drawing window shows what the display shows: the
// running transition's frame, else the last frame a transition put up. False
// when there is none (pictures changed without transitions): paint the
// current picture then.
bool repaintShowFrame(ViewerRecord& v) {
    if (!v.playing() || !v.playback->display()) return false;
    if (v.playback->repaintTransition()) return true;
    const Surface* frame = v.playback->lastFrame();
    return frame && paintIncoming(*frame, *v.playback->display());
}

bool showFrameOwnsWindow(const ViewerRecord& v) {
    return v.playing() && v.playback->display() && (v.playback->transitionRunning() || v.playback->lastFrame());
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

// The browsing keys; playback's keys (digits, Enter, Escape, Page Up and
// Down) go to the show playback first.
LRESULT viewerKey(ViewerRecord& v, WPARAM key) {
    if (v.playback && v.playback->key(static_cast<int>(key))) return 0;
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
    return 0;
}

// A click on the show menu while no show plays chooses a show (or beeps).
bool menuClick(ViewerRecord& v, int x, int y) {
    if (!v.playback || v.playing() || v.picture.path != kMenuPictureName) return false;
    const ViewRect r = v.shownRect();
    v.playback->click(x - r.left, y - r.top, r.width(), r.height());
    return true;
}

bool isButtonMessage(UINT message) {
    return (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK) ||
           (message >= WM_XBUTTONDOWN && message <= WM_XBUTTONDBLCLK);
}

// Screen-saver mode: every key and button ends the program, and so does a
// pointer move of more than 5 pixels in x from the first one seen.
bool endsScreenSaver(UINT message, LPARAM lParam) {
    if (message == WM_KEYDOWN || isButtonMessage(message)) return true;
    if (message != WM_MOUSEMOVE) return false;
    PlaybackStage* stage = playbackStage();
    return stage && stage->pointerMoveEnds(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

void CALLBACK classTick(HWND, UINT, UINT_PTR, DWORD) {
    ViewerRecord* v = theViewer();
    if (v && v->playback) v->playback->checkTypedNumber();
}

LRESULT CALLBACK viewerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* v = static_cast<ViewerRecord*>(recordOf(window));
    if (!v) return DefWindowProcA(window, message, wParam, lParam);
    if (startupArgs().screenSaver && endsScreenSaver(message, lParam)) {
        trace("screen saver: ended by input " + std::to_string(message));
        // The viewer goes with its window: nothing of it is used after this.
        endScreenSaver(window);
        return 0;
    }
    switch (message) {
    case WM_PAINT:
        if (showFrameOwnsWindow(*v)) {
            ValidateRect(window, nullptr);
            repaintShowFrame(*v);
            return 0;
        }
        paintViewer(*v);
        return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
        SetFocus(window);
        if (menuClick(*v, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) return 0;
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
        if (!v->playing() && v->picture.refit(v->clientSize())) v->changed();
        break;
    case WM_DESTROY:
        viewerSavePrompt(GetParent(window));
        // The prompt pumps messages: the record may have gone meanwhile.
        if (auto* still = static_cast<ViewerRecord*>(recordOf(window))) {
            still->endPlayback();
            still->destroySequence(true);
        }
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
    if (PlaybackStage* stage = playbackStage()) record->playback = std::make_unique<ShowPlayback>(*stage, record->host);
    return record;
}

bool startViewerClass() {
    if (!registerControlClass(gType, kClassName, CS_DBLCLKS, viewerProcedure)) return false;
    gClassTimer = SetTimer(nullptr, 0, kTimerMs, classTick);
    startScreenSaverWindow();
    return true;
}

void stopViewerClass() {
    stopScreenSaverWindow();
    if (gClassTimer) KillTimer(nullptr, gClassTimer);
    gClassTimer = 0;
    unregisterControlClass(gType, kClassName);
}

HWND playingViewerWindow() {
    ViewerRecord* v = theViewer();
    return v && v->playing() ? v->window : nullptr;
}

void paintPlayingViewer(HWND window) {
    ViewerRecord* v = theViewer();
    const bool ownedByFrame = v && showFrameOwnsWindow(*v);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    const int saved = SaveDC(dc);
    if (v && v->playing() && !ownedByFrame && v->picture.shown()) {
        const ViewRect rect = pictureRect(v->picture.shownSize(), v->picture.zoom, {client.right, client.bottom},
                                          v->picture.pan);
        drawBitmap(displayPicture(*v, rect), dc, RECT{rect.left, rect.top, rect.right, rect.bottom});
        ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
    if (!ownedByFrame) FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RestoreDC(dc, saved);
    EndPaint(window, &paint);
    // The display draws outside the paint: its frame is the whole picture.
    if (ownedByFrame) repaintShowFrame(*v);
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
