#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "transition/piece_recipes.h"
#include "transition/registry.h"
#include "transition_fixture.h"

namespace lv {
namespace {

using test::fullRegistry;

// 189 entries of distinct numbers and names in the catalogue's order, by
// category, with squared weights, every one built and created.
TEST(TransitionRegistry, FullRegistrationKeepsTheCatalogue) {
    const Registry registry = fullRegistry();
    ASSERT_EQ(registry.size(), 189);
    std::set<int> numbers;
    std::set<std::string_view> names;
    std::map<Kind, int> kinds;
    int lastCategory = 0;
    for (int i = 0; i < registry.size(); ++i) {
        const RegistryEntry& entry = registry.entries()[i];
        numbers.insert(entry.number());
        names.insert(entry.name());
        ++kinds[entry.row->kind];
        EXPECT_EQ(entry.name(), catalogue()[i].name);
        EXPECT_EQ(registry.findNumber(entry.number()), i);
        EXPECT_EQ(entry.currentWeight, std::int64_t{entry.weight} * entry.weight) << entry.name();
        EXPECT_GE(entry.category(), lastCategory) << entry.name();
        lastCategory = entry.category();
        EXPECT_TRUE(entry.built() && !entry.broken && registry.available(i)) << entry.name();
        EXPECT_NE(registry.createByIndex(i), nullptr) << entry.name();
    }
    EXPECT_EQ(numbers.size(), 189u);
    EXPECT_EQ(names.size(), 189u);
    EXPECT_EQ(registry.categoryCount(), 10);
    EXPECT_EQ(kinds[Kind::SpanMask], 126);
    EXPECT_EQ(kinds[Kind::Piece], 27);
    EXPECT_EQ(pieceRecipeNames().size(), 27u);  // the recipes the piece tests walk
    EXPECT_EQ(registry.entryName(registry.findNumber(171)), "ssBlend");
    EXPECT_EQ(registry.findNumber(33), -1);  // numbers with no entry
    EXPECT_EQ(registry.findNumber(34), -1);
}

TEST(TransitionRegistry, BelowTheThresholdsRegistrationKeepsTheFirstFiveCategories) {
    Registry registry;
    registry.build(RegistryConditions{32505856, 1024, 820});  // 1024 x 820 x 20 > 16777216
    ASSERT_EQ(registry.size(), 59);
    EXPECT_EQ(registry.findName("ssDissolve"), -1);
    EXPECT_EQ(registry.findName("ssWipeLR"), -1);
    for (const RegistryEntry& entry : registry.entries()) EXPECT_LT(entry.category(), 5);
    // The memory and picture-size thresholds of full registration.
    EXPECT_TRUE(fullRegistration({66060289, 4000, 4000}));
    EXPECT_FALSE(fullRegistration({66060288, 1024, 820}));
    EXPECT_TRUE(fullRegistration({32505856, 1024, 819}));
    EXPECT_FALSE(fullRegistration({32505855, 640, 480}));
}

TEST(TransitionRegistry, LookUpsAndNames) {
    const Registry registry = fullRegistry();
    EXPECT_EQ(registry.indexOfNumber(12345), 0);
    EXPECT_EQ(registry.findNumber(12345), -1);
    EXPECT_EQ(registry.entryName(189), "");
    EXPECT_EQ(registry.entryName(-1), "");
    EXPECT_EQ(registry.indexOfNumber(178), registry.findName("ssPushLR"));
    // A negative index names a category's first entry (-2: "ssPushRL"); a missing category gives entry 0.
    EXPECT_NE(registry.createByIndex(-2), nullptr);
    EXPECT_NE(registry.createByIndex(-1 - 40), nullptr);
}

TEST(TransitionRegistry, CategoryStates) {
    Registry registry = fullRegistry();
    registry.setCategoryEnabled(1, false);
    EXPECT_EQ(registry.categoryState(1), 0);
    registry.setEnabled(registry.findName("ssPushTB"), true);
    EXPECT_EQ(registry.categoryState(1), 2);
    registry.setCategoryEnabled(1, true);
    EXPECT_EQ(registry.categoryState(1), 1);
}

// Draws that a test hands out in order.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<int> draws) : draws_(std::move(draws)) {}
    int next() override { return draws_.at(at_++); }
    std::size_t used() const { return at_; }

private:
    std::vector<int> draws_;
    std::size_t at_ = 0;
};

TEST(TransitionRegistryRandom, FollowsTheWeightedWalk) {
    Registry registry = fullRegistry();
    // Only the pushes (current weight 225 each, 8 of them: total 1800) take part.
    for (int i = 0; i < registry.size(); ++i) registry.setEnabled(i, registry.entries()[i].category() == 1);
    // r = (R1 x 32767 + R2) mod 1800 + 1 = (0 + 500) mod 1800 + 1 = 501: the third push.
    std::vector<int> draws = {0, 500};
    draws.resize(2 + registry.size(), 6);
    ScriptedRandom random(draws);
    const int chosen = registry.chooseRandom(random);
    EXPECT_EQ(registry.entryName(chosen), "ssPushTB");
    EXPECT_EQ(random.used(), 2u + registry.size());
    EXPECT_EQ(registry.entries()[chosen].currentWeight, 0);
    EXPECT_EQ(registry.entries()[chosen].useCount, 1);
    // Every other entry aged by R mod (weight + 1) + 1: 6 mod 16 + 1 = 7 for a push.
    EXPECT_EQ(registry.entries()[registry.findName("ssPushRL")].currentWeight, 225 + 7);
    EXPECT_EQ(registry.entries()[registry.findName("ssBlend")].currentWeight, 2500 + 7);
}

TEST(TransitionRegistryRandom, TriedEntriesCanMakeTheDrawMiss) {
    Registry registry = fullRegistry();
    for (int i = 0; i < registry.size(); ++i) registry.setEnabled(i, registry.entries()[i].category() == 1);
    for (RegistryEntry& entry : registry.entries()) entry.tried = entry.category() == 1 && entry.name() != "ssPushRL";
    // r = 1000: beyond the one untried push's 225, so the walk ends without a choice.
    std::vector<int> draws = {0, 999};
    draws.resize(2 + registry.size(), 0);
    ScriptedRandom random(draws);
    EXPECT_EQ(registry.chooseRandom(random), -1);
}

}  // namespace
}  // namespace lv
