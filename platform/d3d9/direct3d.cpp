// The Direct3D object: one adapter per SDL display, a HAL device type backed by OpenGL 3.3,
// and the format questions answered from what our GL device can do.

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/gl_device.h"
#include "platform/d3d9/gl_formats.h"
#include "platform/d3d9/ref_counted.h"
#include "platform/win/native_window.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

class Direct3D final : public RefCounted<IDirect3D9> {
public:
    Direct3D() = default;
    // The last reference gives back the video subsystem taken when the object was made.
    ~Direct3D() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

    UINT GetAdapterCount() override { return UINT(std::max(SDL_GetNumVideoDisplays(), 0)); }

    HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier) override {
        if (!identifier || adapter >= GetAdapterCount()) return D3DERR_INVALIDCALL;
        std::memset(identifier, 0, sizeof *identifier);
        std::snprintf(identifier->Driver, sizeof identifier->Driver, "frostvale-gl33");
        const char* name = SDL_GetDisplayName(int(adapter));
        const char* driver = SDL_GetCurrentVideoDriver();
        std::snprintf(identifier->Description, sizeof identifier->Description, "OpenGL 3.3 on %s (%s)",
                      name ? name : "display", driver ? driver : "video");
        std::snprintf(identifier->DeviceName, sizeof identifier->DeviceName, "\\\\.\\DISPLAY%u", adapter + 1);
        identifier->DriverVersion = (std::int64_t(9) << 48) | 1;
        identifier->DeviceIdentifier.Data1 = 0x46726F73u + adapter;  // stable per adapter
        identifier->WHQLLevel = 1;
        return D3D_OK;
    }

    UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) override {
        return UINT(ModesOf(adapter, format).size());
    }

    HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* out) override {
        if (!out) return D3DERR_INVALIDCALL;
        const auto modes = ModesOf(adapter, format);
        if (mode >= modes.size()) return D3DERR_INVALIDCALL;
        *out = modes[mode];
        return D3D_OK;
    }

    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override {
        if (!mode || adapter >= GetAdapterCount()) return D3DERR_INVALIDCALL;
        SDL_DisplayMode current{};
        if (SDL_GetCurrentDisplayMode(int(adapter), &current) != 0) return D3DERR_NOTAVAILABLE;
        *mode = D3DDISPLAYMODE{UINT(current.w), UINT(current.h), UINT(std::max(current.refresh_rate, 0)),
                               SDL_BITSPERPIXEL(current.format) == 16 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8};
        return D3D_OK;
    }

    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, D3DFORMAT backBufferFormat,
                            BOOL windowed) override {
        if (adapter >= GetAdapterCount()) return D3DERR_INVALIDCALL;
        if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
        if (backBufferFormat == D3DFMT_UNKNOWN && windowed) backBufferFormat = adapterFormat;
        return BackBufferMatchesDisplay(adapterFormat, backBufferFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT format) override {
        if (adapter >= GetAdapterCount()) return D3DERR_INVALIDCALL;
        if (type != D3DDEVTYPE_HAL || !IsDisplayFormat(adapterFormat)) return D3DERR_NOTAVAILABLE;
        if (usage & D3DUSAGE_DEPTHSTENCIL)
            return resourceType == D3DRTYPE_SURFACE && IsDepthFormatSupported(format) ? D3D_OK : D3DERR_NOTAVAILABLE;
        if (usage & D3DUSAGE_RENDERTARGET) return IsRenderTargetFormat(format) ? D3D_OK : D3DERR_NOTAVAILABLE;
        if (resourceType == D3DRTYPE_VERTEXBUFFER || resourceType == D3DRTYPE_INDEXBUFFER) return D3D_OK;
        if (resourceType != D3DRTYPE_TEXTURE && resourceType != D3DRTYPE_SURFACE) return D3DERR_NOTAVAILABLE;
        GlFormat gl;
        return TextureFormatOf(format, gl) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surfaceFormat, BOOL windowed,
                                       D3DMULTISAMPLE_TYPE multiSample, DWORD* qualityLevels) override {
        if (adapter >= GetAdapterCount()) return D3DERR_INVALIDCALL;
        if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
        // Drawing goes to a single-sampled framebuffer: only NONE is offered.
        if (multiSample != D3DMULTISAMPLE_NONE) return D3DERR_NOTAVAILABLE;
        if (!IsRenderTargetFormat(surfaceFormat) && !IsDepthFormatSupported(surfaceFormat)) return D3DERR_NOTAVAILABLE;
        if (qualityLevels) *qualityLevels = 1;
        return D3D_OK;
    }

    HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                   D3DFORMAT renderTargetFormat, D3DFORMAT depthFormat) override {
        if (adapter >= GetAdapterCount()) return D3DERR_INVALIDCALL;
        if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
        return IsRenderTargetFormat(renderTargetFormat) && IsDepthFormatSupported(depthFormat) ? D3D_OK
                                                                                                : D3DERR_NOTAVAILABLE;
    }

    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override {
        if (!caps || adapter >= GetAdapterCount()) return D3DERR_INVALIDCALL;
        if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
        FillCaps(adapter, *caps);
        return D3D_OK;
    }

    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override {
        if (!device || !parameters) return D3DERR_INVALIDCALL;
        *device = nullptr;
        if (adapter >= GetAdapterCount()) return D3DERR_INVALIDCALL;
        if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
        HWND windowHandle = parameters->hDeviceWindow ? parameters->hDeviceWindow : focusWindow;
        GlContextSource* source = GlContextSourceOf(windowHandle);
        SDL_Window* window = NativeWindowOf(windowHandle);
        if (!source && !window) return D3DERR_INVALIDCALL;
        if (!parameters->Windowed && (parameters->BackBufferWidth == 0 || parameters->BackBufferHeight == 0))
            return D3DERR_INVALIDCALL;
        if (parameters->BackBufferFormat != D3DFMT_UNKNOWN && !IsRenderTargetFormat(parameters->BackBufferFormat))
            return D3DERR_NOTAVAILABLE;
        if (parameters->EnableAutoDepthStencil && !IsDepthFormatSupported(parameters->AutoDepthStencilFormat))
            return D3DERR_NOTAVAILABLE;
        if (parameters->MultiSampleType != D3DMULTISAMPLE_NONE) return D3DERR_NOTAVAILABLE;
        D3DCAPS9 caps;
        FillCaps(adapter, caps);
        HRESULT result = D3D_OK;
        GlDevice* created = GlDevice::Create(this, source ? source->CreateGlContext() : CreateSdlGlContext(window),
                                             *parameters, caps, result);
        if (!created) return result;
        *device = created;
        return D3D_OK;
    }

