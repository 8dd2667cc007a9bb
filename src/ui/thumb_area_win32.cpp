// The thumbnail area window ("thm"): the file list as a grid or strip of
// tiles composed by the script's tile labels, scrolling, selection, the tile
// generator and dragging a file out. Layout, hits, keys and scrolling are
// TileGrid's (src/browse/tile_grid.h); the list and its decoding ThumbList's.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "browse/picture_decode.h"
#include "browse/picture_transfer.h"
#include "browse/rolls.h"
#include "browse/tile_grid.h"
#include "render/bitmap_draw_win32.h"
#include "render/bitmap_object.h"
#include "render/depth_conversion.h"
#include "script/keywords.h"
#include "script/values.h"
#include "shell/file_services.h"
#include "ui/browse_win32.h"
#include "shell/process.h"
#include "ui/control_window_win32.h"

namespace lv {

namespace {

constexpr char kClassName[] = "thm";
constexpr UINT kGeneratorMs = 50;
constexpr DWORD kGeneratorBudgetMs = 50;
constexpr std::size_t kMaxFolderFiles = 20000;
constexpr std::size_t kMaxBaseFolder = 259;
constexpr int kTileCursor = 205;
constexpr int kDragThreshold = 4;
#ifndef WM_QUERYDROPOBJECT
constexpr UINT WM_QUERYDROPOBJECT = 0x022B;
#endif

class ThumbRecord final : public ControlRecord {
public:
    BitmapPtr background;
    COLORREF colour = 0;
    int scroll = 0;
    int scrollMaximum = 0;
    std::optional<std::string> sizeLabel, normalLabel, selectedLabel, pendingLabel, pendingSelectedLabel, trigger;
    int tileWidth = 100, tileHeight = 100;
    int pictureWidth = 100, pictureHeight = 100;
    bool strip = false;
    bool dragging = false, dragMoved = false;
    int draggedIndex = -1;
    POINT dragFrom{};
    std::string baseFolder;

    TileGrid grid() const {
        RECT r{};
        if (window) GetClientRect(window, &r);
        return TileGrid{{r.right, r.bottom}, {tileWidth, tileHeight}, strip, scroll, thumbList().count()};
    }

