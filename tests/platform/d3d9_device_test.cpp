// The Direct3D object's answers and the device's resources, primitives and lighting rules.

#include "d3d9_fixture.h"

#include <cstring>

namespace {

using D3D9ObjectTest = D3D9DeviceTest;

TEST_F(D3D9ObjectTest, AdaptersListModesInTheDisplayFormats) {
    ASSERT_GE(d3d_->GetAdapterCount(), 1u);
    D3DADAPTER_IDENTIFIER9 identifier;
    ASSERT_EQ(d3d_->GetAdapterIdentifier(0, 0, &identifier), D3D_OK);
    EXPECT_GT(std::strlen(identifier.Description), 0u);
    struct Case {
        D3DFORMAT format;
        bool listed;
    };
    for (const Case& c : {Case{D3DFMT_X8R8G8B8, true}, Case{D3DFMT_R5G6B5, true}, Case{D3DFMT_A2R10G10B10, false},
                          Case{D3DFMT_X1R5G5B5, false}}) {
        const UINT count = d3d_->GetAdapterModeCount(0, c.format);
        EXPECT_EQ(count > 0, c.listed) << c.format;
        for (UINT i = 0; i < count; ++i) {
            D3DDISPLAYMODE mode{};
            ASSERT_EQ(d3d_->EnumAdapterModes(0, c.format, i, &mode), D3D_OK);
            EXPECT_EQ(mode.Format, c.format);
            EXPECT_GT(mode.Width, 0u);
        }
        D3DDISPLAYMODE mode{};
        EXPECT_EQ(d3d_->EnumAdapterModes(0, c.format, count, &mode), D3DERR_INVALIDCALL);
    }
    D3DDISPLAYMODE desktop{};
    ASSERT_EQ(d3d_->GetAdapterDisplayMode(0, &desktop), D3D_OK);
    EXPECT_GT(desktop.Width, 0u);
    EXPECT_TRUE(desktop.Format == D3DFMT_X8R8G8B8 || desktop.Format == D3DFMT_R5G6B5);
    EXPECT_EQ(d3d_->GetAdapterModeCount(d3d_->GetAdapterCount(), D3DFMT_X8R8G8B8), 0u);
}

TEST_F(D3D9ObjectTest, FormatChecksFollowWhatTheDeviceCanDo) {
    struct Case {
        const char* what;
        HRESULT actual, expected;
    };
    IDirect3D9* d = d3d_;
    const Case cases[] = {
        {"32-bit back buffer", d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, FALSE), D3D_OK},
        {"X8 back buffer windowed", d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE), D3D_OK},
        {"16-bit back buffer", d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, FALSE), D3D_OK},
        {"mixed depths", d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, FALSE), D3DERR_NOTAVAILABLE},
        {"reference device", d->CheckDeviceType(0, D3DDEVTYPE_REF, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, FALSE), D3DERR_NOTAVAILABLE},
        {"D16", d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D16), D3D_OK},
        {"D24S8", d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D24S8), D3D_OK},
        {"D24X8", d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D24X8), D3D_OK},
        {"D15S1", d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D15S1), D3DERR_NOTAVAILABLE},
        {"D32", d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D32), D3DERR_NOTAVAILABLE},
        {"A8R8G8B8 texture", d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8), D3D_OK},
        {"A4R4G4B4 texture", d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_A4R4G4B4), D3D_OK},
        {"DXT1 texture", d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_DXT1), D3DERR_NOTAVAILABLE},
        {"depth match", d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_D24S8), D3D_OK},
        {"depth mismatch", d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_D24X4S4), D3DERR_NOTAVAILABLE},
        {"no multisampling", d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE, D3DMULTISAMPLE_NONE, nullptr), D3D_OK},
        {"2 samples", d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE, D3DMULTISAMPLE_2_SAMPLES, nullptr), D3DERR_NOTAVAILABLE},
    };
    for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;
    DWORD levels = 0;
    ASSERT_EQ(d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_A8R8G8B8, FALSE, D3DMULTISAMPLE_NONE, &levels), D3D_OK);
    EXPECT_EQ(levels, 1u);
}

