// The picture button: three looks (normal, over, down), the in, out and
// trigger labels, and hover tracked by holding the mouse capture while the
// pointer is over it.
#include "ui/button_win32.h"

#include "render/bitmap_draw_win32.h"
#include "script/keywords.h"
#include "ui/control_window_win32.h"

namespace lv {

namespace {

constexpr char kClassName[] = "btn";

class ButtonRecord final : public ControlRecord {
public:
    BitmapPtr pictures[kButtonPictures];  // normal, over, down, selected down
    std::optional<std::string> sizeLabel, trigger, inLabel, outLabel;
    bool pressed = false;
    ButtonState state = ButtonState::Normal;

    std::optional<std::string> get(int property) override {
        if (const auto slot = buttonPictureSlot(property)) return pictureText(pictures[*slot]);
        if (isCommonProperty(property)) return getCommon(property);
        return windowText(window);
    }

    int set(int property, std::string_view value) override {
        if (const auto slot = buttonPictureSlot(property)) {
            pictures[*slot].reset();
            pictures[*slot] = takePicture(value);
            return -1;
        }
        if (auto* stored = label(property)) {
            *stored = std::string(value);
            return 0;
        }
        if (property != kwHwnd && isCommonProperty(property)) return *setCommon(property, value);
        if (window) SetWindowTextA(window, std::string(value).c_str());
        return 0;
    }

    const Bitmap* pictureFor(ButtonState s) const { return pictures[static_cast<int>(s)].get(); }

protected:
    void releaseOwned() override {
        for (BitmapPtr& picture : pictures) picture.reset();
        sizeLabel.reset();
        trigger.reset();
        inLabel.reset();
        outLabel.reset();
    }

private:
    std::optional<std::string>* label(int property) {
        switch (property) {
        case kwTrigger: return &trigger;
        case kwSize: return &sizeLabel;
        case kwIn: return &inLabel;
        case kwOut: return &outLabel;
        default: return nullptr;
        }
    }
};

ControlType gType("button");

void paintButton(HWND window, const ButtonRecord& record) {
    PalettePaint paint(window);
    const RECT client = paint.client();
    if (const Bitmap* picture = record.pictureFor(record.state)) {
        drawBitmap(*picture, paint.dc(), client);
        return;
    }
    static constexpr int kStockBrushes[] = {BLACK_BRUSH, GRAY_BRUSH, LTGRAY_BRUSH};
    FillRect(paint.dc(), &client, static_cast<HBRUSH>(GetStockObject(kStockBrushes[static_cast<int>(record.state)])));
}

// Stores the new state, runs its label and repaints. False when the label
// took the window away.
bool changeState(ButtonRecord& record, ButtonState next) {
    const ButtonLabel label = labelForChange(record.state, next);
    if (label == ButtonLabel::None) return true;
    record.state = next;
    runControlLabel(label == ButtonLabel::In ? record.inLabel : record.outLabel);
    if (!record.window) return false;
    InvalidateRect(record.window, nullptr, FALSE);
    UpdateWindow(record.window);
    return true;
}

bool pointerInside(HWND window, LPARAM lParam) {
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT client;
    GetClientRect(window, &client);
    if (!PtInRect(&client, point)) return false;
    ClientToScreen(window, &point);
    return WindowFromPoint(point) == window;
}

LRESULT onMouse(HWND window, ButtonRecord& record, ButtonMouse message, LPARAM lParam) {
    ButtonInput input;
    input.message = message;
    input.inside = pointerInside(window, lParam);
    input.pressed = record.pressed;
    input.hasCapture = GetCapture() == window;
    input.leftHeld = GetKeyState(VK_LBUTTON) < 0;
    const ButtonReaction reaction = buttonReaction(input);
    if (reaction.pressed) record.pressed = *reaction.pressed;
    if (reaction.capture == CaptureChange::Take) SetCapture(window);
    if (reaction.capture == CaptureChange::Release && GetCapture() == window) ReleaseCapture();
    if (reaction.state && !changeState(record, *reaction.state)) return 0;
    if (reaction.trigger) runControlLabel(record.trigger);
    return 0;
}

LRESULT CALLBACK buttonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ButtonRecord* record = static_cast<ButtonRecord*>(recordOf(window));
    if (!record) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: paintButton(window, *record); return 0;
    case WM_MOUSEMOVE: return onMouse(window, *record, ButtonMouse::Move, lParam);
    case WM_LBUTTONDOWN: return onMouse(window, *record, ButtonMouse::LeftDown, lParam);
    case WM_LBUTTONUP: return onMouse(window, *record, ButtonMouse::LeftUp, lParam);
    case WM_KEYDOWN: return forwardKey(window, message, wParam, lParam);
    case WM_MOUSEWHEEL: return forwardWheel(window, message, wParam, lParam);
    case WM_DESTROY: record->destroySequence(true); break;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<ObjectInstance> createButton(HWND parent) {
    return createChildControl<ButtonRecord>(kClassName, WS_CHILD, parent);
}

bool startButtonClass() { return registerControlClass(gType, kClassName, 0, buttonProcedure); }

void stopButtonClass() { unregisterControlClass(gType, kClassName); }

}  // namespace lv
