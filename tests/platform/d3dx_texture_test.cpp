// D3DX texture creation and surface loads on the recording device (memory textures).

#include "platform/d3d9/recording_device.h"
#include "platform/d3dx/d3dx_texture.h"
#include "tests/platform/image_test_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using image_test::Bytes;

class D3dxTextureTest : public ::testing::Test {
protected:
    void SetUp() override { device_ = RecordingDevice::Create(); }
    void TearDown() override { device_->Release(); }

    IDirect3DTexture9* Load(const Bytes& file, UINT w, UINT h, UINT levels, D3DFORMAT format, D3DCOLOR key = 0,
                            HRESULT* result = nullptr, D3DXIMAGE_INFO* info = nullptr) {
        IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(1);
        const HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(
            device_, file.data(), UINT(file.size()), w, h, levels, 0, format, D3DPOOL_MANAGED, D3DX_FILTER_BOX,
            D3DX_FILTER_BOX, key, info, nullptr, &texture);
        if (result) *result = hr;
        return texture;
    }

    static std::uint32_t Texel32(IDirect3DTexture9* texture, UINT level, int x, int y) {
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
        std::uint32_t v = 0;
        std::memcpy(&v, static_cast<const std::uint8_t*>(locked.pBits) + std::size_t(y) * locked.Pitch + x * 4, 4);
        texture->UnlockRect(level);
        return v;
    }

    RecordingDevice* device_ = nullptr;
};

TEST_F(D3dxTextureTest, SizeFormatAndLevelsFollowTheRequestOrTheImage) {
    const Bytes alphaPng = image_test::Png(image_test::Pattern(8, 4, false));
    const Bytes opaqueTga = image_test::Tga(image_test::Pattern(8, 4, true), 24, false, false);
    const struct {
        const char* name;
        const Bytes* file;
        UINT w, h, levels;
        D3DFORMAT format;
        UINT wantW, wantH, wantLevels;
        D3DFORMAT wantFormat;
    } cases[] = {
        {"defaults, alpha", &alphaPng, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, 8, 4, 4,
         D3DFMT_A8R8G8B8},
        {"defaults, opaque", &opaqueTga, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, 8, 4, 4,
         D3DFMT_X8R8G8B8},
        {"zero is the image's size and a full chain", &alphaPng, 0, 0, 0, D3DFMT_UNKNOWN, 8, 4, 4, D3DFMT_A8R8G8B8},
        {"asked size, one level, 16-bit", &opaqueTga, 16, 16, 1, D3DFMT_R5G6B5, 16, 16, 1, D3DFMT_R5G6B5},
        {"two levels", &alphaPng, D3DX_DEFAULT, D3DX_DEFAULT, 2, D3DFMT_A4R4G4B4, 8, 4, 2, D3DFMT_A4R4G4B4},
        {"more levels than the chain", &alphaPng, 2, 2, 9, D3DFMT_A8R8G8B8, 2, 2, 2, D3DFMT_A8R8G8B8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HRESULT hr = E_FAIL;
        D3DXIMAGE_INFO info{};
        IDirect3DTexture9* texture = Load(*c.file, c.w, c.h, c.levels, c.format, 0, &hr, &info);
        ASSERT_EQ(hr, D3D_OK);
        ASSERT_NE(texture, nullptr);
        D3DSURFACE_DESC desc{};
        ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
        EXPECT_EQ(desc.Width, c.wantW);
        EXPECT_EQ(desc.Height, c.wantH);
        EXPECT_EQ(desc.Format, c.wantFormat);
        EXPECT_EQ(texture->GetLevelCount(), c.wantLevels);
        EXPECT_EQ(info.Width, 8u);
        EXPECT_EQ(info.Height, 4u);
        texture->Release();
    }
}

TEST_F(D3dxTextureTest, EmptyTexturesTakeD3dxDefaults) {
    const struct {
        UINT w, h, levels;
        D3DFORMAT format;
        UINT wantW, wantH, wantLevels;
        D3DFORMAT wantFormat;
    } cases[] = {
        {0, 0, 0, D3DFMT_UNKNOWN, 256, 256, 9, D3DFMT_A8R8G8B8},
        {D3DX_DEFAULT, 64, 1, D3DFMT_R5G6B5, 256, 64, 1, D3DFMT_R5G6B5},
        {32, 8, D3DX_DEFAULT, D3DFMT_X8R8G8B8, 32, 8, 6, D3DFMT_X8R8G8B8},
    };
    for (const auto& c : cases) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(D3DXCreateTexture(device_, c.w, c.h, c.levels, 0, c.format, D3DPOOL_MANAGED, &texture), D3D_OK);
        D3DSURFACE_DESC desc{};
        texture->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Width, c.wantW);
        EXPECT_EQ(desc.Height, c.wantH);
        EXPECT_EQ(desc.Format, c.wantFormat);
        EXPECT_EQ(texture->GetLevelCount(), c.wantLevels);
        texture->Release();
    }
}

