// Process entry of the screensaver: long options first, then the screensaver switches.

#include "app/application.h"
#include "app/command_line.h"
#include "app/launch_options.h"
#include "core/log.h"

#include <cstdio>
#include <string>
#include <vector>

// Desktop libraries (the session bus) keep a few allocations until the process ends; the
// leak checker of sanitizer builds is told to pass over them.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    LaunchOptions options;
    std::string error;
    if (!ExtractLongOptions(args, options, error)) {
        std::fprintf(stderr, "Error: %s\n", error.c_str());
        return 2;
    }
    if (!options.logFile.empty() && !OpenLogFile(options.logFile.c_str())) {
        std::fprintf(stderr, "Error: cannot open log file %s\n", options.logFile.c_str());
        return 2;
    }
    std::int32_t hostWindow = 0;
    LaunchMode mode = ParseCommandLine(JoinCommandLine(args), hostWindow);
    ShellOptions shell;
    if (options.window) {
        // --window: the test mode, in an ordinary window instead of full screen.
        mode = LaunchMode::Test;
        hostWindow = 0;
        shell.windowed = true;
    }
    const int result = RunApplication(nullptr, mode, hostWindow, shell);
    CloseLogFile();
    return result;
}
