// Fuzzes the launcher index reader: the first 8 bytes give the launcher
// file's size, the rest is the index. Every entry that comes back usable
// must lie wholly inside the launcher file and have a terminated name.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "shell/packed_index.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return 0;
    std::uint64_t launcherSize = 0;
    for (int i = 0; i < 8; ++i) launcherSize |= std::uint64_t{data[i]} << (8 * i);
    launcherSize &= 0xFFFFFFFFFFull;  // launchers of up to 1 TiB
    const auto entries = lv::parsePackedIndex(std::span(data + 8, size - 8), launcherSize);
    if (entries.size() != std::min((size - 8) / lv::PackedEntry::kRecordSize, lv::kMaxPackedEntries)) std::abort();
    for (const lv::PackedEntry& e : entries) {
        if (!e.usable()) continue;
        if (std::uint64_t{e.offset} + e.size > launcherSize) std::abort();
        if (e.name.size() > lv::PackedEntry::kMaxName) std::abort();
        // A usable entry writes back to the same record.
        if (!lv::encodePackedIndex(std::span(&e, 1))) std::abort();
    }
    return 0;
}
