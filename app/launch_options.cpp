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

bool IsNumber(const std::string& text) {
    double ignored = 0;
    return !text.empty() && ParseDouble(text.data(), text.size(), ignored) == text.size();
}

// Options that also come with one dash, as XScreenSaver writes them.
bool TakesOneDash(const std::string& name) {
    return name == "root" || name == "window-id" || name == "delay" || FindSaverOption(name) != nullptr;
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

bool ParseWindowId(const std::string& text, std::uint64_t& id) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::size_t start = hex ? 2 : 0;
    if (text.size() == start || text.size() - start > (hex ? 8u : 10u)) return false;
    std::uint64_t value = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return false;
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    }
    if (value == 0 || value > 0xFFFFFFFFu) return false;
    id = value;
    return true;
}

float ChooseRenderScale(float commandLine, std::int32_t settingPercent) {
    return commandLine > 0 ? commandLine : static_cast<float>(settingPercent) / 100.0f;
}

bool ExtractLongOptions(std::vector<std::string>& args, LaunchOptions& options, std::string& error) {
    std::vector<std::string> rest;
    if (!args.empty()) rest.push_back(args[0]);
    bool framing = false;  // an option that only means something with --record or --bench
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string arg = args[i];
        if (arg.size() > 2 && arg[0] == '-' && arg[1] != '-' && TakesOneDash(arg.substr(1))) arg = "-" + arg;
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
        } else if (arg == "--layer-shell") {
            options.layerShell = true;
            // The output name is optional: a following switch or option is not one.
            if (i + 1 < args.size() && !args[i + 1].empty() && args[i + 1][0] != '-' && args[i + 1][0] != '/')
                options.layerShellOutput = args[++i];
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
        } else if (arg == "--fps" && (i + 1 >= args.size() || !IsNumber(args[i + 1]))) {
            // Without a number after it: the frame-rate overlay, not the recording rate.
            ApplySaverOption(*FindSaverOption("fps"), "", options.overrides, error);
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
        } else if (arg == "--root") {
            options.root = true;
        } else if (arg == "--window-id") {
            if (!value(text)) return false;
            if (!ParseWindowId(text, options.windowId)) return malformed("a window id (0x hex or decimal)");
            options.hasWindowId = true;
        } else if (arg == "--delay") {
            if (!value(text)) return false;
            if (!ParseWhole(text, 0, kMaxDelayUs, number)) return malformed("microseconds from 0 to 10000000");
            options.delayUs = number;
        } else if (const SaverOption* option = FindSaverOption(arg.substr(2))) {
            if (option->argument != OptionArgument::None && !value(text)) return false;
            if (!ApplySaverOption(*option, text, options.overrides, error)) return false;
        } else if (arg == "--scale") {
            if (!value(text)) return false;
            double scale = 0;
            if (text.empty() || ParseDouble(text.data(), text.size(), scale) != text.size() ||
                !(scale >= 0.25 && scale <= 1.0))
                return malformed("a scale from 0.25 to 1");
            options.renderScale = static_cast<float>(scale);
        } else if (arg == "--empty") {
            record.empty = true;
            framing = true;
        } else if (arg == "--overdraw") {
            record.overdraw = true;
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
    if (options.Hosted() && (options.record.Enabled() || options.window || options.layerShell)) {
        error = "--root and --window-id exclude --record, --bench, --window and --layer-shell";
        return false;
    }
    if (options.layerShell && (options.window || options.record.Enabled())) {
        error = "--layer-shell excludes --window, --record and --bench";
        return false;
    }
    if (framing && !options.record.Enabled()) {
        error = "--frames, --size, --fps, --seed, --empty, --overdraw and --local-time go with --record or --bench";
        return false;
    }
    args = std::move(rest);
    return true;
}
