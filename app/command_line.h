#pragma once
// The screensaver switches: how the process command line turns into a launch mode and the
// number of the host window that follows the switch.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Fixed numbers: other parts of the program compare against them.
enum class LaunchMode : int {
    Saver = 0,      // /s and every letter not listed below
    Preview = 1,    // /p N: small preview inside the host's window N
    Test = 2,       // /t: treated exactly like Saver
    Configure = 3,  // /c [N], or no switch at all: settings dialog, owned by window N
    Password = 4,   // /a N: not supported, nothing is shown
};

// "Saver", "Preview", "Test", "Configure" or "Password".
const char* LaunchModeName(LaunchMode mode);

// Reads a raw command line, program name included. The program name is skipped (up to the
// closing quote when it starts with one, else up to the first blank); the first "/" or "-"
// after it selects the mode by the next letter, in either case. For a, c and p the first
// decimal digits after the letter give hostWindow (clamped to the 32-bit range; 0 when
// there are none). No switch gives Configure with hostWindow 0.
LaunchMode ParseCommandLine(std::string_view line, std::int32_t& hostWindow);

// The raw command line of a program started with args (args[0] the program name): the
// arguments joined with single blanks, the program name in double quotes when it holds a
// blank or a tab.
std::string JoinCommandLine(const std::vector<std::string>& args);
