// lumavine-tool scale: resizes a PPM/PGM picture with the program's scaler,
// choosing the methods as a Bitmap resize does unless --method names them.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "render/bitmap_resize.h"
#include "render/pnm.h"
#include "render/scaler_weights.h"
#include "tool_command.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: lumavine-tool scale IN OUT WIDTHxHEIGHT [--method H[,V]]  (methods 0..9)\n");
    return 2;
}

// A whole decimal number in 1..limit, else -1.
int parseCount(std::string_view text, int limit) {
    if (text.empty() || text.size() > 6) return -1;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value <= limit ? value : -1;
}

bool parseSize(std::string_view text, int& width, int& height) {
    const auto x = text.find('x');
    if (x == std::string_view::npos) return false;
    width = parseCount(text.substr(0, x), lv::Bitmap::kMaxSide);
    height = parseCount(text.substr(x + 1), lv::Bitmap::kMaxSide);
    return width >= 1 && height >= 1;
}

bool parseMethods(std::string_view text, int& horizontal, int& vertical) {
    const auto comma = text.find(',');
    const auto method = [](std::string_view t) { return t.size() == 1 && t[0] >= '0' && t[0] <= '9' ? t[0] - '0' : -1; };
    horizontal = method(text.substr(0, comma));
    vertical = comma == std::string_view::npos ? horizontal : method(text.substr(comma + 1));
    return horizontal >= 0 && vertical >= 0;
}

int runScale(lv::tool::Args args) {
    if (args.size() != 3 && args.size() != 5) return usage();
    int width = 0, height = 0, horizontal = -1, vertical = -1;
    if (!parseSize(args[2], width, height)) return usage();
    if (args.size() == 5 && (std::string_view(args[3]) != "--method" || !parseMethods(args[4], horizontal, vertical)))
        return usage();

    std::string error;
    lv::BitmapPtr source = lv::loadPnm(args[0], error);
    if (!source) {
        std::fprintf(stderr, "lumavine-tool scale: %s\n", error.c_str());
        return 1;
    }
    lv::BitmapPtr result = horizontal < 0 ? lv::resizeBitmap(*source, width, height)
                                          : lv::scaleBitmap(*source, width, height, horizontal, vertical);
    if (!result) {
        std::fprintf(stderr, "lumavine-tool scale: scaling failed (filtered methods 3..9 only reduce)\n");
        return 1;
    }
    if (!lv::savePnm(*result, args[1], error)) {
        std::fprintf(stderr, "lumavine-tool scale: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

const lv::tool::ToolCommand scale{"scale", "IN OUT WxH [--method H[,V]]", "resize a PPM/PGM picture", runScale};

}  // namespace
