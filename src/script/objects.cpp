#include "script/objects.h"

#include <algorithm>

#include "platform/text.h"
#include "script/keywords.h"
#include "script/scan.h"
#include "script/values.h"

namespace lv {

ObjectType::ObjectType(std::string_view name) : name_(cutTo(name, kMaxName)) {}

ObjectRegistry::ObjectRegistry() = default;
// Releases the objects, the last made first; the types may be gone already.
ObjectRegistry::~ObjectRegistry() {
    while (!objects_.empty()) objects_.pop_back();
}

int ObjectRegistry::registerType(ObjectType& type) {
    types_.push_back(&type);
    return 0;
}

int ObjectRegistry::unregisterType(ObjectType& type) {
    const auto found = std::find(types_.begin(), types_.end(), &type);
    if (found == types_.end()) return -1;
    for (std::size_t i = objects_.size(); i-- > 0;) {
        if (i >= objects_.size()) continue;  // a destroy removed others on the way
        Object* object = objects_[i].get();
        if (object->type == &type && !object->dead()) release(object);
    }
    sweep();
    types_.erase(std::find(types_.begin(), types_.end(), &type));
    return 0;
}

ObjectType* ObjectRegistry::findType(std::string_view name) const {
    for (ObjectType* type : types_)
        if (type->name() == name) return type;
    return nullptr;
}

int ObjectRegistry::define(std::string_view typeName, std::string_view objectName, std::string_view value) {
    const std::string name = dereference(*this, objectName);
    ObjectType* type = findType(typeName);
    if (!type) return -1;
    remove(name);
    std::unique_ptr<ObjectInstance> instance = type->create(value);
    if (!instance) return -1;
    return insert(*type, name, std::move(instance));
}

int ObjectRegistry::adopt(std::string_view typeName, std::string_view objectName,
                          std::unique_ptr<ObjectInstance> instance) {
    const std::string name = dereference(*this, objectName);
    ObjectType* type = findType(typeName);
    if (!type || !instance) return -1;
    remove(name);
    return insert(*type, name, std::move(instance));
}

int ObjectRegistry::insert(ObjectType& type, std::string_view objectName, std::unique_ptr<ObjectInstance> instance) {
    // An empty name would be a dead record from the start.
    if (objectName.empty()) return -1;
    auto object = std::make_unique<Object>();
    object->name = cutTo(objectName, kMaxName);
    object->instance = std::move(instance);
    object->type = &type;
    objects_.push_back(std::move(object));
    return 0;
}

int ObjectRegistry::remove(std::string_view objectName) {
    const std::string name = dereference(*this, objectName);
    const std::string_view wanted = cutTo(name, kMaxName);
    const auto found = std::find_if(objects_.begin(), objects_.end(), [&](const auto& object) {
        return !object->dead() && equalsNoCase(object->name, wanted);
    });
    if (found == objects_.end()) return -1;
    release(found->get());
    return 0;
}

void ObjectRegistry::release(Object* object) {
    object->type->destroy(*object->instance);
    // Look again: destroy may have marked the object dead (the sweep releases
    // it then) or changed the table.
    const auto now = std::find_if(objects_.begin(), objects_.end(), [&](const auto& o) { return o.get() == object; });
    if (now != objects_.end() && !(*now)->dead()) {
        std::unique_ptr<Object> released = std::move(*now);
        objects_.erase(now);
    }
}

int ObjectRegistry::markDead(const ObjectInstance* instance) {
    if (!instance) return -1;
    for (auto& object : objects_)
        if (!object->dead() && object->instance.get() == instance) {
            object->name.clear();
            return 0;
        }
    return -1;
}

void ObjectRegistry::sweep() {
    std::vector<std::unique_ptr<Object>> released;
    for (std::size_t i = objects_.size(); i-- > 0;)
        if (objects_[i]->dead()) {
            released.push_back(std::move(objects_[i]));
            objects_.erase(objects_.begin() + static_cast<std::ptrdiff_t>(i));
        }
    // Instances are released after the table is consistent again.
    released.clear();
}

void ObjectRegistry::shutdown() {
    sweep();
    while (!types_.empty()) unregisterType(*types_.front());
    objects_.clear();
}

ObjectRegistry::Object* ObjectRegistry::findExact(std::string_view name) {
    const std::string_view wanted = cutTo(name, kMaxName);
    for (auto& object : objects_)
        if (!object->dead() && object->name == wanted) return object.get();
    return nullptr;
}

ObjectRegistry::Object* ObjectRegistry::find(std::string_view objectName) {
    if (objectName.empty()) return nullptr;
    return findExact(dereference(*this, objectName));
}

std::optional<std::string> ObjectRegistry::get(std::string_view objectName, int property) {
    if (objectName.empty()) return std::nullopt;
    std::string name = dereference(*this, objectName);
    if (property == kwNone) {
        const std::size_t dot = name.find('.');
        if (dot != std::string::npos && dot >= 1 && dot <= 30) {
            property = keywordLookup(std::string_view(name).substr(dot + 1));
            name.resize(dot);
        }
    }
    Object* object = findExact(name);
    if (!object) return std::nullopt;
    return object->type->get(*object->instance, property);
}

int ObjectRegistry::set(std::string_view objectName, int property, std::string_view value) {
    Object* object = findExact(objectName);
    if (!object) return -1;
    return object->type->set(object->instance, property, value);
}

// Never destroyed: objects outlive every static type and Bitmap registry.
ObjectRegistry& objectRegistry() {
    static ObjectRegistry* registry = new ObjectRegistry;
    return *registry;
}

// --- the type "string" -------------------------------------------------------

StringType::StringType() : ObjectType("string") {}

std::unique_ptr<ObjectInstance> StringType::create(std::string_view value) {
    auto instance = std::make_unique<StringInstance>();
    instance->text = value;
    return instance;
}

std::optional<std::string> StringType::get(ObjectInstance& instance, int property) {
    if (property != kwText) return std::nullopt;
    return static_cast<StringInstance&>(instance).text;
}

int StringType::set(std::unique_ptr<ObjectInstance>& slot, int property, std::string_view value) {
    if (property != kwText || !slot) return -1;
    static_cast<StringInstance&>(*slot).text = value;
    return 0;
}

namespace {
StringType& stringType() {
    static StringType type;
    return type;
}
}  // namespace

bool startObjectRegistry() { return objectRegistry().registerType(stringType()) == 0; }

void stopObjectRegistry() { objectRegistry().shutdown(); }

}  // namespace lv