    std::optional<std::string> get(int property) override;
    int set(int property, std::string_view value) override;

protected:
    void releaseOwned() override {
        background.reset();
        sizeLabel.reset();
        normalLabel.reset();
        selectedLabel.reset();
        pendingLabel.reset();
        pendingSelectedLabel.reset();
        trigger.reset();
    }
};

ControlType gType("thumbArea");
ThumbList gList;
FileCache gCache;
std::vector<std::string> gRolls;
int gRoll = 0;
UINT_PTR gGenerator = 0;
bool gGenerating = false;
bool gLayingOut = false;
HCURSOR gTileCursor = nullptr;
VisibleRange gVisible;

ThumbRecord* theArea() {
    ObjectRegistry::Object* object = objectRegistry().find("thumbArea");
    if (!object || object->dead() || !object->type || object->type->name() != "thumbArea" || !object->instance)
        return nullptr;
    return static_cast<ThumbRecord*>(object->instance.get());
}

std::optional<std::string> scriptString(std::string_view name) {
    ObjectRegistry::Object* object = objectRegistry().find(name);
    if (!object || object->dead() || !object->type || object->type->name() != "string") return std::nullopt;
    return objectRegistry().get(name, kwText);
}

void CALLBACK generatorTick(HWND, UINT, UINT_PTR, DWORD);

void startGenerator() {
    if (!gGenerator) gGenerator = SetTimer(nullptr, 0, kGeneratorMs, generatorTick);
}
void stopGenerator() {
    if (gGenerator) KillTimer(nullptr, gGenerator);
    gGenerator = 0;
}

void invalidateTile(ThumbRecord& area, int index) {
    if (!area.window) return;
    const ViewRect r = area.grid().tileRect(index);
    const RECT rect{r.left, r.top, r.right, r.bottom};
    InvalidateRect(area.window, &rect, FALSE);
}

// --- composing a tile -------------------------------------------------------

const std::optional<std::string>& labelFor(const ThumbRecord& area, const ThumbEntry& entry) {
    if (entry.picture) return entry.selected ? area.selectedLabel : area.normalLabel;
    return entry.selected ? area.pendingSelectedLabel : area.pendingLabel;
}

BitmapPtr takeBitmapObject(std::string_view name) {
    ObjectRegistry::Object* object = objectRegistry().find(name);
    BitmapPtr out;
    if (object && !object->dead() && object->instance && object->type == &bitmapType())
        out = std::move(static_cast<BitmapInstance&>(*object->instance).bitmap);
    objectRegistry().remove(name);
    return out;
}

void composeTile(ThumbRecord& area, int index) {
    ObjectRegistry& objects = objectRegistry();
    ThumbEntry& entry = gList.entries[index];
    entry.tile.reset();
    // Copy what the label needs: it may read another folder and empty the list.
    const std::string path = entry.path;
    const std::optional<std::string> label = labelFor(area, entry);
    defineBitmap(objects, "thumb", createBitmap("bitmap", area.tileWidth, area.tileHeight, 24));
    objects.define("string", "tFileName", fileNameOf(path));
    BitmapPtr shown;
    if (entry.picture) shown = entry.picture->depth == 8 ? expandTo24(*entry.picture) : copyBitmap(*entry.picture);
    if (!shown) shown = createBitmap("bitmap", 1, 1, 24);
    defineBitmap(objects, "th", std::move(shown));
    runControlLabel(label);
    takeBitmapObject("th");
    BitmapPtr tile = takeBitmapObject("thumb");
    // The label may have read another folder: the entry must still be the one.
    if (!gList.valid(index) || gList.entries[index].path != path) return;
    if (tile && screenDepth() < 15 && tile->depth != 8)
        if (BitmapPtr eight = convertTo8(*tile)) tile = std::move(eight);
    gList.entries[index].tile = std::move(tile);
    invalidateTile(area, index);
}

// --- the tile generator ------------------------------------------------------

FileData readWhole(const std::string& path) {
    if (FileData cached = gCache.find(path)) return cached;
    std::optional<FileBytes> file = readWholeFile(path, false);
    if (!file) return nullptr;
    file->bytes.resize(file->length);
    auto data = std::make_shared<const std::vector<std::uint8_t>>(std::move(file->bytes));
    gCache.add(path, data);
    return data;
}

void CALLBACK generatorTick(HWND, UINT, UINT_PTR, DWORD) {
    if (gGenerating) return;
    gGenerating = true;
    const DWORD start = GetTickCount();
    ThumbRecord* area = theArea();
    bool worked = false;
    if (area) {
        const PictureSize box{area->pictureWidth, area->pictureHeight};
        const FileReader read = [area](const std::string& path) {
            FileData data = readWhole(resolveAgainstBase(area->baseFolder, path));
            return data ? data : readWhole(path);
        };
        while (GetTickCount() - start <= kGeneratorBudgetMs) {
            const int index = gList.decodeOne(gVisible, box, read, decodeTilePicture);
            if (index < 0) break;
            worked = true;
            invalidateTile(*area, index);
        }
    }
    if (!area || (!worked && !gList.pending())) stopGenerator();
    gGenerating = false;
}

// --- layout and scrolling ---------------------------------------------------

void setScroll(ThumbRecord& area, int position) {
    if (position == area.scroll) return;
    const int shift = area.scroll - position;
    area.scroll = position;
    if (area.strip)
        ScrollWindow(area.window, shift, 0, nullptr, nullptr);
    else
        ScrollWindow(area.window, 0, shift, nullptr, nullptr);
    SetScrollPos(area.window, area.strip ? SB_HORZ : SB_VERT, position, TRUE);
}

void layOut(ThumbRecord& area) {
    if (gLayingOut || !area.window) return;
    gLayingOut = true;
    RECT outer{};
    GetWindowRect(area.window, &outer);
    TileGrid g = area.grid();
    g.client = {outer.right - outer.left, outer.bottom - outer.top};
    if (area.strip)
        g.client.height -= GetSystemMetrics(SM_CYHSCROLL);
    else
        g.client.width -= GetSystemMetrics(SM_CXVSCROLL);
    const int maximum = g.scrollMaximum();
    area.scrollMaximum = maximum;
    const int extent = g.extent();
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, maximum + extent),
                    static_cast<UINT>(extent), area.scroll, 0};
    const int bar = area.strip ? SB_HORZ : SB_VERT;
    const bool show = area.strip ? maximum + extent > 0 && maximum > 0 : maximum > 0;
    ShowScrollBar(area.window, area.strip ? SB_VERT : SB_HORZ, FALSE);
    ShowScrollBar(area.window, bar, show);
    if (show) SetScrollInfo(area.window, bar, &info, TRUE);
    if (area.scroll > maximum) {
        area.scroll = std::max(0, maximum);
        InvalidateRect(area.window, nullptr, FALSE);
    }
    gLayingOut = false;
}

