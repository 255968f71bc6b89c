// The fade overlay: its six vertices, the states and calls of a draw on the recording
// device, and the darkened pixels it leaves on the OpenGL device.

#include "snowscape/fade_overlay.h"

#include "tests/platform/d3d9_fixture.h"
#include "tests/render/render_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

TEST(FadeOverlayLayoutTest, TwoTrianglesCoverTheClientArea) {
    struct Case {
        int width, height;
    };
    const Case cases[] = {{1024, 768}, {640, 480}, {1, 1}, {0, 0}};
    for (const Case& c : cases) {
        FadeVertex v[FadeOverlay::kVertexCount];
        std::memset(v, 0xAB, sizeof v);
        FadeOverlay::Layout(c.width, c.height, v);
        const float w = float(c.width), h = float(c.height);
        const float expected[6][2] = {{0, 0}, {w, 0}, {w, h}, {0, 0}, {w, h}, {0, h}};
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(v[i].x, expected[i][0]) << c.width << " vertex " << i;
            EXPECT_EQ(v[i].y, expected[i][1]) << c.width << " vertex " << i;
            EXPECT_EQ(v[i].z, 0.1f);
            EXPECT_EQ(v[i].rhw, 1.0f);
            EXPECT_EQ(v[i].color, 0u);
        }
    }
}

using FadeOverlayTest = RecordedDeviceTest;

std::ptrdiff_t IndexOf(const std::vector<RecordedCall>& calls, const std::string& text, std::size_t from = 0) {
    for (std::size_t i = from; i < calls.size(); ++i)
        if (calls[i].Text() == text) return std::ptrdiff_t(i);
    return -1;
}

TEST_F(FadeOverlayTest, DrawBlendsBlackWithTheAlphaAndNoDepth) {
    FadeOverlay overlay;
    ASSERT_TRUE(overlay.Draw(640, 480, 0.5f));
    const std::vector<RecordedCall>& calls = device->Calls();
    const std::ptrdiff_t draw = IndexOf(calls, "DrawPrimitive(4, 0, 2)");
    ASSERT_GE(draw, 0);
    EXPECT_EQ(device->Count("DrawPrimitive"), 1);
    // Depth test and depth writing off before the draw, on again after it.
    const std::ptrdiff_t zOff = IndexOf(calls, "SetRenderState(7, 0)");
    const std::ptrdiff_t writeOff = IndexOf(calls, "SetRenderState(14, 0)");
    EXPECT_GE(zOff, 0);
    EXPECT_GE(writeOff, 0);
    EXPECT_LT(zOff, draw);
    EXPECT_LT(writeOff, draw);
    EXPECT_GT(IndexOf(calls, "SetRenderState(7, 1)", std::size_t(draw)), draw);
    EXPECT_GT(IndexOf(calls, "SetRenderState(14, 1)", std::size_t(draw)), draw);
    const char* const before[] = {
        "SetFVF(68)",                            // XYZRHW | DIFFUSE
        "SetTexture(0, null)",                   // untextured
        "SetTextureStageState(0, 2, 0)",         // colour from the (black) diffuse
        "SetTextureStageState(0, 4, 2)",         // alpha: select ...
        "SetTextureStageState(0, 5, 3)",         // ... the texture factor
        "SetRenderState(60, 2130706432)",        // factor alpha 127
        "SetRenderState(27, 1)",                 // blending
        "SetRenderState(19, 5)",                 // source alpha
        "SetRenderState(20, 6)",                 // inverse source alpha
    };
    for (const char* text : before) {
        const std::ptrdiff_t at = IndexOf(calls, text);
        EXPECT_GE(at, 0) << text;
        EXPECT_LT(at, draw) << text;
    }
    const std::vector<std::string> streams = device->CallsOf("SetStreamSource");
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(streams[0], "SetStreamSource(0, ptr, 0, 20)");

    // The buffer holds the quad of the size drawn last.
    ASSERT_TRUE(overlay.Draw(800, 600, 0.5f));
    DynamicBatchBuffer* buffer = overlay.Renderer()->Vertices();
    void* data = nullptr;
    ASSERT_TRUE(buffer->Lock(0, sizeof(FadeVertex) * 6, D3DLOCK_READONLY, &data));
    FadeVertex expected[6];
    FadeOverlay::Layout(800, 600, expected);
    EXPECT_EQ(std::memcmp(data, expected, sizeof expected), 0);
    buffer->Unlock();
}

