#include "transition/registry.h"

#include <algorithm>

namespace lv {

bool fullRegistration(const RegistryConditions& c) {
    const std::uint64_t screen = static_cast<std::uint64_t>(c.screenWidth > 0 ? c.screenWidth : 0) *
                                 static_cast<std::uint64_t>(c.screenHeight > 0 ? c.screenHeight : 0) * 20u;
    return c.physicalMemory >= 66060289u || (c.physicalMemory >= 32505856u && screen <= 16777216u);
}

void Registry::build(const RegistryConditions& conditions) {
    clear();
    const bool full = fullRegistration(conditions);
    entries_.reserve(kEntryCapacity);
    int lastCategory = -1;
    for (const CatalogueRow& row : catalogue()) {
        if (row.fullOnly && !full) continue;
        if (static_cast<int>(entries_.size()) >= kEntryCapacity || row.category >= kCategoryCapacity) continue;
        lastCategory = std::max<int>(lastCategory, row.category);
        RegistryEntry entry;
        entry.row = &row;
        entry.maker = familyMaker(row.kind);
        entry.broken = entry.maker == nullptr;
        entry.weight = entry.weightCopy = row.weight;
        entries_.push_back(entry);
    }
    categoryCount_ = lastCategory + 1;
    resetWeights();
}

void Registry::clear() {
    entries_.clear();
    categoryCount_ = 0;
}

int Registry::findNumber(int number) const {
    for (int i = 0; i < size(); ++i) {
        if (entries_[i].number() == number) return i;
    }
    return -1;
}

int Registry::indexOfNumber(int number) const {
    const int index = findNumber(number);
    return index < 0 ? 0 : index;
}

int Registry::findName(std::string_view name) const {
    for (int i = 0; i < size(); ++i) {
        if (entries_[i].name() == name) return i;
    }
    return -1;
}

std::string Registry::entryName(int index) const {
    if (index < 0 || index >= size()) return std::string();
    return std::string(entries_[index].name());
}

bool Registry::available(int index) const {
    return index >= 0 && index < size() && entries_[index].enabled && !entries_[index].broken;
}

void Registry::setEnabled(int index, bool enabled) {
    if (index >= 0 && index < size()) entries_[index].enabled = enabled;
}

void Registry::setCategoryEnabled(int category, bool enabled) {
    for (RegistryEntry& entry : entries_) {
        if (entry.category() == category) entry.enabled = enabled;
    }
}

int Registry::categoryState(int category) const {
    bool any = false, all = true;
    for (const RegistryEntry& entry : entries_) {
        if (entry.category() != category) continue;
        any = any || entry.enabled;
        all = all && entry.enabled;
    }
    if (!any) return 0;
    return all ? 1 : 2;
}

void Registry::resetWeights() {
    for (RegistryEntry& entry : entries_) entry.currentWeight = std::int64_t{entry.weight} * entry.weight;
}

void Registry::clearTried() {
    for (RegistryEntry& entry : entries_) entry.tried = false;
}

TransitionPtr Registry::createByIndex(int index) const {
    if (index < 0) {
        const int category = -1 - index;
        index = 0;
        for (int i = 0; i < size(); ++i) {
            if (entries_[i].category() == category) {
                index = i;
                break;
            }
        }
    }
    if (index >= size() || entries_[index].broken || !entries_[index].built()) return nullptr;
    return entries_[index].maker(*entries_[index].row);
}

int Registry::chooseRandom(RandomSource& random) {
    std::int64_t total = 0;
    for (const RegistryEntry& entry : entries_) {
        if (entry.enabled && !entry.broken) total += entry.currentWeight;
    }
    std::int64_t r = 0;
    if (total > 0) {
        const std::int64_t r1 = random.next(), r2 = random.next();
        r = (r1 * 32767 + r2) % total + 1;
    }
    int chosen = -1;
    std::int64_t sum = 0;
    for (int i = 0; i < size(); ++i) {
        const RegistryEntry& entry = entries_[i];
        if (!entry.enabled || entry.broken || entry.tried) continue;
        sum += entry.currentWeight;
        if (sum >= r) {
            chosen = i;
            break;
        }
    }
    for (RegistryEntry& entry : entries_) entry.currentWeight += random.next() % (entry.weight + 1) + 1;
    if (chosen >= 0) {
        entries_[chosen].currentWeight = 0;
        ++entries_[chosen].useCount;
    }
    return chosen;
}

}  // namespace lv
