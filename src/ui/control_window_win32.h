// What every control window has in common: the record attached to its
// window under the "mini" property, the destroy sequence, geometry and
// visibility as script properties, painting with the display palette, label
// runs and the forwarding of keys and the mouse wheel.
//
// A record is the instance of the control's script object. The object
// registry owns it; when the window goes first (its parent was destroyed),
// the destroy sequence marks the object dead and the next sweep releases
// the record. A record therefore stays readable until the sweep even after
// its window is gone, so code that runs a label checks `window` afterwards.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "render/bitmap.h"
#include "script/control_rules.h"
#include "script/objects.h"

namespace lv {

class ControlRecord : public ObjectInstance {
public:
    HWND window = nullptr;

    ~ControlRecord() override;

    // The property as text; nothing when the control has no such property.
    virtual std::optional<std::string> get(int property);
    // Changes a property; the result is a status nobody acts on.
    virtual int set(int property, std::string_view value);

    // Marks the object dead, detaches and (unless it is already going)
    // destroys the window, then frees what the record owns.
    void destroySequence(bool windowGoing);

protected:
    // Frees the Bitmaps and labels the record owns.
    virtual void releaseOwned() {}
    // The common properties: geometry in parent coordinates, hwnd, visible.
    std::optional<std::string> getCommon(int property);
    // Nothing when the property is none of the common ones.
    std::optional<int> setCommon(int property, std::string_view value);
};

// Geometry (width ... bottom), hwnd and visible: what every control reads alike.
bool isCommonProperty(int property);

// The record attached to a window, or null.
ControlRecord* recordOf(HWND window);
void attachRecord(HWND window, ControlRecord& record);

// The script type of a control class: the registry's four operations handed
// on to the record. Controls are never made from text.
class ControlType final : public ObjectType {
public:
    explicit ControlType(std::string_view name) : ObjectType(name) {}
    std::unique_ptr<ObjectInstance> create(std::string_view) override { return nullptr; }
    void destroy(ObjectInstance& instance) override;
    std::optional<std::string> get(ObjectInstance& instance, int property) override;
    int set(std::unique_ptr<ObjectInstance>& slot, int property, std::string_view value) override;
};

// Registers the type with the script engine, then the window class; on a
// refused class the type is withdrawn again. False on failure.
bool registerControlClass(ControlType& type, const char* className, UINT classStyle, WNDPROC procedure,
                          HICON icon = nullptr);
void unregisterControlClass(ControlType& type, const char* className);

// Creates a child control window (invisible, no text, 0, 0, 100 x 100) and
// attaches the record; false when the window cannot be made.
bool createChildWindow(ControlRecord& record, const char* className, DWORD style, HWND parent);

// A new record of that kind with its child window; null when the window
// cannot be made.
template <class Record>
std::unique_ptr<ObjectInstance> createChildControl(const char* className, DWORD style, HWND parent) {
    auto record = std::make_unique<Record>();
    if (!createChildWindow(*record, className, style, parent)) return nullptr;
    return record;
}

// The window text as a script value.
std::string windowText(HWND window);
// The window of the named object (its hwnd property), or null.
HWND objectWindow(std::string_view name);
// A window handle as the hwnd property reads.
std::string handleText(HWND window);

// Runs a label of the script; nothing (a null label) gives the viewer the focus.
void runControlLabel(const std::optional<std::string>& label);

// Forwarding: keys to the thumbnail area, else the viewer, else dropped;
// the wheel to the thumbnail area, else default handling (which passes it to
// the parent). A target that is the sender or one of its ancestors is
// skipped, and what arrives by forwarding is never forwarded again: a wheel
// turn or key is forwarded at most once and always ends.
LRESULT forwardKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT forwardWheel(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WM_PAINT with the display palette selected and realised.
class PalettePaint {
public:
    explicit PalettePaint(HWND window);
    ~PalettePaint();
    PalettePaint(const PalettePaint&) = delete;
    PalettePaint& operator=(const PalettePaint&) = delete;
    HDC dc() const { return dc_; }
    RECT client() const;

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
    HPALETTE previous_ = nullptr;
};

// The screen's bits per pixel, recorded at start-up (recordScreenDepth).
int screenDepth();
void recordScreenDepth();

// A private copy of the picture of the named bitmap object, at 8 bits on an
// 8-bit screen; null when the name has no picture.
BitmapPtr takePicture(std::string_view objectName);
// A text standing for a picture: nothing when there is none.
std::optional<std::string> pictureText(const BitmapPtr& picture);

ControlRect toControlRect(const RECT& r);

}  // namespace lv