TEST_F(D3D9ObjectTest, CapsDescribeAHardwareDevice) {
    D3DCAPS9 caps{};
    ASSERT_EQ(d3d_->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_EQ(caps.DeviceType, D3DDEVTYPE_HAL);
    EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
    EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_PUREDEVICE);
    EXPECT_TRUE(caps.PresentationIntervals & D3DPRESENT_INTERVAL_IMMEDIATE);
    EXPECT_EQ(caps.MaxActiveLights, 8u);
    EXPECT_EQ(d3d_->GetDeviceCaps(0, D3DDEVTYPE_REF, &caps), D3DERR_NOTAVAILABLE);
    D3DCAPS9 deviceCaps{};
    ASSERT_EQ(device_->GetDeviceCaps(&deviceCaps), D3D_OK);
    EXPECT_GE(deviceCaps.MaxTextureWidth, 2048u);
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(back->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, UINT(kWidth));
    EXPECT_EQ(desc.Height, UINT(kHeight));
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(back->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
    back->Release();
}

using D3D9BufferTest = D3D9DeviceTest;

TEST_F(D3D9BufferTest, LocksReturnTheCopyAndUploadWhatWasWritten) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device_->CreateVertexBuffer(12 * sizeof(RhwVertex), D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, kRhwFvf,
                                          D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
    auto quad = [](float x0, float y0, float x1, float y1, D3DCOLOR c, RhwVertex* v) {
        const RhwVertex q[6] = {{x0, y0, 0.5f, 1, c}, {x1, y0, 0.5f, 1, c}, {x1, y1, 0.5f, 1, c},
                                {x0, y0, 0.5f, 1, c}, {x1, y1, 0.5f, 1, c}, {x0, y1, 0.5f, 1, c}};
        std::memcpy(v, q, sizeof q);
    };
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    device_->SetFVF(kRhwFvf);
    device_->SetStreamSource(0, buffer, 0, sizeof(RhwVertex));
    void* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 6 * sizeof(RhwVertex), &data, D3DLOCK_DISCARD), D3D_OK);
    quad(0, 0, 16, 16, D3DCOLOR_XRGB(255, 0, 0), static_cast<RhwVertex*>(data));
    ASSERT_EQ(buffer->Unlock(), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3D_OK);
    // Append behind the first quad without disturbing it.
    ASSERT_EQ(buffer->Lock(6 * sizeof(RhwVertex), 6 * sizeof(RhwVertex), &data, D3DLOCK_NOOVERWRITE), D3D_OK);
    quad(32, 32, 48, 48, D3DCOLOR_XRGB(0, 0, 255), static_cast<RhwVertex*>(data));
    ASSERT_EQ(buffer->Unlock(), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 6, 2), D3D_OK);
    const auto frame = Frame();
    EXPECT_TRUE(Near(Pixel(frame, 8, 8), {255, 0, 0, 255}, 0));
    EXPECT_TRUE(Near(Pixel(frame, 40, 40), {0, 0, 255, 255}, 0));
    EXPECT_TRUE(Near(Pixel(frame, 24, 24), {0, 0, 0, 255}, 0));
    // A read-only lock sees what was written; bad ranges and stray unlocks fail.
    ASSERT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<RhwVertex*>(data)[7].x, 48.0f);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    EXPECT_EQ(buffer->Unlock(), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Lock(12 * sizeof(RhwVertex), 1, &data, 0), D3DERR_INVALIDCALL);
    // Drawing past the end of the buffer is refused.
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 6, 3), D3DERR_INVALIDCALL);
    D3DVERTEXBUFFER_DESC desc{};
    ASSERT_EQ(buffer->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Size, 12 * sizeof(RhwVertex));
    EXPECT_EQ(desc.FVF, kRhwFvf);
    EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
    device_->SetStreamSource(0, nullptr, 0, 0);
    buffer->Release();
}

