#pragma once
// The installed graphics-runtime version as a packed number: ((major × 256 + minor) × 256)
// + letter index (a = 1 … z = 26, 0 for none), so 9.0 is 0x90000 and 9.0c 0x90003.
//
// The diagnostic provider is asked first; without it the file versions of the runtime's
// system files decide, row by row of the classic detection table (a later passing row wins),
// and a "\d3d9.dll" with version information means 9.0 whatever its numbers.

#include "platform/win/win_types.h"

#include <functional>
#include <string>

constexpr DWORD kDirectX9 = 0x90000;

// A file version: each DWORD holds two 16-bit parts (4.06.0000.0318 is (0x40006, 318)).
struct FileVersion {
    DWORD high = 0;
    DWORD low = 0;
};

struct DirectXProbes {
    // The provider's major, minor and letter text; false when it cannot be asked.
    std::function<bool(DWORD& major, DWORD& minor, std::string& letter)> provider;
    // The version information of a system file ("\ddraw.dll"); false when it has none.
    std::function<bool(const char* file, FileVersion& version)> fileVersion;
};

// The probes of this system.
DirectXProbes SystemDirectXProbes();

DWORD PackDirectXVersion(DWORD major, DWORD minor, char letter);

// Fills version and, when text is given, "%d.%d" or "%d.%d%c" (cut to textSize). Both are
// cleared first. Always 0: the file route gives a version (0.0 at worst) when the provider
// does not.
HRESULT GetDirectXVersion(DWORD* version, char* text, int textSize, const DirectXProbes& probes);
