// Process entry of the screensaver: long options first, then the screensaver switches.

#include "app/application.h"
#include "app/command_line.h"
#include "app/frame_recorder.h"
#include "app/launch_options.h"
#include "app/runtime_gate.h"
#include "core/clock.h"
#include "core/log.h"
#include "core/media_archive.h"
#include "platform/win/layer_shell_window.h"
#include "platform/win/termination_signal.h"
#include "platform/win/window.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

// Desktop libraries (the session bus) keep a few allocations until the process ends; the
// leak checker of sanitizer builds is told to pass over them.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\nleak:libfontconfig.so\n"; }

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "Error: %s\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    LaunchOptions options;
    std::string error;
    if (!ExtractLongOptions(args, options, error)) return Fail(error);
    if (!options.logFile.empty() && !OpenLogFile(options.logFile.c_str()))
        return Fail("cannot open log file " + options.logFile);
    // Without the graphics runtime nothing else happens: no window, exit code 1.
    if (!PassRuntimeGate(SystemDirectXProbes(), FV_RUNTIME_DOWNLOAD_URL)) return 1;

    std::int32_t hostWindow = 0;
    LaunchMode mode = ParseCommandLine(JoinCommandLine(args), hostWindow);
    ShellOptions shell;
    shell.overrides = options.overrides;
    shell.delayUs = options.delayUs >= 0 ? options.delayUs : 0;
    if (options.Hosted()) {
        // Hack mode: the screensaver in the host's window; --window-id wins over --root.
        std::uint64_t id = options.windowId;
        if (!options.hasWindowId) {
            const char* named = std::getenv("XSCREENSAVER_WINDOW");
            if (named == nullptr || !ParseWindowId(named, id)) {
                std::fprintf(stderr, "Error: --root needs XSCREENSAVER_WINDOW to hold a window id (0x hex or decimal), not '%s'\n",
                             named != nullptr ? named : "");
                return 1;
            }
        }
        mode = LaunchMode::Saver;
        hostWindow = 0;
        shell.hostWindowId = id;
        shell.delayUs = options.delayUs >= 0 ? options.delayUs : kHostedDelayUs;
    }
    if (options.window) {
        // --window: the test mode, in an ordinary window instead of full screen.
        mode = LaunchMode::Test;
        hostWindow = 0;
        shell.windowed = true;
    }

    if (options.layerShell) {
        // A background surface of the compositor: the saver runs in it, windowed at the
        // size the compositor gives, until a signal or the compositor ends it.
        const std::string output =
            LayerShellOutput(options.layerShellOutput, std::getenv("SWAYLOCK_PLUGIN_OUTPUT_NAME"));
        if (!UseLayerShell(output, error)) {
            std::fprintf(stderr, "Error: %s\n", error.c_str());
            return 1;
        }
        mode = LaunchMode::Saver;
        hostWindow = 0;
        shell.windowed = true;
        // Paced like a hack: frame callbacks, then the host's delay after each frame.
        shell.delayUs = options.delayUs >= 0 ? options.delayUs : kHostedDelayUs;
    }

    if (!options.cameraPath.empty()) {
        // A path name that the media do not hold would leave the camera standing still.
        std::vector<std::uint8_t> bytes;
        MountArchive();
        if (!ReadFile(String(kMediaFolder) + "/" + options.cameraPath.c_str(), bytes))
            return Fail("--path: the media hold no camera path '" + options.cameraPath + "'");
        shell.cameraPath = options.cameraPath;
    }

    shell.renderScale = options.renderScale;
    shell.showFps = options.showFps;
    shell.showTime = options.showTime;

    std::unique_ptr<FrameRecorder> recorder;
    const RecordOptions& record = options.record;
    if (record.Enabled() || !options.statsFile.empty()) {
        recorder = std::make_unique<FrameRecorder>(record, options.statsFile);
        if (!recorder->Prepare(error)) return Fail(error);
        shell.recorder = recorder.get();
    }
    if (record.Enabled()) {
        // Headless, on the virtual clock: the test mode in a window of the asked size.
        UseOffscreenVideo();
        UseVirtualClock(0, 1000.0 / record.fps);
        mode = LaunchMode::Test;
        hostWindow = 0;
        shell.windowed = true;
        shell.windowWidth = record.width;
        shell.windowHeight = record.height;
        shell.fixedSeed = record.hasSeed;
        shell.seed = record.seed;
        shell.localTime = record.localTime;
        shell.silent = true;
        shell.emptyFrames = record.empty;
    }

    int result = RunApplication(nullptr, mode, hostWindow, shell);
    if (recorder) {
        if (record.Enabled() && result == 0) error = "start-up failed";
        else if (!recorder->Error().empty()) error = recorder->Error();
        else recorder->Finish(error);
        if (!error.empty()) result = Fail(error);
        else if (record.Enabled()) result = 0;
    }
    CloseLogFile();
    // Ended by SIGTERM/SIGINT: after the orderly shutdown, die by that signal.
    RaiseTerminationSignal();
    return result;
}
