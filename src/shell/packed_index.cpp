#include "shell/packed_index.h"

#include <algorithm>
#include <cstring>

namespace lv {

namespace {

constexpr std::size_t kFlagsAt = 119;
constexpr std::size_t kSizeAt = 120;
constexpr std::size_t kOffsetAt = 124;

std::uint32_t readLe32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

void writeLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

PackedEntry parseRecord(const std::uint8_t* record, std::uint64_t launcherSize) {
    PackedEntry entry;
    const auto* nameEnd = std::find(record, record + PackedEntry::kNameField, std::uint8_t{0});
    entry.name.assign(reinterpret_cast<const char*>(record), reinterpret_cast<const char*>(nameEnd));
    entry.flags = record[kFlagsAt];
    entry.size = readLe32(record + kSizeAt);
    entry.offset = readLe32(record + kOffsetAt);
    const bool terminated = nameEnd != record + PackedEntry::kNameField;
    const bool inside = std::uint64_t{entry.offset} + entry.size <= launcherSize;
    if (!terminated || !inside) entry.flags |= PackedEntry::kUnusableFlags;
    return entry;
}

}  // namespace

std::vector<PackedEntry> parsePackedIndex(std::span<const std::uint8_t> index, std::uint64_t launcherSize) {
    const std::size_t count = std::min(index.size() / PackedEntry::kRecordSize, kMaxPackedEntries);
    std::vector<PackedEntry> entries;
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        entries.push_back(parseRecord(index.data() + i * PackedEntry::kRecordSize, launcherSize));
    return entries;
}

std::optional<std::vector<std::uint8_t>> encodePackedIndex(std::span<const PackedEntry> entries) {
    std::vector<std::uint8_t> bytes(entries.size() * PackedEntry::kRecordSize, 0);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const PackedEntry& e = entries[i];
        if (e.name.size() > PackedEntry::kMaxName || e.name.find('\0') != std::string::npos) return std::nullopt;
        std::uint8_t* record = bytes.data() + i * PackedEntry::kRecordSize;
        std::memcpy(record, e.name.data(), e.name.size());
        record[kFlagsAt] = e.flags;
        writeLe32(record + kSizeAt, e.size);
        writeLe32(record + kOffsetAt, e.offset);
    }
    return bytes;
}

}  // namespace lv
