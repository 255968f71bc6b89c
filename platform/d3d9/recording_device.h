#pragma once
// A device that records every call with its arguments, for tests of the layers above the
// device. On its own it answers like a device with no GPU: states are stored and read back
// (with Direct3D's defaults), resources are memory that locks and unlocks, draws draw
// nothing. Given another device it forwards each call to it and returns that device's result.
// Resource calls (Lock, Unlock, LockRect, ...) are recorded as "VertexBuffer::Lock" and so on.
// A forwarding recorder hands out the other device's resources, so their calls are not
// recorded. Companions (the frame capture) derive from it to see the calls as they pass.

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/ref_counted.h"

#include <map>
#include <string>
#include <vector>

struct RecordedCall {
    std::string method;     // "SetRenderState"
    std::string arguments;  // "137, 0"
    HRESULT result;
    std::string Text() const { return method + "(" + arguments + ")"; }
};

class RecordingDevice : public RefCounted<IDirect3DDevice9> {
public:
    // forward may be null; when given it is referenced for the life of the recorder.
    static RecordingDevice* Create(IDirect3DDevice9* forward = nullptr);

    const std::vector<RecordedCall>& Calls() const { return calls_; }
    int Count(const std::string& method) const;
    // The calls of one method, in order, as "Method(arguments)" texts.
    std::vector<std::string> CallsOf(const std::string& method) const;
    void ClearCalls() { calls_.clear(); }
    // Makes every later call of the method answer result (D3D_OK undoes it).
    void SetResult(const std::string& method, HRESULT result);
    // What TestCooperativeLevel answers until a Reset succeeds.
    void SetCooperativeLevel(HRESULT result) { cooperative_ = result; }
    void Record(const char* method, std::string arguments, HRESULT result);
    HRESULT Forced(const char* method, HRESULT otherwise) const;

    HRESULT TestCooperativeLevel() override;
    HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND destWindow, const void* dirtyRegion) override;
    void SetGammaRamp(UINT swapChain, DWORD flags, const D3DGAMMARAMP* ramp) override;
    void GetGammaRamp(UINT swapChain, D3DGAMMARAMP* ramp) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, void* sharedHandle) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               void* sharedHandle) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** buffer, void* sharedHandle) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT GetMaterial(D3DMATERIAL9* material) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT9* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT GetFVF(DWORD* fvf) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                                 UINT startIndex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) override;

protected:
    explicit RecordingDevice(IDirect3DDevice9* forward);
    ~RecordingDevice() override;
    IDirect3DDevice9* Forward() const { return forward_; }

private:
    void ResetStates();

    IDirect3DDevice9* forward_;
    std::vector<RecordedCall> calls_;
    std::map<std::string, HRESULT> forced_;
    HRESULT cooperative_ = D3D_OK;
    D3DPRESENT_PARAMETERS parameters_{};
    std::vector<DWORD> renderStates_;
    std::vector<DWORD> stageStates_, samplerStates_;  // [stage * 64 + type]
    std::vector<D3DMATRIX> transforms_;
    std::vector<std::pair<D3DLIGHT9, bool>> lights_;
    D3DMATERIAL9 material_{};
    D3DVIEWPORT9 viewport_{};
    D3DGAMMARAMP gamma_{};
    IDirect3DBaseTexture9* textures_[8] = {};
    DWORD fvf_ = 0;
    bool inScene_ = false;
};
