// CPU per second of wall time of a paced run: the whole program at 1280 x 720 in a headless
// window on llvmpipe (its render threads counted), sleeping --delay 30000 after each frame
// (the hack-mode default) or capped by FrameLimit 30 (the standalone modes). A run ends
// after kRunSeconds through the same SIGTERM path a host uses.

#include "app/application.h"
#include "core/clock.h"
#include "platform/win/termination_signal.h"
#include "platform/win/window.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

constexpr int kRunSeconds = 10;

void RunPaced(benchmark::State& state, long long delayUs, int frameLimit) {
    namespace fs = std::filesystem;
    const fs::path config = fs::temp_directory_path() / "fv-pacing-bench";
    fs::create_directories(config / "frostvale");
    std::ofstream(config / "frostvale" / "settings.conf", std::ios::trunc)
        << "[Software\\Kestrelworks\\Frostvale 3D Screensaver]\nFrameLimit=" << frameLimit << "\n";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    UseOffscreenVideo();
    UseMonotonicClock();

    double cpuPerSecond = 0;
    for (auto _ : state) {
        ShellOptions options;
        options.windowed = true;
        options.windowWidth = 1280;
        options.windowHeight = 720;
        options.delayUs = delayUs;
        options.fixedSeed = true;
        options.seed = 5;
        std::thread stopper([] {
            std::this_thread::sleep_for(std::chrono::seconds(kRunSeconds));
            std::raise(SIGTERM);
        });
        const auto wall0 = std::chrono::steady_clock::now();
        const std::clock_t cpu0 = std::clock();
        RunApplication(nullptr, LaunchMode::Test, 0, options);
        const double cpu = double(std::clock() - cpu0) / CLOCKS_PER_SEC;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        stopper.join();
        ClearTerminationSignal();
        cpuPerSecond = cpu / wall;
    }
    state.counters["cpu_per_s"] = cpuPerSecond;
    unsetenv("XDG_CONFIG_HOME");
    fs::remove_all(config);
}

void BM_PacedDelay30000(benchmark::State& state) { RunPaced(state, 30000, 0); }
void BM_PacedFrameLimit30(benchmark::State& state) { RunPaced(state, 0, 30); }
void BM_Unpaced(benchmark::State& state) { RunPaced(state, 0, 0); }

BENCHMARK(BM_PacedDelay30000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_PacedFrameLimit30)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_Unpaced)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
