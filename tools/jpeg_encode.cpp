// lumavine-tool jpeg-encode IN.ppm|IN.pgm|IN.png OUT.jpg [--quality Q]
#include <cstdio>
#include <cstring>
#include <string>

#include "codec/jpeg.h"
#include "codec/jpeg_codec.h"
#include "picture_file.h"
#include "tool_args.h"
#include "tool_command.h"

namespace lv::tool {

namespace {

int runJpegEncode(Args args) {
    int quality = 75;
    if (args.size() == 4 && std::strcmp(args[2], "--quality") == 0) {
        // Above 99 is 99 (the encoder's rule), so larger numbers are allowed.
        const auto q = parseNumber(args[3], 1000000);
        if (!q) {
            std::fprintf(stderr, "jpeg-encode: the quality must be a whole number, not %s\n", args[3]);
            return 2;
        }
        quality = *q;
    } else if (args.size() != 2) {
        return 2;
    }
    std::string error;
    BitmapPtr bitmap = loadPicture(args[0], error);
    if (!bitmap) {
        std::fprintf(stderr, "jpeg-encode: %s\n", error.c_str());
        return 1;
    }
    codec::AtomicFileSink out(args[1]);
    if (!out.ok()) {
        std::fprintf(stderr, "jpeg-encode: %s\n", out.error().c_str());
        return 1;
    }
    if (codec::encodeJpeg(out, *bitmap, quality) != 0) {
        out.discard();
        std::fprintf(stderr, "jpeg-encode: cannot write %s (%s)\n", args[1],
                     out.error().empty() ? codec::jpegLastError() : out.error().c_str());
        return 1;
    }
    return 0;
}

const ToolCommand command{"jpeg-encode", "IN.ppm|IN.pgm|IN.png OUT.jpg [--quality Q]",
                          "encode a PPM, PGM or PNG picture as JPEG; '-' is stdin/stdout", runJpegEncode};

}  // namespace

}  // namespace lv::tool
