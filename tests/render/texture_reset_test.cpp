// Textures across a device reset: released before it, made again with their pixels after,
// on the recording device and on the OpenGL device under the offscreen video driver.

#include "render/texture_cache.h"
#include "tests/platform/d3d9_fixture.h"
#include "tests/render/texture_test_util.h"

#include <functional>
#include <string>

namespace {

using texture_test::RecordingTextureTest;
using texture_test::SolidPng;
using texture_test::TempFolder;

std::uint32_t ReadTexel(IDirect3DTexture9* texture, int x, int y) {
    D3DLOCKED_RECT locked{};
    if (!texture || FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) return 0xDEADBEEF;
    std::uint32_t value = 0;
    std::memcpy(&value, static_cast<const std::uint8_t*>(locked.pBits) + std::size_t(y) * locked.Pitch + x * 4, 4);
    texture->UnlockRect(0);
    return value;
}

// Every creation mode that has pixels, with an atlas sub-texture, comes back the same.
void CheckEveryModeSurvives(IDirect3DDevice9* device, const std::function<void()>& reset) {
    TempFolder folder;
    PublishDevice(device);
    image::Image pattern = image_test::Pattern(8, 8, true);
    const std::vector<std::uint8_t> png = image_test::Png(pattern);
    const String name(folder.Write("p.png", png).c_str());
    const String sub(folder.Write("s.png", SolidPng(2, 2, 0xFF00FF00u)).c_str());
    TextureResource archive, named, memory, atlas;
    TextureParameters p;
    p.levels = 1;
    p.format = D3DFMT_A8R8G8B8;
    p.mode = texture_mode::kArchiveFile;
    ASSERT_TRUE(archive.CreateFromFile(name, p));
    p.mode = texture_mode::kNamedFile;
    ASSERT_TRUE(named.CreateFromFile(name, p));
    p.mode = texture_mode::kMemory;
    ASSERT_TRUE(memory.CreateFromMemory(png.data(), png.size(), p));
    ASSERT_TRUE(atlas.LoadDescription(String(
        folder.Write("a.ts", "Width = 8; Height = 8; Format = \"D3DFMT_A8R8G8B8\"; Subs[0].FileName = \"" +
                                 std::string(sub.CStr()) + "\"; Subs[0].x1 = 4; Subs[0].y1 = 4; Subs[0].w = 2;"
                                 "Subs[0].h = 2;")
            .c_str())));
    TextureResource* all[] = {&archive, &named, &memory};
    for (TextureResource* t : all) EXPECT_EQ(ReadTexel(t->GetTexture(), 5, 3), pattern.At(5, 3));
    EXPECT_EQ(ReadTexel(atlas.GetTexture(), 5, 5), 0xFF00FF00u);

    for (TextureResource* t : all) EXPECT_TRUE(t->InvalidateTexture());
    EXPECT_TRUE(atlas.InvalidateTexture());
    EXPECT_EQ(archive.Direct3DTexture(), nullptr);
    EXPECT_EQ(atlas.Subs()[0]->Direct3DTexture(), nullptr);
    reset();
    for (TextureResource* t : all) ASSERT_TRUE(t->RestoreTexture());
    ASSERT_TRUE(atlas.RestoreTexture());
    for (TextureResource* t : all) {
        EXPECT_EQ(ReadTexel(t->GetTexture(), 5, 3), pattern.At(5, 3));
        EXPECT_EQ(ReadTexel(t->GetTexture(), 0, 7), pattern.At(0, 7));
    }
    EXPECT_EQ(ReadTexel(atlas.GetTexture(), 5, 5), 0xFF00FF00u);
    EXPECT_EQ(atlas.Subs()[0]->Direct3DTexture(), atlas.Direct3DTexture());
    PublishDevice(nullptr);
}

TEST(TextureResetTest, PixelsSurviveAResetOnTheRecordingDevice) {
    RecordingDevice* device = RecordingDevice::Create();
    CheckEveryModeSurvives(device, [] {});
    device->Release();
}

class TextureGlResetTest : public D3D9DeviceTest {};

TEST_F(TextureGlResetTest, PixelsSurviveASimulatedLostDevice) {
    CheckEveryModeSurvives(device_, [this] {
        SimulateDeviceLost(device_, 1);
        EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICELOST);
        EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
        EXPECT_EQ(device_->Reset(&parameters_), D3D_OK);
        EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
    });
}

}  // namespace
