// Fuzzes the show-file loader. A show that loads must write back to bytes
// that load to the same bytes again (the writer is the loader's inverse),
// with every count and text inside its limits.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "show/show_file.h"
#include "show/show_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto show = lv::parseShow(std::span(data, size));
    if (!show) return 0;
    if (show->sounds.size() > 100 || show->captions.size() > 20) std::abort();
    for (const lv::ShowCell& cell : show->cells) {
        if (cell.captions.size() > 20 || cell.imageFile.size() > 259 || cell.sound.fileName.size() > 259) std::abort();
        for (const lv::ShowCaption& c : cell.captions)
            if (c.text.size() >= size) std::abort();
    }
    if (show->title.size() > 519 || show->bannerText.size() > 259 || show->maskFolder.size() > 259) std::abort();
    const auto bytes = lv::encodeShow(*show);
    const auto again = lv::parseShow(bytes);
    if (!again || lv::encodeShow(*again) != bytes) std::abort();
    return 0;
}