TEST_F(D3D9BufferTest, EveryPrimitiveTypeDrawsItsShape) {
    const D3DCOLOR w = 0xFFFFFFFF;
    // Vertices for each type, indexed through the identity so both draw paths run.
    struct Case {
        D3DPRIMITIVETYPE type;
        UINT primitives;
        std::vector<RhwVertex> vertices;
        int litPixels;
    };
    const std::vector<Case> cases = {
        {D3DPT_POINTLIST, 3, {{5, 5, 0.5f, 1, w}, {10, 10, 0.5f, 1, w}, {20, 5, 0.5f, 1, w}}, 3},
        {D3DPT_LINELIST, 1, {{2, 40, 0.5f, 1, w}, {30, 40, 0.5f, 1, w}}, 28},
        {D3DPT_LINESTRIP, 2, {{2, 40, 0.5f, 1, w}, {12, 40, 0.5f, 1, w}, {22, 40, 0.5f, 1, w}}, 20},
        {D3DPT_TRIANGLELIST, 2, {{40, 40, 0.5f, 1, w}, {50, 40, 0.5f, 1, w}, {50, 50, 0.5f, 1, w},
                                  {40, 40, 0.5f, 1, w}, {50, 50, 0.5f, 1, w}, {40, 50, 0.5f, 1, w}}, 100},
        {D3DPT_TRIANGLESTRIP, 2, {{40, 40, 0.5f, 1, w}, {50, 40, 0.5f, 1, w}, {40, 50, 0.5f, 1, w},
                                   {50, 50, 0.5f, 1, w}}, 100},
        {D3DPT_TRIANGLEFAN, 2, {{40, 40, 0.5f, 1, w}, {50, 40, 0.5f, 1, w}, {50, 50, 0.5f, 1, w},
                                 {40, 50, 0.5f, 1, w}}, 100},
    };
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device_->SetFVF(kRhwFvf);
    for (const Case& c : cases) {
        for (bool indexed : {false, true}) {
            IDirect3DVertexBuffer9* vb = nullptr;
            IDirect3DIndexBuffer9* ib = nullptr;
            const UINT bytes = UINT(c.vertices.size() * sizeof(RhwVertex));
            ASSERT_EQ(device_->CreateVertexBuffer(bytes, 0, kRhwFvf, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
            ASSERT_EQ(device_->CreateIndexBuffer(UINT(c.vertices.size() * 2), 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib,
                                                 nullptr), D3D_OK);
            void* data = nullptr;
            ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
            std::memcpy(data, c.vertices.data(), bytes);
            vb->Unlock();
            ASSERT_EQ(ib->Lock(0, 0, &data, 0), D3D_OK);
            for (std::size_t i = 0; i < c.vertices.size(); ++i) static_cast<WORD*>(data)[i] = WORD(i);
            ib->Unlock();
            device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
            device_->SetStreamSource(0, vb, 0, sizeof(RhwVertex));
            device_->SetIndices(ib);
            const HRESULT hr = indexed ? device_->DrawIndexedPrimitive(c.type, 0, 0, UINT(c.vertices.size()), 0, c.primitives)
                                       : device_->DrawPrimitive(c.type, 0, c.primitives);
            EXPECT_EQ(hr, D3D_OK);
            const auto frame = Frame();
            int lit = 0;
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) lit += Pixel(frame, x, y)[0] == 255;
            EXPECT_EQ(lit, c.litPixels) << "type " << c.type << (indexed ? " indexed" : "");
            device_->SetStreamSource(0, nullptr, 0, 0);
            device_->SetIndices(nullptr);
            vb->Release();
            ib->Release();
        }
    }
}

using D3D9TextureTest = D3D9DeviceTest;

TEST_F(D3D9TextureTest, MipChainsDescribeEachLevel) {
    struct Case {
        UINT width, height, levels;
        UINT expectedLevels, lastWidth, lastHeight;
    };
    for (const Case& c : {Case{16, 8, 0, 5, 1, 1}, Case{16, 8, 2, 2, 8, 4}, Case{1, 1, 0, 1, 1, 1},
                          Case{64, 64, 99, 7, 1, 1}}) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(device_->CreateTexture(c.width, c.height, c.levels, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &texture,
                                         nullptr), D3D_OK);
        EXPECT_EQ(texture->GetLevelCount(), c.expectedLevels);
        D3DSURFACE_DESC desc{};
        ASSERT_EQ(texture->GetLevelDesc(c.expectedLevels - 1, &desc), D3D_OK);
        EXPECT_EQ(desc.Width, c.lastWidth);
        EXPECT_EQ(desc.Height, c.lastHeight);
        EXPECT_EQ(desc.Format, D3DFMT_A4R4G4B4);
        EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
        EXPECT_EQ(texture->GetLevelDesc(c.expectedLevels, &desc), D3DERR_INVALIDCALL);
        texture->Release();
    }
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &texture, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);
}

