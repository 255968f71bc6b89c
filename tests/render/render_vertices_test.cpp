// RenderVertices: compatibility, the state it sets before drawing, ranges and counts, and one
// draw call for many geometries.

#include "render_fixture.h"
#include "render/render_texture.h"
#include "render/renderer_assembler.h"

#include <algorithm>
#include <functional>

namespace {

struct FakeTexture : RenderTexture {
    IDirect3DBaseTexture9* texture = nullptr;
    IDirect3DBaseTexture9* Direct3DTexture() const override { return texture; }
};

struct ColourVertex {
    float x, y, z;
    D3DCOLOR colour;
};

RendererDescription ColourDescription(UINT size = 1600) {
    RendererDescription d;
    d.vertices = VertexDescription(D3DFVF_XYZ | D3DFVF_DIFFUSE, sizeof(ColourVertex), size);
    return d;
}

using RenderVerticesTest = RecordedDeviceTest;

TEST_F(RenderVerticesTest, CompatibilityIgnoresSamplersBlendDepthAndSides) {
    FakeTexture t1, t2;
    RendererDescription base = ColourDescription();
    base.state.texture = &t1;
    base.state.alphaMode = 1;
    base.state.alphaFactor = 0.5f;
    RenderVertices vertices;
    ASSERT_TRUE(vertices.Assemble(base));
    struct Case {
        const char* what;
        std::function<void(RendererDescription&)> change;
        bool compatible;
    };
    const Case cases[] = {
        {"same", [](RendererDescription&) {}, true},
        {"sampler", [](RendererDescription& d) { d.state.addressU = D3DTADDRESS_CLAMP; d.state.mipFilter = 0; }, true},
        {"blend type", [](RendererDescription& d) { d.state.blendType = 1; }, true},
        {"depth mode", [](RendererDescription& d) { d.state.depthMode = 0; }, true},
        {"two-sided", [](RendererDescription& d) { d.state.twoSided = true; }, true},
        {"size", [](RendererDescription& d) { d.vertices.size = 8; }, true},
        {"texture", [&](RendererDescription& d) { d.state.texture = &t2; }, false},
        {"material", [](RendererDescription& d) { d.state.material.Power = 2; }, false},
        {"alpha mode", [](RendererDescription& d) { d.state.alphaMode = 2; }, false},
        {"alpha factor", [](RendererDescription& d) { d.state.alphaFactor = 0.25f; }, false},
        {"primitive", [](RendererDescription& d) { d.primitiveType = D3DPT_TRIANGLESTRIP; }, false},
        {"fvf", [](RendererDescription& d) { d.vertices.fvf = D3DFVF_XYZ; }, false},
        {"pool given", [](RendererDescription& d) { d.vertices.pool = D3DPOOL_MANAGED; d.vertices.flags |= kBufferPoolGiven; }, false},
        {"pool not given", [](RendererDescription& d) { d.vertices.pool = D3DPOOL_MANAGED; }, true},
        {"usage given", [](RendererDescription& d) { d.vertices.usage = D3DUSAGE_DYNAMIC; d.vertices.flags |= kBufferUsageGiven; }, false},
        {"index kind", [](RendererDescription& d) { d.indices.kind = kVertexBufferKind; }, false},
    };
    for (const Case& c : cases) {
        RendererDescription d = base;
        c.change(d);
        EXPECT_EQ(vertices.IsCompatible(d), c.compatible) << c.what;
    }
    // The factor matters only to alpha modes 1, 4 and 5.
    RendererDescription textureAlpha = base;
    textureAlpha.state.alphaMode = 2;
    RenderVertices second;
    ASSERT_TRUE(second.Assemble(textureAlpha));
    textureAlpha.state.alphaFactor = 0.9f;
    EXPECT_TRUE(second.IsCompatible(textureAlpha));
    vertices.Retire();
    EXPECT_FALSE(vertices.IsCompatible(base));
}

TEST_F(RenderVerticesTest, AlphaModesSetTheirStageAndTest) {
    struct Case {
        DWORD mode;
        std::vector<std::string> stage;  // SetTextureStageState calls on alpha (4, 5, 6)
        bool factor;
    };
    const Case cases[] = {
        {0, {"SetTextureStageState(0, 4, 1)"}, false},
        {1, {"SetTextureStageState(0, 4, 2)", "SetTextureStageState(0, 5, 3)"}, true},
        {2, {"SetTextureStageState(0, 4, 2)", "SetTextureStageState(0, 5, 2)"}, false},
        {3, {"SetTextureStageState(0, 4, 2)", "SetTextureStageState(0, 5, 0)"}, false},
        {4, {"SetTextureStageState(0, 4, 4)", "SetTextureStageState(0, 5, 2)", "SetTextureStageState(0, 6, 3)"}, true},
        {5, {"SetTextureStageState(0, 4, 4)", "SetTextureStageState(0, 5, 3)", "SetTextureStageState(0, 6, 0)"}, true},
        {6, {"SetTextureStageState(0, 4, 4)", "SetTextureStageState(0, 5, 2)", "SetTextureStageState(0, 6, 0)"}, false},
        {7, {}, false},
    };
    for (const Case& c : cases) {
        ResetStateCache();
        RendererDescription d = ColourDescription();
        d.state.alphaMode = c.mode;
        d.state.alphaFactor = 0.5f;
        RenderVertices vertices;
        ASSERT_TRUE(vertices.Assemble(d));
        vertices.Vertices()->Allocate(3 * sizeof(ColourVertex), nullptr, nullptr);
        device->ClearCalls();
        ASSERT_TRUE(vertices.Draw());
        std::vector<std::string> alphaStage;
        for (const std::string& call : device->CallsOf("SetTextureStageState")) {
            if (call.rfind("SetTextureStageState(0, 4,", 0) == 0 || call.rfind("SetTextureStageState(0, 5,", 0) == 0 ||
                call.rfind("SetTextureStageState(0, 6,", 0) == 0)
                alphaStage.push_back(call);
        }
        EXPECT_EQ(alphaStage, c.stage) << c.mode;
        auto states = device->CallsOf("SetRenderState");
        auto has = [&](const std::string& call) { return std::count(states.begin(), states.end(), call) == 1; };
        EXPECT_EQ(has("SetRenderState(60, " + std::to_string(127u << 24) + ")"), c.factor) << c.mode;
        EXPECT_EQ(has("SetRenderState(15, 1)"), c.mode != 0) << c.mode;          // alpha test
        EXPECT_EQ(has("SetRenderState(27, 1)"), c.mode != 0) << c.mode;          // blending
        EXPECT_EQ(has("SetRenderState(25, 7)"), c.mode != 0) << c.mode;          // GREATEREQUAL
    }
}

TEST_F(RenderVerticesTest, StateStepsForTextureLightingCullingAndDepth) {
    IDirect3DTexture9* d3dTexture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &d3dTexture, nullptr), D3D_OK);
    FakeTexture texture;
    texture.texture = d3dTexture;
    RendererDescription d;
    d.vertices = VertexDescription(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, 32, 960);
    d.state.texture = &texture;
    d.state.twoSided = true;
    d.state.depthMode = 0;
    d.state.blendType = 1;
    d.state.addressU = D3DTADDRESS_CLAMP;
    RenderVertices vertices;
    ASSERT_TRUE(vertices.Assemble(d));
    vertices.SetLit(true);
    vertices.Vertices()->Allocate(96, nullptr, nullptr);
    device->ClearCalls();
    ASSERT_TRUE(vertices.Draw());
    const std::vector<std::string> expectedStates = {
        "SetRenderState(7, 0)",    // depth off
        "SetRenderState(22, 1)",   // two-sided: no culling
        "SetRenderState(137, 1)",  // lit with normals
        "SetRenderState(141, 0)",
        "SetRenderState(27, 1)", "SetRenderState(19, 5)", "SetRenderState(20, 2)",  // additive
        "SetRenderState(15, 0)",
    };
    EXPECT_EQ(device->CallsOf("SetRenderState"), expectedStates);
    EXPECT_EQ(device->CallsOf("SetSamplerState"),
              (std::vector<std::string>{"SetSamplerState(0, 1, 3)", "SetSamplerState(0, 2, 1)",
                                        "SetSamplerState(0, 5, 2)", "SetSamplerState(0, 6, 2)",
                                        "SetSamplerState(0, 7, 1)"}));
    const auto stage = device->CallsOf("SetTextureStageState");
    EXPECT_EQ(std::vector<std::string>(stage.begin(), stage.begin() + 3),
              (std::vector<std::string>{"SetTextureStageState(0, 2, 2)", "SetTextureStageState(0, 3, 0)",
                                        "SetTextureStageState(0, 1, 4)"}));  // modulate
    EXPECT_EQ(device->Count("SetTexture"), 1);
    EXPECT_EQ(device->Count("SetMaterial"), 1);
    EXPECT_EQ(device->Count("SetTransform"), 1);
    EXPECT_EQ(device->CallsOf("DrawPrimitive"), std::vector<std::string>{"DrawPrimitive(4, 0, 1)"});
    device->SetTexture(0, nullptr);
    vertices.Retire();
    d3dTexture->Release();
}