private:
    std::vector<D3DDISPLAYMODE> ModesOf(UINT adapter, D3DFORMAT format) {
        std::vector<D3DDISPLAYMODE> modes;
        if (adapter >= GetAdapterCount() || !IsDisplayFormat(format)) return modes;
        auto add = [&](const SDL_DisplayMode& sdl) {
            if (sdl.w <= 0 || sdl.h <= 0) return;
            const D3DDISPLAYMODE mode{UINT(sdl.w), UINT(sdl.h), UINT(std::max(sdl.refresh_rate, 0)), format};
            const bool seen = std::any_of(modes.begin(), modes.end(), [&](const D3DDISPLAYMODE& m) {
                return m.Width == mode.Width && m.Height == mode.Height && m.RefreshRate == mode.RefreshRate;
            });
            if (!seen) modes.push_back(mode);
        };
        const int count = SDL_GetNumDisplayModes(int(adapter));
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode sdl{};
            if (SDL_GetDisplayMode(int(adapter), i, &sdl) == 0) add(sdl);
        }
        // Some video drivers list no modes (or empty ones): the desktop mode is always there.
        SDL_DisplayMode desktop{};
        if (SDL_GetDesktopDisplayMode(int(adapter), &desktop) == 0) add(desktop);
        return modes;
    }

    static void FillCaps(UINT adapter, D3DCAPS9& caps) {
        std::memset(&caps, 0, sizeof caps);
        caps.DeviceType = D3DDEVTYPE_HAL;
        caps.AdapterOrdinal = adapter;
        caps.Caps2 = D3DCAPS2_FULLSCREENGAMMA | D3DCAPS2_CANCALIBRATEGAMMA | D3DCAPS2_CANMANAGERESOURCE |
                     D3DCAPS2_DYNAMICTEXTURES;
        caps.PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
        caps.DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_EXECUTEVIDEOMEMORY |
                       D3DDEVCAPS_TLVERTEXSYSTEMMEMORY | D3DDEVCAPS_TLVERTEXVIDEOMEMORY |
                       D3DDEVCAPS_TEXTURESYSTEMMEMORY | D3DDEVCAPS_TEXTUREVIDEOMEMORY | D3DDEVCAPS_DRAWPRIMTLVERTEX |
                       D3DDEVCAPS_CANRENDERAFTERFLIP | D3DDEVCAPS_DRAWPRIMITIVES2 | D3DDEVCAPS_DRAWPRIMITIVES2EX |
                       D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_PUREDEVICE;
        caps.PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW |
                                 D3DPMISCCAPS_CULLCCW | D3DPMISCCAPS_COLORWRITEENABLE | D3DPMISCCAPS_BLENDOP;
        caps.RasterCaps = D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_FOGVERTEX | D3DPRASTERCAPS_FOGTABLE |
                          D3DPRASTERCAPS_FOGRANGE;
        caps.ZCmpCaps = caps.AlphaCmpCaps = D3DPCMPCAPS_ALL;
        caps.SrcBlendCaps = caps.DestBlendCaps = D3DPBLENDCAPS_ALL;
        caps.ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB |
                         D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_FOGGOURAUD;
        caps.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP;
        caps.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
                                 D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
        caps.TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP |
                                  D3DPTADDRESSCAPS_BORDER | D3DPTADDRESSCAPS_INDEPENDENTUV;
        caps.MaxTextureWidth = caps.MaxTextureHeight = 8192;
        caps.MaxTextureRepeat = 8192;
        caps.MaxTextureAspectRatio = 8192;
        caps.MaxAnisotropy = 1;
        caps.MaxVertexW = 1e10f;
        caps.GuardBandLeft = caps.GuardBandTop = -32768.0f;
        caps.GuardBandRight = caps.GuardBandBottom = 32767.0f;
        caps.FVFCaps = 8;  // texture coordinate sets
        caps.TextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 |
                             D3DTEXOPCAPS_MODULATE | D3DTEXOPCAPS_MODULATE2X | D3DTEXOPCAPS_MODULATE4X |
                             D3DTEXOPCAPS_ADD | D3DTEXOPCAPS_ADDSIGNED | D3DTEXOPCAPS_SUBTRACT;
        caps.MaxTextureBlendStages = caps.MaxSimultaneousTextures = kMaxStages;
        caps.VertexProcessingCaps = D3DVTXPCAPS_MATERIALSOURCE7 | D3DVTXPCAPS_DIRECTIONALLIGHTS |
                                    D3DVTXPCAPS_POSITIONALLIGHTS | D3DVTXPCAPS_LOCALVIEWER;
        caps.MaxActiveLights = kMaxLights;
        caps.MaxPointSize = 64.0f;
        caps.MaxPrimitiveCount = 0xFFFFF;
        caps.MaxVertexIndex = 0xFFFFFF;
        caps.MaxStreams = 1;
        caps.MaxStreamStride = 255;
        caps.MasterAdapterOrdinal = adapter;
        caps.NumberOfAdaptersInGroup = 1;
        caps.NumSimultaneousRTs = 1;
    }
};

}  // namespace

IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    // The video subsystem and the GL library stay loaded for the life of the process once a
    // Direct3D object has existed: unloading the driver between devices costs start-up time
    // and strands the driver's own allocations.
    static const bool pinned = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 && SDL_GL_LoadLibrary(nullptr) == 0;
    (void)pinned;
    return new Direct3D();
}
