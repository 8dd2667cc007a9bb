// lumavine-tool jpeg-encode IN.ppm|IN.pgm OUT.jpg [--quality Q]
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "codec/jpeg.h"
#include "codec/jpeg_codec.h"
#include "render/pnm.h"
#include "tool_command.h"

namespace {

int runJpegEncode(lv::tool::Args args) {
    int quality = 75;
    if (args.size() == 4 && std::strcmp(args[2], "--quality") == 0) {
        char* end = nullptr;
        const long q = std::strtol(args[3], &end, 10);
        if (*end != '\0' || q < 0) return 2;
        quality = q > 1000 ? 1000 : static_cast<int>(q);
    } else if (args.size() != 2) {
        return 2;
    }
    std::string error;
    lv::BitmapPtr bitmap = lv::loadPnm(args[0], error);
    if (!bitmap) {
        std::fprintf(stderr, "jpeg-encode: %s is not a readable PPM or PGM picture\n", args[0]);
        return 1;
    }
    lv::codec::AtomicFileSink out(args[1]);
    if (!out.ok()) {
        std::fprintf(stderr, "jpeg-encode: cannot create %s\n", args[1]);
        return 1;
    }
    if (lv::codec::encodeJpeg(out, *bitmap, quality) != 0) {
        out.discard();
        std::fprintf(stderr, "jpeg-encode: cannot write %s (%s)\n", args[1], lv::codec::jpegLastError());
        return 1;
    }
    return 0;
}

const lv::tool::ToolCommand command{"jpeg-encode", "IN.ppm|IN.pgm OUT.jpg [--quality Q]",
                                    "encode a PPM or PGM picture as JPEG", runJpegEncode};

}  // namespace
