// Fuzz target: the long options taken out of frostvale's arguments, then the screensaver
// switch scan over what is left. The input is the argument list, NUL-separated.

#include "app/command_line.h"
#include "app/launch_options.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args{"frostvale"};
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    args.push_back(current);
    LaunchOptions options;
    std::string error;
    if (ExtractLongOptions(args, options, error)) {
        if (args.empty() || args[0] != "frostvale") __builtin_trap();
        for (std::size_t i = 1; i < args.size(); ++i)
            if (args[i].rfind("--", 0) == 0) __builtin_trap();
        std::int32_t host = 0;
        ParseCommandLine(JoinCommandLine(args), host);
    } else if (error.empty()) {
        __builtin_trap();
    }
    return 0;
}
