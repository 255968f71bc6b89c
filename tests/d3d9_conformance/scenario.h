#pragma once
// One scenario: a sequence of Direct3D 9 calls that draws into the 256 x 256 back buffer of a
// fresh device. The same sources build against our layer and against mingw-w64's d3d9.h; only
// the shims (entry point, window, read-back) differ.

#if defined(_WIN32)
#include <windows.h>
#include <d3d9.h>
#else
#include "platform/d3d9/d3d9.h"
#endif

#include <cstdint>
#include <string>
#include <vector>

constexpr int kTargetSize = 256;

// Collects the first failed call of a scenario; a scenario with a failure writes no image.
class ScenarioRun {
public:
    explicit ScenarioRun(IDirect3DDevice9* device) : device_(device) {}
    IDirect3DDevice9* Device() const { return device_; }
    // Records hr under `what` when it failed; answers whether it succeeded.
    bool Ok(HRESULT hr, const char* what);
    const std::string& Failure() const { return failure_; }

private:
    IDirect3DDevice9* device_;
    std::string failure_;
};

using ScenarioFunction = void (*)(ScenarioRun& run);

struct Scenario {
    const char* name;
    ScenarioFunction function;
};

// Every registered scenario, sorted by name.
const std::vector<Scenario>& AllScenarios();

struct ScenarioRegistrar {
    ScenarioRegistrar(const char* name, ScenarioFunction function);
};

#define FV_SCENARIO(name)                                          \
    static void Scenario_##name(ScenarioRun& run);                 \
    static const ScenarioRegistrar registrar_##name(#name, Scenario_##name); \
    static void Scenario_##name(ScenarioRun& run)

// Runs one scenario on a fresh device: clears to opaque black, begins the scene, runs it,
// ends the scene. The shim reads the back buffer afterwards.
void RunScenario(const Scenario& scenario, ScenarioRun& run);

// Writes a 256 x 256 RGBA image (rows top first) as a PAM file; false on failure.
bool WritePam(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba);
