// Scaler benchmark: our row-streaming scaler against Pillow's resize of the
// same pictures and sizes, timed in the same run (Pillow in a /usr/bin/python3
// subprocess timing only its own resize call). Prints megapixels of source
// per second for both and the ratio (above 1: we are faster). One core.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "render/bitmap_resize.h"
#include "render/pnm.h"
#include "render/scaler.h"

namespace {

struct Case {
    const char* source;  // "big" 4000x3000 or "small" 800x600
    int width, height;
};
struct Family {
    const char* name;
    int method;            // ours, both passes
    const char* pillow;    // Pillow's nearest counterpart
    bool reductionOnly;
};

constexpr Case kCases[] = {{"big", 1600, 1200}, {"big", 160, 120}, {"small", 1920, 1440}};
constexpr Family kFamilies[] = {{"bilinear", lv::kScaleBilinear, "BILINEAR", false},
                                {"cubic", lv::kScaleCubic, "BICUBIC", false},
                                {"lanczos3", lv::kScaleLanczos3, "LANCZOS", true},
                                {"box", lv::kScaleBox, "BOX", true}};
constexpr int kRepeats = 3;

// A photograph-like picture: smooth gradients with some noise.
lv::BitmapPtr testPicture(int width, int height) {
    lv::BitmapPtr b = lv::createBitmap("bench", width, height, 24);
    std::mt19937 random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = b->rows[y] + 3 * x;
            const int n = static_cast<int>(random() % 32);
            p[0] = static_cast<std::uint8_t>((x * 255 / width + n) & 255);
            p[1] = static_cast<std::uint8_t>((y * 255 / height + n) & 255);
            p[2] = static_cast<std::uint8_t>(((x + y) / 7 + n) & 255);
        }
    return b;
}

double secondsOurs(const lv::Bitmap& source, int width, int height, int method) {
    double best = 1e9;
    for (int i = 0; i < kRepeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        lv::BitmapPtr r = lv::scaleBitmap(source, width, height, method, method);
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!r) return -1;
        best = std::min(best, s);
    }
    return best;
}

// Pillow's best-of-N seconds per "source WxH FILTER" key.
std::map<std::string, double> pillowTimes(const std::string& big, const std::string& small) {
    std::string script =
        "import sys,time\nfrom PIL import Image\n"
        "src={'big':Image.open(sys.argv[1]).convert('RGB'),'small':Image.open(sys.argv[2]).convert('RGB')}\n"
        "for line in sys.stdin:\n"
        "  s,w,h,f=line.split(); im=src[s]; im.load(); best=1e9\n"
        "  for i in range(" + std::to_string(kRepeats) + "):\n"
        "    t=time.perf_counter(); im.resize((int(w),int(h)),getattr(Image,f)); best=min(best,time.perf_counter()-t)\n"
        "  print(s,w,h,f,best,flush=True)\n";
    const std::string scriptPath = "/tmp/lv_scale_bench.py", requestPath = "/tmp/lv_scale_bench.txt";
    if (FILE* f = std::fopen(scriptPath.c_str(), "w")) {
        std::fputs(script.c_str(), f);
        std::fclose(f);
    }
    if (FILE* f = std::fopen(requestPath.c_str(), "w")) {
        for (const Case& c : kCases)
            for (const Family& fam : kFamilies) std::fprintf(f, "%s %d %d %s\n", c.source, c.width, c.height, fam.pillow);
        std::fclose(f);
    }
    std::map<std::string, double> times;
    const std::string command = "OMP_NUM_THREADS=1 /usr/bin/python3 " + scriptPath + " " + big + " " + small + " < " + requestPath;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return times;
    char source[16], filter[16];
    int w, h;
    double seconds;
    while (std::fscanf(pipe, "%15s %d %d %15s %lf", source, &w, &h, filter, &seconds) == 5)
        times[std::string(source) + " " + std::to_string(w) + "x" + std::to_string(h) + " " + filter] = seconds;
    pclose(pipe);
    return times;
}

}  // namespace

int main() {
    lv::BitmapPtr big = testPicture(4000, 3000);
    lv::BitmapPtr small = testPicture(800, 600);
    std::string error;
    const std::string bigPath = "/tmp/lv_scale_bench_big.ppm", smallPath = "/tmp/lv_scale_bench_small.ppm";
    if (!lv::savePnm(*big, bigPath, error) || !lv::savePnm(*small, smallPath, error)) {
        std::fprintf(stderr, "scale_bench: %s\n", error.c_str());
        return 1;
    }
    const auto pillow = pillowTimes(bigPath, smallPath);
    std::remove(bigPath.c_str());
    std::remove(smallPath.c_str());

    std::printf("kernels: %s; Mpx/s counts source megapixels; ratio = Pillow time / our time\n",
                lv::chooseScalerKernels(lv::processorRecord()).name);
    std::printf("%-24s %-9s %10s %10s %-9s %10s %7s\n", "case", "ours", "ms", "Mpx/s", "Pillow", "Mpx/s", "ratio");
    for (const Case& c : kCases) {
        const lv::Bitmap& source = std::string(c.source) == "big" ? *big : *small;
        const double megapixels = source.width * static_cast<double>(source.height) / 1e6;
        for (const Family& fam : kFamilies) {
            char label[64];
            std::snprintf(label, sizeof label, "%dx%d->%dx%d", source.width, source.height, c.width, c.height);
            const bool enlarging = c.width > source.width;
            const std::string key = std::string(c.source) + " " + std::to_string(c.width) + "x" + std::to_string(c.height) + " " + fam.pillow;
            const auto found = pillow.find(key);
            const double theirs = found == pillow.end() ? -1 : found->second;
            if (enlarging && fam.reductionOnly) {
                std::printf("%-24s %-9s %10s %10s %-9s %10.1f %7s\n", label, fam.name, "-", "(reduces only)", fam.pillow,
                            theirs > 0 ? megapixels / theirs : 0.0, "-");
                continue;
            }
            const double ours = secondsOurs(source, c.width, c.height, fam.method);
            std::printf("%-24s %-9s %10.1f %10.1f %-9s %10.1f %7.2f\n", label, fam.name, ours * 1e3, megapixels / ours,
                        fam.pillow, theirs > 0 ? megapixels / theirs : 0.0, theirs > 0 ? theirs / ours : 0.0);
        }
    }
    return 0;
}
