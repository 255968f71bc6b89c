#pragma once
// The Direct3D 9 device over an OpenGL 3.3 core context. Invariants:
// - State lives in flat arrays; setters compare, store, and mark a dirty group. Draw calls
//   flush only dirty groups, into uniforms (all numbers) and GL state.
// - All fixed GL state changes go through the GlStateMirror.
// - Drawing goes into an offscreen framebuffer of the back-buffer size; Present copies it to
//   the window, through the gamma ramp when that is not the identity.
// - Direct3D conventions hold at the interface: row-vector matrices, depth 0..1, clockwise
//   front faces, pixel centres on integers.

#include "platform/d3d9/d3d9_hooks.h"
#include "platform/d3d9/ff_program.h"
#include "platform/d3d9/gl_context.h"
#include "platform/d3d9/gl_state_mirror.h"
#include "platform/d3d9/ref_counted.h"
#include "platform/d3d9/state_defaults.h"

#include <array>
#include <memory>
#include <vector>

class GlTexture;
class GlVertexBuffer;
class GlIndexBuffer;

class GlDevice final : public RefCounted<IDirect3DDevice9> {
public:
    // Null when the context (current, from the window's source) offers less than GL 3.3.
    static GlDevice* Create(IDirect3D9* owner, std::unique_ptr<GlContext> context,
                            const D3DPRESENT_PARAMETERS& parameters, const D3DCAPS9& baseCaps, HRESULT& result);

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

    // Hooks (d3d9_hooks.h).
    void SetCapture(bool on) { capture_ = on; }
    void SetOverdraw(bool on) {
        overdraw_ = on;
        dirty_ |= kDirtyAll;
    }
    bool LastFrame(PresentedFrame& frame) const;
    bool ReadBack(PresentedFrame& frame);
    DeviceCounters& Counters() { return counters_; }
    void LoseDevice(int lostPolls);
    bool WarmProgram();
    bool SetRenderScale(float scale);
    void ResolveScene();

    // For resources.
    void MakeCurrent();
    GlStateMirror& Mirror() { return mirror_; }
    void ResourceCreated(D3DPOOL pool) { if (pool == D3DPOOL_DEFAULT) ++defaultPoolResources_; }
    void ResourceDestroyed(const void* resource, D3DPOOL pool);
    void ForgetTexture(GLuint name) { mirror_.Forget(name); }
    void ForgetBuffer(GLuint name) { mirror_.ForgetBuffer(name); }

private:
    enum Dirty : std::uint32_t {
        kDirtyKey = 1, kDirtyBlend = 2, kDirtyDepth = 4, kDirtyRaster = 8, kDirtySamplers = 16,
        kDirtyTextures = 32, kDirtyVertexInput = 64, kDirtyViewport = 128, kDirtyTransform = 256,
        kDirtyLights = 512, kDirtyMaterial = 1024, kDirtyFog = 2048, kDirtyStage = 4096, kDirtyAll = 0x1FFF,
    };
    struct LightSlot {
        D3DLIGHT9 light{};
        bool enabled = false;
    };

    GlDevice(IDirect3D9* owner, std::unique_ptr<GlContext> context);
    ~GlDevice();
    bool CreateTargets();
    bool CreateSceneTarget();
    void DestroySceneTarget();
    void DestroyTargets();
    bool DrawingScaled() const { return drawFramebuffer_ != framebuffer_; }
    // A back-buffer coordinate in the target drawn now.
    int ToTarget(int value) const;
    bool CreatePresenter();
    void ApplyPresentParameters(const D3DPRESENT_PARAMETERS& parameters);
    void ResetStates();
    void FillCaps(const D3DCAPS9& baseCaps);
    std::uint32_t RenderStateGroups(DWORD state) const;
    bool Flush(GLuint vertexBuffer, UINT vertexOffset, UINT stride);
    void FlushVertexInput(GLuint buffer, UINT offset, UINT stride);
    void BuildKey(FixedFunctionKey& key) const;
    void UpdateDerived();
    void UploadUniforms(FixedFunctionProgram& program);
    void FlushFixedState();
    void Capture(int width, int height);
    bool Drawable() const { return !inLostState() && context_ != nullptr; }
    bool inLostState() const { return lostPolls_ > 0 || notReset_; }

    IDirect3D9* owner_;
    std::unique_ptr<GlContext> context_;
    D3DPRESENT_PARAMETERS parameters_{};
    D3DCAPS9 caps_{};
    GlStateMirror mirror_;
    ProgramCache programs_;
    bool clipControl_ = false;

    GLuint framebuffer_ = 0, colorTexture_ = 0, depthBuffer_ = 0;
    int width_ = 0, height_ = 0;
    // Render scale: below 1 the scene is drawn into a smaller target of its own, stretched
    // into the back buffer when it is resolved (at the latest by Present).
    float renderScale_ = 1.0f;
    GLuint sceneFramebuffer_ = 0, sceneColor_ = 0, sceneDepth_ = 0;
    int sceneWidth_ = 0, sceneHeight_ = 0;
    GLuint drawFramebuffer_ = 0;  // where draws and clears go now: the scene target or the back buffer
    GLuint vao_ = 0, upBuffer_ = 0, gammaTexture_ = 0, presentProgram_ = 0, presentVao_ = 0;
    GLint presentGammaLocation_ = -1;
    GLuint samplers_[kMaxStages] = {};

    std::array<DWORD, kRenderStateCount> renderStates_{};
    std::array<std::array<DWORD, kStageStateCount>, kMaxStages> stageStates_{};
    std::array<std::array<DWORD, kSamplerStateCount>, kMaxStages> samplerStates_{};
    std::vector<D3DMATRIX> transforms_;
    D3DMATERIAL9 material_{};
    std::vector<LightSlot> lights_;
    GlTexture* textures_[kMaxStages] = {};
    GlVertexBuffer* stream_ = nullptr;
    UINT streamOffset_ = 0, streamStride_ = 0;
    DWORD fvf_ = 0;
    GlIndexBuffer* indices_ = nullptr;
    D3DVIEWPORT9 viewport_{};
    D3DGAMMARAMP gamma_{};
    bool gammaIdentity_ = true, gammaUploaded_ = false;

    std::uint32_t dirty_ = kDirtyAll;
    std::uint64_t generations_[kGroupCount] = {};
    FixedFunctionKey key_;
    FixedFunctionProgram* program_ = nullptr;
    GLuint boundVertexBuffer_ = 0;
    UINT boundVertexOffset_ = 0, boundStride_ = 0;
    DWORD boundFvf_ = 0xFFFFFFFFu;
    int activeLights_[kMaxLights] = {};

    // Derived uniform values, recomputed when their inputs change.
    float worldViewProj_[16] = {}, worldView_[16] = {}, normalMatrix_[9] = {};
    float lightPosition_[kMaxLights * 3] = {}, lightDirection_[kMaxLights * 3] = {};

    bool inScene_ = false;
    int lostPolls_ = 0;
    bool notReset_ = false;
    int defaultPoolResources_ = 0;
    bool capture_ = false;
    bool overdraw_ = false;
    PresentedFrame lastFrame_;
    bool hasFrame_ = false;
    DeviceCounters counters_;
};
