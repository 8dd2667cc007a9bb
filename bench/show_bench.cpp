// Show cell rendering: a 12-megapixel photo rendered as a cell at 1920 x 1080
// with tint, tone and two captions, against Pillow's plain decode and resize
// of the same JPEG to the same fitted size, timed in the same run (Pillow in
// a /usr/bin/python3 child). The photo is made at bench time from one of the
// shared photos, scaled up and re-encoded by Pillow into a folder of this
// run's own. Each time is the best of kRepeats.
//
// The viewer renders the next cell while the current one is shown, so a
// render must fit well inside the shortest time on screen a show uses.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "codec/jpeg.h"
#include "render/bitmap_resize.h"
#include "shell/file_services.h"
#include "show/cell_render.h"

namespace {

constexpr int kRepeats = 5;
constexpr int kWidth = 1920, kHeight = 1080;
const char* const kSharedPhoto = "/work/shared/media/photos/photo01.jpg";

template <class F>
double bestSeconds(F work) {
    double best = 1e9;
    for (int i = 0; i < kRepeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

std::string runPython(const std::string& script, const std::string& args) {
    const std::string command = "OMP_NUM_THREADS=1 /usr/bin/python3 -c \"" + script + "\" " + args;
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
        pclose(pipe);
    }
    return out;
}

lv::ShowCaption caption(const char* text, int y) {
    lv::ShowCaption c;
    c.anchorX = 5000;
    c.anchorY = y;
    c.alignment = 2;
    c.font.height = 1200;
    c.font.weight = 700;
    c.textColour = 0xFFFFFF;
    c.outline = 1;
    c.shadow = 1;
    c.shadowOpacity = 160;
    c.text = text;
    return c;
}

}  // namespace

int main() {
    std::string folder = (std::filesystem::temp_directory_path() / "lumavine-show-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) return 1;
    const std::string photo = folder + "/photo12mp.jpg";
    // 4000 x 3000 = 12 megapixels, quality 90.
    runPython("import sys; from PIL import Image; "
              "Image.open(sys.argv[1]).convert('RGB').resize((4000, 3000), Image.LANCZOS).save(sys.argv[2], quality=90)",
              std::string(kSharedPhoto) + " " + photo);
    if (!std::filesystem::exists(photo)) {
        std::fprintf(stderr, "show_bench: cannot make the 12 MP photo from %s\n", kSharedPhoto);
        return 1;
    }

    lv::Show show;
    lv::ShowCell cell;
    cell.hasImage = 1;
    cell.imageFile = photo;
    cell.fitMode = 1;
    cell.tint = 1;
    cell.tintColour = 0x4080C0;
    cell.brightness = 120;
    cell.whitePoint = -40;
    cell.background = 1;
    cell.backgroundColour = 0x202020;
    cell.captions = {caption("A walk by the water", 8200), caption("Autumn 2026", 9000)};
    show.cells.push_back(cell);

    const lv::CellRenderer renderer;
    int fittedWidth = 0, fittedHeight = 0;
    const double ours = bestSeconds([&] {
        lv::BitmapPtr frame = renderer.render(show, 0, kWidth, kHeight, {});
        if (!frame) std::abort();
    });
    const double decodeOnly = bestSeconds([&] {
        lv::BitmapPtr picture = lv::decodeCellPicture(photo);
        if (!picture) std::abort();
        fittedWidth = picture->width * kHeight / picture->height;
        fittedHeight = kHeight;
    });

    lv::Show plain = show;
    plain.cells[0].captions.clear();
    const double noCaptions = bestSeconds([&] {
        if (!renderer.render(plain, 0, kWidth, kHeight, {})) std::abort();
    });
    lv::BitmapPtr decoded = lv::decodeCellPicture(photo);
    const double resizeOnly = bestSeconds([&] {
        if (!lv::resizeBitmap(*decoded, fittedWidth, fittedHeight)) std::abort();
    });
    const std::string pillow = runPython(
        "import sys, time; from PIL import Image\n"
        "best = 1e9\n"
        "for i in range(" + std::to_string(kRepeats) + "):\n"
        "    t = time.perf_counter(); im = Image.open(sys.argv[1]); im.load()\n"
        "    im.resize((int(sys.argv[2]), int(sys.argv[3])), Image.BILINEAR); best = min(best, time.perf_counter() - t)\n"
        "print(best)",
        photo + " " + std::to_string(fittedWidth) + " " + std::to_string(fittedHeight));
    const double pillowSeconds = std::atof(pillow.c_str());

    std::printf("12 MP (4000x3000) photo as a cell at %dx%d with tint, tone and two captions; best of %d\n", kWidth,
                kHeight, kRepeats);
    std::printf("%-44s %9.1f ms\n", "ours: decode only", decodeOnly * 1000);
    std::printf("%-44s %9.1f ms\n", "ours: resize only (to the fitted size)", resizeOnly * 1000);
    std::printf("%-44s %9.1f ms\n", "ours: cell without its captions", noCaptions * 1000);
    std::printf("%-44s %9.1f ms\n", "ours: whole cell", ours * 1000);
    std::printf("%-44s %9.1f ms\n", "Pillow: decode + bilinear resize to fit", pillowSeconds * 1000);
    if (pillowSeconds > 0) std::printf("%-44s %9.2f\n", "ratio (ours whole cell / Pillow)", ours / pillowSeconds);

    std::filesystem::remove_all(folder);
    return 0;
}
