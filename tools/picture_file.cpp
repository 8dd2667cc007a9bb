#include "picture_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "render/pnm.h"
#include "shell/whole_file_write.h"
#include "stb_image.h"
#include "stb_image_write.h"

namespace lv::tool {

namespace {

bool isGrey(const Bitmap& bitmap) { return bitmap.depth == 8 && bitmap.palette == greyRamp(); }

// Interleaved RGB (or grey) rows, top row first, as PNG stores them.
std::vector<unsigned char> pngSamples(const Bitmap& bitmap, int channels) {
    std::vector<unsigned char> out(static_cast<std::size_t>(bitmap.width) * bitmap.height * channels);
    unsigned char* o = out.data();
    for (int y = 0; y < bitmap.height; ++y) {
        const std::uint8_t* in = bitmap.rows[y];
        for (int x = 0; x < bitmap.width; ++x) {
            if (channels == 1) {
                *o++ = in[x];
            } else if (bitmap.depth == 8) {
                const PaletteEntry& c = bitmap.palette[in[x]];
                *o++ = c.red, *o++ = c.green, *o++ = c.blue;
            } else {
                *o++ = in[3 * x + 2], *o++ = in[3 * x + 1], *o++ = in[3 * x];
            }
        }
    }
    return out;
}

void appendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<unsigned char>*>(context);
    const auto* p = static_cast<const unsigned char*>(data);
    bytes->insert(bytes->end(), p, p + size);
}

// Through the shared whole-file writer: a temporary beside a regular file,
// devices, FIFOs and "-" directly.
bool writeWhole(const std::vector<unsigned char>& bytes, const std::string& path, std::string& error) {
    return writeWholeFile(path, std::span(bytes.data(), bytes.size()), error);
}

}  // namespace

bool isPngName(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".png";
}

BitmapPtr loadPicture(const std::string& path, std::string& error) {
    if (!isPngName(path)) return loadPnm(path, error);
    int width = 0, height = 0, channels = 0;
    if (!stbi_info(path.c_str(), &width, &height, &channels)) {
        error = path + ": not a readable PNG";
        return nullptr;
    }
    if (width > Bitmap::kMaxSide || height > Bitmap::kMaxSide) {
        error = path + ": picture too large";
        return nullptr;
    }
    const bool grey = channels <= 2;
    unsigned char* data = stbi_load(path.c_str(), &width, &height, &channels, grey ? 1 : 3);
    if (!data) {
        error = path + ": " + stbi_failure_reason();
        return nullptr;
    }
    BitmapPtr bitmap = createBitmap(path, width, height, grey ? 8 : 24);
    if (bitmap) {
        const unsigned char* in = data;
        for (int y = 0; y < height; ++y) {
            std::uint8_t* out = bitmap->rows[y];
            for (int x = 0; x < width; ++x, in += grey ? 1 : 3) {
                if (grey) {
                    out[x] = in[0];
                } else {
                    out[3 * x] = in[2], out[3 * x + 1] = in[1], out[3 * x + 2] = in[0];
                }
            }
        }
    } else {
        error = path + ": picture too large";
    }
    stbi_image_free(data);
    return bitmap;
}

bool savePicture(const Bitmap& bitmap, const std::string& path, std::string& error) {
    if (!isPngName(path)) return savePnm(bitmap, path, error);
    const int channels = isGrey(bitmap) ? 1 : 3;
    const std::vector<unsigned char> samples = pngSamples(bitmap, channels);
    std::vector<unsigned char> bytes;
    if (!stbi_write_png_to_func(appendBytes, &bytes, bitmap.width, bitmap.height, channels, samples.data(),
                                bitmap.width * channels)) {
        error = "cannot encode " + path + " as PNG";
        return false;
    }
    return writeWhole(bytes, path, error);
}

}  // namespace lv::tool
