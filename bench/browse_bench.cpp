// Browser benchmark, each case against its reference in the same run:
//  - next picture: a 12-megapixel JPEG from its path to the picture fitted
//    into a 1920x1080 viewer, ready to paint (file read, the viewer's decode
//    turned upright: at 1/2 when it is drawn at half size or less, resize to
//    the drawn size), against Pillow's draft-and-resize path (Image.draft,
//    then a bilinear resize) in /usr/bin/python3, timing only its own open,
//    draft, load and resize; wall clock and, fairer on a busy machine,
//    processor time, each the best of the runs;
//  - first screen of thumbnails: 100 such files and a 1024x768 area of
//    100x100 tiles; the time until every visible tile holds its picture,
//    against vipsthumbnail (one process) on the same visible files at the
//    same size.
// The pictures are made here from /work/shared/media by scaling up and
// re-encoding, in a temporary folder of this run. Ratios above 1: we are
// faster. One core. `browse_bench --next` times the next picture only.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "browse/picture_decode.h"
#include "browse/thumb_list.h"
#include "browse/tile_grid.h"
#include "browse/view_geometry.h"
#include "codec/byte_stream.h"
#include "codec/jpeg.h"
#include "render/bitmap_resize.h"
#include "shell/file_services.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr char kSource[] = "/work/shared/media/photos/photo04.jpg";
constexpr lv::PictureSize kBig{4000, 3000};
constexpr lv::PictureSize kViewer{1920, 1080};
constexpr int kFolderSize = 100;
constexpr int kRepeats = 3;

double since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

lv::FileData readAll(const std::string& path) {
    std::optional<lv::FileBytes> file = lv::readWholeFile(path, false);
    if (!file) return nullptr;
    file->bytes.resize(file->length);
    return std::make_shared<const std::vector<std::uint8_t>>(std::move(file->bytes));
}

bool makeBigJpeg(const std::string& path) {
    const lv::FileData source = readAll(kSource);
    if (!source) return false;
    lv::BitmapPtr picture = lv::decodeFullPicture(*source);
    if (!picture) return false;
    lv::BitmapPtr big = lv::resizeBitmap(*picture, kBig.width, kBig.height);
    if (!big) return false;
    lv::codec::FileStream out(path, "wb");
    return out.ok() && lv::codec::encodeJpeg(out, *big, 90) == 0;
}

struct Times {
    double wall = -1, processor = -1;
};

double processorSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Path to the fitted picture: what the viewer does for the next picture;
// with `whole`, the picture is always decoded at full size (for comparison).
Times nextPictureOurs(const std::string& path, bool whole = false) {
    Times best{1e9, 1e9};
    for (int i = 0; i < kRepeats; ++i) {
        const auto start = Clock::now();
        const double processorStart = processorSeconds();
        const lv::FileData data = readAll(path);
        if (!data) return {};
        const lv::ViewerDecode decoded = whole ? lv::ViewerDecode{lv::decodeFullPicture(*data), kBig, 1}
                                               : lv::decodeViewerPicture(*data, kViewer);
        if (!decoded.picture) return {};
        const double zoom = lv::fitZoom(decoded.fullSize, kViewer);
        const lv::ViewRect r = lv::pictureRect(decoded.fullSize, zoom, kViewer, {0, 0});
        lv::BitmapPtr fitted = lv::resizeBitmap(*decoded.picture, r.width(), r.height());
        if (!fitted) return {};
        best.wall = std::min(best.wall, since(start));
        best.processor = std::min(best.processor, processorSeconds() - processorStart);
    }
    return best;
}

// Runs a Python program that prints seconds (one number, or two: wall
// clock and processor time).
Times python(const std::string& program, const std::vector<std::string>& args) {
    std::string command = "/usr/bin/python3 -c '" + program + "'";
    for (const std::string& a : args) command += " '" + a + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {};
    Times times;
    const int read = std::fscanf(pipe, "%lf %lf", &times.wall, &times.processor);
    pclose(pipe);
    if (read < 1) return {};
    if (read < 2) times.processor = -1;
    return times;
}

