#include "scenario.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

std::vector<Scenario>& Registry() {
    static std::vector<Scenario> scenarios;
    return scenarios;
}

}  // namespace

bool ScenarioRun::Ok(HRESULT hr, const char* what) {
    if (SUCCEEDED(hr)) return true;
    if (failure_.empty()) {
        char text[160];
        std::snprintf(text, sizeof text, "%s failed (0x%08lx)", what, static_cast<unsigned long>(hr));
        failure_ = text;
    }
    return false;
}

const std::vector<Scenario>& AllScenarios() {
    std::vector<Scenario>& scenarios = Registry();
    std::sort(scenarios.begin(), scenarios.end(),
              [](const Scenario& a, const Scenario& b) { return std::strcmp(a.name, b.name) < 0; });
    return scenarios;
}

ScenarioRegistrar::ScenarioRegistrar(const char* name, ScenarioFunction function) {
    Registry().push_back({name, function});
}

void RunScenario(const Scenario& scenario, ScenarioRun& run) {
    IDirect3DDevice9* device = run.Device();
    if (!run.Ok(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0),
                "Clear"))
        return;
    if (!run.Ok(device->BeginScene(), "BeginScene")) return;
    scenario.function(run);
    run.Ok(device->EndScene(), "EndScene");
}

bool WritePam(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba) {
    if (rgba.size() != std::size_t(width) * height * 4) return false;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    std::fprintf(out, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n", width, height);
    const bool written = std::fwrite(rgba.data(), 1, rgba.size(), out) == rgba.size();
    return std::fclose(out) == 0 && written;
}
