// Compares the images of both sides scenario by scenario: PSNR over RGB, the largest channel
// difference, the share of pixels that differ by more than 8 levels. Writes <name>_sides.png
// (ours left, the reference right) and <name>_diff.png (differences times four), prints the
// table and the closing count line; exit status 1 when a scenario fails. A scenario below the
// threshold is "explained" when the README lists it as "- `name`: ...".
//
// usage: conformance_compare OURS_DIR REFERENCE_DIR IMAGE_DIR README SCENARIO...

#include "platform/image/image_encoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kThresholdDb = 40.0;
constexpr int kLevelTolerance = 8;

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

// Reads the PAM files the shims write (8-bit RGB_ALPHA only).
bool ReadPam(const std::string& path, Picture& picture) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    int depth = 0, maxval = 0;
    if (!std::getline(in, line) || line != "P7") return false;
    while (std::getline(in, line) && line != "ENDHDR") {
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        if (key == "WIDTH") fields >> picture.width;
        else if (key == "HEIGHT") fields >> picture.height;
        else if (key == "DEPTH") fields >> depth;
        else if (key == "MAXVAL") fields >> maxval;
    }
    if (line != "ENDHDR" || depth != 4 || maxval != 255 || picture.width <= 0 || picture.height <= 0 ||
        picture.width > 4096 || picture.height > 4096)
        return false;
    picture.rgba.resize(std::size_t(picture.width) * picture.height * 4);
    in.read(reinterpret_cast<char*>(picture.rgba.data()), std::streamsize(picture.rgba.size()));
    return in.gcount() == std::streamsize(picture.rgba.size());
}

bool WritePng(const std::string& path, const image::Image& picture) {
    std::vector<std::uint8_t> bytes;
    if (!image::EncodePng(picture, bytes)) return false;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

std::uint32_t Argb(int r, int g, int b) { return 0xFF000000u | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b; }

struct Result {
    double psnr = 0;
    int largest = 0;
    double share = 0;  // pixels differing by more than kLevelTolerance in some channel
};

Result Compare(const Picture& ours, const Picture& reference, const std::string& imageStem) {
    Result result;
    const int w = ours.width, h = ours.height;
    image::Image sides, diff;
    sides.Allocate(2 * w, h);
    diff.Allocate(w, h);
    double squared = 0;
    long differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* a = &ours.rgba[(std::size_t(y) * w + x) * 4];
            const std::uint8_t* b = &reference.rgba[(std::size_t(y) * w + x) * 4];
            int d[3], worst = 0;
            for (int c = 0; c < 3; ++c) {
                d[c] = std::abs(int(a[c]) - int(b[c]));
                squared += double(d[c]) * d[c];
                worst = std::max(worst, d[c]);
            }
            result.largest = std::max(result.largest, worst);
            if (worst > kLevelTolerance) ++differing;
            sides.pixels[std::size_t(y) * 2 * w + x] = Argb(a[0], a[1], a[2]);
            sides.pixels[std::size_t(y) * 2 * w + w + x] = Argb(b[0], b[1], b[2]);
            diff.pixels[std::size_t(y) * w + x] =
                Argb(std::min(255, d[0] * 4), std::min(255, d[1] * 4), std::min(255, d[2] * 4));
        }
    const double mse = squared / (double(w) * h * 3);
    result.psnr = mse == 0 ? INFINITY : 10.0 * std::log10(255.0 * 255.0 / mse);
    result.share = double(differing) / (double(w) * h);
    if (!WritePng(imageStem + "_sides.png", sides) || !WritePng(imageStem + "_diff.png", diff))
        std::fprintf(stderr, "Error: cannot write %s_*.png\n", imageStem.c_str());
    return result;
}

// The scenario names listed as explained: lines "- `name`..." of the README.
std::set<std::string> ExplainedScenarios(const std::string& readme) {
    std::set<std::string> names;
    std::ifstream in(readme);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("- `", 0) != 0) continue;
        const std::size_t end = line.find('`', 3);
        if (end != std::string::npos) names.insert(line.substr(3, end - 3));
    }
    return names;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: %s OURS_DIR REFERENCE_DIR IMAGE_DIR README SCENARIO...\n", argv[0]);
        return 2;
    }
    const std::string ours = argv[1], reference = argv[2], images = argv[3];
    const std::set<std::string> explained = ExplainedScenarios(argv[4]);
    int within = 0, explainedCount = 0, failing = 0;
    std::printf("%-36s %8s %8s %9s  %s\n", "scenario", "PSNR dB", "max diff", "> 8 lvls", "result");
    for (int i = 5; i < argc; ++i) {
        const std::string name = argv[i];
        Picture a, b;
        const bool haveOurs = ReadPam(ours + "/" + name + ".pam", a);
        const bool haveReference = ReadPam(reference + "/" + name + ".pam", b);
        const bool listed = explained.count(name) > 0;
        std::string verdict;
        if (!haveOurs || !haveReference || a.width != b.width || a.height != b.height) {
            verdict = !haveOurs ? "no image from our layer" : !haveReference ? "no reference image" : "sizes differ";
            std::printf("%-36s %8s %8s %9s  ", name.c_str(), "-", "-", "-");
        } else {
            const Result r = Compare(a, b, images + "/" + name);
            std::printf("%-36s %8.2f %8d %8.2f%%  ", name.c_str(), r.psnr, r.largest, 100.0 * r.share);
            verdict = r.psnr < kThresholdDb ? "below threshold" : listed ? "ok (listed as explained)" : "ok";
        }
        if (verdict.rfind("ok", 0) == 0) ++within;
        else if (listed) ++explainedCount, verdict = "explained (" + verdict + ")";
        else ++failing, verdict = "FAIL (" + verdict + ")";
        std::printf("%s\n", verdict.c_str());
    }
    std::printf("conformance: %d scenarios, %d within threshold, %d explained, %d failing\n", argc - 5, within,
                explainedCount, failing);
    return failing > 0 ? 1 : 0;
}
