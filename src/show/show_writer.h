// Writing a show file from the in-memory records, the inverse of the loader
// (show_file.h): what parseShow() reads back from encodeShow(show) equals the
// show, as long as its texts fit their fields (file names and the banner 259
// characters, the title 519, a font face 31) and its counts fit the file's
// limits (100 sounds, 20 captions per show and per cell).
//
//     std::vector<std::uint8_t> bytes = encodeShow(show);
//     std::string error;
//     if (!writeWholeFile(folder + "slyde1", bytes, error)) report(error);
//
// Each sound and caption record is stored twice, in its slot inside the show
// or cell record and again after the record, as readers expect. Reserved and
// working bytes are zero.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "show/show_file.h"

namespace lv {

// Empty with a reason in `error` when a count exceeds the file's limits.
std::vector<std::uint8_t> encodeShow(const Show& show, std::string* error = nullptr);

}  // namespace lv
