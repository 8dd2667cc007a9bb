#include "render/bitmap_object.h"

#include "script/keywords.h"
#include "script/values.h"

namespace lv {

BitmapType::BitmapType() : ObjectType("bitmap") {}

std::unique_ptr<ObjectInstance> BitmapType::create(std::string_view) { return nullptr; }

std::optional<std::string> BitmapType::get(ObjectInstance& instance, int property) {
    const Bitmap* bitmap = static_cast<BitmapInstance&>(instance).bitmap.get();
    if (!bitmap) return std::nullopt;
    switch (property) {
    case kwWidth:
    case kwRight: return numberText(bitmap->width);
    case kwHeight:
    case kwBottom: return numberText(bitmap->height);
    case kwLeft:
    case kwTop: return numberText(0);
    case kwBits: return numberText(bitmap->depth);
    case kwBitmap: return std::string("bitmap");
    default: return std::nullopt;
    }
}

int BitmapType::set(std::unique_ptr<ObjectInstance>&, int, std::string_view) { return -1; }

BitmapType& bitmapType() {
    static BitmapType type;
    return type;
}

int defineBitmap(ObjectRegistry& objects, std::string_view name, BitmapPtr bitmap) {
    if (!bitmap) return -1;
    auto instance = std::make_unique<BitmapInstance>();
    instance->bitmap = std::move(bitmap);
    return objects.adopt(bitmapType().name(), name, std::move(instance));
}

Bitmap* bitmapObject(ObjectRegistry& objects, std::string_view name) {
    ObjectRegistry::Object* object = objects.find(name);
    if (!object || object->type != &bitmapType()) return nullptr;
    return static_cast<BitmapInstance&>(*object->instance).bitmap.get();
}

}  // namespace lv
