#include "picture_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "render/pixel_order.h"
#include "render/pnm.h"
#include "stb_image.h"
#include "stb_image_write.h"

namespace lv::tool {

namespace {

// zlib level 1 with the usual per-row filters: nearly the size of the
// default level at a fraction of its time.
constexpr int kPngCompressionLevel = 1;

void writeToFile(void* context, void* data, int size) {
    static_cast<FileWriter*>(context)->write(data, static_cast<std::size_t>(size));
}

BitmapPtr pngToBitmap(const std::string& path, std::string& error) {
    std::FILE* file = path == "-" ? binaryStandardInput() : std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open " + path;
        return nullptr;
    }
    int width = 0, height = 0, channels = 0;
    const bool known = stbi_info_from_file(file, &width, &height, &channels);
    BitmapPtr bitmap;
    if (!known) {
        error = path + ": not a readable PNG";
    } else if (width > Bitmap::kMaxSide || height > Bitmap::kMaxSide) {
        error = path + ": picture too large";
    } else {
        const bool grey = channels <= 2;
        unsigned char* data = stbi_load_from_file(file, &width, &height, &channels, grey ? 1 : 3);
        if (!data) {
            error = path + ": " + stbi_failure_reason();
        } else if (!(bitmap = createBitmapToFill(path, width, height, grey ? 8 : 24))) {
            error = path + ": picture too large";
        } else {
            const std::size_t rowBytes = static_cast<std::size_t>(width) * (grey ? 1 : 3);
            for (int y = 0; y < height; ++y) {
                const unsigned char* in = data + rowBytes * y;
                std::uint8_t* out = bitmap->rows[y];
                if (grey) {
                    std::memcpy(out, in, rowBytes);
                } else {
                    swapRedAndBlue(in, out, width);
                }
            }
        }
        stbi_image_free(data);
    }
    if (file != stdin) std::fclose(file);
    return bitmap;
}

}  // namespace

bool isPngName(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".png";
}

BitmapPtr loadPicture(const std::string& path, std::string& error) {
    std::error_code ec;
    if (path != "-" && std::filesystem::is_directory(path, ec)) {
        error = path + ": is a folder, not a picture";
        return nullptr;
    }
    return isPngName(path) ? pngToBitmap(path, error) : loadPnm(path, error);
}

bool PictureWriter::open(const std::string& path, int width, int height, bool grey, std::string& error) {
    png_ = isPngName(path);
    width_ = width, height_ = height, channels_ = grey ? 1 : 3, rowsWritten_ = 0;
    pngRows_.clear();
    if (width < 1 || height < 1 || width > Bitmap::kMaxSide || height > Bitmap::kMaxSide) {
        error = path + ": a picture of " + std::to_string(width) + "x" + std::to_string(height) + " cannot be written";
        return false;
    }
    if (!file_.open(path, error)) return false;
    if (png_) {
        pngRows_.reserve(static_cast<std::size_t>(width) * height * channels_);
        return true;
    }
    return file_.write(pnmHeader(width, height, grey));
}

bool PictureWriter::writeRow(const std::uint8_t* row) {
    if (rowsWritten_ >= height_) return false;
    ++rowsWritten_;
    const std::size_t bytes = static_cast<std::size_t>(width_) * channels_;
    if (!png_) return file_.write(row, bytes);
    pngRows_.insert(pngRows_.end(), row, row + bytes);
    return true;
}

bool PictureWriter::commit(std::string& error) {
    if (rowsWritten_ != height_) {
        file_.discard();
        error = "the picture is incomplete";
        return false;
    }
    if (png_) {
        stbi_write_png_compression_level = kPngCompressionLevel;
        if (!stbi_write_png_to_func(writeToFile, &file_, width_, height_, channels_, pngRows_.data(),
                                    width_ * channels_)) {
            file_.discard();
            error = "cannot encode the picture as PNG";
            return false;
        }
        pngRows_ = {};
    }
    return file_.commit(error);
}

bool savePicture(const Bitmap& bitmap, const std::string& path, std::string& error) {
    const bool grey = isGreyBitmap(bitmap);
    PictureWriter out;
    if (!out.open(path, bitmap.width, bitmap.height, grey, error)) return false;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(bitmap.width) * (grey ? 1 : 3));
    for (int y = 0; y < bitmap.height; ++y) {
        pnmRow(bitmap, y, row.data());
        out.writeRow(row.data());
    }
    return out.commit(error);
}

}  // namespace lv::tool