TEST_F(RenderVerticesTest, ManyCompatibleGeometriesDrawInOneCall) {
    RendererAssembler assembler;
    std::vector<BufferBlock*> blocks;
    RenderVertices* shared = nullptr;
    for (int i = 0; i < 10; ++i) {
        RendererDescription d = ColourDescription(64);
        d.state.depthMode = i % 2;  // does not keep them apart
        RendererRef renderer = assembler.FindOrCreate(d, true);
        ASSERT_TRUE(renderer);
        if (shared == nullptr) shared = AsVertices(renderer);
        EXPECT_EQ(AsVertices(renderer), shared);
        blocks.push_back(shared->Vertices()->Allocate(3 * sizeof(ColourVertex), nullptr, nullptr));
        ASSERT_NE(blocks.back(), nullptr);
    }
    EXPECT_EQ(assembler.ChildCount(), 1);
    device->ClearCalls();
    ASSERT_TRUE(assembler.Draw());
    EXPECT_EQ(device->CallsOf("DrawPrimitive"), std::vector<std::string>{"DrawPrimitive(4, 0, 10)"});
    // A warm cache: the second frame makes only the stream, FVF and draw calls.
    device->ClearCalls();
    ASSERT_TRUE(assembler.Draw());
    std::vector<std::string> methods;
    for (const RecordedCall& call : device->Calls()) methods.push_back(call.method);
    EXPECT_EQ(methods, (std::vector<std::string>{"SetStreamSource", "SetFVF", "DrawPrimitive"}));
}

