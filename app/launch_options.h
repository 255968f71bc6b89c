#pragma once
// The long options ("--name value") that frostvale takes out of its arguments before the
// screensaver switches are scanned.

#include <string>
#include <vector>

struct LaunchOptions {
    std::string logFile;  // --log FILE: route the log to a file
    bool window = false;  // --window: run the test mode in an ordinary window
};

// Removes every "--" option from args (which keeps the program name at [0]) and stores it
// in options. False with a one-line message in error for an unknown option or a missing
// or malformed value.
bool ExtractLongOptions(std::vector<std::string>& args, LaunchOptions& options, std::string& error);
