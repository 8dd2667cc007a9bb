// The statement property record: the name=value pairs of one statement line.
//
// 88 properties in three groups, each property addressed by its keyword
// number: numbers (not set: kNumberNotSet), colours (not set: kColourNotSet)
// and texts (not set: nothing). A keyword followed by a blank gets a record
// of not-set markers filled from the line; a bare keyword with nothing after
// it gets the all-zero record (numbers 0, colours 0, no texts), which some
// statements read differently.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lv {

class ObjectRegistry;

class PropertyRecord {
public:
    static constexpr std::int32_t kNumberNotSet = -32768;
    static constexpr std::uint32_t kColourNotSet = 0x80000001u;
    static constexpr int kNumberCount = 60;
    static constexpr int kColourCount = 4;
    static constexpr int kTextCount = 24;
    static constexpr std::size_t kMaxName = 99;
    static constexpr std::size_t kMaxValue = 999;

    enum class Group { None, Number, Colour, Text };
    // The group of a keyword number; None for a keyword that is no property.
    static Group groupOf(int keyword);

    PropertyRecord() { clearToZero(); }

    void clearToZero();    // numbers 0, colours 0, texts nothing
    void resetToNotSet();  // numbers -32768, colours 0x80000001, texts nothing

    // Stores a value text in the property's group: its integer value, its
    // colour value or a copy. Ignored for a keyword that is no property.
    void store(ObjectRegistry& objects, int keyword, std::string_view value);

    // The values; the property must belong to the group asked for (a wrong
    // keyword reads as not set).
    std::int32_t number(int keyword) const;
    std::uint32_t colour(int keyword) const;
    const std::optional<std::string>& text(int keyword) const;

    // True when the line wrote the property (it holds no not-set marker).
    bool given(int keyword) const;

    void setNumber(int keyword, std::int32_t value);
    void setColour(int keyword, std::uint32_t value);
    void setText(int keyword, std::optional<std::string> value);

private:
    std::array<std::int32_t, kNumberCount> numbers_{};
    std::array<std::uint32_t, kColourCount> colours_{};
    std::array<std::optional<std::string>, kTextCount> texts_{};
};

}  // namespace lv
