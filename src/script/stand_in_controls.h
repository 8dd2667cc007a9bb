// Stand-ins for the control types ("button", "static", "viewer",
// "thumbArea", "window") where there are no windows: the headless tool and
// native tests. A stand-in keeps every property set on it as text and reports
// its geometry (windowleft ... windowbottom, windowwidth, windowheight) as the
// rectangle relative to its parent that left, top, width and height (or
// right and bottom) describe. It has no window: hwnd reads as nothing.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "script/objects.h"

namespace lv {

struct StandInControl final : ObjectInstance {
    std::map<int, std::string> properties;
    struct Rect {
        int left = 0, top = 0, right = 0, bottom = 0;
    };
    Rect rect() const;
};

class StandInControlType final : public ObjectType {
public:
    explicit StandInControlType(std::string_view name) : ObjectType(name) {}
    std::unique_ptr<ObjectInstance> create(std::string_view value) override;
    std::optional<std::string> get(ObjectInstance& instance, int property) override;
    int set(std::unique_ptr<ObjectInstance>& slot, int property, std::string_view value) override;
};

// Registers the five stand-in types (once per registry).
void registerStandInControls(ObjectRegistry& objects);

}  // namespace lv
