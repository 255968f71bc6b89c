// The snow renderer and its buffer: what is made, one draw call per frame sized to the
// flakes, no draw for an empty list or a failed lock, a buffer that survives a reset, and
// white flakes on the OpenGL device.

#include "tests/snowscape/snow_test_util.h"

#include "core/archive_writer.h"
#include "core/log.h"
#include "core/media_archive.h"
#include "render/render_texture.h"
#include "render/texture_cache.h"
#include "tests/platform/d3d9_fixture.h"
#include "tests/platform/image_test_files.h"

#include <fstream>
#include <iterator>
#include <string>

namespace {

using snow_test::Camera;
using snow_test::SnowTest;
using snow_test::StillTuning;

// Mounts a media archive holding an opaque white flake texture for the life of the object.
class FlakeArchive {
public:
    FlakeArchive() {
        image::Image white;
        white.Allocate(8, 8);
        for (auto& p : white.pixels) p = 0xFFFFFFFFu;
        String error;
        const std::vector<ArchiveFile> files = {{String("snowA_01.tga"), image_test::Tga(white, 32, false, false)}};
        ok_ = PackArchive(kMediaFolder, files, bytes_, error);
        if (ok_) MountArchiveBytes(bytes_.data(), bytes_.size());
    }
    ~FlakeArchive() { UnmountArchiveForTesting(); }
    bool Ok() const { return ok_; }

private:
    std::vector<std::uint8_t> bytes_;
    bool ok_ = false;
};

// n flakes in a row ahead of a camera at the origin looking along +z.
void AddRow(SnowSystem& snow, int n) {
    for (int i = 0; i < n; ++i) snow.AddFlake({{float(i % 50) - 25.0f, 10, 20.0f + float(i % 100)}, {0, 0, 0}});
}

TEST_F(SnowTest, TheRendererIsALitAdditiveDynamicBatchWithTheFlakeTexture) {
    const std::string logPath = testing::TempDir() + "snow_renderer_log.txt";
    ASSERT_TRUE(OpenLogFile(logPath.c_str()));
    {
        FlakeArchive archive;
        ASSERT_TRUE(archive.Ok());
        TextureCache textures;
        SnowSystem snow(StillTuning());
        ASSERT_TRUE(snow.CreateRenderer(textures));
        RenderVertices* r = snow.Renderer();
        ASSERT_NE(r, nullptr);
        ASSERT_NE(r->State().texture, nullptr);
        ASSERT_NE(r->State().texture->Direct3DTexture(), nullptr);
        EXPECT_TRUE(r->IsLit());
        EXPECT_EQ(r->State().alphaMode, 2u);
        EXPECT_EQ(r->State().blendType, 1u);
        EXPECT_EQ(r->State().depthMode, 1u);
        EXPECT_FALSE(r->State().twoSided);
        EXPECT_EQ(r->State().addressU, DWORD(D3DTADDRESS_WRAP));
        EXPECT_EQ(r->State().minFilter, DWORD(D3DTEXF_LINEAR));
        EXPECT_EQ(r->State().mipFilter, DWORD(D3DTEXF_POINT));
        EXPECT_EQ(r->PrimitiveType(), D3DPT_TRIANGLELIST);
        const DynamicBatchBuffer* vb = r->Vertices();
        EXPECT_EQ(vb->Fvf(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
        EXPECT_EQ(vb->Stride(), 32u);
        EXPECT_EQ(vb->Size(), 192000u);
        EXPECT_EQ(vb->MinimumSize(), 192000u);
        EXPECT_EQ(vb->Usage(), DWORD(D3DUSAGE_DYNAMIC));
        EXPECT_EQ(device->CallsOf("CreateVertexBuffer"),
                  std::vector<std::string>{"CreateVertexBuffer(192000, 512, 274, 0)"});

        // Without the texture the snow still gets its renderer, untextured.
        UnmountArchiveForTesting();
        MountArchiveBytes(nullptr, 0);
        TextureCache empty;
        SnowSystem bare(StillTuning());
        ASSERT_TRUE(bare.CreateRenderer(empty));
        EXPECT_EQ(bare.Renderer()->State().texture, nullptr);
    }
    CloseLogFile();
    std::ifstream in(logPath, std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(log, "Snow renderer created\nError: snow texture /snowA_01.tga could not be loaded\n"
                   "Snow renderer created\n");
}

TEST_F(SnowTest, OneTriangleListDrawPerFrameCoversEveryFlake) {
    const struct {
        const char* name;
        int flakes;
        int draws;
    } cases[] = {{"empty list", 0, 0}, {"one flake", 1, 1}, {"a hundred", 100, 1}, {"past the first size", 1500, 1}};
    TextureCache textures;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SnowSystem snow(StillTuning());
        ASSERT_TRUE(snow.CreateRenderer(textures));
        AddRow(snow, c.flakes);
        snow.StartSpawnClock();
        ASSERT_TRUE(snow.Update(Camera({0, 0, 0})));
        EXPECT_EQ(snow.DrawnFlakes(), c.flakes);
        device->ClearCalls();
        ASSERT_TRUE(snow.Draw());
        const std::vector<std::string> draws = device->CallsOf("DrawPrimitive");
        ASSERT_EQ(int(draws.size()), c.draws);
        if (c.draws == 0) continue;
        EXPECT_EQ(draws[0], "DrawPrimitive(4, 0, " + std::to_string(2 * c.flakes) + ")");
        EXPECT_EQ(device->CallsOf("SetStreamSource"), std::vector<std::string>{"SetStreamSource(0, ptr, 0, 32)"});
        EXPECT_EQ(device->CallsOf("SetFVF"), std::vector<std::string>{"SetFVF(274)"});
        EXPECT_GE(snow.Renderer()->Vertices()->Size(), UINT(c.flakes) * 192u);
        const std::vector<std::string> locks = device->CallsOf("VertexBuffer::Lock");
        EXPECT_TRUE(locks.empty());  // the fill happened in Update, not in Draw
    }
}

TEST_F(SnowTest, TheBufferIsLockedOnceWithDiscardForTheLiveFlakes) {
    TextureCache textures;
    SnowTuning tuning = StillTuning();
    tuning.fallStep = 0.25f;
    SnowSystem snow(tuning);
    ASSERT_TRUE(snow.CreateRenderer(textures));
    AddRow(snow, 10);
    snow.AddFlake({{0, 0.1f, 30}, {0, 0, 0}});  // sinks below the ground in the first frame
    snow.StartSpawnClock();
    const struct {
        const char* name;
        int drawn;
        std::string lock;
    } frames[] = {{"eleven flakes", 11, "VertexBuffer::Lock(0, 2112, 8192)"},
                  {"the sunk flake is gone", 10, "VertexBuffer::Lock(0, 1920, 8192)"}};
    for (const auto& f : frames) {
        SCOPED_TRACE(f.name);
        device->ClearCalls();
        ASSERT_TRUE(snow.Update(Camera({0, 0, 0})));
        EXPECT_EQ(snow.DrawnFlakes(), f.drawn);
        EXPECT_EQ(device->CallsOf("VertexBuffer::Lock"), std::vector<std::string>{f.lock});
        EXPECT_EQ(device->Count("VertexBuffer::Unlock"), 1);
    }
}

TEST_F(SnowTest, AFailedLockKeepsTheFlakesAndDrawsNothing) {
    TextureCache textures;
    SnowTuning tuning = StillTuning();
    tuning.fallStep = 0.25f;
    SnowSystem snow(tuning);
    ASSERT_TRUE(snow.CreateRenderer(textures));
    snow.AddFlake({{0, 50, 10}, {0, 0, 0}});
    snow.StartSpawnClock();
    auto height = [&] {
        float y = -1;
        snow.ForEachFlake([&](const Flake& f) { y = f.position.y; });
        return y;
    };
    const struct {
        const char* name;
        HRESULT lock;
        bool updated;
        float y;
        int draws;
    } frames[] = {{"lock fails", E_FAIL, false, 50.0f, 0},
                  {"lock works again", D3D_OK, true, 49.75f, 1},
                  {"fails again", E_FAIL, false, 49.75f, 0}};
    for (const auto& f : frames) {
        SCOPED_TRACE(f.name);
        device->SetResult("VertexBuffer::Lock", f.lock);
        EXPECT_EQ(snow.Update(Camera({0, 50, 0})), f.updated);
        EXPECT_EQ(height(), f.y);
        device->ClearCalls();
        EXPECT_TRUE(snow.Draw());
        EXPECT_EQ(device->Count("DrawPrimitive"), f.draws);
    }
    device->SetResult("VertexBuffer::Lock", D3D_OK);
}

TEST_F(SnowTest, TheBufferComesBackAfterADeviceReset) {
    TextureCache textures;
    SnowSystem snow(StillTuning());
    ASSERT_TRUE(snow.CreateRenderer(textures));
    AddRow(snow, 1200);
    snow.StartSpawnClock();
    ASSERT_TRUE(snow.Update(Camera({0, 0, 0})));
    DynamicBatchBuffer* vb = snow.Renderer()->Vertices();
    ASSERT_TRUE(vb->Invalidate());
    EXPECT_FALSE(snow.Update(Camera({0, 0, 0})));  // no Direct3D buffer while the device is lost
    EXPECT_EQ(snow.DrawnFlakes(), 0);
    ASSERT_TRUE(vb->Restore());
    ASSERT_TRUE(snow.Update(Camera({0, 0, 0})));
    EXPECT_EQ(snow.DrawnFlakes(), 1200);
    EXPECT_GE(vb->Size(), 1200u * 192u);
    device->ClearCalls();
    ASSERT_TRUE(snow.Draw());
    EXPECT_EQ(device->CallsOf("DrawPrimitive"), std::vector<std::string>{"DrawPrimitive(4, 0, 2400)"});
}

class SnowGlTest : public D3D9DeviceTest {
protected:
    void SetUp() override {
        D3D9DeviceTest::SetUp();
        if (!device_) return;
        PublishDevice(device_);
        ResetStateCache();
        UseVirtualClock(1000, 0);
    }
    void TearDown() override {
        UseMonotonicClock();
        PublishDevice(nullptr);
        ResetStateCache();
        D3D9DeviceTest::TearDown();
    }
};

TEST_F(SnowGlTest, AFlakeAheadIsDrawnWhiteWithOneDrawCall) {
    FlakeArchive archive;
    ASSERT_TRUE(archive.Ok());
    TextureCache textures;
    SnowSystem snow(StillTuning());
    ASSERT_TRUE(snow.CreateRenderer(textures));
    // Camera at the origin looking along +z, 90 degrees: at depth 2 the quad spans 16 pixels.
    snow.AddFlake({{0, 0, 2}, {0, 0, 0}});
    D3DXMATRIX identity, projection;
    D3DXMatrixIdentity(&identity);
    D3DXMatrixPerspectiveFovLH(&projection, 3.1415927f / 2.0f, 1.0f, 1.0f, 100.0f);
    ASSERT_TRUE(SetTransformCached(D3DTS_VIEW, identity));
    ASSERT_TRUE(SetTransformCached(D3DTS_PROJECTION, projection));
    ASSERT_TRUE(SetRenderStateCached(D3DRS_AMBIENT, 0xFFFFFFFFu));
    snow.StartSpawnClock();
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device_->BeginScene(), D3D_OK);
    ResetDeviceCounters(device_);
    ASSERT_TRUE(snow.Update(Camera({0, 0, 0})));
    ASSERT_TRUE(snow.Draw());
    const DeviceCounters counters = GetDeviceCounters(device_);
    ASSERT_EQ(device_->EndScene(), D3D_OK);
    EXPECT_EQ(counters.drawCalls, 1u);
    EXPECT_EQ(counters.primitives, 2u);
    const std::vector<std::uint8_t> frame = Frame();
    EXPECT_TRUE(Near(Pixel(frame, 32, 32), {255, 255, 255, 255}, 8));
    EXPECT_TRUE(Near(Pixel(frame, 28, 36), {255, 255, 255, 255}, 8));
    EXPECT_TRUE(Near(Pixel(frame, 4, 4), {0, 0, 0, 255}, 8));
    EXPECT_TRUE(Near(Pixel(frame, 45, 32), {0, 0, 0, 255}, 8));
}

}  // namespace
