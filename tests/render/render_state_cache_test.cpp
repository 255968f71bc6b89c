// The render-state cache: one device call for a repeated state, again after a reset, none
// without a device.

#include "render_fixture.h"

#include <functional>

namespace {

using RenderStateCacheTest = RecordedDeviceTest;

D3DMATRIX Scale(float s) {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = s;
    m._44 = 1;
    return m;
}

TEST_F(RenderStateCacheTest, RepeatedStatesReachTheDeviceOnce) {
    D3DMATERIAL9 material{};
    material.Diffuse = {1, 0.5f, 0.25f, 1};
    auto* texture = reinterpret_cast<IDirect3DBaseTexture9*>(0x1000);  // compared, never used
    struct Case {
        const char* method;
        std::function<bool()> same;
        std::function<bool()> other;
    };
    const Case cases[] = {
        {"SetRenderState", [] { return SetRenderStateCached(D3DRS_ZENABLE, TRUE); },
         [] { return SetRenderStateCached(D3DRS_ZENABLE, FALSE); }},
        {"SetSamplerState", [] { return SetSamplerStateCached(1, D3DSAMP_MINFILTER, D3DTEXF_POINT); },
         [] { return SetSamplerStateCached(1, D3DSAMP_MINFILTER, D3DTEXF_LINEAR); }},
        {"SetTextureStageState", [] { return SetTextureStageStateCached(0, D3DTSS_COLOROP, D3DTOP_MODULATE); },
         [] { return SetTextureStageStateCached(0, D3DTSS_COLOROP, D3DTOP_ADD); }},
        {"SetTexture", [] { return SetTextureCached(1, nullptr); }, [&] { return SetTextureCached(1, texture); }},
        {"SetTransform", [] { return SetTransformCached(D3DTS_VIEW, Scale(2)); },
         [] { return SetViewTransformCached(Scale(3)); }},
        {"SetMaterial", [&] { return SetMaterialCached(material); },
         [] { return SetMaterialCached(D3DMATERIAL9{}); }},
    };
    for (const Case& c : cases) {
        device->ClearCalls();
        EXPECT_TRUE(c.same());
        EXPECT_TRUE(c.same());
        EXPECT_EQ(device->Count(c.method), 1) << c.method;
        EXPECT_TRUE(c.other());
        EXPECT_EQ(device->Count(c.method), 2) << c.method;
        ResetStateCache();
        EXPECT_TRUE(c.other());
        EXPECT_EQ(device->Count(c.method), 3) << c.method << " after a reset";
    }
    device->SetTexture(1, nullptr);  // drop the fake pointer from the recorder
}

TEST_F(RenderStateCacheTest, NoDeviceMeansFalseAndNoStaleEntry) {
    PublishDevice(nullptr);
    EXPECT_FALSE(SetRenderStateCached(D3DRS_LIGHTING, FALSE));
    EXPECT_FALSE(SetMaterialCached(D3DMATERIAL9{}));
    DWORD value = 0;
    EXPECT_FALSE(GetRenderStateCached(D3DRS_LIGHTING, &value));
    PublishDevice(device);
    EXPECT_TRUE(SetRenderStateCached(D3DRS_LIGHTING, FALSE));
    EXPECT_EQ(device->CallsOf("SetRenderState"), std::vector<std::string>{"SetRenderState(137, 0)"});
}

TEST_F(RenderStateCacheTest, GetReadsTheDeviceOnceThenTheCache) {
    DWORD value = 0;
    ASSERT_TRUE(GetRenderStateCached(D3DRS_CULLMODE, &value));
    EXPECT_EQ(value, DWORD(D3DCULL_CCW));
    ASSERT_TRUE(GetRenderStateCached(D3DRS_CULLMODE, &value));
    EXPECT_EQ(device->Count("GetRenderState"), 1);
    // The value read counts as cached: setting it again makes no call.
    EXPECT_TRUE(SetRenderStateCached(D3DRS_CULLMODE, D3DCULL_CCW));
    EXPECT_EQ(device->Count("SetRenderState"), 0);
    // A failed device call still answers false.
    device->SetResult("SetRenderState", D3DERR_INVALIDCALL);
    EXPECT_FALSE(SetRenderStateCached(D3DRS_CULLMODE, D3DCULL_NONE));
}

}  // namespace
