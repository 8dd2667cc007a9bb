#include "render/pnm.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <algorithm>
#include <system_error>

#include "render/pixel_order.h"

namespace lv {

namespace {

// A header (with its comments) must fit in the first piece read.
constexpr std::size_t kHeaderPiece = 4096;

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


bool parseHeader(std::span<const std::uint8_t> bytes, PnmShape& shape, std::string& error) {
    if (bytes.size() < 2 || bytes[0] != 'P' || (bytes[1] != '5' && bytes[1] != '6')) {
        error = "not a binary PGM or PPM file";
        return false;
    }
    HeaderReader header(bytes);
    const long width = header.number(), height = header.number(), maxval = header.number();
    if (width < 1 || height < 1 || maxval < 1 || maxval > 65535 || !header.endOfHeader()) {
        error = "bad PGM/PPM header";
        return false;
    }
    if (width > Bitmap::kMaxSide || height > Bitmap::kMaxSide) {
        error = "picture too large";
        return false;
    }
    shape = PnmShape{static_cast<int>(width), static_cast<int>(height), bytes[1] == '5' ? 1 : 3,
                     static_cast<unsigned>(maxval), header.offset()};
    return true;
}

// One file row (samples in file order) into a Bitmap row. `in` may be the
// Bitmap row itself when the samples are 8-bit.
void storeRow(const PnmShape& shape, const std::uint8_t* in, std::uint8_t* out) {
    if (shape.maxval == 255 && shape.channels == 1) {
        if (in != out) std::memcpy(out, in, static_cast<std::size_t>(shape.width));
        return;
    }
    if (shape.maxval == 255) {  // file order red, green, blue; Bitmap order blue, green, red
        swapRedAndBlue(in, out, shape.width);
        return;
    }
    const std::size_t step = shape.sampleBytes();
    for (int x = 0; x < shape.width; ++x) {
        std::uint8_t sample[3];
        for (int c = 0; c < shape.channels; ++c, in += step)
            sample[c] = toByte(step == 2 ? (in[0] << 8 | in[1]) : in[0], shape.maxval);
        if (shape.channels == 1) {
            *out++ = sample[0];
        } else {
            *out++ = sample[2], *out++ = sample[1], *out++ = sample[0];
        }
    }
}

// Reads the raster row by row with `readRow(buffer, bytes)` (false when the
// data ends short) into a Bitmap whose every row is then written.
template <typename ReadRow>
BitmapPtr readRaster(const PnmShape& shape, std::string_view name, ReadRow readRow, std::string& error) {
    BitmapPtr bitmap = createBitmapToFill(name, shape.width, shape.height, shape.channels == 1 ? 8 : 24);
    if (!bitmap) {
        error = "picture too large";
        return nullptr;
    }
    const bool inPlace = shape.sampleBytes() == 1;
    std::vector<std::uint8_t> buffer(inPlace ? 0 : shape.rowBytes());
    for (int y = 0; y < shape.height; ++y) {
        std::uint8_t* in = inPlace ? bitmap->rows[y] : buffer.data();
        if (!readRow(in, shape.rowBytes())) {
            error = "PGM/PPM data is short";
            return nullptr;
        }
        storeRow(shape, in, bitmap->rows[y]);
    }
    return bitmap;
}

}  // namespace

BitmapPtr decodePnm(std::span<const std::uint8_t> bytes, std::string_view name, std::string& error) {
    PnmShape shape;
    if (!parseHeader(bytes, shape, error)) return nullptr;
    if ((bytes.size() - shape.rasterOffset) / shape.rowBytes() < static_cast<std::size_t>(shape.height)) {
        error = "PGM/PPM data is short";
        return nullptr;
    }
    std::size_t at = shape.rasterOffset;
    return readRaster(
        shape, name,
        [&](std::uint8_t* out, std::size_t count) {
            std::memcpy(out, bytes.data() + at, count);
            at += count;
            return true;
        },
        error);
}


bool PnmRowReader::start(std::FILE* file, std::string& error) {
    // The header is read with the first piece; what follows it starts the raster.
    file_ = file;
    head_.resize(kHeaderPiece);
    head_.resize(std::fread(head_.data(), 1, head_.size(), file));
    rowsRead_ = 0;
    if (!parseHeader(head_, shape_, error)) return false;
    at_ = shape_.rasterOffset;
    wide_.resize(shape_.sampleBytes() == 1 ? 0 : shape_.rowBytes());
    return true;
}

bool PnmRowReader::readBytes(std::uint8_t* out, std::size_t count) {
    const std::size_t early = std::min(count, head_.size() - at_);
    std::memcpy(out, head_.data() + at_, early);
    at_ += early;
    return std::fread(out + early, 1, count - early, file_) == count - early;
}

bool PnmRowReader::readRow(std::uint8_t* out) {
    if (!file_ || rowsRead_ >= shape_.height) return false;
    // 8-bit samples are reordered in place in the caller's row.
    std::uint8_t* in = wide_.empty() ? out : wide_.data();
    if (!readBytes(in, shape_.rowBytes())) return false;
    storeRow(shape_, in, out);
    ++rowsRead_;
    return true;
}

BitmapPtr readPnm(std::FILE* file, std::string_view name, std::string& error) {
    PnmRowReader reader;
    if (!reader.start(file, error)) return nullptr;
    const PnmShape& shape = reader.shape();
    BitmapPtr bitmap = createBitmapToFill(name, shape.width, shape.height, reader.grey() ? 8 : 24);
    if (!bitmap) {
        error = "picture too large";
        return nullptr;
    }
    for (int y = 0; y < shape.height; ++y) {
        if (!reader.readRow(bitmap->rows[y])) {
            error = "PGM/PPM data is short";
            return nullptr;
        }
    }
    return bitmap;
}

BitmapPtr loadPnm(const std::string& path, std::string& error) {
    if (path == "-") return readPnm(binaryStandardInput(), "-", error);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = path + ": is a folder, not a picture";
        return nullptr;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open " + path;
        return nullptr;
    }
    BitmapPtr bitmap = readPnm(file, path, error);
    std::fclose(file);
    if (!bitmap) error = path + ": " + error;
    return bitmap;
}

