#pragma once
// The long options ("--name value") that frostvale takes out of its arguments before the
// screensaver switches are scanned.

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
    int localTime = -1;      // --local-time HH:MM:SS: seconds of the day the clock starts at

    bool Enabled() const { return bench || !dir.empty(); }
};

struct LaunchOptions {
    std::string logFile;    // --log FILE: route the log to a file
    bool window = false;    // --window: run the test mode in an ordinary window
    std::string statsFile;  // --stats FILE: frame statistics as JSON
    std::string cameraPath; // --path NAME: fly only this camera path, over and over
    bool showFps = false;   // --show-fps: the frame-rate text, whatever the settings say
    int showTime = 0;       // --show-time 12|24: the clock in that form; 0: as the settings say
    RecordOptions record;
};

// Removes every "--" option from args (which keeps the program name at [0]) and stores it
// in options. False with a one-line message in error for an unknown option or a missing
// or malformed value.
bool ExtractLongOptions(std::vector<std::string>& args, LaunchOptions& options, std::string& error);
