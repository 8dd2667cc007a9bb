// lumavine-tool transition: the transition engine without the player.
//
//   lumavine-tool transition --list
//       number<TAB>name<TAB>category<TAB>weight<TAB>default_ms<TAB>state
//   lumavine-tool transition NUMBER|NAME A B OUTDIR [--size WxH] [--refresh HZ]
//                            [--duration MS] [--seed N] [--sheet SHEET.png]
//                            [--masks FOLDER]
//       drives a stepped run from picture A to picture B on a memory display
//       and writes every presented frame as OUTDIR/frame-000.png onwards;
//       --sheet adds a contact sheet of a few frames; --masks names the
//       folder (ending in a separator) where the mask transitions find their
//       mask pictures, as show 0's mask folder does in the player.
//
// Pictures are JPEG (by the program's codec), PNG or PPM. Each is fitted
// into the window (default: the larger of the two sizes) and centred, as the
// viewer places them. The run is the engine's own: the registry, the run,
// the frame clock and the families that the player uses.
#include <cstdio>
#include <filesystem>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "codec/fit.h"
#include "codec/jpeg.h"
#include "codec/jpeg_codec.h"
#include "display/back_buffer_display.h"
#include "render/bitmap_resize.h"
#include "shell/file_services.h"
#include "transition/registry.h"
#include "transition/run.h"
#include "transition/span_settings.h"
#include "picture_file.h"
#include "tool_command.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: lumavine-tool transition --list\n"
                 "       lumavine-tool transition NUMBER|NAME A B OUTDIR [--size WxH] [--refresh HZ] [--duration MS] "
                 "[--seed N] [--sheet SHEET.png] [--masks FOLDER]\n");
    return 2;
}

bool parseNumber(std::string_view text, long long limit, long long& value) {
    if (text.empty() || text.size() > 10) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value <= limit;
}

bool parseSize(std::string_view text, int& width, int& height) {
    const auto x = text.find('x');
    long long w = 0, h = 0;
    if (x == std::string_view::npos || !parseNumber(text.substr(0, x), 65535, w) || !parseNumber(text.substr(x + 1), 65535, h))
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return width > 0 && height > 0;
}

lv::Registry fullRegistry() {
    lv::Registry registry;
    registry.build(lv::RegistryConditions{});
    return registry;
}

int list() {
    const lv::Registry registry = fullRegistry();
    for (const lv::RegistryEntry& entry : registry.entries()) {
        std::int32_t defaultMs = 0;
        if (lv::TransitionPtr t = registry.createByIndex(registry.findNumber(entry.number()))) {
            defaultMs = t->describe().defaultMs;
        }
        std::printf("%d\t%.*s\t%.*s\t%d\t%d\t%s\n", entry.number(), static_cast<int>(entry.name().size()),
                    entry.name().data(), static_cast<int>(lv::categoryTable()[entry.category()].name.size()),
                    lv::categoryTable()[entry.category()].name.data(), entry.weight, defaultMs,
                    entry.built() ? "ready" : "not built");
    }
    return 0;
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = text[text.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

lv::BitmapPtr loadAnyPicture(const std::string& path, std::string& error) {
    if (!endsWithNoCase(path, ".jpg") && !endsWithNoCase(path, ".jpeg")) return lv::tool::loadPicture(path, error);
    const lv::StreamPtr in = lv::openWithPackedFiles(path, lv::OpenMode::kRead);
    if (!in) {
        error = path + ": cannot open";
        return nullptr;
    }
    lv::BitmapPtr bitmap = lv::codec::decodeJpeg(*in, 0, 0);
    if (!bitmap) error = path + ": cannot decode (" + lv::codec::jpegLastError() + ")";
    return bitmap;
}

// The picture fitted into the window (only ever made smaller) and centred.
lv::SurfacePtr windowSurface(const lv::Bitmap& picture, int width, int height) {
    lv::BitmapPtr fitted;
    const lv::Bitmap* shown = &picture;
    if (picture.width > width || picture.height > height) {
        const lv::PictureSize size = lv::fitSize({picture.width, picture.height}, {width, height});
        fitted = lv::resizeBitmap(picture, std::max(size.width, 1), std::max(size.height, 1));
        if (!fitted) return nullptr;
        shown = fitted.get();
    }
    return lv::surfaceFromBitmap(*shown, width, height, (width - shown->width) / 2, (height - shown->height) / 2);
}

lv::BitmapPtr frameBitmap(const std::vector<std::uint32_t>& pixels, int width, int height) {
    lv::BitmapPtr bitmap = lv::createBitmap("frame", width, height, 24);
    if (!bitmap) return nullptr;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = bitmap->rows[y];
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
            out[3 * x] = static_cast<std::uint8_t>(p);
            out[3 * x + 1] = static_cast<std::uint8_t>(p >> 8);
            out[3 * x + 2] = static_cast<std::uint8_t>(p >> 16);
        }
    }
    return bitmap;
}

