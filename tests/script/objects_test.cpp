#include "script/objects.h"

#include <gtest/gtest.h>

#include "render/bitmap_object.h"
#include "script/keywords.h"
#include "script_fixture.h"

namespace lv {
namespace {

// A type whose instances count themselves and whose destroy may mark the
// object dead, as a control does when its window goes.
struct Counted final : ObjectInstance {
    explicit Counted(int& alive) : alive(alive) { ++alive; }
    ~Counted() override { --alive; }
    int& alive;
    int width = 0;
};

class CountedType final : public ObjectType {
public:
    CountedType(ObjectRegistry& objects) : ObjectType("counted"), objects(objects) {}
    std::unique_ptr<ObjectInstance> create(std::string_view value) override {
        if (value == "fail") return nullptr;
        return std::make_unique<Counted>(alive);
    }
    void destroy(ObjectInstance& instance) override {
        if (markDeadOnDestroy) objects.markDead(&instance);
    }
    std::optional<std::string> get(ObjectInstance& instance, int property) override {
        if (property != kwWidth) return std::nullopt;
        return std::to_string(static_cast<Counted&>(instance).width);
    }
    int set(std::unique_ptr<ObjectInstance>& slot, int property, std::string_view value) override {
        if (property != kwWidth) return -1;
        static_cast<Counted&>(*slot).width = std::stoi(std::string(value));
        return 0;
    }
    ObjectRegistry& objects;
    int alive = 0;
    bool markDeadOnDestroy = false;
};

class Registry : public ScriptFixture {
protected:
    Registry() { objects.registerType(counted); }
    CountedType counted{objects};
};

TEST_F(Registry, StringsHoldTheirTextAsPropertyText) {
    let("a", "hello");
    EXPECT_EQ(str("a"), "hello");
    EXPECT_EQ(objects.get("a", kwNone), std::nullopt);
    EXPECT_EQ(objects.set("a", kwText, "bye"), 0);
    EXPECT_EQ(str("a"), "bye");
    EXPECT_EQ(objects.set("a", kwWidth, "1"), -1);
    EXPECT_EQ(objects.set("nobody", kwText, "1"), -1);
}

TEST_F(Registry, GetAndSetCompareWithCaseDefineReplacesWithout) {
    let("foo", "1");
    EXPECT_EQ(str("FOO"), "<none>");
    let("Foo", "2");
    EXPECT_EQ(str("foo"), "<none>");
    EXPECT_EQ(str("Foo"), "2");
    EXPECT_EQ(objects.objects().size(), 1u);
}

TEST_F(Registry, UnknownTypeOrFailedCreateLeavesNoObject) {
    let("x", "old");
    EXPECT_EQ(objects.define("String", "y", "v"), -1);
    EXPECT_EQ(objects.define("counted", "x", "fail"), -1);
    EXPECT_EQ(str("x"), "<none>");  // the old x is gone all the same
    EXPECT_EQ(objects.define("string", "", "v"), -1);
}

TEST_F(Registry, DottedNamesReadAProperty) {
    ASSERT_EQ(objects.define("counted", "menu", ""), 0);
    objects.set("menu", kwWidth, "640");
    EXPECT_EQ(objects.get("menu.width", kwNone), "640");
    EXPECT_EQ(objects.get("menu.nosuchword", kwNone), std::nullopt);
    EXPECT_EQ(objects.get(".width", kwNone), std::nullopt);
}

TEST_F(Registry, NamesAreDereferencedAndCut) {
    let("which", "target");
    let("$which", "7");
    EXPECT_EQ(str("target"), "7");
    const std::string longName(40, 'q');
    let(longName, "long");
    EXPECT_EQ(objects.objects().back()->name.size(), 31u);
    EXPECT_EQ(str(longName), "long");
}

// A control's destroy marks it dead when its window goes: it stays alive,
// hidden, until the sweep; marking it twice fails.
TEST_F(Registry, DeleteReleasesAtOnceUnlessDestroyMarkedDead) {
    objects.define("counted", "a", "");
    objects.define("counted", "b", "");
    objects.define("counted", "c", "");
    EXPECT_EQ(counted.alive, 3);
    EXPECT_EQ(objects.remove("A"), 0);
    EXPECT_EQ(counted.alive, 2);
    counted.markDeadOnDestroy = true;
    EXPECT_EQ(objects.remove("b"), 0);
    EXPECT_EQ(counted.alive, 2);  // left for the sweep
    EXPECT_EQ(objects.get("b", kwWidth), std::nullopt);
    ObjectInstance* c = objects.find("c")->instance.get();
    EXPECT_EQ(objects.markDead(c), 0);
    EXPECT_EQ(objects.markDead(c), -1);
    EXPECT_EQ(objects.find("c"), nullptr);
    objects.sweep();
    EXPECT_EQ(counted.alive, 0);
    EXPECT_TRUE(objects.objects().empty());
    EXPECT_EQ(objects.remove("b"), -1);
}

TEST_F(Registry, UnregisterDeletesTheTypesObjects) {
    objects.define("counted", "a", "");
    let("s", "x");
    EXPECT_EQ(objects.unregisterType(counted), 0);
    EXPECT_EQ(counted.alive, 0);
    EXPECT_EQ(str("s"), "x");
    EXPECT_EQ(objects.unregisterType(counted), -1);
    EXPECT_EQ(objects.define("counted", "a", ""), -1);
}

class BitmapObjects : public ScriptFixture {
protected:
    BitmapObjects() { objects.registerType(bitmapType()); }
};

TEST_F(BitmapObjects, TakeOverTheBitmapReportItsRectangleAndFreeItWhenReplaced) {
    BitmapPtr owned = createBitmap("pic", 12, 7, 24);
    Bitmap* raw = owned.get();
    ASSERT_EQ(defineBitmap(objects, "pic", std::move(owned)), 0);
    EXPECT_EQ(bitmapObject(objects, "pic"), raw);
    EXPECT_EQ(objects.get("pic", kwWidth), "12");
    EXPECT_EQ(objects.get("pic", kwRight), "12");
    EXPECT_EQ(objects.get("pic", kwBottom), "7");
    EXPECT_EQ(objects.get("pic", kwTop), "0");
    EXPECT_EQ(objects.get("pic", kwBits), "24");
    EXPECT_EQ(objects.get("pic", kwText), std::nullopt);
    EXPECT_EQ(objects.set("pic", kwWidth, "5"), -1);
    EXPECT_EQ(bitmapObject(objects, "nobody"), nullptr);
    let("s", "x");
    EXPECT_EQ(bitmapObject(objects, "s"), nullptr);
    defineBitmap(objects, "pic", createBitmap("b", 2, 2, 8));
    EXPECT_FALSE(isRegisteredBitmap(raw));
    EXPECT_EQ(objects.get("pic", kwBits), "8");
    Bitmap* second = bitmapObject(objects, "pic");
    objects.remove("pic");
    EXPECT_FALSE(isRegisteredBitmap(second));
    EXPECT_EQ(defineBitmap(objects, "x", nullptr), -1);
}

}  // namespace
}  // namespace lv
