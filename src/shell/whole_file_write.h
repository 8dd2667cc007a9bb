// Writing a whole file so that nothing the user owns is lost: a regular
// file (or a new one) is written to a temporary file beside it and renamed
// over it only when complete; a device, a FIFO or "-" (standard output) is
// written directly and never renamed over.
//
//     std::string error;
//     if (!writeWholeFile("shows/slyde1", bytes, error)) report(error);
//
// False with a reason in `error` when the data could not be written; the
// target is then as it was (for regular files).
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace lv {

bool writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error);

}  // namespace lv
