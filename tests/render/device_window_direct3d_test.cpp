// The device window over a real Direct3D device (headless OpenGL): the frame shows the clear
// colour, a size change resets the device, a lost device is reset by the device check, and
// the window's objects are told around each of these.

#include "platform/d3d9/d3d9_hooks.h"
#include "platform/win/message_queue.h"
#include "platform/win/window.h"
#include "render/device_globals.h"
#include "render/device_object.h"
#include "tests/render/counting_device_object.h"
#include "render/device_window.h"
#include "render/dynamic_batch_buffer.h"
#include "render/texture_resource.h"
#include "tests/platform/image_test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

class DeviceWindowDirect3DTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        ResetMessageQueue();
        ASSERT_TRUE(window_.Create(nullptr, nullptr));
        ASSERT_TRUE(window_.SelectSettings(false));
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message != WM_QUIT) DispatchMessageA(&msg);
    }
    void TearDown() override {
        DestroyWindow(window_.GetWindow());
        ResetMessageQueue();
    }
    DeviceWindow window_;
};

TEST_F(DeviceWindowDirect3DTest, FramesShowTheClearColour) {
    IDirect3DDevice9* device = window_.Device();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(CurrentDevice(), device);
    EXPECT_TRUE(window_.Session().CurrentSettings().windowed);
    SetFrameCapture(device, true);
    ASSERT_TRUE(window_.CheckDevice());
    ASSERT_TRUE(window_.ClearFrame(D3DCOLOR_XRGB(40, 90, 200)));
    ASSERT_TRUE(window_.Present());
    PresentedFrame frame;
    ASSERT_TRUE(ReadPresentedFrame(device, frame));
    ASSERT_GT(frame.width, 0);
    const std::size_t middle = (std::size_t(frame.height / 2) * frame.width + frame.width / 2) * 4;
    EXPECT_NEAR(frame.rgba[middle + 0], 40, 1);
    EXPECT_NEAR(frame.rgba[middle + 1], 90, 1);
    EXPECT_NEAR(frame.rgba[middle + 2], 200, 1);
}

TEST_F(DeviceWindowDirect3DTest, LostDeviceIsResetAndObjectsRebuilt) {
    CountingObject object;
    DynamicBatchBuffer buffer;
    ASSERT_TRUE(buffer.Configure(VertexDescription(D3DFVF_XYZ, 12, 120)));
    ASSERT_TRUE(buffer.HasBuffer());
    SimulateDeviceLost(window_.Device(), 1);
    EXPECT_TRUE(window_.CheckDevice());  // lost: nothing is done yet
    EXPECT_EQ(object.invalidates, 0);
    EXPECT_TRUE(window_.CheckDevice());  // not reset: reset now
    EXPECT_EQ(object.invalidates, 1);
    EXPECT_EQ(object.restores, 1);
    EXPECT_TRUE(buffer.HasBuffer());
    EXPECT_TRUE(window_.ClearFrame(0));
    EXPECT_TRUE(window_.Present());
}

// Textures answer the group call too: one that cannot be rebuilt (its caller's bytes are no
// image any more) fails the reset, and every object is invalidated again.
TEST_F(DeviceWindowDirect3DTest, ATextureThatCannotBeRebuiltFailsTheGroup) {
    image::Image pixels;
    pixels.Allocate(4, 4);
    std::vector<std::uint8_t> bytes = image_test::Tga(pixels, 32, false, false);
    TextureResource texture;
    TextureParameters parameters;
    parameters.mode = texture_mode::kMemory;
    ASSERT_TRUE(texture.CreateFromMemory(bytes.data(), bytes.size(), parameters));
    CountingObject object;
    std::fill(bytes.begin(), bytes.end(), std::uint8_t(0xEE));
    SimulateDeviceLost(window_.Device(), 1);
    EXPECT_TRUE(window_.CheckDevice());
    EXPECT_FALSE(window_.CheckDevice());
    EXPECT_EQ(object.restores, 1);
    EXPECT_EQ(object.invalidates, 2);
    EXPECT_FALSE(window_.Session().ObjectsRestored());
}

TEST_F(DeviceWindowDirect3DTest, ReleaseOnDestroyClearsTheDevice) {
    CountingObject object;
    DestroyWindow(window_.GetWindow());
    EXPECT_FALSE(window_.HasDevice());
    EXPECT_EQ(CurrentDevice(), nullptr);
    EXPECT_EQ(object.invalidates, 1);
    EXPECT_FALSE(window_.CheckDevice());
    EXPECT_FALSE(window_.Present());
}

}  // namespace
