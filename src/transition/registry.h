// The registry of transitions: one entry per selectable transition, in the
// catalogue's order (catalogue.h), with the user's enabled flags, the broken
// and tried flags of failed starts, and the weights of random choice.
//
//     Registry registry;
//     registry.build(RegistryConditions{});          // 189 entries
//     int i = registry.indexOfNumber(171);           // "ssBlend"
//     TransitionPtr t = registry.createByIndex(i);
//
// Reduced registration (little memory for the screen size) keeps the first
// five categories without the dissolves, squares and puzzle: 59 entries.
// Entries whose family is not built are registered broken, so a start by
// index falls back and random choice never picks them.
//
// Random choice follows the weights: every entry's current weight starts as
// weight x weight, the draw walks the table, the chosen entry's weight drops
// to 0 and every entry ages by a random amount.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "transition/catalogue.h"
#include "transition/random_source.h"

namespace lv {

struct RegistryConditions {
    std::uint64_t physicalMemory = std::uint64_t{1} << 30;
    std::int32_t screenWidth = 1024, screenHeight = 768;
};
// Full registration with at least 66060289 bytes, or with at least 32505856
// bytes when width x height x 20 is at most 16777216.
bool fullRegistration(const RegistryConditions& conditions);

struct RegistryEntry {
    const CatalogueRow* row = nullptr;
    FamilyMaker maker = nullptr;  // null: not built
    bool enabled = true;
    bool broken = false;
    bool tried = false;
    std::int32_t weight = 0;
    std::int32_t weightCopy = 0;
    std::int64_t currentWeight = 0;
    std::int32_t useCount = 0;

    std::string_view name() const { return row->name; }
    std::int32_t number() const { return row->number; }
    std::int32_t category() const { return row->category; }
    bool built() const { return maker != nullptr; }
};

class Registry {
public:
    static constexpr int kEntryCapacity = 200;
    static constexpr int kCategoryCapacity = 50;

    void build(const RegistryConditions& conditions);
    void clear();

    const std::vector<RegistryEntry>& entries() const { return entries_; }
    std::vector<RegistryEntry>& entries() { return entries_; }
    int size() const { return static_cast<int>(entries_.size()); }
    int categoryCount() const { return categoryCount_; }

    // 0 when the number is unknown (the caller then asks for an index beyond
    // the table to get random choice, see run.h).
    int indexOfNumber(int number) const;
    // -1 when no entry has the number.
    int findNumber(int number) const;
    // -1 when no entry has the name (exact key).
    int findName(std::string_view name) const;
    // The key, or an empty text beyond the table.
    std::string entryName(int index) const;

    bool available(int index) const;
    void setEnabled(int index, bool enabled);
    void setCategoryEnabled(int category, bool enabled);
    // 0 none enabled, 1 all enabled, 2 mixed (and 0 for a category without entries).
    int categoryState(int category) const;
    void resetWeights();
    void clearTried();

    // A new object of the entry, or null when the entry is broken, not built
    // or out of range. -1-c creates the first entry of category c (entry 0
    // when the category has none).
    TransitionPtr createByIndex(int index) const;

    // Weighted random choice; -1 when the walk chose nothing.
    int chooseRandom(RandomSource& random);

private:
    std::vector<RegistryEntry> entries_;
    int categoryCount_ = 0;
};

}  // namespace lv
