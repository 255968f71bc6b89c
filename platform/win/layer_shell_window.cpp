#include "platform/win/layer_shell_window.h"

#include "platform/wayland/layer_surface.h"
#include "platform/win/message_queue.h"
#include "platform/win/native_window.h"
#include "platform/win/window_internal.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct LayerWindow {
    std::shared_ptr<LayerSurface> surface;
    bool closeSent = false;
};

std::shared_ptr<WaylandDisplay> gDisplay;
std::string gOutput;

std::vector<LayerWindow>& Surfaces() {
    static std::vector<LayerWindow> surfaces;
    return surfaces;
}

}  // namespace

std::string LayerShellOutput(const std::string& named, const char* lockScreenOutput) {
    if (!named.empty()) return named;
    return lockScreenOutput ? lockScreenOutput : "";
}

bool UseLayerShell(const std::string& output, std::string& error) {
    std::shared_ptr<WaylandDisplay> display = WaylandDisplay::Connect(error);
    if (!display) return false;
    if (!output.empty() && !display->FindOutput(output)) {
        error = "--layer-shell: the compositor has no output named '" + output + "' (outputs: " +
                display->OutputNames() + ")";
        return false;
    }
    gDisplay = std::move(display);
    gOutput = output;
    // SDL keeps to itself: its offscreen driver serves the Direct3D layer's adapter list
    // and never touches the compositor's connection.
    UseOffscreenVideo();
    return true;
}

bool LayerShellInUse() { return gDisplay != nullptr; }

GlContextSource* CreateLayerSurface(int& width, int& height) {
    std::string error;
    // The output may have gone since the connection was made: then the compositor chooses.
    std::shared_ptr<LayerSurface> surface =
        LayerSurface::Create(gDisplay, gOutput.empty() ? nullptr : gDisplay->FindOutput(gOutput), error);
    if (!surface) return nullptr;
    width = surface->PixelWidth();
    height = surface->PixelHeight();
    Surfaces().push_back({surface, false});
    return surface.get();
}

void DestroyLayerSurface(GlContextSource* source) {
    auto& surfaces = Surfaces();
    surfaces.erase(std::remove_if(surfaces.begin(), surfaces.end(),
                                  [&](const LayerWindow& w) { return w.surface.get() == source; }),
                   surfaces.end());
}

void ReadLayerShellEvents() {
    if (!gDisplay || Surfaces().empty()) return;
    gDisplay->Dispatch(0);
    for (HWND window : AllWindows()) {
        WindowRecord* record = FindWindowRecord(window);
        GlContextSource* source = GlContextSourceOf(window);
        if (!record || !source) continue;
        for (LayerWindow& layer : Surfaces()) {
            if (layer.surface.get() != source) continue;
            if (layer.surface->Closed()) {
                if (!layer.closeSent) PostInputMessage(window, WM_CLOSE, 0, 0);
                layer.closeSent = true;
            } else if (layer.surface->PixelWidth() != record->width ||
                       layer.surface->PixelHeight() != record->height) {
                record->width = layer.surface->PixelWidth();
                record->height = layer.surface->PixelHeight();
                PostSizeMove(window);
            }
        }
    }
}
