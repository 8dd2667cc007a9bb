// lumavine-tool scale: resizes a picture (PPM/PGM or PNG) with the program's
// scaler, choosing the methods as a Bitmap resize does unless --method
// names them. Several inputs or a folder go to an output folder. A PPM/PGM
// input streams through the scaler a row at a time, so neither picture is
// ever whole in memory (a PNG output gathers its rows for the encoder); a
// PNG input is decoded whole.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "picture_file.h"
#include "progress.h"
#include "render/bitmap_resize.h"
#include "render/pixel_order.h"
#include "render/pnm.h"
#include "render/scaler.h"
#include "render/scaler_weights.h"
#include "shell/file_writer.h"
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

const char* const kCannotScale = ": scaling failed (filtered methods 3..9 only reduce)";

bool scaleWhole(const std::string& input, const std::string& output, const ScaleRequest& r, std::string& error) {
    BitmapPtr source = loadPicture(input, error);
    if (!source) return false;
    BitmapPtr result = r.horizontal < 0 ? resizeBitmap(*source, r.width, r.height)
                                        : scaleBitmap(*source, r.width, r.height, r.horizontal, r.vertical);
    if (!result) {
        error = input + kCannotScale;
        return false;
    }
    source.reset();
    return savePicture(*result, output, error);
}

// Source rows come in file order; the scaler asks for each row once, in
// rising order, and rows it skips are read past.
class StreamedScale {
public:
    StreamedScale(PnmRowReader& in, const ScaleRequest& r) : in_(in), request_(r) {}

    bool run(const std::string& input, const std::string& output, std::string& error) {
        const PnmShape& shape = in_.shape();
        const bool same = shape.width == request_.width && shape.height == request_.height;
        const bool chosen = request_.horizontal >= 0;  // by --method, else as a Bitmap resize chooses
        const int horizontal = chosen ? request_.horizontal : resizeMethodFor(shape.width, request_.width);
        const int vertical = chosen ? request_.vertical : resizeMethodFor(shape.height, request_.height);
        Scaler scaler(horizontal, vertical);
        if (!same && (!scaler.start(job()) || scaler.emitsNothing())) {
            error = input + kCannotScale;
            return false;
        }
        const int channels = in_.grey() ? 1 : 3;
        sourceRow_.resize(static_cast<std::size_t>(shape.width) * channels);
        std::vector<std::uint8_t> scaled(static_cast<std::size_t>(request_.width) * channels);
        std::vector<std::uint8_t> fileRow(scaled.size());
        PictureWriter out;
        if (!out.open(output, request_.width, request_.height, in_.grey(), error)) return false;
        for (int y = 0; y < request_.height; ++y) {
            if (same) {  // nothing to scale: the rows go through as they are
                if (!readUpTo(y)) return shortData(input, error);
                out.writeRow(channels == 1 ? sourceRow_.data() : toFileOrder(sourceRow_, fileRow));
                continue;
            }
            for (int row : scaler.beginRow(y)) {
                if (!readUpTo(row)) return shortData(input, error);
                scaler.deliverRow(row, sourceRow_.data());
            }
            if (!scaler.emitRow(scaled.data())) {
                error = input + kCannotScale;
                return false;
            }
            out.writeRow(channels == 1 ? scaled.data() : toFileOrder(scaled, fileRow));
        }
        return out.commit(error);
    }

private:
    static bool shortData(const std::string& input, std::string& error) {
        error = input + ": PGM/PPM data is short";
        return false;
    }

    ScaleJob job() const {
        ScaleJob job;
        job.sourceWidth = in_.shape().width;
        job.sourceHeight = in_.shape().height;
        job.destWidth = request_.width;
        job.destHeight = request_.height;
        if (in_.grey()) {  // an intensity image through the grey ramp
            job.sourceKind = kSourceIndexed;
            job.destPixelSize = 1;
            job.indexOutput = true;
        }
        return job;
    }

    // Reads rows until `row` is in sourceRow_; false when the data ends
    // short or the row was already passed.
    bool readUpTo(int row) {
        if (row == next_ - 1) return true;
        if (row < next_) return false;
        while (next_ <= row) {
            if (!in_.readRow(sourceRow_.data())) return false;
            ++next_;
        }
        return true;
    }

    // Bitmap order (blue, green, red) to file order.
    static const std::uint8_t* toFileOrder(const std::vector<std::uint8_t>& bgr, std::vector<std::uint8_t>& rgb) {
        swapRedAndBlue(bgr.data(), rgb.data(), static_cast<int>(bgr.size() / 3));
        return rgb.data();
    }

    PnmRowReader& in_;
    const ScaleRequest& request_;
    std::vector<std::uint8_t> sourceRow_;
    int next_ = 0;
};

bool scaleOne(const std::string& input, const std::string& output, const ScaleRequest& r, std::string& error) {
    if (isPngName(input) || isFolder(input)) return scaleWhole(input, output, r, error);
    std::FILE* file = input == "-" ? binaryStandardInput() : std::fopen(input.c_str(), "rb");
    if (!file) {
        error = "cannot open " + input;
        return false;
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(file == stdin ? nullptr : file, std::fclose);
    PnmRowReader in;
    if (!in.start(file, error)) {
        error = input + ": " + error;
        return false;
    }
    return StreamedScale(in, r).run(input, output, error);
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
