#pragma once
// The long options ("--name value") that frostvale takes out of its arguments before the
// screensaver switches are scanned.

#include "app/saver_options.h"

#include <cstdint>
#include <string>
#include <vector>

// Headless rendering: --record writes every presented frame as PNG, --bench renders the same
// frames without writing them. Both run on the virtual clock.
struct RecordOptions {
    std::string dir;         // --record DIR
    bool bench = false;      // --bench
    int frames = 300;        // --frames N
    int width = 1280;        // --size WxH
    int height = 720;
    double fps = 30.0;       // --fps F: the virtual clock's rate
    bool hasSeed = false;    // --seed N: a fixed random seed
    std::uint32_t seed = 0;
    bool empty = false;      // --empty: each frame only clears and presents (the ceiling)
    bool overdraw = false;   // --overdraw: frames show how many fragments each pixel got
    int localTime = -1;      // --local-time HH:MM:SS: seconds of the day the clock starts at

    bool Enabled() const { return bench || !dir.empty(); }
};

struct LaunchOptions {
    std::string logFile;    // --log FILE: route the log to a file
    bool window = false;    // --window: run the test mode in an ordinary window
    std::string statsFile;  // --stats FILE: frame statistics as JSON
    std::string cameraPath; // --path NAME: fly only this camera path, over and over
    float renderScale = 0;  // --scale F: the scene at this fraction of the size (0.25 to 1); 0: not given
    bool layerShell = false;        // --layer-shell [OUTPUT]: a Wayland background surface
    std::string layerShellOutput;   // its output; empty: not named on the command line
    bool showFps = false;   // --show-fps: the frame-rate text, whatever the settings say
    int showTime = 0;       // --show-time 12|24: the clock in that form; 0: as the settings say
    RecordOptions record;
    // Hack mode: draw into a window a screensaver host made.
    bool root = false;              // --root: the window named by XSCREENSAVER_WINDOW
    bool hasWindowId = false;       // --window-id ID (wins over --root)
    std::uint64_t windowId = 0;
    long long delayUs = -1;         // --delay MICROSECONDS after each frame; -1: the mode's default
    std::vector<SettingOverride> overrides;  // --snow large …, in command-line order

    bool Hosted() const { return root || hasWindowId; }
};

// Sleep after each frame when --delay is not given: the XScreenSaver convention in hack
// mode, none in the Windows-style modes.
constexpr long long kHostedDelayUs = 30000;
constexpr long long kMaxDelayUs = 10000000;

// The render scale of a run: --scale when given (commandLine not 0), else the RenderScale
// value of the settings key, in percent.
float ChooseRenderScale(float commandLine, std::int32_t settingPercent);

// A window id: "0x" and hex digits, or decimal; 1 to 0xFFFFFFFF.
bool ParseWindowId(const std::string& text, std::uint64_t& id);

// Removes every "--" option (and the one-dash forms of the hack and settings options,
// "-root", "-window-id ID", "-delay N", "-snow large" …) from args (which keeps the program name at [0]) and stores it
// in options. False with a one-line message in error for an unknown option or a missing
// or malformed value.
bool ExtractLongOptions(std::vector<std::string>& args, LaunchOptions& options, std::string& error);
