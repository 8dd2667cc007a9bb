// lumavine-tool jpeg-decode IN.jpg OUT.ppm|OUT.png [--fit WxH]
//               jpeg-decode IN.jpg|FOLDER... OUTFOLDER [--fit WxH] [--png]
// Decodes straight into the output file row by row: a PPM never exists
// whole in memory, a PNG only as the rows its encoder needs.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "codec/jpeg.h"
#include "codec/jpeg_codec.h"
#include "render/pixel_order.h"
#include "shell/file_services.h"
#include "shell/file_writer.h"
#include "picture_file.h"
#include "progress.h"
#include "tool_args.h"
#include "tool_command.h"

namespace lv::tool {

namespace {

// Decoded rows (Bitmap order) turned into file rows.
class PictureSink final : public codec::JpegRowSink {
public:
    PictureSink(const std::string& path, std::string& error) : path_(path), error_(error) {}
    bool begin(int width, int height, bool grey) override {
        row_.resize(static_cast<std::size_t>(width) * (grey ? 1 : 3));
        grey_ = grey;
        return out_.open(path_, width, height, grey, error_);
    }
    bool row(const std::uint8_t* pixels) override {
        if (grey_) return out_.writeRow(pixels);
        swapRedAndBlue(pixels, row_.data(), static_cast<int>(row_.size() / 3));
        return out_.writeRow(row_.data());
    }
    bool commit() { return out_.commit(error_); }

private:
    const std::string& path_;
    std::string& error_;
    PictureWriter out_;
    std::vector<std::uint8_t> row_;
    bool grey_ = false;
};

// Standard input is read whole (the decoder looks for the start of the data).
std::unique_ptr<codec::ByteStream> openInput(const std::string& path, StreamPtr& holder) {
    if (path != "-") {
        holder = openWithPackedFiles(path, OpenMode::kRead);
        if (!holder) return nullptr;
        return std::make_unique<codec::SharedStream>(*holder);
    }
    std::vector<std::uint8_t> bytes;
    std::FILE* in = binaryStandardInput();
    std::uint8_t piece[65536];
    for (std::size_t n; (n = std::fread(piece, 1, sizeof piece, in)) > 0;) {
        if (bytes.size() + n > kMaxWholeFile) return nullptr;
        bytes.insert(bytes.end(), piece, piece + n);
    }
    return std::make_unique<codec::MemoryStream>(bytes);
}

// One file; the reason in `error` when it fails.
bool decodeOne(const std::string& input, const std::string& output, int width, int height, std::string& error) {
    if (isFolder(input)) {
        error = input + ": is a folder, not a JPEG file";
        return false;
    }
    // Through the file services, like every reader of the program: a file
    // the launcher carries packed opens as well as one on disk.
    StreamPtr holder;
    const auto in = openInput(input, holder);
    if (!in) {
        error = "cannot open " + input;
        return false;
    }
    std::string writeError;
    PictureSink sink(output, writeError);
    if (!codec::decodeJpegRows(*in, width, height, sink)) {
        error = writeError.empty() ? input + ": cannot decode (" + codec::jpegLastError() + ")" : writeError;
        return false;
    }
    if (!sink.commit()) {
        error = writeError;
        return false;
    }
    return true;
}

int runJpegDecode(Args args) {
    int width = 0, height = 0;
    bool png = false;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a == "--fit") {
            if (i + 1 >= args.size() || !parseSize(args[++i], width, height)) return 2;
        } else if (a == "--png") {
            png = true;
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "jpeg-decode: unknown option %s\n", args[i]);
            return 2;
        } else {
            paths.emplace_back(a);
        }
    }
    if (paths.size() < 2) return 2;
    const std::string target = paths.back();
    paths.pop_back();
    const bool batch = paths.size() > 1 || isFolder(paths[0]) || isFolder(target);
    std::string error;
    if (!batch) {
        if (decodeOne(paths[0], target, width, height, error)) return 0;
        std::fprintf(stderr, "jpeg-decode: %s\n", error.c_str());
        return 1;
    }
    const std::vector<std::string> files = batchFiles(paths, {".jpg", ".jpeg", ".jpe", ".jfif"}, error);
    if (files.empty()) {
        std::fprintf(stderr, "jpeg-decode: %s\n", error.c_str());
        return 1;
    }
    Progress progress("jpeg-decode", files.size());
    int failures = 0;
    for (const std::string& file : files) {
        progress.step(file);
        const std::string output = outputInFolder(target, file, png ? ".png" : ".ppm", error);
        if (output.empty() || !decodeOne(file, output, width, height, error)) {
            progress.message("jpeg-decode: " + error);
            ++failures;
        }
    }
    return failures ? 1 : 0;
}

const ToolCommand command{"jpeg-decode", "IN.jpg OUT.ppm|OUT.png [--fit WxH] | IN.jpg|FOLDER... OUTFOLDER [--png]",
                          "decode JPEG to PPM (PGM for grey) or PNG; '-' is stdin/stdout", runJpegDecode};

}  // namespace

}  // namespace lv::tool
