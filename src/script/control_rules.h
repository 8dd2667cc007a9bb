// Rules shared by the control windows that need no window to decide:
// rectangle edits from the script, visibility by character parity, the
// button's reaction to the mouse and the top-level window's frame sizes.
// The Win32 controls apply them; the native tests check them.
#pragma once

#include <optional>
#include <string_view>

namespace lv {

struct ControlRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const ControlRect&) const = default;
};

// The rectangle after the script writes one geometry property (width,
// height, left, top, right, bottom): width and height move the right or
// bottom edge, the others set their one edge. Nothing for any other property.
std::optional<ControlRect> editRect(ControlRect rect, int property, int value);

// The edge or size a geometry property reads from the rectangle; nothing
// for any other property.
std::optional<int> rectProperty(const ControlRect& rect, int property);

// A visibility text shows the window when its first character's code is
// odd ("1", "3"), hides it when even; an empty text hides.
bool visibleByParity(std::string_view value);

// The button: its three looks and its reaction to one mouse message.
enum class ButtonState { Normal = 0, Over = 1, Down = 2 };

enum class ButtonMouse { Move, LeftDown, LeftUp };

struct ButtonInput {
    ButtonMouse message = ButtonMouse::Move;
    bool inside = false;       // in the client area and not covered by another window
    bool pressed = false;      // the left button went down here and has not come up
    bool hasCapture = false;   // this button holds the mouse capture
    bool leftHeld = false;     // the left mouse button is down
};

enum class CaptureChange { Keep, Take, Release };

struct ButtonReaction {
    std::optional<ButtonState> state;  // the state to change to, if any
    CaptureChange capture = CaptureChange::Keep;
    std::optional<bool> pressed;       // the new pressed flag, if it changes
    bool trigger = false;              // run the trigger label after the state change
};

ButtonReaction buttonReaction(const ButtonInput& input);

// The button's pictures: normalstate, overstate and downstate for the three
// looks, and seldownstate, kept but never drawn. Each reads as its picture
// or as nothing while it has none, so the control statement's fall-back
// rules see a missing one; setting one never touches the window text. The
// slot of a picture property (0 to 3), or nothing for any other property.
constexpr int kButtonPictures = 4;
std::optional<int> buttonPictureSlot(int property);

// The labels a state change runs: none for no change, the in label for
// over and down, the out label for normal.
enum class ButtonLabel { None, In, Out };
ButtonLabel labelForChange(ButtonState from, ButtonState to);

// Widening a client rectangle to the outer rectangle of a top-level window.
struct FrameMetrics {
    int dlgFrameX = 0, dlgFrameY = 0;
    int frameX = 0, frameY = 0;
    int borderX = 0, borderY = 0;
    int caption = 0;
};
struct FrameStyle {
    bool dlgFrame = false, thickFrame = false, border = false;
    bool hasCaptionArea = false;  // any of minimise, maximise, border, dialog frame, system menu
};
ControlRect outerFromClient(ControlRect client, const FrameStyle& style, const FrameMetrics& metrics);

}  // namespace lv