TEST_F(D3D9TextureTest, SmallerLevelsAreSampledWhenMinified) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(8, 8, 2, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    for (UINT level = 0; level < 2; ++level) {
        IDirect3DSurface9* surface = nullptr;
        ASSERT_EQ(texture->GetSurfaceLevel(level, &surface), D3D_OK);
        D3DSURFACE_DESC desc{};
        surface->GetDesc(&desc);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < desc.Height; ++y)
            for (UINT x = 0; x < desc.Width; ++x)
                reinterpret_cast<DWORD*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch)[x] =
                    level == 0 ? D3DCOLOR_XRGB(255, 0, 0) : D3DCOLOR_XRGB(0, 255, 0);
        ASSERT_EQ(surface->UnlockRect(), D3D_OK);
        surface->Release();
    }
    // A sub-rectangle lock points into the level and uploads only that part.
    D3DLOCKED_RECT whole{}, part{};
    ASSERT_EQ(texture->LockRect(0, &whole, nullptr, D3DLOCK_READONLY), D3D_OK);
    texture->UnlockRect(0);
    const RECT rect{2, 3, 4, 5};
    ASSERT_EQ(texture->LockRect(0, &part, &rect, 0), D3D_OK);
    EXPECT_EQ(static_cast<std::uint8_t*>(part.pBits) - static_cast<std::uint8_t*>(whole.pBits), 3 * whole.Pitch + 2 * 4);
    texture->UnlockRect(0);

    struct Vertex {
        float x, y, z, rhw, u, v;
    };
    struct Case {
        float size;
        DWORD mipFilter;
        Rgba expected;
    };
    device_->SetTexture(0, texture);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
    for (const Case& c : {Case{8, D3DTEXF_POINT, {255, 0, 0, 255}}, Case{4, D3DTEXF_POINT, {0, 255, 0, 255}},
                          Case{4, D3DTEXF_NONE, {255, 0, 0, 255}}}) {
        device_->SetSamplerState(0, D3DSAMP_MIPFILTER, c.mipFilter);
        const Vertex v[4] = {{0, 0, 0.5f, 1, 0, 0}, {c.size, 0, 0.5f, 1, 1, 0}, {0, c.size, 0.5f, 1, 0, 1},
                             {c.size, c.size, 0.5f, 1, 1, 1}};
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(Vertex)), D3D_OK);
        EXPECT_TRUE(Near(Pixel(Frame(), 1, 1), c.expected, 0)) << "size " << c.size << " mip " << c.mipFilter;
    }
    device_->SetTexture(0, nullptr);
    texture->Release();
}

using D3D9LightingTest = D3D9DeviceTest;

struct NormalColorVertex {
    float x, y, z, nx, ny, nz;
    D3DCOLOR color;
};

TEST_F(D3D9LightingTest, MaterialSourcesAndTheEightLightLimit) {
    // An orthographic-like setup: identity transforms put the quad straight on screen.
    const D3DCOLOR vertexColor = D3DCOLOR_XRGB(0, 128, 255);
    const NormalColorVertex v[4] = {{-1, 1, 0.5f, 0, 0, -1, vertexColor}, {1, 1, 0.5f, 0, 0, -1, vertexColor},
                                    {-1, -1, 0.5f, 0, 0, -1, vertexColor}, {1, -1, 0.5f, 0, 0, -1, vertexColor}};
    D3DMATERIAL9 material{};
    material.Diffuse = {1.0f, 0.0f, 0.0f, 1.0f};
    material.Ambient = {0.0f, 0.0f, 1.0f, 1.0f};
    device_->SetMaterial(&material);
    D3DLIGHT9 white{}, black{};
    white.Type = black.Type = D3DLIGHT_DIRECTIONAL;
    white.Direction = black.Direction = {0, 0, 1};
    white.Diffuse = {1, 1, 1, 1};
    struct Case {
        const char* what;
        BOOL colorVertex;
        DWORD ambientColor;       // D3DRS_AMBIENT
        int whiteLight;           // index of the white light; black lights fill 0 .. whiteLight - 1
        Rgba expected;
    };
    const Case cases[] = {
        {"vertex colour as diffuse", TRUE, 0, 0, {0, 128, 255, 255}},
        {"material diffuse", FALSE, 0, 0, {255, 0, 0, 255}},
        {"global ambient times material ambient", FALSE, D3DCOLOR_XRGB(0, 0, 64), 0, {255, 0, 64, 255}},
        {"eighth light lights", FALSE, 0, 7, {255, 0, 0, 255}},
        {"ninth light does not", FALSE, 0, 8, {0, 0, 0, 255}},
    };
    device_->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE);
    for (const Case& c : cases) {
        for (DWORD i = 0; i < 9; ++i) device_->LightEnable(i, FALSE);
        for (int i = 0; i < c.whiteLight; ++i) {
            device_->SetLight(DWORD(i), &black);
            device_->LightEnable(DWORD(i), TRUE);
        }
        device_->SetLight(DWORD(c.whiteLight), &white);
        EXPECT_EQ(device_->LightEnable(DWORD(c.whiteLight), TRUE), D3D_OK);
        device_->SetRenderState(D3DRS_COLORVERTEX, c.colorVertex);
        device_->SetRenderState(D3DRS_AMBIENT, c.ambientColor);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(NormalColorVertex)), D3D_OK);
        EXPECT_TRUE(Near(Pixel(Frame(), 32, 32), c.expected, 1)) << c.what;
    }
}

}  // namespace

