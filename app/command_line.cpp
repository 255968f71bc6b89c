#include "app/command_line.h"

#include "core/number_text.h"

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

const char* LaunchModeName(LaunchMode mode) {
    switch (mode) {
        case LaunchMode::Saver: return "Saver";
        case LaunchMode::Preview: return "Preview";
        case LaunchMode::Test: return "Test";
        case LaunchMode::Configure: return "Configure";
        case LaunchMode::Password: return "Password";
    }
    return "Saver";
}

LaunchMode ParseCommandLine(std::string_view line, std::int32_t& hostWindow) {
    hostWindow = 0;
    std::size_t i = 0;
    const std::size_t end = line.size();

    // The program name, quoted or up to the first blank, and one character past it.
    if (i < end && line[i] == '"') {
        const std::size_t close = line.find('"', 1);
        i = close == std::string_view::npos ? end : close + 1;
    } else {
        const std::size_t blank = line.find(' ');
        i = blank == std::string_view::npos ? end : blank + 1;
    }
    if (i > end) i = end;

    while (i < end && line[i] != '/' && line[i] != '-') ++i;
    if (i >= end) return LaunchMode::Configure;
    ++i;  // past the switch character

    const char letter = i < end ? LowerAscii(line[i]) : '\0';
    LaunchMode mode;
    switch (letter) {
        case 'a': mode = LaunchMode::Password; break;
        case 'c': mode = LaunchMode::Configure; break;
        case 'p': mode = LaunchMode::Preview; break;
        case 't': return LaunchMode::Test;
        default: return LaunchMode::Saver;
    }

    std::size_t digit = i + 1;
    while (digit < end && !IsDigit(line[digit])) ++digit;
    // The digits alone are read, so a minus sign in front is skipped like any other
    // character; a number too long for 32 bits is clamped, never wrapped.
    if (digit < end) hostWindow = ParseLeadingInt(line.data() + digit, end - digit);
    return mode;
}

std::string JoinCommandLine(const std::vector<std::string>& args) {
    std::string line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0) line += ' ';
        const bool quote = i == 0 && args[i].find_first_of(" \t") != std::string::npos;
        if (quote) line += '"';
        line += args[i];
        if (quote) line += '"';
    }
    return line;
}
