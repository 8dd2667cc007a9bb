// The fields of the show file's records as data: for each interpreted field
// its place in the record, its kind, the member of the in-memory record that
// holds it and the English key under which authors see it. The loader, the
// writer and the tool's JSON all walk these tables, so a field is described
// once.
//
//     for (const auto& field : cellFields()) visitField(field, cell, ...);
//
// Slots (sound and caption records inside the show and cell records) and the
// caption text are not fields: the loader and the writer place them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "show/show_file.h"

namespace lv {

template <class Record>
using FieldMember = std::variant<std::int32_t Record::*,   // signed 32-bit
                                 std::uint32_t Record::*,  // colour, 0x00BBGGRR
                                 std::uint8_t Record::*,   // one byte
                                 double Record::*,         // 64-bit IEEE
                                 std::string Record::*>;   // zero-terminated text of `size` bytes

template <class Record>
struct RecordField {
    const char* key;
    std::size_t offset;
    std::size_t size;  // bytes in the record (texts: the field's size)
    FieldMember<Record> member;
};

// Each table in record order.
std::span<const RecordField<Show>> showFields();
std::span<const RecordField<ShowSound>> soundFields();
std::span<const RecordField<ShowCaption>> captionFields();
std::span<const RecordField<CaptionFont>> fontFields();
std::span<const RecordField<ShowCell>> cellFields();

// Places inside the records that are not plain fields.
namespace ShowOffsets {
inline constexpr std::size_t kShowSoundCount = 5076;
inline constexpr std::size_t kShowSoundSlots = 5080;
inline constexpr std::size_t kShowCaptionCount = 46920;
inline constexpr std::size_t kShowCaptionSlots = 46924;
inline constexpr std::size_t kShowCellCount = 54848;
inline constexpr std::size_t kCaptionFont = 20;
inline constexpr std::size_t kCellSoundSlot = 608;
inline constexpr std::size_t kCellCaptionCount = 964;
inline constexpr std::size_t kCellCaptionSlots = 968;
}  // namespace ShowOffsets

// Little-endian access to a record's bytes; the caller has checked that the
// field lies inside the record.
std::int32_t readInt32(const std::uint8_t* at);
void writeInt32(std::uint8_t* at, std::int32_t value);

// A zero-terminated text of a fixed-size field: up to its first zero, and
// never its last byte, so every text ends within its field.
std::string readFieldText(const std::uint8_t* at, std::size_t size);

// Reads every field of the table from the record bytes into the record.
template <class Record>
void readFields(std::span<const RecordField<Record>> table, const std::uint8_t* bytes, Record& record);
// Writes every field of the record into the record bytes (texts cut to
// their field, zero-filled).
template <class Record>
void writeFields(std::span<const RecordField<Record>> table, const Record& record, std::uint8_t* bytes);

}  // namespace lv