namespace {

using D3D9StateTest = D3D9DeviceTest;

TEST_F(D3D9StateTest, SettersFilterRepeatsAndProgramsAreCachedByKey) {
    ResetDeviceCounters(device_);
    device_->SetRenderState(D3DRS_FOGCOLOR, 0x123456);
    device_->SetRenderState(D3DRS_FOGCOLOR, 0x123456);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);  // already the default
    device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    EXPECT_EQ(GetDeviceCounters(device_).stateChanges, 2u);

    const RhwVertex v[3] = {{0, 0, 0.5f, 1, ~0u}, {4, 0, 0.5f, 1, ~0u}, {0, 4, 0.5f, 1, ~0u}};
    device_->SetFVF(kRhwFvf);
    struct Step {
        BOOL alphaTest;
        std::uint64_t built, switches;
    };
    // Same key: no new program; a new key builds once; going back reuses the first.
    const Step steps[] = {{FALSE, 1, 1}, {FALSE, 1, 1}, {TRUE, 2, 2}, {FALSE, 2, 3}, {TRUE, 2, 4}};
    const std::uint64_t builtBefore = GetDeviceCounters(device_).programsBuilt;
    ResetDeviceCounters(device_);
    for (const Step& step : steps) {
        device_->SetRenderState(D3DRS_ALPHATESTENABLE, step.alphaTest);
        device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(RhwVertex)), D3D_OK);
        const DeviceCounters counters = GetDeviceCounters(device_);
        EXPECT_EQ(counters.programsBuilt - builtBefore, step.built);
        EXPECT_EQ(counters.programSwitches, step.switches);
    }
    EXPECT_EQ(GetDeviceCounters(device_).drawCalls, 5u);
    EXPECT_EQ(GetDeviceCounters(device_).primitives, 5u);
}

TEST_F(D3D9StateTest, ArgumentsAnOperationDoesNotReadBuildNoProgram) {
    const RhwVertex v[3] = {{0, 0, 0.5f, 1, ~0u}, {4, 0, 0.5f, 1, ~0u}, {0, 4, 0.5f, 1, ~0u}};
    device_->SetFVF(kRhwFvf);
    struct Step {
        const char* what;
        D3DTEXTURESTAGESTATETYPE state;
        DWORD value;
        std::uint64_t built;  // programs built by the draw after the change
    };
    const Step steps[] = {
        {"colour: select the first argument", D3DTSS_COLOROP, D3DTOP_SELECTARG1, 1},
        {"second colour argument, unread", D3DTSS_COLORARG2, D3DTA_TFACTOR, 0},
        {"first colour argument, read", D3DTSS_COLORARG1, D3DTA_TFACTOR, 1},
        {"alpha: disabled", D3DTSS_ALPHAOP, D3DTOP_DISABLE, 1},
        {"alpha arguments, unread", D3DTSS_ALPHAARG1, D3DTA_TFACTOR, 0},
        {"alpha: modulate", D3DTSS_ALPHAOP, D3DTOP_MODULATE, 1},
        {"alpha argument, read", D3DTSS_ALPHAARG2, D3DTA_TFACTOR, 1},
    };
    for (const Step& step : steps) {
        const std::uint64_t before = GetDeviceCounters(device_).programsBuilt;
        device_->SetTextureStageState(0, step.state, step.value);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(RhwVertex)), D3D_OK);
        EXPECT_EQ(GetDeviceCounters(device_).programsBuilt - before, step.built) << step.what;
    }
}

}  // namespace

