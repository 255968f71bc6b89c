#include "app/launch_options.h"

bool ExtractLongOptions(std::vector<std::string>& args, LaunchOptions& options, std::string& error) {
    std::vector<std::string> rest;
    if (!args.empty()) rest.push_back(args[0]);
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0) {
            rest.push_back(arg);
            continue;
        }
        const auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        if (arg == "--log") {
            if (!value(options.logFile)) return false;
        } else if (arg == "--window") {
            options.window = true;
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    args = std::move(rest);
    return true;
}
