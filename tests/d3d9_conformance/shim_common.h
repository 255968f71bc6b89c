#pragma once
// What both shims do around their own device creation and read-back: pick the scenarios named
// on the command line (all when none), run each on a fresh device, write <out>/<name>.pam, and
// report failures on stderr and the count line "scenarios: N run, F failed" on stdout. Exit status 1 when any scenario failed on this side.

#include "scenario.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

struct ShimSide {
    // A fresh device with a 256 x 256 back buffer; null (with a message) on failure.
    std::function<IDirect3DDevice9*()> createDevice;
    // The back buffer's RGBA bytes, rows top first.
    std::function<bool(IDirect3DDevice9*, std::vector<std::uint8_t>&)> readBack;
};

// A windowed 256 x 256 back buffer with a 24-bit depth buffer, presented at once.
inline D3DPRESENT_PARAMETERS TargetPresentParameters(HWND window) {
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = kTargetSize;
    parameters.BackBufferHeight = kTargetSize;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = window;
    parameters.Windowed = TRUE;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return parameters;
}

inline int RunShim(int argc, char** argv, const ShimSide& side) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTDIR [SCENARIO...] | --list\n", argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    if (out == "--list") {
        for (const Scenario& s : AllScenarios()) std::printf("%s\n", s.name);
        return 0;
    }
    int run = 0, failures = 0;
    for (const Scenario& scenario : AllScenarios()) {
        bool wanted = argc == 2;
        for (int i = 2; i < argc; ++i) wanted = wanted || scenario.name == std::string(argv[i]);
        if (!wanted) continue;
        IDirect3DDevice9* device = side.createDevice();
        if (!device) return 1;
        ++run;
        ScenarioRun result(device);
        RunScenario(scenario, result);
        std::vector<std::uint8_t> rgba;
        if (result.Failure().empty() && !side.readBack(device, rgba)) result.Ok(E_FAIL, "read-back");
        if (result.Failure().empty() &&
            !WritePam(out + "/" + scenario.name + ".pam", kTargetSize, kTargetSize, rgba))
            result.Ok(E_FAIL, "writing the image");
        if (!result.Failure().empty()) {
            std::fprintf(stderr, "%s: %s\n", scenario.name, result.Failure().c_str());
            ++failures;
        }
        device->Release();
    }
    std::printf("scenarios: %d run, %d failed\n", run, failures);
    return failures > 0 ? 1 : 0;
}
