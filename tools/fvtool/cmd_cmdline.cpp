// fvtool cmdline -- LINE...: the launch mode and host window of a raw command line.

#include "app/command_line.h"
#include "tools/fvtool/subcommand.h"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace {

int RunCmdline(const std::vector<std::string>& args) {
    std::size_t first = 0;
    if (!args.empty() && args[0] == "--") first = 1;
    if (first >= args.size()) return Fail("cmdline needs a command line after --");
    // The words are joined with single blanks into the one line the program would see.
    std::string line;
    for (std::size_t i = first; i < args.size(); ++i) {
        if (i > first) line += ' ';
        line += args[i];
    }
    std::int32_t host = 0;
    const LaunchMode mode = ParseCommandLine(line, host);
    nlohmann::ordered_json out;
    out["mode"] = LaunchModeName(mode);
    out["host"] = host;
    std::printf("%s\n", out.dump().c_str());
    return 0;
}

const Subcommand kCmdline{"cmdline", "-- LINE...  (the raw command line, program name first)", RunCmdline};

}  // namespace
