#include "render/pnm.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace lv {

namespace {

constexpr std::size_t kMaxFileBytes = Bitmap::kMaxPixelBytes * 2 + 4096;

class HeaderReader {
public:
    explicit HeaderReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // A decimal field after whitespace and '#' comments; -1 when missing or too large.
    long number() {
        skipSpaceAndComments();
        long value = 0;
        std::size_t digits = 0;
        while (at_ < bytes_.size() && bytes_[at_] >= '0' && bytes_[at_] <= '9') {
            value = value * 10 + (bytes_[at_++] - '0');
            if (++digits > 6) return -1;
        }
        return digits ? value : -1;
    }
    // The raster starts after exactly one whitespace byte.
    bool endOfHeader() {
        if (at_ >= bytes_.size() || !isSpace(bytes_[at_])) return false;
        ++at_;
        return true;
    }
    std::size_t offset() const { return at_; }

private:
    static bool isSpace(std::uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
    void skipSpaceAndComments() {
        while (at_ < bytes_.size()) {
            if (isSpace(bytes_[at_])) {
                ++at_;
            } else if (bytes_[at_] == '#') {
                while (at_ < bytes_.size() && bytes_[at_] != '\n') ++at_;
            } else {
                break;
            }
        }
    }
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 2;
};

std::uint8_t toByte(unsigned sample, unsigned maxval) {
    if (sample > maxval) sample = maxval;
    return static_cast<std::uint8_t>((sample * 255u + maxval / 2) / maxval);
}

}  // namespace

BitmapPtr decodePnm(std::span<const std::uint8_t> bytes, std::string_view name, std::string& error) {
    if (bytes.size() < 2 || bytes[0] != 'P' || (bytes[1] != '5' && bytes[1] != '6')) {
        error = "not a binary PGM or PPM file";
        return nullptr;
    }
    const int channels = bytes[1] == '5' ? 1 : 3;
    HeaderReader header(bytes);
    const long width = header.number(), height = header.number(), maxval = header.number();
    if (width < 1 || height < 1 || maxval < 1 || maxval > 65535 || !header.endOfHeader()) {
        error = "bad PGM/PPM header";
        return nullptr;
    }
    if (width > Bitmap::kMaxSide || height > Bitmap::kMaxSide) {
        error = "picture too large";
        return nullptr;
    }
    const std::size_t sampleBytes = maxval > 255 ? 2 : 1;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * channels * sampleBytes;
    if ((bytes.size() - header.offset()) / rowBytes < static_cast<std::size_t>(height)) {
        error = "PGM/PPM data is short";
        return nullptr;
    }
    BitmapPtr bitmap = createBitmap(name, static_cast<int>(width), static_cast<int>(height), channels == 1 ? 8 : 24);
    if (!bitmap) {
        error = "picture too large";
        return nullptr;
    }
    const std::uint8_t* in = bytes.data() + header.offset();
    const unsigned top = static_cast<unsigned>(maxval);
    for (int y = 0; y < bitmap->height; ++y) {
        std::uint8_t* out = bitmap->rows[y];
        for (long x = 0; x < width; ++x) {
            std::uint8_t sample[3];
            for (int c = 0; c < channels; ++c, in += sampleBytes)
                sample[c] = toByte(sampleBytes == 2 ? (in[0] << 8 | in[1]) : in[0], top);
            if (channels == 1) {
                *out++ = sample[0];
            } else {  // file order red, green, blue; Bitmap order blue, green, red
                *out++ = sample[2];
                *out++ = sample[1];
                *out++ = sample[0];
            }
        }
    }
    return bitmap;
}

BitmapPtr loadPnm(const std::string& path, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return nullptr;
    }
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxFileBytes) {
        error = "cannot read " + path;
        return nullptr;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        error = "cannot read " + path;
        return nullptr;
    }
    return decodePnm(bytes, path, error);
}

std::vector<std::uint8_t> encodePnm(const Bitmap& bitmap) {
    const bool grey = bitmap.depth == 8 && bitmap.palette == greyRamp();
    char header[64];
    const int length = std::snprintf(header, sizeof header, "P%c\n%d %d\n255\n", grey ? '5' : '6', bitmap.width, bitmap.height);
    std::vector<std::uint8_t> out(header, header + length);
    out.reserve(out.size() + static_cast<std::size_t>(bitmap.width) * bitmap.height * (grey ? 1 : 3));
    for (int y = 0; y < bitmap.height; ++y) {
        const std::uint8_t* in = bitmap.rows[y];
        for (int x = 0; x < bitmap.width; ++x) {
            if (grey) {
                out.push_back(in[x]);
            } else if (bitmap.depth == 8) {
                const PaletteEntry& c = bitmap.palette[in[x]];
                out.insert(out.end(), {c.red, c.green, c.blue});
            } else {
                out.insert(out.end(), {in[3 * x + 2], in[3 * x + 1], in[3 * x]});
            }
        }
    }
    return out;
}

bool savePnm(const Bitmap& bitmap, const std::string& path, std::string& error) {
    const std::vector<std::uint8_t> bytes = encodePnm(bitmap);
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file || !file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())) ||
            !file.flush()) {
            error = "cannot write " + temporary;
            file.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::remove(temporary.c_str());
        error = "cannot replace " + path + ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace lv