// Up to eight frames spread over the run, side by side in rows of four,
// each reduced to at most 320 pixels wide.
lv::BitmapPtr contactSheet(const std::vector<lv::BitmapPtr>& frames) {
    constexpr int kShown = 8, kColumns = 4, kGap = 4, kMaxWidth = 320;
    std::vector<const lv::Bitmap*> picked;
    const int n = static_cast<int>(frames.size());
    const int count = std::min(n, kShown);
    for (int i = 0; i < count; ++i) picked.push_back(frames[static_cast<std::size_t>(count == 1 ? 0 : static_cast<long long>(i) * (n - 1) / (count - 1))].get());
    if (picked.empty()) return nullptr;
    const lv::PictureSize cell = picked[0]->width > kMaxWidth
                                     ? lv::fitSize({picked[0]->width, picked[0]->height}, {kMaxWidth, 65535})
                                     : lv::PictureSize{picked[0]->width, picked[0]->height};
    const int columns = std::min(count, kColumns), rows = (count + kColumns - 1) / kColumns;
    lv::BitmapPtr sheet = lv::createBitmap("sheet", columns * (cell.width + kGap) + kGap, rows * (cell.height + kGap) + kGap, 24);
    if (!sheet) return nullptr;
    for (int i = 0; i < count; ++i) {
        lv::BitmapPtr small = lv::resizeBitmap(*picked[static_cast<std::size_t>(i)], cell.width, cell.height);
        const lv::Bitmap& shown = small ? *small : *picked[static_cast<std::size_t>(i)];
        const int left = kGap + (i % kColumns) * (cell.width + kGap), top = kGap + (i / kColumns) * (cell.height + kGap);
        for (int y = 0; y < std::min(shown.height, cell.height); ++y) {
            std::memcpy(sheet->rows[top + y] + 3 * left, shown.rows[y], static_cast<std::size_t>(std::min(shown.width, cell.width)) * 3);
        }
    }
    return sheet;
}

struct Options {
    int width = 0, height = 0, refresh = 75, duration = -1;
    long long seed = 1;
    std::string sheet;
    std::string masks;  // show 0's mask folder for the mask transitions
};

bool parseOptions(lv::tool::Args args, Options& options) {
    for (std::size_t i = 4; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return false;
        const std::string_view name = args[i], value = args[i + 1];
        long long number = 0;
        if (name == "--size") {
            if (!parseSize(value, options.width, options.height)) return false;
        } else if (name == "--refresh") {
            if (!parseNumber(value, 1000, number) || number < 1) return false;
            options.refresh = static_cast<int>(number);
        } else if (name == "--duration") {
            if (!parseNumber(value, 600000, number)) return false;
            options.duration = static_cast<int>(number);
        } else if (name == "--seed") {
            if (!parseNumber(value, 0xFFFFFFFFLL, number)) return false;
            options.seed = number;
        } else if (name == "--sheet") {
            options.sheet = std::string(value);
        } else if (name == "--masks") {
            options.masks = std::string(value);
        } else {
            return false;
        }
    }
    return true;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "lumavine-tool transition: %s\n", message.c_str());
    return 1;
}