namespace {

TEST_F(D3D9TextureTest, EachFormatSamplesAsItsBitsSay) {
    struct Case {
        D3DFORMAT format;
        std::vector<std::uint8_t> texel;  // bytes as they lie in memory
        Rgba expected;
    };
    const Case cases[] = {
        {D3DFMT_A8R8G8B8, {0x30, 0x20, 0x10, 0x80}, {0x10, 0x20, 0x30, 0x80}},
        {D3DFMT_X8R8G8B8, {0x30, 0x20, 0x10, 0x00}, {0x10, 0x20, 0x30, 0xFF}},
        {D3DFMT_R8G8B8, {0x30, 0x20, 0x10}, {0x10, 0x20, 0x30, 0xFF}},
        {D3DFMT_R5G6B5, {0x00, 0xF8}, {255, 0, 0, 255}},                 // red in the top five bits
        {D3DFMT_R5G6B5, {0xE0, 0x07}, {0, 255, 0, 255}},
        {D3DFMT_A1R5G5B5, {0x1F, 0x00}, {0, 0, 255, 0}},                 // blue, alpha bit clear
        {D3DFMT_X1R5G5B5, {0x1F, 0x00}, {0, 0, 255, 255}},
        {D3DFMT_A4R4G4B4, {0x0F, 0xF0}, {0, 0, 255, 255}},
        {D3DFMT_A4R4G4B4, {0x00, 0x0F}, {255, 0, 0, 0}},
        {D3DFMT_A8, {0x40}, {0, 0, 0, 0x40}},
        {D3DFMT_L8, {0x40}, {0x40, 0x40, 0x40, 0xFF}},
        {D3DFMT_A8L8, {0x40, 0x80}, {0x40, 0x40, 0x40, 0x80}},
    };
    struct Vertex {
        float x, y, z, rhw, u, v;
    };
    const Vertex quad[4] = {{0, 0, 0.5f, 1, 0, 0}, {8, 0, 0.5f, 1, 1, 0}, {0, 8, 0.5f, 1, 0, 1}, {8, 8, 0.5f, 1, 1, 1}};
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
    for (const Case& c : cases) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(device_->CreateTexture(1, 1, 1, 0, c.format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK) << c.format;
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        std::memcpy(locked.pBits, c.texel.data(), c.texel.size());
        texture->UnlockRect(0);
        device_->SetTexture(0, texture);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
        EXPECT_TRUE(Near(Pixel(Frame(), 4, 4), c.expected, 1, true)) << "format " << c.format;
        device_->SetTexture(0, nullptr);
        texture->Release();
    }
}

TEST_F(D3D9BufferTest, IndexedDrawsHonourBaseVertexAndStartIndex) {
    const D3DCOLOR red = D3DCOLOR_XRGB(255, 0, 0), green = D3DCOLOR_XRGB(0, 255, 0);
    // Two quads: the first red (vertices 0-3), the second green (vertices 4-7).
    const RhwVertex vertices[8] = {{0, 0, 0.5f, 1, red},    {16, 0, 0.5f, 1, red},   {16, 16, 0.5f, 1, red},
                                   {0, 16, 0.5f, 1, red},   {32, 32, 0.5f, 1, green}, {48, 32, 0.5f, 1, green},
                                   {48, 48, 0.5f, 1, green}, {32, 48, 0.5f, 1, green}};
    const DWORD indices[9] = {99, 99, 99, 0, 1, 2, 0, 2, 3};
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device_->CreateVertexBuffer(sizeof vertices, 0, kRhwFvf, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
    ASSERT_EQ(device_->CreateIndexBuffer(sizeof indices, 0, D3DFMT_INDEX32, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    void* data = nullptr;
    vb->Lock(0, 0, &data, 0);
    std::memcpy(data, vertices, sizeof vertices);
    vb->Unlock();
    ib->Lock(0, 0, &data, 0);
    std::memcpy(data, indices, sizeof indices);
    ib->Unlock();
    device_->SetFVF(kRhwFvf);
    device_->SetStreamSource(0, vb, 0, sizeof(RhwVertex));
    device_->SetIndices(ib);
    struct Case {
        INT baseVertex;
        Rgba at8, at40;
    };
    for (const Case& c : {Case{0, {255, 0, 0, 255}, {0, 0, 0, 255}}, Case{4, {0, 0, 0, 255}, {0, 255, 0, 255}}}) {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, c.baseVertex, 0, 4, 3, 2), D3D_OK);
        const auto frame = Frame();
        EXPECT_TRUE(Near(Pixel(frame, 8, 8), c.at8, 0)) << "base " << c.baseVertex;
        EXPECT_TRUE(Near(Pixel(frame, 40, 40), c.at40, 0)) << "base " << c.baseVertex;
    }
    // Indices past the end of the index buffer are refused.
    EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 6, 2), D3DERR_INVALIDCALL);
    device_->SetStreamSource(0, nullptr, 0, 0);
    device_->SetIndices(nullptr);
    vb->Release();
    ib->Release();
}

}  // namespace

