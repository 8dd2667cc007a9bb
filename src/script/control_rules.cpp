#include "script/control_rules.h"

#include "script/keywords.h"

namespace lv {

std::optional<ControlRect> editRect(ControlRect rect, int property, int value) {
    switch (property) {
    case kwWidth: rect.right = rect.left + value; break;
    case kwHeight: rect.bottom = rect.top + value; break;
    case kwLeft: rect.left = value; break;
    case kwTop: rect.top = value; break;
    case kwRight: rect.right = value; break;
    case kwBottom: rect.bottom = value; break;
    default: return std::nullopt;
    }
    return rect;
}

std::optional<int> rectProperty(const ControlRect& rect, int property) {
    switch (property) {
    case kwWidth: return rect.width();
    case kwHeight: return rect.height();
    case kwLeft: return rect.left;
    case kwTop: return rect.top;
    case kwRight: return rect.right;
    case kwBottom: return rect.bottom;
    default: return std::nullopt;
    }
}

bool visibleByParity(std::string_view value) {
    return !value.empty() && (static_cast<unsigned char>(value.front()) & 1u) != 0;
}

ButtonReaction buttonReaction(const ButtonInput& in) {
    ButtonReaction r;
    switch (in.message) {
    case ButtonMouse::Move:
        if (in.pressed) {
            if (in.inside) {
                r.state = ButtonState::Down;
            } else {
                r.capture = CaptureChange::Take;
                r.state = ButtonState::Over;
            }
        } else if (in.inside && (!in.leftHeld || in.hasCapture)) {
            r.capture = CaptureChange::Take;
            r.state = ButtonState::Over;
        } else {
            r.capture = CaptureChange::Release;
            r.state = ButtonState::Normal;
        }
        break;
    case ButtonMouse::LeftDown:
        r.pressed = true;
        r.capture = CaptureChange::Take;
        r.state = in.inside ? ButtonState::Down : ButtonState::Over;
        break;
    case ButtonMouse::LeftUp:
        r.pressed = false;
        if (in.hasCapture) {
            r.capture = CaptureChange::Release;
            r.state = ButtonState::Normal;
            r.trigger = in.inside;
        } else if (in.inside) {
            r.capture = CaptureChange::Take;
            r.state = ButtonState::Over;
        } else {
            r.state = ButtonState::Normal;
        }
        break;
    }
    return r;
}

std::optional<int> buttonPictureSlot(int property) {
    if (property >= kwNormalstate && property <= kwSeldownstate) return property - kwNormalstate;
    return std::nullopt;
}

ButtonLabel labelForChange(ButtonState from, ButtonState to) {
    if (from == to) return ButtonLabel::None;
    return to == ButtonState::Normal ? ButtonLabel::Out : ButtonLabel::In;
}

ControlRect outerFromClient(ControlRect r, const FrameStyle& style, const FrameMetrics& m) {
    int dx = 0, dy = 0;
    if (style.dlgFrame) {
        dx = m.dlgFrameX;
        dy = m.dlgFrameY;
    } else if (style.thickFrame) {
        dx = m.frameX;
        dy = m.frameY;
    } else if (style.border) {
        dx = m.borderX;
        dy = m.borderY;
    }
    r.left -= dx;
    r.top -= dy;
    r.right += dx;
    r.bottom += dy;
    if (style.hasCaptionArea) r.top -= m.caption + (style.thickFrame ? m.borderY + 1 : m.borderY - 1);
    return r;
}

}  // namespace lv