bool isGreyBitmap(const Bitmap& bitmap) { return bitmap.depth == 8 && bitmap.palette == greyRamp(); }

std::string pnmHeader(int width, int height, bool grey) {
    return std::string(grey ? "P5\n" : "P6\n") + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
}

void pnmRow(const Bitmap& bitmap, int y, std::uint8_t* out) {
    const std::uint8_t* in = bitmap.rows[y];
    if (isGreyBitmap(bitmap)) {
        std::memcpy(out, in, static_cast<std::size_t>(bitmap.width));
    } else if (bitmap.depth == 8) {
        for (int x = 0; x < bitmap.width; ++x, out += 3) {
            const PaletteEntry& c = bitmap.palette[in[x]];
            out[0] = c.red, out[1] = c.green, out[2] = c.blue;
        }
    } else {  // Bitmap order blue, green, red
        swapRedAndBlue(in, out, bitmap.width);
    }
}

std::vector<std::uint8_t> encodePnm(const Bitmap& bitmap) {
    const bool grey = isGreyBitmap(bitmap);
    const std::string header = pnmHeader(bitmap.width, bitmap.height, grey);
    const std::size_t rowBytes = static_cast<std::size_t>(bitmap.width) * (grey ? 1 : 3);
    std::vector<std::uint8_t> out(header.size() + rowBytes * static_cast<std::size_t>(bitmap.height));
    std::memcpy(out.data(), header.data(), header.size());
    for (int y = 0; y < bitmap.height; ++y) pnmRow(bitmap, y, out.data() + header.size() + rowBytes * y);
    return out;
}

bool writePnm(const Bitmap& bitmap, FileWriter& out) {
    const bool grey = isGreyBitmap(bitmap);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(bitmap.width) * (grey ? 1 : 3));
    bool ok = out.write(pnmHeader(bitmap.width, bitmap.height, grey));
    for (int y = 0; ok && y < bitmap.height; ++y) {
        pnmRow(bitmap, y, row.data());
        ok = out.write(row);
    }
    return ok;
}

bool savePnm(const Bitmap& bitmap, const std::string& path, std::string& error) {
    FileWriter out;
    if (!out.open(path, error)) return false;
    writePnm(bitmap, out);  // a failure is reported by commit()
    return out.commit(error);
}

}  // namespace lv
