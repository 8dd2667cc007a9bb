// lumavine-tool scale: resizes a picture (PPM/PGM or PNG) with the program's
// scaler, choosing the methods as a Bitmap resize does unless --method
// names them. Several inputs or a folder go to an output folder.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "picture_file.h"
#include "progress.h"
#include "render/bitmap_resize.h"
#include "render/scaler_weights.h"
#include "tool_args.h"
#include "tool_command.h"

namespace lv::tool {

namespace {

bool parseMethods(std::string_view text, int& horizontal, int& vertical) {
    const auto comma = text.find(',');
    const auto method = [](std::string_view t) { return t.size() == 1 && t[0] >= '0' && t[0] <= '9' ? t[0] - '0' : -1; };
    horizontal = method(text.substr(0, comma));
    vertical = comma == std::string_view::npos ? horizontal : method(text.substr(comma + 1));
    return horizontal >= 0 && vertical >= 0;
}

struct ScaleRequest {
    int width = 0, height = 0, horizontal = -1, vertical = -1;
};

bool scaleOne(const std::string& input, const std::string& output, const ScaleRequest& r, std::string& error) {
    BitmapPtr source = loadPicture(input, error);
    if (!source) return false;
    BitmapPtr result = r.horizontal < 0 ? resizeBitmap(*source, r.width, r.height)
                                        : scaleBitmap(*source, r.width, r.height, r.horizontal, r.vertical);
    if (!result) {
        error = input + ": scaling failed (filtered methods 3..9 only reduce)";
        return false;
    }
    source.reset();
    return savePicture(*result, output, error);
}

int runScale(Args args) {
    ScaleRequest request;
    std::string format;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a == "--method") {
            if (i + 1 >= args.size() || !parseMethods(args[++i], request.horizontal, request.vertical)) return 2;
        } else if (a == "--png" || a == "--ppm") {
            format = a == "--png" ? ".png" : ".ppm";
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "scale: unknown option %s\n", args[i]);
            return 2;
        } else {
            paths.emplace_back(a);
        }
    }
    if (paths.size() < 3 || !parseSize(paths.back(), request.width, request.height)) return 2;
    paths.pop_back();
    const std::string target = paths.back();
    paths.pop_back();
    const bool batch = paths.size() > 1 || isFolder(paths[0]) || isFolder(target);
    std::string error;
    if (!batch) {
        if (scaleOne(paths[0], target, request, error)) return 0;
        std::fprintf(stderr, "scale: %s\n", error.c_str());
        return 1;
    }
    const std::vector<std::string> files = batchFiles(paths, {".ppm", ".pgm", ".pnm", ".png"}, error);
    if (files.empty()) {
        std::fprintf(stderr, "scale: %s\n", error.c_str());
        return 1;
    }
    Progress progress("scale", files.size());
    int failures = 0;
    for (const std::string& file : files) {
        progress.step(file);
        const std::string extension = !format.empty() ? format : isPngName(file) ? ".png" : ".ppm";
        const std::string output = outputInFolder(target, file, extension, error);
        if (output.empty() || !scaleOne(file, output, request, error)) {
            progress.message("scale: " + error);
            ++failures;
        }
    }
    return failures ? 1 : 0;
}

const ToolCommand scale{"scale", "IN OUT WxH [--method H[,V]] | IN|FOLDER... OUTFOLDER WxH [--png|--ppm]",
                        "resize a PPM/PGM or PNG picture; '-' is stdin/stdout", runScale};

}  // namespace

}  // namespace lv::tool
