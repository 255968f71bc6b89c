// fvtool track eval FILE.json: evaluates one key track at the given times, to check curves
// by hand. The input and output are described in scene/track_json.h; "-" reads stdin.

#include "scene/track_json.h"
#include "tools/fvtool/subcommand.h"

#include <cstdio>
#include <string>

namespace {

bool ReadText(const std::string& path, std::string& text) {
    std::FILE* file = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    const bool good = std::ferror(file) == 0;
    if (file != stdin) std::fclose(file);
    return good;
}

int RunTrack(const std::vector<std::string>& args);

const Subcommand kTrack{"track", "eval FILE.json  (one key track: {\"kind\", \"flags\", \"keys\", \"times\"})", RunTrack};

int RunTrack(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return PrintUsage(kTrack);
    if (args.size() != 2 || args[0] != "eval") return Fail("expected: fvtool track eval FILE.json (see fvtool track --help)");
    std::string text;
    if (!ReadText(args[1], text)) return Fail("cannot read '" + args[1] + "'");
    std::string output, error;
    if (!EvaluateTrackJson(text, output, error)) return Fail(error);
    std::printf("%s\n", output.c_str());
    return 0;
}

}  // namespace
