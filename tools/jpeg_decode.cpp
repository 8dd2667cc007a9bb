// lumavine-tool jpeg-decode IN.jpg OUT.ppm|OUT.png [--fit WxH]
#include <cstdio>
#include <cstring>
#include <string>

#include "codec/jpeg.h"
#include "codec/jpeg_codec.h"
#include "shell/file_services.h"
#include "picture_file.h"
#include "tool_command.h"

namespace {

bool parseSize(const char* text, int& width, int& height) {
    char x = 0;
    return std::sscanf(text, "%d%c%d", &width, &x, &height) == 3 && (x == 'x' || x == 'X') && width > 0 &&
           height > 0;
}

int runJpegDecode(lv::tool::Args args) {
    int width = 0, height = 0;
    if (args.size() == 4 && std::strcmp(args[2], "--fit") == 0) {
        if (!parseSize(args[3], width, height)) return 2;
    } else if (args.size() != 2) {
        return 2;
    }
    // Through the file services, like every reader of the program: a file
    // the launcher carries packed opens as well as one on disk.
    const lv::StreamPtr in = lv::openWithPackedFiles(args[0], lv::OpenMode::kRead);
    if (!in) {
        std::fprintf(stderr, "jpeg-decode: cannot open %s\n", args[0]);
        return 1;
    }
    lv::BitmapPtr bitmap = lv::codec::decodeJpeg(*in, width, height);
    if (!bitmap) {
        std::fprintf(stderr, "jpeg-decode: %s: cannot decode (%s)\n", args[0], lv::codec::jpegLastError());
        return 1;
    }
    if (std::string error; !lv::tool::savePicture(*bitmap, args[1], error)) {
        std::fprintf(stderr, "jpeg-decode: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

const lv::tool::ToolCommand command{"jpeg-decode", "IN.jpg OUT.ppm|OUT.png [--fit WxH]",
                                    "decode a JPEG file to PPM (PGM for grey) or PNG", runJpegDecode};

}  // namespace