Times nextPicturePillow(const std::string& path) {
    const std::string program =
        "import sys, time\n"
        "from PIL import Image\n"
        "best = 1e9; cpu = 1e9\n"
        "for i in range(3):\n"
        "    t = time.perf_counter(); c = time.process_time()\n"
        "    im = Image.open(sys.argv[1]); im.draft(\"RGB\", (1920, 1080)); im.load()\n"
        "    im.resize((1440, 1080), Image.BILINEAR)\n"
        "    best = min(best, time.perf_counter() - t); cpu = min(cpu, time.process_time() - c)\n"
        "print(best, cpu)\n";
    return python(program, {path});
}

double thumbnailsOurs(const std::vector<std::string>& files, lv::VisibleRange visible, double& perTile) {
    double best = 1e9;
    for (int i = 0; i < kRepeats; ++i) {
        lv::ThumbList list;
        list.assign(files);
        const auto start = Clock::now();
        int done = 0;
        while (list.nextToDecode(visible) >= 0 && list.nextToDecode(visible) <= visible.last) {
            if (list.decodeOne(visible, {100, 100}, readAll, lv::decodeTilePicture) < 0) break;
            ++done;
        }
        for (int t = visible.first; t <= visible.last; ++t)
            if (!list.entries[t].picture) return -1;
        best = std::min(best, since(start));
        perTile = best / std::max(1, done);
    }
    return best;
}

double thumbnailsVips(const std::vector<std::string>& files, lv::VisibleRange visible, const std::string& out) {
    std::string command = "vipsthumbnail -s 100x100 -o '" + out + "/%s.jpg'";
    for (int i = visible.first; i <= visible.last; ++i) command += " '" + files[i] + "'";
    double best = 1e9;
    for (int i = 0; i < kRepeats; ++i) {
        const auto start = Clock::now();
        if (std::system(command.c_str()) != 0) return -1;
        best = std::min(best, since(start));
    }
    return best;
}

void report(const char* what, double ours, double theirs, const char* reference) {
    if (ours <= 0 || theirs <= 0) {
        std::printf("%-28s failed (ours %.4f s, %s %.4f s)\n", what, ours, reference, theirs);
        return;
    }
    std::printf("%-28s ours %8.1f ms   %-14s %8.1f ms   ratio %.2fx\n", what, ours * 1000, reference, theirs * 1000,
                theirs / ours);
}

}  // namespace

int main(int argc, char** argv) {
    const bool nextOnly = argc > 1 && std::string(argv[1]) == "--next";  // only the next picture
    char pattern[] = "/tmp/lumavine-browse-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const std::string folder = pattern;
    const std::string big = folder + "/big.jpg";
    if (!makeBigJpeg(big)) {
        std::fprintf(stderr, "cannot make the 12-megapixel picture from %s\n", kSource);
        return 1;
    }
    std::printf("picture: %dx%d, %ju bytes\n", kBig.width, kBig.height, static_cast<std::uintmax_t>(fs::file_size(big)));
    const Times ours = nextPictureOurs(big), pillow = nextPicturePillow(big);
    report("next picture (1920x1080)", ours.wall, pillow.wall, "Pillow draft");
    report("  processor time", ours.processor, pillow.processor, "Pillow draft");
    const Times whole = nextPictureOurs(big, true);
    report("  whole decode, processor", whole.processor, pillow.processor, "Pillow draft");
    if (nextOnly) {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        return 0;
    }

    std::vector<std::string> files;
    for (int i = 0; i < kFolderSize; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/p%03d.jpg", i);
        fs::copy_file(big, folder + name);
        files.push_back(folder + name);
    }
    // The area's visible tiles: from the hit at the top-left to the one at the bottom-right.
    const lv::TileGrid grid{{1024, 768}, {100, 100}, false, 0, kFolderSize};
    const lv::VisibleRange visible{grid.hitTest(0, 0), grid.hitTest(1023 - 24, 767)};
    const std::string out = folder + "/vips";
    fs::create_directory(out);
    double perTile = 0;
    const double oursTiles = thumbnailsOurs(files, visible, perTile);
    char what[64];
    std::snprintf(what, sizeof what, "first screen (%d tiles)", visible.last - visible.first + 1);
    report(what, oursTiles, thumbnailsVips(files, visible, out), "vipsthumbnail");
    std::printf("per tile: %.1f ms\n", perTile * 1000);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return 0;
}