namespace {

TEST_F(D3D9StateTest, ResetTakesTheNewBackBufferSize) {
    struct Case {
        UINT width, height;
        BOOL windowed;
    };
    for (const Case& c : {Case{32, 16, TRUE}, Case{0, 0, TRUE}, Case{1024, 768, FALSE}, Case{kWidth, kHeight, TRUE}}) {
        D3DPRESENT_PARAMETERS p = parameters_;
        p.BackBufferWidth = c.width;
        p.BackBufferHeight = c.height;
        p.Windowed = c.windowed;
        ASSERT_EQ(device_->Reset(&p), D3D_OK);
        // Zero sizes take the window's client size, and the caller's record is filled in.
        const UINT width = c.width ? c.width : UINT(kWidth), height = c.height ? c.height : UINT(kHeight);
        EXPECT_EQ(p.BackBufferWidth, width);
        EXPECT_EQ(p.BackBufferHeight, height);
        IDirect3DSurface9* back = nullptr;
        ASSERT_EQ(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
        D3DSURFACE_DESC desc{};
        back->GetDesc(&desc);
        back->Release();
        EXPECT_EQ(desc.Width, width);
        EXPECT_EQ(desc.Height, height);
        D3DVIEWPORT9 viewport{};
        device_->GetViewport(&viewport);
        EXPECT_EQ(viewport.Width, width);
        EXPECT_EQ(viewport.Height, height);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        DrawRhwQuad(float(width) - 2, float(height) - 2, float(width), float(height), D3DCOLOR_XRGB(0, 0, 255));
        PresentedFrame frame;
        ASSERT_TRUE(ReadBackBuffer(device_, frame));
        ASSERT_EQ(frame.width, int(width));
        ASSERT_EQ(frame.height, int(height));
        EXPECT_TRUE(Near(Pixel(frame.rgba, int(width) - 1, int(height) - 1, int(width)), {0, 0, 255, 255}, 0));
        EXPECT_TRUE(Near(Pixel(frame.rgba, int(width) - 3, int(height) - 1, int(width)), {0, 0, 0, 0}, 0));
        EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }
    // A viewport outside the back buffer is refused.
    const D3DVIEWPORT9 outside{60, 0, 8, 8, 0.0f, 1.0f};
    EXPECT_EQ(device_->SetViewport(&outside), D3DERR_INVALIDCALL);
}

}  // namespace

namespace {

TEST_F(D3D9StateTest, InvalidCallsFailWithoutHarm) {
    IDirect3DDevice9* d = device_;
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(d->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(d->CreateVertexBuffer(60, 0, kRhwFvf, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    const RECT outside{2, 2, 9, 3}, empty{2, 2, 2, 3};
    void* data = nullptr;
    IDirect3DVertexBuffer9* noBuffer = nullptr;
    IDirect3DTexture9* noTexture = nullptr;
    struct Case {
        const char* what;
        HRESULT actual;
    };
    const Case cases[] = {
        {"null matrix", d->SetTransform(D3DTS_WORLD, nullptr)},
        {"transform out of range", d->SetTransform(D3DTRANSFORMSTATETYPE(4000), nullptr)},
        {"null light", d->SetLight(0, nullptr)},
        {"negative range", [&] {
             D3DLIGHT9 l{};
             l.Type = D3DLIGHT_POINT;
             l.Range = -1.0f;
             return d->SetLight(0, &l);
         }()},
        {"light type 0", [&] {
             D3DLIGHT9 l{};
             return d->SetLight(0, &l);
         }()},
        {"null material", d->SetMaterial(nullptr)},
        {"render state out of range", d->SetRenderState(D3DRENDERSTATETYPE(5000), 1)},
        {"stage out of range", d->SetTextureStageState(99, D3DTSS_COLOROP, D3DTOP_DISABLE)},
        {"sampler state out of range", d->SetSamplerState(0, D3DSAMPLERSTATETYPE(99), 0)},
        {"texture stage out of range", d->SetTexture(8, nullptr)},
        {"primitive type 0", d->DrawPrimitiveUP(D3DPRIMITIVETYPE(0), 1, &locked, 20)},
        {"primitive type 7", d->DrawPrimitive(D3DPRIMITIVETYPE(7), 0, 1)},
        {"draw without a stream", d->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1)},
        {"indexed draw without indices", d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1)},
        {"null vertices", d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, nullptr, 20)},
        {"stride smaller than the vertex", (d->SetFVF(kRhwFvf), d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, &locked, 4))},
        {"huge primitive count", (d->SetStreamSource(0, vb, 0, 20), d->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 0x7FFFFFFF))},
        {"start vertex past the end", d->DrawPrimitive(D3DPT_TRIANGLELIST, 0xFFFFFFF0u, 1)},
        {"null texture out", d->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr, nullptr)},
        {"zero-sized texture", d->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &noTexture, nullptr)},
        {"huge texture", d->CreateTexture(1u << 20, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &noTexture, nullptr)},
        {"zero-sized buffer", d->CreateVertexBuffer(0, 0, kRhwFvf, D3DPOOL_MANAGED, &noBuffer, nullptr)},
        {"bad index format", d->CreateIndexBuffer(16, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr, nullptr)},
        {"lock rect outside the level", texture->LockRect(0, &locked, &outside, 0)},
        {"empty lock rect", texture->LockRect(0, &locked, &empty, 0)},
        {"lock of a missing level", texture->LockRect(1, &locked, nullptr, 0)},
        {"unlock without lock", texture->UnlockRect(0)},
        {"null level desc", texture->GetLevelDesc(0, nullptr)},
        {"buffer lock past the end", vb->Lock(40, 40, &data, 0)},
        {"buffer lock without out", vb->Lock(0, 0, nullptr, 0)},
        {"clear of a rectangle list without rectangles", d->Clear(3, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0)},
        {"end scene without begin", d->EndScene()},
        {"null reset parameters", d->Reset(nullptr)},
    };
    for (const Case& c : cases) EXPECT_TRUE(FAILED(c.actual)) << c.what;
    EXPECT_EQ(noBuffer, nullptr);
    EXPECT_EQ(noTexture, nullptr);
    // The device still draws.
    d->SetStreamSource(0, nullptr, 0, 0);
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    DrawRhwQuad(0, 0, 4, 4, D3DCOLOR_XRGB(255, 255, 0));
    EXPECT_TRUE(Near(Pixel(Frame(), 2, 2), {255, 255, 0, 255}, 0));
    // A clear with rectangles touches only them, within the viewport.
    const D3DRECT rects[2] = {{10, 10, 12, 12}, {60, 60, 80, 80}};
    ASSERT_EQ(d->Clear(2, rects, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0, 0, 255), 1.0f, 0), D3D_OK);
    const auto frame = Frame();
    EXPECT_TRUE(Near(Pixel(frame, 11, 11), {0, 0, 255, 255}, 0));
    EXPECT_TRUE(Near(Pixel(frame, 63, 63), {0, 0, 255, 255}, 0));
    EXPECT_TRUE(Near(Pixel(frame, 12, 12), {0, 0, 0, 255}, 0));
    EXPECT_TRUE(Near(Pixel(frame, 2, 2), {255, 255, 0, 255}, 0));
    vb->Release();
    texture->Release();
}

}  // namespace
