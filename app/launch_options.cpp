#include "app/launch_options.h"

#include "core/number_text.h"

#include <cmath>
#include <limits>

namespace {

// The whole text must be a decimal integer in [low, high].
bool ParseWhole(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t& value) {
    if (text.empty() || text.size() > 18) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value >= low && value <= high;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    std::int64_t w = 0, h = 0;
    if (x == std::string::npos || !ParseWhole(text.substr(0, x), 16, 16384, w) ||
        !ParseWhole(text.substr(x + 1), 16, 16384, h))
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool ParseRate(const std::string& text, double& fps) {
    double value = 0;
    if (text.empty() || ParseDouble(text.data(), text.size(), value) != text.size()) return false;
    if (!(value >= 1.0 && value <= 1000.0)) return false;
    fps = value;
    return true;
}

// "HH:MM:SS", hours 0 to 23, as seconds of the day.
bool ParseTimeOfDay(const std::string& text, int& seconds) {
    std::int64_t h = 0, m = 0, s = 0;
    if (text.size() != 8 || text[2] != ':' || text[5] != ':' || !ParseWhole(text.substr(0, 2), 0, 23, h) ||
        !ParseWhole(text.substr(3, 2), 0, 59, m) || !ParseWhole(text.substr(6, 2), 0, 59, s))
        return false;
    seconds = static_cast<int>(h * 3600 + m * 60 + s);
    return true;
}

}  // namespace

bool ExtractLongOptions(std::vector<std::string>& args, LaunchOptions& options, std::string& error) {
    std::vector<std::string> rest;
    if (!args.empty()) rest.push_back(args[0]);
    bool framing = false;  // an option that only means something with --record or --bench
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0) {
            rest.push_back(arg);
            continue;
        }
        std::string text;
        const auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        const auto malformed = [&](const char* expected) {
            error = arg + " takes " + expected + ", not '" + text + "'";
            return false;
        };
        std::int64_t number = 0;
        RecordOptions& record = options.record;
        if (arg == "--log") {
            if (!value(options.logFile)) return false;
        } else if (arg == "--window") {
            options.window = true;
        } else if (arg == "--stats") {
            if (!value(options.statsFile)) return false;
        } else if (arg == "--path") {
            if (!value(options.cameraPath)) return false;
            if (options.cameraPath.empty()) return malformed("a camera path name");
        } else if (arg == "--record") {
            if (!value(record.dir)) return false;
            if (record.dir.empty()) return malformed("a folder");
        } else if (arg == "--bench") {
            record.bench = true;
        } else if (arg == "--frames") {
            if (!value(text)) return false;
            if (!ParseWhole(text, 1, 1000000, number)) return malformed("a frame count from 1 to 1000000");
            record.frames = static_cast<int>(number);
            framing = true;
        } else if (arg == "--size") {
            if (!value(text)) return false;
            if (!ParseSize(text, record.width, record.height)) return malformed("WxH, each 16 to 16384");
            framing = true;
        } else if (arg == "--fps") {
            if (!value(text)) return false;
            if (!ParseRate(text, record.fps)) return malformed("a rate from 1 to 1000");
            framing = true;
        } else if (arg == "--seed") {
            if (!value(text)) return false;
            if (!ParseWhole(text, 0, std::numeric_limits<std::uint32_t>::max(), number))
                return malformed("a number from 0 to 4294967295");
            record.seed = static_cast<std::uint32_t>(number);
            record.hasSeed = true;
            framing = true;
        } else if (arg == "--show-fps") {
            options.showFps = true;
        } else if (arg == "--show-time") {
            if (!value(text)) return false;
            if (text != "12" && text != "24") return malformed("12 or 24");
            options.showTime = text == "12" ? 12 : 24;
        } else if (arg == "--local-time") {
            if (!value(text)) return false;
            if (!ParseTimeOfDay(text, record.localTime)) return malformed("a time of day HH:MM:SS");
            framing = true;
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    if (options.record.bench && !options.record.dir.empty()) {
        error = "--record and --bench exclude each other";
        return false;
    }
    if (framing && !options.record.Enabled()) {
        error = "--frames, --size, --fps, --seed and --local-time go with --record or --bench";
        return false;
    }
    args = std::move(rest);
    return true;
}
