#pragma once
// The loading screen shown during start-up: the background image stretched over the whole
// client area, the badge flush with the bottom-right corner and, when they are real images
// (more than 1024 bytes), the badges of the other three corners. Each image becomes a
// texture once, from the resource bytes (which the program keeps), and is drawn as one
// pre-transformed quad of two triangles. The fade f (0 ... 1) modulates every image towards
// black: 1 shows it fully, 0 is black.
//
// Resources: background "MEMFILE" 174 (JPEG, 512 x 512); bottom-right "TGA" 4 (256 x 128);
// top-left 176, bottom-left 177, top-right 178 ("TGA", 256 x 128 each).

#include "platform/d3d9/d3d9.h"
#include "render/device_window.h"
#include "render/texture_resource.h"

#include <cstddef>
#include <memory>

class LoadingScreen {
public:
    enum Slot { kBackground, kBottomRight, kTopLeft, kBottomLeft, kTopRight, kSlotCount };
    static constexpr std::size_t kPlaceholderBytes = 1024;
    static constexpr int kBadgeWidth = 256, kBadgeHeight = 128;
    static constexpr long long kFadeOutMs = 200;

    LoadingScreen();
    ~LoadingScreen();
    LoadingScreen(const LoadingScreen&) = delete;
    LoadingScreen& operator=(const LoadingScreen&) = delete;

    // The bytes of one image instead of its resource (must outlive the screen).
    void SetImageBytes(Slot slot, const void* bytes, std::size_t length);

    // Start-up step 12 (fade 1) and each frame of the fade-out: when the device check
    // passes, draws one frame and presents it. False when nothing was drawn.
    bool Show(DeviceWindow& window, float fade);
    // Start-up step 28: frames at fade 1 - elapsed / 200 ms until 200 ms have passed.
    void FadeOut(DeviceWindow& window);

    // One frame on the device for a client area of width x height: clear to black, begin,
    // the quads, end. The textures are made at the first call.
    bool DrawFrame(IDirect3DDevice9* device, int width, int height, float fade);

    struct Vertex {
        float x, y, z, rhw;
        D3DCOLOR color;
        float u, v;
    };
    static constexpr int kQuadVertices = 6;
    // The quads of every slot (kSlotCount * kQuadVertices vertices) for a width x height
    // client area: two clockwise triangles a quad, corners on pixel edges less half a pixel.
    static void Layout(int width, int height, float fade, Vertex* out);

    // The texture of a slot once made (null when the image is absent, a placeholder, or bad).
    TextureResource* Texture(Slot slot) const { return textures_[slot].get(); }

private:
    struct Bytes {
        const void* data = nullptr;
        std::size_t length = 0;
        bool given = false;
    };
    void MakeTextures();
    bool EnsureVertexBuffer(IDirect3DDevice9* device);

    Bytes bytes_[kSlotCount];
    std::unique_ptr<TextureResource> textures_[kSlotCount];
    bool texturesMade_ = false;
    IDirect3DVertexBuffer9* vertices_ = nullptr;
    IDirect3DDevice9* vertexDevice_ = nullptr;
};
