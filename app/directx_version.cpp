#include "app/directx_version.h"

#include "platform/win/runtime_probe.h"

#include <cstdio>

namespace {

constexpr DWORD Version(DWORD a, DWORD b) { return (a << 16) | b; }

bool AtLeast(const FileVersion& v, DWORD high, DWORD low) { return v.high > high || (v.high == high && v.low >= low); }

struct Row {
    const char* file;
    // Minimum version; for rows that depend on the major part, the minimum for major 4 and 5.
    FileVersion minimum;
    FileVersion minimumMajor5;
    bool byMajor;
    DWORD major, minor;
    char letter;
};

// The classic detection table, evaluated in order.
const Row kRows[] = {
    {"\\ddraw.dll", {Version(4, 2), Version(0, 95)}, {}, false, 1, 0, ' '},
    {"\\ddraw.dll", {Version(4, 3), Version(0, 1096)}, {}, false, 2, 0, ' '},
    {"\\ddraw.dll", {Version(4, 4), Version(0, 68)}, {}, false, 3, 0, ' '},
    {"\\d3drg8x.dll", {Version(4, 4), Version(0, 70)}, {}, false, 3, 0, 'a'},
    {"\\ddraw.dll", {Version(4, 5), Version(0, 155)}, {}, false, 5, 0, ' '},
    {"\\ddraw.dll", {Version(4, 6), Version(0, 318)}, {}, false, 6, 0, ' '},
    {"\\ddraw.dll", {Version(4, 6), Version(0, 436)}, {}, false, 6, 1, ' '},
    {"\\dplayx.dll", {Version(4, 6), Version(3, 518)}, {}, false, 6, 1, 'a'},
    {"\\ddraw.dll", {Version(4, 7), Version(0, 700)}, {}, false, 7, 0, ' '},
    {"\\dinput.dll", {Version(4, 7), Version(0, 716)}, {}, false, 7, 0, 'a'},
    {"\\ddraw.dll", {Version(4, 8), Version(0, 400)}, {Version(5, 1), Version(2258, 400)}, true, 8, 0, ' '},
    {"\\d3d8.dll", {Version(4, 8), Version(1, 881)}, {Version(5, 1), Version(2600, 881)}, true, 8, 1, ' '},
    {"\\d3d8.dll", {Version(4, 8), Version(1, 901)}, {Version(5, 1), Version(2600, 901)}, true, 8, 1, 'a'},
    {"\\mpg2splt.ax", {Version(6, 3), Version(1, 885)}, {}, false, 8, 1, 'b'},
    {"\\dpnet.dll", {Version(4, 9), Version(0, 134)}, {Version(5, 2), Version(3677, 134)}, true, 8, 2, ' '},
};

bool Passes(const Row& row, const FileVersion& v) {
    if (!row.byMajor) return AtLeast(v, row.minimum.high, row.minimum.low);
    const DWORD major = v.high >> 16;
    if (major == 4) return AtLeast(v, row.minimum.high, row.minimum.low);
    if (major == 5) return AtLeast(v, row.minimumMajor5.high, row.minimumMajor5.low);
    return false;
}

void FromFiles(const DirectXProbes& probes, DWORD& major, DWORD& minor, char& letter) {
    major = minor = 0;
    letter = ' ';
    if (!probes.fileVersion) return;
    for (const Row& row : kRows) {
        FileVersion version;
        if (probes.fileVersion(row.file, version) && Passes(row, version)) {
            major = row.major;
            minor = row.minor;
            letter = row.letter;
        }
    }
    FileVersion d3d9;
    if (probes.fileVersion("\\d3d9.dll", d3d9)) {
        major = 9;
        minor = 0;
        letter = ' ';
    }
}

}  // namespace

DirectXProbes SystemDirectXProbes() {
    DirectXProbes probes;
    probes.provider = &QueryDiagnosticProvider;
    probes.fileVersion = [](const char* file, FileVersion& version) {
        return QuerySystemFileVersion(file, version.high, version.low);
    };
    return probes;
}

DWORD PackDirectXVersion(DWORD major, DWORD minor, char letter) {
    DWORD index = 0;
    const char lower = letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter;
    if (lower >= 'a' && lower <= 'z') index = static_cast<DWORD>(lower - 'a' + 1);
    return ((major * 256 + minor) * 256) + index;
}

HRESULT GetDirectXVersion(DWORD* version, char* text, int textSize, const DirectXProbes& probes) {
    if (version != nullptr) *version = 0;
    if (text != nullptr && textSize > 0) text[0] = '\0';
    DWORD major = 0, minor = 0;
    char letter = ' ';
    std::string letterText;
    if (probes.provider && probes.provider(major, minor, letterText)) {
        letter = letterText.empty() ? ' ' : letterText[0];
    } else {
        FromFiles(probes, major, minor, letter);
    }
    if (version != nullptr) *version = PackDirectXVersion(major, minor, letter);
    if (text != nullptr && textSize > 0) {
        const bool named = letter != ' ' && letter != '\0';
        if (named) std::snprintf(text, static_cast<std::size_t>(textSize), "%u.%u%c", major, minor, letter);
        else std::snprintf(text, static_cast<std::size_t>(textSize), "%u.%u", major, minor);
    }
    return 0;
}