TEST_F(FadeOverlayTest, TheAlphaBecomesTheTextureFactor) {
    struct Case {
        float alpha;
        DWORD factor;  // the alpha byte of D3DRS_TEXTUREFACTOR
    };
    const Case cases[] = {{0.5f, 127},  {1.0f, 255}, {0.25f, 63}, {0.8f, 204},
                          {2.0f, 255},  {-1.0f, 0},  {std::numeric_limits<float>::quiet_NaN(), 0}};
    FadeOverlay overlay;
    ASSERT_TRUE(overlay.Create());
    for (const Case& c : cases) {
        ResetStateCache();
        device->ClearCalls();
        ASSERT_TRUE(overlay.Draw(320, 240, c.alpha)) << c.alpha;
        const std::string expected = "SetRenderState(60, " + std::to_string(c.factor << 24) + ")";
        EXPECT_EQ(IndexOf(device->Calls(), expected) >= 0, true) << c.alpha;
    }
}

TEST(FadeOverlayNoDeviceTest, NothingIsDrawnWithoutADevice) {
    PublishDevice(nullptr);
    ResetStateCache();
    FadeOverlay overlay;
    EXPECT_FALSE(overlay.Draw(640, 480, 0.5f));
}

class FadeOverlayGlTest : public D3D9DeviceTest {
protected:
    void SetUp() override {
        D3D9DeviceTest::SetUp();
        if (device_ == nullptr) return;
        PublishDevice(device_);
        ResetStateCache();
    }
    void TearDown() override {
        PublishDevice(nullptr);
        ResetStateCache();
        D3D9DeviceTest::TearDown();
    }
};

TEST_F(FadeOverlayGlTest, PixelsAreDarkenedByTheAlpha) {
    struct Case {
        float alpha;
        D3DCOLOR clear;
    };
    const Case cases[] = {{0.5f, 0xFFFFFFFFu}, {0.25f, 0xFFC86432u}, {1.0f, 0xFFFFFFFFu}, {0.0f, 0xFF80C0FFu},
                          {0.8f, 0xFFFFFFFFu}};
    FadeOverlay overlay;
    for (const Case& c : cases) {
        // The depth buffer cleared to 0 would hide anything depth-tested.
        ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, c.clear, 0.0f, 0), D3D_OK);
        ASSERT_EQ(device_->BeginScene(), D3D_OK);
        const bool drawn = overlay.Draw(kWidth, kHeight, c.alpha);
        ASSERT_EQ(device_->EndScene(), D3D_OK);
        ASSERT_TRUE(drawn);
        const std::vector<std::uint8_t> frame = Frame();
        ASSERT_EQ(frame.size(), std::size_t(kWidth * kHeight * 4));
        const int keep = 255 - int(c.alpha * 255.0f);
        const Rgba expected{int((c.clear >> 16) & 0xFF) * keep / 255, int((c.clear >> 8) & 0xFF) * keep / 255,
                            int(c.clear & 0xFF) * keep / 255, 255};
        for (const auto& at : {std::pair{0, 0}, std::pair{kWidth - 1, 0}, std::pair{kWidth / 2, kHeight / 2},
                               std::pair{0, kHeight - 1}, std::pair{kWidth - 1, kHeight - 1}})
            EXPECT_TRUE(Near(Pixel(frame, at.first, at.second), expected, 3))
                << "alpha " << c.alpha << " at " << at.first << "," << at.second;
    }
    DWORD z = 0, write = 0;
    device_->GetRenderState(D3DRS_ZENABLE, &z);
    device_->GetRenderState(D3DRS_ZWRITEENABLE, &write);
    EXPECT_EQ(z, DWORD(TRUE));
    EXPECT_EQ(write, DWORD(TRUE));
}

}  // namespace