TEST_F(D3dxTextureTest, ColourKeyMakesMatchingTexelsTransparentBlackAndMipsAreBoxed) {
    image::Image img;
    img.Allocate(2, 2);
    img.pixels = {0xFFFF00FFu, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    IDirect3DTexture9* texture = Load(image_test::Png(img), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT,
                                      D3DFMT_A8R8G8B8, 0xFFFF00FFu);
    ASSERT_NE(texture, nullptr);
    ASSERT_EQ(texture->GetLevelCount(), 2u);
    EXPECT_EQ(Texel32(texture, 0, 0, 0), 0x00000000u);
    EXPECT_EQ(Texel32(texture, 0, 1, 0), 0xFF00FF00u);
    EXPECT_EQ(Texel32(texture, 0, 0, 1), 0xFF0000FFu);
    // The 1x1 level is the rounded average of the keyed level 0.
    EXPECT_EQ(Texel32(texture, 1, 0, 0), 0xBF408080u);
    texture->Release();
}

TEST_F(D3dxTextureTest, BadBytesGiveNoTexture) {
    const Bytes png = image_test::Png(image_test::Pattern(4, 4, false));
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {{"garbage", Bytes(64, 0x5A)}, {"truncated PNG", Bytes(png.begin(), png.begin() + 40)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HRESULT hr = D3D_OK;
        EXPECT_EQ(Load(c.file, D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DFMT_UNKNOWN, 0, &hr), nullptr);
        EXPECT_EQ(hr, D3DXERR_INVALIDDATA);
    }
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(D3DXCreateTextureFromFileExA(device_, "/nonexistent/x.png", D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                           D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                           nullptr, &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(device_->Count("CreateTexture"), 0);
}

TEST_F(D3dxTextureTest, SurfaceLoadWritesOnlyTheDestinationRectangle) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTexture(device_, 8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &surface), D3D_OK);
    image::Image img;
    img.Allocate(2, 2);
    img.pixels = {0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u};
    const Bytes file = image_test::Png(img);
    const RECT dest{3, 2, 5, 4};
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXLoadSurfaceFromFileInMemory(surface, nullptr, &dest, file.data(), UINT(file.size()), nullptr,
                                              D3DX_FILTER_NONE, 0, &info),
              D3D_OK);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
    EXPECT_EQ(Texel32(texture, 0, 3, 2), 0xFF102030u);
    EXPECT_EQ(Texel32(texture, 0, 4, 2), 0xFF405060u);
    EXPECT_EQ(Texel32(texture, 0, 3, 3), 0xFF708090u);
    EXPECT_EQ(Texel32(texture, 0, 4, 3), 0xFFA0B0C0u);
    EXPECT_EQ(Texel32(texture, 0, 2, 2), 0u);
    EXPECT_EQ(Texel32(texture, 0, 5, 3), 0u);
    EXPECT_EQ(Texel32(texture, 0, 3, 4), 0u);
    const RECT outside{6, 6, 9, 9};
    EXPECT_NE(D3DXLoadSurfaceFromFileInMemory(surface, nullptr, &outside, file.data(), UINT(file.size()), nullptr,
                                              D3DX_FILTER_NONE, 0, nullptr),
              D3D_OK);
    surface->Release();
    texture->Release();
}

}  // namespace
