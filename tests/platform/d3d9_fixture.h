#pragma once
// A headless Direct3D device on its own SDL window (offscreen driver), and pixel helpers.
// Tests skip, with the reason, when no OpenGL 3.3 context can be had.

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/d3d9_hooks.h"
#include "platform/win/native_window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <vector>

struct RhwVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};
constexpr DWORD kRhwFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

struct LitVertex {
    float x, y, z;
    float nx, ny, nz;
};
constexpr DWORD kLitFvf = D3DFVF_XYZ | D3DFVF_NORMAL;

struct ColorVertex {
    float x, y, z;
    D3DCOLOR color;
};
constexpr DWORD kColorFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

using Rgba = std::array<int, 4>;

class D3D9DeviceTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 64, kHeight = 64;

    void SetUp() override {
        if (!std::getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "offscreen", 1);
        d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
        if (!d3d_) GTEST_SKIP() << "SDL video unavailable: " << SDL_GetError();
        window_ = SDL_CreateWindow("d3d9 test", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!window_) GTEST_SKIP() << "no window: " << SDL_GetError();
        hwnd_ = RegisterNativeWindow(window_);
        parameters_ = D3DPRESENT_PARAMETERS{};
        parameters_.BackBufferWidth = kWidth;
        parameters_.BackBufferHeight = kHeight;
        parameters_.BackBufferFormat = D3DFMT_A8R8G8B8;
        parameters_.BackBufferCount = 1;
        parameters_.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters_.hDeviceWindow = hwnd_;
        parameters_.Windowed = TRUE;
        parameters_.EnableAutoDepthStencil = TRUE;
        parameters_.AutoDepthStencilFormat = D3DFMT_D24S8;
        parameters_.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        const HRESULT hr = d3d_->CreateDevice(0, D3DDEVTYPE_HAL, hwnd_, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                              &parameters_, &device_);
        if (FAILED(hr) || !device_) GTEST_SKIP() << "no OpenGL 3.3 context: " << SDL_GetError();
    }

    void TearDown() override {
        if (device_) device_->Release();
        if (hwnd_) UnregisterNativeWindow(hwnd_);
        if (window_) SDL_DestroyWindow(window_);
        if (d3d_) d3d_->Release();
    }

    std::vector<std::uint8_t> Frame() {
        PresentedFrame frame;
        EXPECT_TRUE(ReadBackBuffer(device_, frame));
        EXPECT_EQ(frame.width, kWidth);
        return frame.rgba;
    }

    static Rgba Pixel(const std::vector<std::uint8_t>& rgba, int x, int y, int width = kWidth) {
        const std::size_t at = (std::size_t(y) * width + x) * 4;
        return {rgba[at], rgba[at + 1], rgba[at + 2], rgba[at + 3]};
    }

    // Two triangles, clockwise on screen, covering [x0, x1) x [y0, y1).
    void DrawRhwQuad(float x0, float y0, float x1, float y1, D3DCOLOR color, float z = 0.5f) {
        const RhwVertex v[6] = {{x0, y0, z, 1, color}, {x1, y0, z, 1, color}, {x1, y1, z, 1, color},
                                {x0, y0, z, 1, color}, {x1, y1, z, 1, color}, {x0, y1, z, 1, color}};
        device_->SetFVF(kRhwFvf);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(RhwVertex)), D3D_OK);
    }

    IDirect3D9* d3d_ = nullptr;
    SDL_Window* window_ = nullptr;
    HWND hwnd_ = nullptr;
    D3DPRESENT_PARAMETERS parameters_{};
    IDirect3DDevice9* device_ = nullptr;
};

// Whether each channel of a pixel is within tolerance of the expected value.
inline ::testing::AssertionResult Near(const Rgba& actual, const Rgba& expected, int tolerance, bool alpha = false) {
    for (int c = 0; c < (alpha ? 4 : 3); ++c)
        if (std::abs(actual[c] - expected[c]) > tolerance)
            return ::testing::AssertionFailure() << "got (" << actual[0] << ", " << actual[1] << ", " << actual[2]
                                                 << ", " << actual[3] << ") want (" << expected[0] << ", "
                                                 << expected[1] << ", " << expected[2] << ", " << expected[3] << ")";
    return ::testing::AssertionSuccess();
}
