// The object registry: every named thing a script can reach at run time.
//
// An object has a name, a type and an instance made by the type. Script
// variables are objects of the type "string"; images are "bitmap" objects;
// every control window is an object of its control type. Properties are
// addressed by keyword number (kwNone, -1, for "no property") and read and
// written as text.
//
// Case rules: get and set find an object by its exact name; delete (and
// therefore the replacement that define does) ignores case, so defining Foo
// replaces foo. Define, delete and get dereference the name first ("$a"
// names the object whose name the string a holds); set takes it as written.
// Names are cut to kMaxName characters.
//
// Dead objects: a control whose window goes away marks its object dead; the
// record then has no name (nothing finds it) and is released at the next
// sweep, which the main loop runs on its tick. Deleting an object whose
// type's destroy marks it dead likewise leaves the release to the sweep, so an
// instance is never released while one of its own functions runs.
//
// Main thread only; nothing here is locked.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lv {

class ObjectRegistry;

// What a type makes: the type's own data, released with the object.
class ObjectInstance {
public:
    virtual ~ObjectInstance() = default;
};

class ObjectType {
public:
    static constexpr std::size_t kMaxName = 31;

    explicit ObjectType(std::string_view name);
    virtual ~ObjectType() = default;

    const std::string& name() const { return name_; }

    // Makes an instance from a value text; null on failure.
    virtual std::unique_ptr<ObjectInstance> create(std::string_view value) = 0;
    // Called before the instance is released by delete (a control destroys its
    // window here, which may mark the object dead).
    virtual void destroy(ObjectInstance&) {}
    // The property as text; nothing when the type has no such property.
    virtual std::optional<std::string> get(ObjectInstance& instance, int property) = 0;
    // Changes a property: 0 or more for success, -1 for failure. The slot
    // may be given a new instance.
    virtual int set(std::unique_ptr<ObjectInstance>& slot, int property, std::string_view value) = 0;

private:
    std::string name_;
};

class ObjectRegistry {
public:
    static constexpr std::size_t kMaxName = 31;

    struct Object {
        std::string name;  // empty: dead
        std::unique_ptr<ObjectInstance> instance;
        ObjectType* type = nullptr;
        bool dead() const { return name.empty(); }
    };

    ObjectRegistry();
    ~ObjectRegistry();
    ObjectRegistry(const ObjectRegistry&) = delete;
    ObjectRegistry& operator=(const ObjectRegistry&) = delete;

    // Types: the registry does not own them. Unregistering first deletes every
    // object of the type, the last made first. -1 when not registered.
    int registerType(ObjectType& type);
    int unregisterType(ObjectType& type);
    ObjectType* findType(std::string_view name) const;  // exact case

    // Makes an object of the named type (exact case) from a value, replacing
    // any object of that name. -1 when the type is unknown, the name empty or
    // create failed (an old object of the name is gone by then).
    int define(std::string_view typeName, std::string_view objectName, std::string_view value);
    // The same with an instance made by the caller (bitmaps, controls): the
    // registry takes it over. On failure the instance is released.
    int adopt(std::string_view typeName, std::string_view objectName, std::unique_ptr<ObjectInstance> instance);

    // Deletes the first live object of that name, case ignored. -1 when none.
    int remove(std::string_view objectName);
    // Marks the object that holds the instance dead. -1 when none does.
    int markDead(const ObjectInstance* instance);
    // Releases every dead object.
    void sweep();
    // Sweep, then unregister every type.
    void shutdown();

    // Reads a property of the object of exactly that name. With property -1 a
    // name "menu.width" reads property width of menu (the first full stop, at
    // positions 1 to 30). Nothing for an unknown name or property.
    std::optional<std::string> get(std::string_view objectName, int property);
    // The type's result, or -1 when no object has that exact name.
    int set(std::string_view objectName, int property, std::string_view value);

    // The live object of exactly that name (dereferenced), or null.
    Object* find(std::string_view objectName);
    const std::vector<std::unique_ptr<Object>>& objects() const { return objects_; }

private:
    Object* findExact(std::string_view name);
    void release(Object* object);
    int insert(ObjectType& type, std::string_view objectName, std::unique_ptr<ObjectInstance> instance);

    std::vector<ObjectType*> types_;
    std::vector<std::unique_ptr<Object>> objects_;
};

// The process-wide registry the program and its statements use.
ObjectRegistry& objectRegistry();

// The type "string": the instance is the text; property text (7) reads and
// writes it, every other property is refused.
class StringType final : public ObjectType {
public:
    StringType();
    std::unique_ptr<ObjectInstance> create(std::string_view value) override;
    std::optional<std::string> get(ObjectInstance& instance, int property) override;
    int set(std::unique_ptr<ObjectInstance>& slot, int property, std::string_view value) override;
};

struct StringInstance final : ObjectInstance {
    std::string text;
};

// Start-up step of the registry: registers "string" in the process-wide one.
bool startObjectRegistry();
// Shutdown step: sweeps and unregisters every type.
void stopObjectRegistry();

}  // namespace lv
