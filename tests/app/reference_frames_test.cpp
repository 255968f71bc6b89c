// The picture stays as designed: frames of three camera paths at fixed seeds and times are
// rendered headless and compared with reference images made before the renderer's speed
// work. The tolerance lets rounding differences through but not a moved, missing or
// recoloured object.

#include "app/application.h"
#include "core/clock.h"
#include "platform/image/image.h"
#include "platform/win/message_queue.h"
#include "tests/app/config_home.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double kMinimumPsnr = 40.0;  // dB over RGB; one flake out of place drops below it

image::Image Load(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    image::Image picture;
    EXPECT_TRUE(image::DecodeImage(bytes.data(), bytes.size(), picture)) << file;
    return picture;
}

double Psnr(const image::Image& a, const image::Image& b) {
    if (a.width != b.width || a.height != b.height || a.pixels.empty()) return 0;
    double sum = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift : {0, 8, 16}) {
            const double d = double((a.pixels[i] >> shift) & 255) - double((b.pixels[i] >> shift) & 255);
            sum += d * d;
        }
    const double mse = sum / (3.0 * double(a.pixels.size()));
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

class ReferenceFramesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
    void SetUp() override {
        // The clock overlay shows the wall time: the references are made without overlays.
        home_.WriteSettings("ShowFps=0\nShowTime=0\nMusic=0\n");
        folder_ = fs::path(::testing::TempDir()) / ("frostvale_reference_" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        ResetMessageQueue();
    }
    void TearDown() override {
        ResetMessageQueue();
        UseMonotonicClock();
        fs::remove_all(folder_);
    }

    // As `frostvale --record DIR --size 320x180 --fps 4 --frames 25 --seed 7 --path PATH`.
    void Record(const std::string& path) {
        RecordOptions record;
        record.dir = folder_.string();
        record.frames = 25;
        record.width = 320;
        record.height = 180;
        record.fps = 4;
        FrameRecorder recorder(record, "");
        std::string error;
        ASSERT_TRUE(recorder.Prepare(error)) << error;
        UseVirtualClock(0, 1000.0 / record.fps);
        ShellOptions shell;
        shell.windowed = true;
        shell.windowWidth = record.width;
        shell.windowHeight = record.height;
        shell.fixedSeed = true;
        shell.seed = 7;
        shell.recorder = &recorder;
        shell.cameraPath = path;
        ASSERT_EQ(RunApplication(nullptr, LaunchMode::Test, 0, shell), 1);
        ASSERT_TRUE(recorder.Finish(error)) << error;
    }

    ConfigHome home_;
    fs::path folder_;
};

TEST_F(ReferenceFramesTest, FramesMatchTheReferenceImages) {
    const fs::path references = fs::path(FV_SOURCE_DIR) / "tests" / "app" / "reference";
    double worst = 99.0;
    for (const char* path : {"01", "06", "11"}) {
        Record(std::string("frostvalen") + path + ".cam");
        for (const char* frame : {"06", "24"}) {
            const image::Image made = Load(folder_ / (std::string("frame_000") + frame + ".png"));
            const image::Image expected = Load(references / (std::string("path") + path + "_frame" + frame + ".png"));
            const double psnr = Psnr(made, expected);
            EXPECT_GE(psnr, kMinimumPsnr) << "path " << path << ", frame " << frame;
            worst = std::min(worst, psnr);
        }
        fs::remove_all(folder_);
    }
    std::printf("worst PSNR against the reference images: %.2f dB\n", worst);
    RecordProperty("worst_psnr_db", std::to_string(worst));
}

}  // namespace