TEST_F(RenderVerticesTest, RangesCountsAndTheOneShotOverride) {
    RendererDescription d = ColourDescription(160);
    d.indices = IndexDescription(64);
    d.primitiveType = D3DPT_TRIANGLESTRIP;
    RenderVertices vertices;
    ASSERT_TRUE(vertices.Assemble(d));
    ASSERT_NE(vertices.Indices(), nullptr);
    BufferBlock* firstIndices = vertices.Indices()->Allocate(12, nullptr, nullptr);
    vertices.Indices()->Allocate(20, nullptr, nullptr);  // 10 indices at byte 12
    vertices.Vertices()->Allocate(5 * 16, nullptr, nullptr);
    vertices.Indices()->Free(firstIndices, false);
    device->ClearCalls();
    ASSERT_TRUE(vertices.Draw());
    EXPECT_EQ(device->CallsOf("DrawIndexedPrimitive"),
              std::vector<std::string>{"DrawIndexedPrimitive(5, 0, 0, 5, 6, 8)"});
    vertices.SetDrawRange(12, 8);  // four indices, once
    ASSERT_TRUE(vertices.Draw());
    ASSERT_TRUE(vertices.Draw());
    EXPECT_EQ(device->CallsOf("DrawIndexedPrimitive"),
              (std::vector<std::string>{"DrawIndexedPrimitive(5, 0, 0, 5, 6, 8)", "DrawIndexedPrimitive(5, 0, 0, 5, 6, 2)",
                                        "DrawIndexedPrimitive(5, 0, 0, 5, 6, 8)"}));
    struct Case {
        D3DPRIMITIVETYPE type;
        UINT count, primitives;
    };
    for (const Case& c : {Case{D3DPT_POINTLIST, 7, 7}, Case{D3DPT_LINELIST, 7, 3}, Case{D3DPT_LINESTRIP, 7, 6},
                          Case{D3DPT_TRIANGLELIST, 7, 2}, Case{D3DPT_TRIANGLEFAN, 7, 5}, Case{D3DPT_TRIANGLESTRIP, 1, 0},
                          Case{D3DPT_LINESTRIP, 0, 0}})
        EXPECT_EQ(PrimitiveCount(c.type, c.count), c.primitives) << c.type;
}

TEST_F(RenderVerticesTest, EmptyRetiredAndDeviceless) {
    RenderVertices vertices;
    ASSERT_TRUE(vertices.Assemble(ColourDescription(64)));
    BufferBlock* only = vertices.Vertices()->Allocate(48, nullptr, nullptr);
    vertices.Vertices()->Free(only, false);
    device->ClearCalls();
    EXPECT_TRUE(vertices.Draw());  // the span is empty: nothing is drawn
    EXPECT_EQ(device->Count("DrawPrimitive"), 0);
    PublishDevice(nullptr);
    EXPECT_FALSE(vertices.Draw());
    PublishDevice(device);
    vertices.Retire();
    device->ClearCalls();
    EXPECT_TRUE(vertices.Draw());
    EXPECT_TRUE(device->Calls().empty());
}

TEST_F(RenderVerticesTest, FogIsOffAroundPretransformedGeometry) {
    SetRenderStateCached(D3DRS_FOGENABLE, TRUE);
    RendererDescription d;
    d.vertices = VertexDescription(D3DFVF_XYZRHW | D3DFVF_TEX1, 24, 72);
    RenderVertices vertices;
    ASSERT_TRUE(vertices.Assemble(d));
    vertices.Vertices()->Allocate(72, nullptr, nullptr);
    device->ClearCalls();
    ASSERT_TRUE(vertices.Draw());
    std::vector<std::string> order;
    for (const RecordedCall& call : device->Calls()) {
        if (call.Text() == "SetRenderState(28, 0)" || call.Text() == "SetRenderState(28, 1)" ||
            call.method == "DrawPrimitive")
            order.push_back(call.Text());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"SetRenderState(28, 0)", "DrawPrimitive(4, 0, 1)",
                                               "SetRenderState(28, 1)"}));
}

}  // namespace
