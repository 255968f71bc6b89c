// Captures one real frame of the village for the village_frame scenario: the screensaver runs
// headless on the virtual clock (fixed seed, camera path and time of day, the clock and the
// frame rate shown) in a 256 x 256 window, over a frame capture device forwarding to our
// OpenGL device, and the calls of one frame with the bytes they use are written as a frame
// file.
//   conformance_capture FILE

#include "app/application.h"
#include "core/clock.h"
#include "core/random.h"
#include "platform/d3d9/frame_capture.h"
#include "scenario.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

constexpr std::uint32_t kSeed = 7;
constexpr double kFps = 10;
constexpr int kCapturedFrame = 30;  // three seconds into the flight: faded in, snow falling
constexpr int kLocalTime = 12 * 3600 + 34 * 60 + 56;

int Fail(const std::string& why) {
    std::fprintf(stderr, "Error: conformance_capture: %s\n", why.c_str());
    return 1;
}

// Runs the screensaver up to the captured frame and writes it; the exit status.
int CaptureInto(const std::filesystem::path& file) {
    UseVirtualClock(0, 1000.0 / kFps);
    SeedRandom(kSeed);
    ShellOptions shell;
    shell.windowed = true;
    shell.windowWidth = shell.windowHeight = kTargetSize;
    shell.fixedSeed = true;
    shell.seed = kSeed;
    shell.cameraPath = "frostvalen01.cam";
    shell.silent = true;
    shell.showFps = true;
    shell.showTime = 24;
    shell.localTime = kLocalTime;

    FrameCaptureDevice* capture = nullptr;
    Application application;
    application.SetShellOptions(shell);
    application.Session().SetDeviceFilter([&capture](IDirect3DDevice9* made) -> IDirect3DDevice9* {
        capture = FrameCaptureDevice::Create(made, kTargetSize, kTargetSize);
        return capture;
    });
    if (!application.Start(nullptr, LaunchMode::Test, 0) || capture == nullptr) return Fail("the screensaver did not start");
    for (int frame = 0; frame < kCapturedFrame && application.RunIteration(); ++frame) capture->ClearCalls();
    capture->Arm();
    application.RunIteration();
    if (!capture->Captured())
        return Fail("frame not captured: " + (capture->Failure().empty() ? std::string("no Present") : capture->Failure()));
    const std::vector<std::uint8_t> bytes = EncodeFrameFile(capture->Frame());
    FrameFile check;
    std::string refused;
    if (!DecodeFrameFile(bytes.data(), bytes.size(), check, refused))
        return Fail("the captured frame makes no valid frame file: " + refused);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out.flush()) return Fail("cannot write " + file.string());
    std::printf("conformance_capture: frame %d, %zu ops, %zu bytes\n", kCapturedFrame, check.ops.size(), bytes.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path file = fs::absolute(argv[1]);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    // The default settings, whatever the user running it has stored.
    const fs::path config = file.parent_path() / "capture-config";
    std::error_code ignored;
    fs::remove_all(config, ignored);
    fs::create_directories(config, ignored);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const int status = CaptureInto(file);
    UseMonotonicClock();
    fs::remove_all(config, ignored);
    return status;
}
