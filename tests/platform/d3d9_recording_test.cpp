// The recording device: what it logs, what it answers alone, and forwarding to the GL device.

#include "d3d9_fixture.h"

#include "platform/d3d9/recording_device.h"

namespace {

TEST(D3D9RecordingTest, LogsEachCallWithItsArguments) {
    RecordingDevice* device = RecordingDevice::Create();
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);  // recorded again: the device filters nothing
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->DrawPrimitive(D3DPT_TRIANGLELIST, 3, 7);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, -2, 0, 10, 4, 8);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(1, 2, 3), 1.0f, 0);
    struct Case {
        const char* method;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"SetRenderState", {"SetRenderState(137, 0)", "SetRenderState(137, 0)"}},
        {"SetTextureStageState", {"SetTextureStageState(0, 1, 2)"}},
        {"SetSamplerState", {"SetSamplerState(0, 5, 2)"}},
        {"DrawPrimitive", {"DrawPrimitive(4, 3, 7)"}},
        {"DrawIndexedPrimitive", {"DrawIndexedPrimitive(5, -2, 0, 10, 4, 8)"}},
        {"Clear", {"Clear(0, 1, 4278256131, 1, 0)"}},
        {"Present", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(device->CallsOf(c.method), c.texts) << c.method;
        EXPECT_EQ(device->Count(c.method), int(c.texts.size())) << c.method;
    }
    EXPECT_EQ(device->Calls().size(), 7u);
    device->ClearCalls();
    EXPECT_TRUE(device->Calls().empty());
    device->Release();
}

TEST(D3D9RecordingTest, AnswersLikeADeviceWithoutAGpu) {
    RecordingDevice* device = RecordingDevice::Create();
    struct Case {
        D3DRENDERSTATETYPE state;
        DWORD value;
    };
    // Direct3D's defaults, then what was set.
    for (const Case& c : {Case{D3DRS_CULLMODE, D3DCULL_CCW}, Case{D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
                          Case{D3DRS_LIGHTING, TRUE}, Case{D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu},
                          Case{D3DRS_SRCBLEND, D3DBLEND_ONE}, Case{D3DRS_DESTBLEND, D3DBLEND_ZERO}}) {
        DWORD value = 0;
        ASSERT_EQ(device->GetRenderState(c.state, &value), D3D_OK);
        EXPECT_EQ(value, c.value) << c.state;
    }
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    DWORD fog = 0;
    device->GetRenderState(D3DRS_FOGENABLE, &fog);
    EXPECT_EQ(fog, DWORD(TRUE));

    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(256, D3DUSAGE_DYNAMIC, kRhwFvf, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
    void* data = nullptr;
    ASSERT_EQ(buffer->Lock(16, 32, &data, D3DLOCK_NOOVERWRITE), D3D_OK);
    static_cast<std::uint8_t*>(data)[31] = 7;
    buffer->Unlock();
    EXPECT_EQ(buffer->Lock(250, 32, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CallsOf("VertexBuffer::Lock"),
              (std::vector<std::string>{"VertexBuffer::Lock(16, 32, 4096)", "VertexBuffer::Lock(250, 32, 0)"}));
    EXPECT_EQ(device->Count("VertexBuffer::Unlock"), 1);
    buffer->Release();

    // Forced failures and a lost device, for the paths that handle them.
    device->SetResult("CreateVertexBuffer", D3DERR_OUTOFVIDEOMEMORY);
    buffer = nullptr;
    EXPECT_EQ(device->CreateVertexBuffer(256, 0, kRhwFvf, D3DPOOL_MANAGED, &buffer, nullptr), D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(buffer, nullptr);
    device->SetResult("CreateVertexBuffer", D3D_OK);
    device->SetCooperativeLevel(D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = 320;
    parameters.BackBufferHeight = 200;
    ASSERT_EQ(device->Reset(&parameters), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    device->GetRenderState(D3DRS_FOGENABLE, &fog);
    EXPECT_EQ(fog, DWORD(FALSE));
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    D3DSURFACE_DESC desc{};
    back->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 320u);
    EXPECT_EQ(desc.Height, 200u);
    back->Release();

    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(32, 16, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 6u);
    device->SetTexture(0, texture);
    IDirect3DBaseTexture9* bound = nullptr;
    device->GetTexture(0, &bound);
    EXPECT_EQ(bound, texture);
    bound->Release();
    device->SetTexture(0, nullptr);
    texture->Release();
    device->Release();
}

using D3D9RecordingForwardTest = D3D9DeviceTest;

TEST_F(D3D9RecordingForwardTest, ForwardsToTheRealDevice) {
    RecordingDevice* recorder = RecordingDevice::Create(device_);
    recorder->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
    const RhwVertex v[4] = {{0, 0, 0.5f, 1, 0xFF00FF00}, {32, 0, 0.5f, 1, 0xFF00FF00}, {0, 32, 0.5f, 1, 0xFF00FF00},
                            {32, 32, 0.5f, 1, 0xFF00FF00}};
    recorder->SetFVF(kRhwFvf);
    EXPECT_EQ(recorder->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(RhwVertex)), D3D_OK);
    EXPECT_EQ(recorder->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);  // no stream: the device says so
    EXPECT_TRUE(Near(Pixel(Frame(), 16, 16), {0, 255, 0, 255}, 0));
    ASSERT_EQ(recorder->Calls().size(), 4u);
    EXPECT_EQ(recorder->Calls()[3].result, D3DERR_INVALIDCALL);
    recorder->Release();
}

}  // namespace
