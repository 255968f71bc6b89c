// The loading screen: which images are drawn, each texture made once, the quads and the fade.

#include "render/loading_screen.h"

#include "core/clock.h"
#include "platform/win/window.h"
#include "render/device_window.h"
#include "tests/render/texture_test_util.h"

#include <cstdlib>
#include <string>

namespace {

using texture_test::RecordingTextureTest;

class LoadingScreenTest : public RecordingTextureTest {
protected:
    void SetUp() override {
        RecordingTextureTest::SetUp();
        background_ = image_test::Jpeg(image_test::Pattern(64, 64, true), false, false);
        badge_ = image_test::Tga(image_test::Pattern(256, 128, false), 32, false, false);
        placeholder_ = image_test::Tga(image_test::Pattern(1, 1, false), 32, false, false);
    }

    std::vector<std::uint8_t> background_, badge_, placeholder_;
};

TEST_F(LoadingScreenTest, PlaceholdersAreSkippedAndTexturesAreMadeOnce) {
    const struct {
        const char* name;
        bool bigCorners;
        int quads;
    } cases[] = {{"one-pixel corners", false, 2}, {"real corners", true, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        device_->ClearCalls();
        LoadingScreen screen;
        screen.SetImageBytes(LoadingScreen::kBackground, background_.data(), background_.size());
        screen.SetImageBytes(LoadingScreen::kBottomRight, badge_.data(), badge_.size());
        const auto& corner = c.bigCorners ? badge_ : placeholder_;
        for (auto slot : {LoadingScreen::kTopLeft, LoadingScreen::kBottomLeft, LoadingScreen::kTopRight})
            screen.SetImageBytes(slot, corner.data(), corner.size());
        ASSERT_TRUE(screen.DrawFrame(device_, 800, 600, 1.0f));
        ASSERT_TRUE(screen.DrawFrame(device_, 800, 600, 0.5f));
        EXPECT_EQ(device_->Count("CreateTexture"), c.quads);
        EXPECT_EQ(device_->Count("DrawPrimitive"), 2 * c.quads);
        EXPECT_EQ(device_->Count("CreateVertexBuffer"), 1);
        EXPECT_EQ(device_->Count("BeginScene"), 2);
        EXPECT_EQ(device_->Count("EndScene"), 2);
        EXPECT_EQ(device_->CallsOf("Clear").front(), "Clear(0, 3, 4278190080, 1, 0)");
        EXPECT_EQ(screen.Texture(LoadingScreen::kTopLeft) != nullptr, c.bigCorners);
        const D3DSURFACE_DESC& desc = screen.Texture(LoadingScreen::kBottomRight)->Description();
        EXPECT_EQ(desc.Width, 256u);
        EXPECT_EQ(desc.Height, 128u);
        EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    }
}

TEST(LoadingScreenLayoutTest, QuadsCoverTheClientAreaAndTheCornersWithTheFade) {
    const struct {
        float fade;
        D3DCOLOR color;
    } fades[] = {{1.0f, 0xFFFFFFFFu}, {0.5f, 0xFF808080u}, {0.0f, 0xFF000000u}, {-3.0f, 0xFF000000u}};
    LoadingScreen::Vertex v[LoadingScreen::kSlotCount * LoadingScreen::kQuadVertices];
    for (const auto& f : fades) {
        LoadingScreen::Layout(640, 480, f.fade, v);
        for (const auto& vertex : v) {
            EXPECT_EQ(vertex.color, f.color);
            EXPECT_EQ(vertex.z, 0.1f);
            EXPECT_EQ(vertex.rhw, 1.0f);
        }
    }
    // Top-left and bottom-right vertex of each quad (vertices 0 and 2), and their texture corners.
    const struct {
        LoadingScreen::Slot slot;
        float x0, y0, x1, y1;
    } quads[] = {{LoadingScreen::kBackground, 0, 0, 640, 480},
                 {LoadingScreen::kBottomRight, 384, 352, 640, 480},
                 {LoadingScreen::kTopLeft, 0, 0, 256, 128},
                 {LoadingScreen::kBottomLeft, 0, 352, 256, 480},
                 {LoadingScreen::kTopRight, 384, 0, 640, 128}};
    for (const auto& q : quads) {
        SCOPED_TRACE(int(q.slot));
        const LoadingScreen::Vertex* quad = v + q.slot * LoadingScreen::kQuadVertices;
        EXPECT_EQ(quad[0].x, q.x0 - 0.5f);
        EXPECT_EQ(quad[0].y, q.y0 - 0.5f);
        EXPECT_EQ(quad[2].x, q.x1 - 0.5f);
        EXPECT_EQ(quad[2].y, q.y1 - 0.5f);
        EXPECT_EQ(quad[0].u, 0.0f);
        EXPECT_EQ(quad[0].v, 0.0f);
        EXPECT_EQ(quad[2].u, 1.0f);
        EXPECT_EQ(quad[2].v, 1.0f);
        EXPECT_EQ(quad[3].x, quad[0].x);
        EXPECT_EQ(quad[4].x, quad[2].x);
        EXPECT_EQ(quad[5].y, quad[2].y);
    }
}

TEST_F(LoadingScreenTest, NoBackgroundMeansNoQuadForIt) {
    LoadingScreen screen;
    const std::vector<std::uint8_t> garbage(2000, 0x11);
    screen.SetImageBytes(LoadingScreen::kBackground, garbage.data(), garbage.size());
    for (auto slot : {LoadingScreen::kBottomRight, LoadingScreen::kTopLeft, LoadingScreen::kBottomLeft,
                      LoadingScreen::kTopRight})
        screen.SetImageBytes(slot, nullptr, 0);
    ASSERT_TRUE(screen.DrawFrame(device_, 640, 480, 1.0f));
    EXPECT_EQ(device_->Count("DrawPrimitive"), 0);
    EXPECT_EQ(device_->Count("CreateTexture"), 0);
    EXPECT_FALSE(screen.DrawFrame(nullptr, 640, 480, 1.0f));
}

}  // namespace

// The fade-out runs for its 200 ms through frames that cannot be drawn; a clock that
// stands still still ends it after 50 frames.
TEST_F(LoadingScreenTest, FadeOutRunsItsTimeThroughFailedFrames) {
    struct FlakyWindow : DeviceWindow {
        int failures = 0, checks = 0, presents = 0;
        bool CheckDevice() override {
            ++checks;
            if (failures == 0) return true;
            --failures;
            AdvanceVirtualClock();  // time passes while the device is away
            return false;
        }
        bool Present() override {
            ++presents;
            AdvanceVirtualClock();
            return true;
        }
    };
    const struct {
        int failures;
        double stepMs;
        int checks, presents;
    } cases[] = {{0, 20, 10, 10}, {3, 20, 10, 7}, {0, 0, 50, 50}, {1000, 0, 50, 0}};
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    for (const auto& c : cases) {
        FlakyWindow window;
        ASSERT_TRUE(window.Create(nullptr, nullptr));  // a client area to draw into
        window.failures = c.failures;
        UseVirtualClock(1000, c.stepMs);
        LoadingScreen screen;
        screen.FadeOut(window);
        EXPECT_EQ(window.checks, c.checks) << c.failures << " " << c.stepMs;
        EXPECT_EQ(window.presents, c.presents) << c.failures << " " << c.stepMs;
        DestroyWindow(window.GetWindow());
    }
    UseMonotonicClock();
}
