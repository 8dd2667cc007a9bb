// Bitmaps as script objects: the object type "bitmap".
//
// A bitmap object owns its Bitmap and frees it when the object goes. Its
// properties, read only: width, height, left, top, right, bottom give the
// rectangle (0, 0, width, height); bits gives the depth; bitmap (1) gives the
// Bitmap itself, which C++ callers reach through bitmapObject(). Every set is
// refused.
#pragma once

#include <memory>
#include <string_view>

#include "render/bitmap.h"
#include "script/objects.h"

namespace lv {

struct BitmapInstance final : ObjectInstance {
    BitmapPtr bitmap;
};

class BitmapType final : public ObjectType {
public:
    BitmapType();
    // Bitmaps are not made from text: define them with defineBitmap().
    std::unique_ptr<ObjectInstance> create(std::string_view value) override;
    std::optional<std::string> get(ObjectInstance& instance, int property) override;
    int set(std::unique_ptr<ObjectInstance>& slot, int property, std::string_view value) override;
};

BitmapType& bitmapType();

// Makes a bitmap object that takes the Bitmap over, replacing any object of
// that name. -1 (and the Bitmap freed) on failure or for a null Bitmap.
int defineBitmap(ObjectRegistry& objects, std::string_view name, BitmapPtr bitmap);

// The Bitmap of the bitmap object of that name; null when there is none.
Bitmap* bitmapObject(ObjectRegistry& objects, std::string_view name);

}  // namespace lv
