// Value conversions applied to the texts of statement properties.
//
//   dereference  "$a" follows string objects: a holds "$b", b holds "7" → "7"
//   integer      strictly left to right, no precedence: "2+3*4" → 20;
//                a percent term scales by the accumulator: "10+50%" → 15;
//                terms are numbers, (sub-expressions), names read as numbers:
//                "menu.width", "menu(width)", "$count"; x/0 gives 0
//   colour       "#RRGGBB" → 0x00BBGGRR (red in the low byte)
//   number text  the decimal text of an integer
//   script path  ".\x.jpg" → "x.jpg"; "pics\a.jpg" → loaderPath + "pics\a.jpg";
//                "%.%" stands for loaderPath; "*/name" names a packed file
//
// Arithmetic is 32-bit two's complement and wraps like the machine's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lv {

class ObjectRegistry;

// The result of following "$name" references through the property text (7)
// of the objects named. Stops at the first text without a dollar sign, at a
// reference that leads nowhere or to itself, and at a reference chain that
// runs in a circle (then the last reference is returned).
//
// A reference whose name begins with a dollar sign again ("$$b") has its name
// dereferenced on the way, which nests. One dereference, nested ones
// included, takes at most (object count + kMaxDereferenceDepth) steps and
// nests at most kMaxDereferenceDepth deep; past either bound it returns the
// text it has reached. So b holding "$$b" reads "$b" as "$$b" instead of
// recursing without end.
constexpr int kMaxDereferenceDepth = 16;
std::string dereference(ObjectRegistry& objects, std::string_view text);

std::int32_t integerValue(ObjectRegistry& objects, std::string_view text);

std::uint32_t colourValue(ObjectRegistry& objects, std::string_view text);

// Decimal text of a number, as "%ld" formats it.
std::string numberText(long value);

// The leading number of a text: blanks, one sign, digits up to the first
// other character; 0 when there are none.
std::int32_t leadingNumber(std::string_view text);

// A path written in the script, relative to the launcher's folder; nothing
// gives the loader path itself. At most kMaxPath characters.
constexpr std::size_t kMaxPath = 259;
std::string scriptPath(std::optional<std::string_view> text, std::string_view loaderPath);
// The same with the program's loaderPath.
std::string scriptPath(std::optional<std::string_view> text);

// A text starting with "%loaderpath%" (exact case) with those 12 characters
// replaced by the loader path; any other text unchanged.
std::string expandLoaderPathPrefix(std::string_view text, std::string_view loaderPath);

}  // namespace lv
