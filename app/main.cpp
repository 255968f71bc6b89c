// Process entry of the screensaver.

#include "app/launch_options.h"
#include "core/log.h"

#include <cstdio>
#include <string>
#include <vector>

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
    Log("", "Log started \n");
    Log("", "Log closed\n");
    CloseLogFile();
    return 0;
}