ScrollRequest requestOf(WPARAM code, bool& known) {
    known = true;
    switch (LOWORD(code)) {
    case SB_LINEUP: return ScrollRequest::LineBack;
    case SB_LINEDOWN: return ScrollRequest::LineOn;
    case SB_PAGEUP: return ScrollRequest::PageBack;
    case SB_PAGEDOWN: return ScrollRequest::PageOn;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: return ScrollRequest::Position;
    case SB_TOP: return ScrollRequest::Start;
    case SB_BOTTOM: return ScrollRequest::End;
    default: known = false; return ScrollRequest::Start;
    }
}

void scrollMessage(ThumbRecord& area, WPARAM wParam) {
    bool known = false;
    const ScrollRequest request = requestOf(wParam, known);
    if (!known) return;
    const int position = static_cast<short>(HIWORD(wParam));
    setScroll(area, scrollTarget(area.grid(), request, position));
}

// --- painting ---------------------------------------------------------------

void paintArea(ThumbRecord& area) {
    PalettePaint paint(area.window);
    HDC dc = paint.dc();
    const RECT client = paint.client();
    const TileGrid g = area.grid();
    int first = g.hitTest(0, 0);
    int last = g.hitTest(client.right - 1, client.bottom - 1);
    if (first < 0) first = 0;
    if (last < 0) last = g.count - 1;
    gVisible = {first, last};
    const int saved = SaveDC(dc);
    for (int i = std::min(last, g.count - 1); i >= first && i >= 0; --i) {
        if (!gList.valid(i)) break;
        const ViewRect r = g.tileRect(i);
        const RECT rect{r.left, r.top, r.right, r.bottom};
        if (!gList.entries[i].picture && !gList.entries[i].tried) startGenerator();
        if (!gList.entries[i].tile) composeTile(area, i);
        if (!gList.valid(i)) continue;
        if (RectVisible(dc, &rect)) {
            if (const Bitmap* tile = gList.entries[i].tile.get()) {
                drawBitmap(*tile, dc, rect);
            } else {
                FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
                const std::string number = std::to_string(i);
                RECT text = rect;
                DrawTextA(dc, number.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            }
        }
        ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
    if (area.background) {
        for (int y = 0; y < client.bottom; y += std::max(1, area.background->height))
            for (int x = 0; x < client.right; x += std::max(1, area.background->width))
                drawBitmap(*area.background, dc,
                           RECT{x, y, x + area.background->width, y + area.background->height});
    } else {
        HBRUSH brush = CreateSolidBrush(area.colour);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
    }
    RestoreDC(dc, saved);
}

// --- selection --------------------------------------------------------------

// Selects the one tile, composes what changed and brings it into view.
void selectOnly(ThumbRecord& area, int index) {
    for (int i = 0; i < gList.count(); ++i) {
        ThumbEntry& e = gList.entries[i];
        if (e.selected == (i == index)) continue;
        e.selected = i == index;
        e.tile.reset();
        invalidateTile(area, i);
    }
    UpdateWindow(area.window);
}

void choose(ThumbRecord& area, int index) {
    if (!gList.valid(index)) return;
    const std::string path = gList.entries[index].path;
    runControlLabel(area.trigger);
    viewerOpen(path);
}

TileKey tileKeyOf(WPARAM key) {
    switch (key) {
    case VK_RETURN: return TileKey::Enter;
    case VK_HOME: return TileKey::Home;
    case VK_END: return TileKey::End;
    case VK_PRIOR: return TileKey::PageUp;
    case VK_NEXT: return TileKey::PageDown;
    case VK_LEFT: return TileKey::Left;
    case VK_RIGHT: return TileKey::Right;
    case VK_UP: return TileKey::Up;
    case VK_DOWN: return TileKey::Down;
    default: return TileKey::Other;
    }
}

LRESULT areaKey(ThumbRecord& area, UINT message, WPARAM wParam, LPARAM lParam) {
    const TileGrid g = area.grid();
    const int selected = gList.lastSelected();
    const KeyOutcome o = tileKey(g, tileKeyOf(wParam), selected, IsWindowVisible(area.window) != 0);
    if (o.passOn) {
        HWND viewer = objectWindow("viewer");
        return viewer ? SendMessageA(viewer, message, wParam, lParam) : 0;
    }
    if (o.trigger) {
        choose(area, selected);
        return 0;
    }
    if (o.scrollTo >= 0) {
        setScroll(area, o.scrollTo);
        return 0;
    }
    if (o.target < 0 || gList.entries[o.target].selected) return 0;
    setScroll(area, scrollToShow(g, o.target));
    selectOnly(area, o.target);
    HWND viewer = objectWindow("viewer");
    if (viewer && IsWindowVisible(viewer)) choose(area, o.target);
    return 0;
}

// --- dragging a file out -----------------------------------------------------

HWND windowUnder(POINT screen) { return WindowFromPoint(screen); }

bool acceptsFiles(HWND target) {
    return target && (GetWindowLongA(target, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
}

void dropOn(ThumbRecord& area, POINT screen) {
    if (!gList.valid(area.draggedIndex)) return;
    HWND target = windowUnder(screen);
    if (!target || target == area.window || !acceptsFiles(target)) return;
    POINT local = screen;
    ScreenToClient(target, &local);
    const std::vector<std::uint8_t> block = dropFilesBlock(gList.entries[area.draggedIndex].path, local.x, local.y);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, block.size());
    if (!memory) return;
    if (void* p = GlobalLock(memory)) {
        std::memcpy(p, block.data(), block.size());
        GlobalUnlock(memory);
        if (PostMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0)) return;
    }
    GlobalFree(memory);
}

void pressTile(ThumbRecord& area, int x, int y) {
    const int index = area.grid().hitTest(x, y);
    if (index < 0) return;
    SetFocus(area.window);
    if (!gList.entries[index].selected) selectOnly(area, index);
    const std::string path = gList.entries[index].path;
    runControlLabel(area.trigger);
    // The label may have changed the list; check the entry again.
    if (!area.window || !gList.valid(index) || gList.entries[index].path != path) return;
    viewerOpen(path);
    if (!area.window || !gList.valid(index)) return;
    area.dragging = true;
    area.dragMoved = false;
    area.draggedIndex = index;
    area.dragFrom = {x, y};
    SetCapture(area.window);
}

// --- properties ---------------------------------------------------------------

std::optional<std::string> ThumbRecord::get(int property) {
    switch (property) {
    case kwTrigger: return trigger;
    case kwNormalstate: return normalLabel;
    case kwOverstate: return selectedLabel;
    case kwDownstate: return pendingLabel;
    case kwSeldownstate: return pendingSelectedLabel;
    case kwThumbsizex: return numberText(tileWidth);
    case kwThumbsizey: return numberText(tileHeight);
    case kwInnerColor: return numberText(static_cast<std::int32_t>(colour));
    case kwInnerBit: return pictureText(background);
    case kwHorz: return numberText(strip ? 1 : 0);
    case kwImageWidth: return numberText(pictureWidth);
    case kwImageHeight: return numberText(pictureHeight);
    case kwReadFiles: return numberText(gList.count());
    case kwFirstRoll: return gRoll == 0 ? "1" : "0";
    case kwLastRoll: return gRoll == static_cast<int>(gRolls.size()) - 1 ? "1" : "0";
    case kwRolls: return numberText(static_cast<long>(gRolls.size()));
    case kwRoll: return numberText(gRoll);
    case kwRollName: {
        const auto folder = scriptString("rollFolder");
        if (gRolls.empty() || !folder || folder->empty()) return std::nullopt;
        return rollName(scriptPath(*folder), gRolls[static_cast<std::size_t>(gRoll)]);
    }
    case kwPath: return baseFolder;
    default: return isCommonProperty(property) ? getCommon(property) : std::nullopt;
    }
}

int ThumbRecord::set(int property, std::string_view value) {
    const int number = leadingNumber(value);
    switch (property) {
    case kwTrigger:
    case kwSetViewer: trigger = std::string(value); return 0;
    case kwNormalstate: normalLabel = std::string(value); return 0;
    case kwOverstate: selectedLabel = std::string(value); return 0;
    case kwDownstate: pendingLabel = std::string(value); return 0;
    case kwSeldownstate: pendingSelectedLabel = std::string(value); return 0;
    case kwThumbsizex:
    case kwThumbsizey:
        if (!acceptableTileSide(number)) return -1;  // the old size stays
        (property == kwThumbsizex ? tileWidth : tileHeight) = number;
        return 0;
    case kwSize: sizeLabel = std::string(value); return 0;
    case kwInnerColor: colour = static_cast<COLORREF>(number); return 0;
    case kwInnerBit: background = takePicture(value); return 0;
    case kwHorz:
        strip = number != 0;
        if (window) {
            ShowScrollBar(window, SB_HORZ, strip);
            ShowScrollBar(window, SB_VERT, !strip);
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case kwImageWidth: pictureWidth = number; return 0;
    case kwImageHeight: pictureHeight = number; return 0;
    case kwPath: baseFolder = std::string(value.substr(0, kMaxBaseFolder)); return 0;
    case kwHwnd: return 0;
    default: return isCommonProperty(property) ? *setCommon(property, value) : -1;
    }
}

LRESULT CALLBACK areaProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* area = static_cast<ThumbRecord*>(recordOf(window));
    if (!area) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: paintArea(*area); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_VSCROLL:
    case WM_HSCROLL: scrollMessage(*area, wParam); return 0;
    case WM_MOUSEWHEEL: {
        const int lines = wheelLines(GET_WHEEL_DELTA_WPARAM(wParam));
        for (int i = 0; i < std::abs(lines); ++i)
            SendMessageA(window, WM_VSCROLL, lines > 0 ? SB_LINEDOWN : SB_LINEUP, 0);
        return 1;
    }
    case WM_KEYDOWN: return areaKey(*area, message, wParam, lParam);
    case WM_LBUTTONDOWN: pressTile(*area, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_MOUSEMOVE:
        if (area->dragging && GetCapture() == window) {
            if (std::abs(GET_X_LPARAM(lParam) - area->dragFrom.x) > kDragThreshold ||
                std::abs(GET_Y_LPARAM(lParam) - area->dragFrom.y) > kDragThreshold)
                area->dragMoved = true;
        }
        SetCursor(area->grid().hitTest(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)) >= 0 && gTileCursor
                      ? gTileCursor
                      : LoadCursor(nullptr, IDC_ARROW));
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            POINT p;
            GetCursorPos(&p);
            ScreenToClient(window, &p);
            SetCursor(area->grid().hitTest(p.x, p.y) >= 0 && gTileCursor ? gTileCursor : LoadCursor(nullptr, IDC_ARROW));
            return TRUE;
        }
        break;
    case WM_LBUTTONUP:
        if (area->dragging) {
            area->dragging = false;
            ReleaseCapture();
            if (area->dragMoved) {
                POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                ClientToScreen(window, &p);
                dropOn(*area, p);
            }
        }
        return 0;
    case WM_SHOWWINDOW:
    case WM_WINDOWPOSCHANGED: layOut(*area); break;
    case WM_DESTROY: area->destroySequence(true); break;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

ThumbList& thumbList() { return gList; }

std::unique_ptr<ObjectInstance> createThumbArea(HWND parent) {
    auto record = std::make_unique<ThumbRecord>();
    if (!createChildWindow(*record, kClassName, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, parent)) return nullptr;
    ShowScrollBar(record->window, SB_BOTH, FALSE);
    return record;
}

bool startThumbAreaClass() {
    if (!registerControlClass(gType, kClassName, 0, areaProcedure)) return false;
    gTileCursor = LoadCursor(GetModuleHandleA(nullptr), MAKEINTRESOURCE(kTileCursor));
    return true;
}

void stopThumbAreaClass() {
    unregisterControlClass(gType, kClassName);
    stopGenerator();
    gList.clear();
    gCache.clear();
}

void readFolder(const std::string& folderGiven) {
    const std::string folder = folderGiven.empty() ? startupArgs().programFolder : withSeparator(folderGiven);
    stopGenerator();
    gList.clear();
    gCache.clear();
    gList.assign(listFiles(folder + "*.jpg", kMaxFolderFiles));
    if (ThumbRecord* area = theArea()) {
        area->scroll = 0;
        layOut(*area);
        InvalidateRect(area->window, nullptr, FALSE);
    }
    if (HWND viewer = objectWindow("viewer")) InvalidateRect(viewer, nullptr, FALSE);
}

void findRolls() {
    const auto folder = scriptString("rollFolder");
    if (!folder || folder->empty()) return;
    gRolls = lv::findRolls(scriptPath(*folder), scriptString("rollSubFolder").value_or(""), listFiles);
    gRoll = 0;
    if (!gRolls.empty()) readFolder(gRolls.front());
}

void stepRoll(int step) {
    const int target = gRoll + step;
    if (gRolls.empty() || target < 0 || target >= static_cast<int>(gRolls.size())) return;
    gRoll = target;
    readFolder(gRolls[static_cast<std::size_t>(gRoll)]);
}

void relayoutThumbArea() {
    if (ThumbRecord* area = theArea()) layOut(*area);
}

void redrawTile(int index) {
    ThumbRecord* area = theArea();
    if (!area || !gList.valid(index)) return;
    gList.entries[index].tile.reset();
    invalidateTile(*area, index);
}

FileData readPictureFile(const std::string& path) { return readWhole(path); }

}  // namespace lv
