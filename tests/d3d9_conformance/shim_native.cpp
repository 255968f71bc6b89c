// The scenarios on our Direct3D 9 layer, headless (SDL's offscreen driver).

#include "shim_common.h"

#include "platform/d3d9/d3d9_hooks.h"
#include "platform/win/native_window.h"

#include <SDL.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d) {
        std::fprintf(stderr, "Error: no SDL video: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("conformance", 0, 0, kTargetSize, kTargetSize,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) {
        std::fprintf(stderr, "Error: no window: %s\n", SDL_GetError());
        d3d->Release();
        return 1;
    }
    HWND hwnd = RegisterNativeWindow(window);
    ShimSide side;
    side.createDevice = [&]() -> IDirect3DDevice9* {
        D3DPRESENT_PARAMETERS parameters = TargetPresentParameters(hwnd);
        IDirect3DDevice9* device = nullptr;
        if (FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, hwnd, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters,
                                     &device)))
            std::fprintf(stderr, "Error: no OpenGL 3.3 device: %s\n", SDL_GetError());
        return device;
    };
    side.readBack = [](IDirect3DDevice9* device, std::vector<std::uint8_t>& rgba) {
        PresentedFrame frame;
        if (!ReadBackBuffer(device, frame) || frame.width != kTargetSize || frame.height != kTargetSize) return false;
        rgba = std::move(frame.rgba);
        return true;
    };
    const int status = RunShim(argc, argv, side);
    UnregisterNativeWindow(hwnd);
    SDL_DestroyWindow(window);
    d3d->Release();
    return status;
}