int runTransition(lv::tool::Args args) {
    if (args.size() == 1 && std::string_view(args[0]) == "--list") return list();
    if (args.size() < 4) return usage();
    Options options;
    if (!parseOptions(args, options)) return usage();

    if (!options.masks.empty()) lv::setSpanMaskSettings(lv::SpanMaskSettings{options.masks, false, 1.0});
    lv::Registry registry = fullRegistry();
    long long number = 0;
    int index = parseNumber(args[0], 100000, number) ? registry.findNumber(static_cast<int>(number)) : registry.findName(args[0]);
    // An unknown transition leads to random choice, as in a show.
    if (index < 0) index = registry.size();

    std::string error;
    lv::BitmapPtr a = loadAnyPicture(args[1], error);
    if (!a) return fail(error);
    lv::BitmapPtr b = loadAnyPicture(args[2], error);
    if (!b) return fail(error);
    if (options.width == 0) {
        options.width = std::max(a->width, b->width);
        options.height = std::max(a->height, b->height);
    }
    lv::SurfacePtr outgoing = windowSurface(*a, options.width, options.height);
    lv::SurfacePtr incoming = windowSurface(*b, options.width, options.height);
    if (!outgoing || !incoming) return fail("pictures too large for the window");

    lv::BackBufferDisplay display(options.width, options.height);
    std::vector<lv::BitmapPtr> frames;
    bool writeFailed = false;
    const std::string folder = args[3];
    std::error_code folderError;
    std::filesystem::create_directories(folder, folderError);
    if (folderError) return fail("cannot make the folder " + folder + ": " + folderError.message());
    std::size_t frameCount = 0;
    display.onPresent = [&](const lv::BackBufferDisplay& d) {
        lv::BitmapPtr frame = frameBitmap(d.snapshot(), d.bufferWidth(), d.bufferHeight());
        if (!frame) return;
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%03zu.png", frameCount++);
        std::string frameError;
        if (!lv::tool::savePicture(*frame, folder + name, frameError)) {
            if (!writeFailed) std::fprintf(stderr, "lumavine-tool transition: %s\n", frameError.c_str());
            writeFailed = true;
        }
        if (!options.sheet.empty()) frames.push_back(std::move(frame));
    };
    // The window shows the outgoing picture before the run starts; that is
    // not one of the run's frames.
    auto presented = std::move(display.onPresent);
    lv::paintIncoming(*outgoing, display);
    display.onPresent = std::move(presented);

    lv::CRandom random(static_cast<std::uint32_t>(options.seed));
    lv::RunOptions runOptions;
    runOptions.refreshHz = options.refresh;
    runOptions.random = &random;
    runOptions.now = [] { return 0.0; };
    lv::TransitionRun run;
    if (run.start(registry, *outgoing, *incoming, display, index, options.duration, runOptions) != 0) {
        lv::paintIncoming(*incoming, display);
    } else {
        std::fprintf(stderr, "%s\n", registry.entryName(run.entry()).c_str());
        // A run has at most one step per tick, and the ticks of a duration are bounded.
        for (long long guard = 0; !run.finished() && guard < 10000000; ++guard) run.advance();
        run.end();
    }
    if (writeFailed) return 1;
    if (!options.sheet.empty()) {
        lv::BitmapPtr sheet = contactSheet(frames);
        if (!sheet || !lv::tool::savePicture(*sheet, options.sheet, error)) return fail(sheet ? error : "no frames");
    }
    return 0;
}

const lv::tool::ToolCommand transition{"transition",
                                       "--list | NUMBER|NAME A B OUTDIR [--size WxH] [--refresh HZ] [--duration MS] "
                                       "[--seed N] [--sheet SHEET.png]",
                                       "render a transition's frames to PNG files", runTransition};

}  // namespace
