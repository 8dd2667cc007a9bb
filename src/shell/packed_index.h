// The launcher's index "ix": the table of the files a launcher carries
// packed inside its own file. The whole file is the table, with no header:
// 128-byte records, little-endian:
//
//     offset size field
//       0    119 file name, ending in a zero byte; compared exactly (case
//                counts) with the path being opened
//     119      1 flags; the entry is usable only when the low four bits are 0
//     120      4 size of the packed file in bytes, unsigned
//     124      4 offset of the packed file from the start of the launcher file
//
// Bytes after the last whole record are ignored. Reading checks every entry
// against the launcher file's size, so a damaged index or a launcher cut
// short yields no packed file for the bad entries and never a read outside
// the launcher file. docs/launcher.md tells how launcher and index fit.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lv {

struct PackedEntry {
    static constexpr std::size_t kRecordSize = 128;
    static constexpr std::size_t kNameField = 119;  // name and its terminating zero
    static constexpr std::size_t kMaxName = kNameField - 1;
    static constexpr std::uint8_t kUnusableFlags = 0x0F;

    std::string name;
    std::uint8_t flags = 0;
    std::uint32_t size = 0;
    std::uint32_t offset = 0;

    bool usable() const { return (flags & kUnusableFlags) == 0; }
    bool operator==(const PackedEntry&) const = default;
};

// Largest index read: 65536 records (8 MiB).
inline constexpr std::size_t kMaxPackedEntries = 65536;

// The entries of an index in file order. An entry whose name has no
// terminating zero, or whose data does not lie wholly inside the launcher
// file of launcherSize bytes, comes back marked unusable (flags 0x0F), so
// table positions still match the records; a zero-length entry is usable.
std::vector<PackedEntry> parsePackedIndex(std::span<const std::uint8_t> index, std::uint64_t launcherSize);

// The index file's bytes for these entries; nullopt when a name does not
// fit its field (more than kMaxName characters, or a zero byte inside).
std::optional<std::vector<std::uint8_t>> encodePackedIndex(std::span<const PackedEntry> entries);

}  // namespace lv
