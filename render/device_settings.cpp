#include "render/device_settings.h"

#include "core/log.h"
#include "render/device_enumeration.h"

#include <vector>

int FormatBitsPerPixel(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_R8G8B8: return 24;
        case D3DFMT_A8R8G8B8: case D3DFMT_X8R8G8B8: case D3DFMT_A2B10G10R10: case D3DFMT_A8B8G8R8:
        case D3DFMT_X8B8G8R8: case D3DFMT_G16R16: case D3DFMT_A2R10G10B10: case D3DFMT_X8L8V8U8:
        case D3DFMT_Q8W8V8U8: case D3DFMT_V16U16: case D3DFMT_A2W10V10U10: case D3DFMT_D32:
        case D3DFMT_D24S8: case D3DFMT_D24X8: case D3DFMT_D24X4S4: case D3DFMT_INDEX32:
        case D3DFMT_G16R16F: case D3DFMT_R32F:
            return 32;
        case D3DFMT_R5G6B5: case D3DFMT_X1R5G5B5: case D3DFMT_A1R5G5B5: case D3DFMT_A4R4G4B4:
        case D3DFMT_A8R3G3B2: case D3DFMT_X4R4G4B4: case D3DFMT_A8P8: case D3DFMT_A8L8: case D3DFMT_V8U8:
        case D3DFMT_L6V5U5: case D3DFMT_D16_LOCKABLE: case D3DFMT_D15S1: case D3DFMT_D16: case D3DFMT_L16:
        case D3DFMT_INDEX16: case D3DFMT_R16F: case D3DFMT_CxV8U8:
            return 16;
        case D3DFMT_R3G3B2: case D3DFMT_A8: case D3DFMT_P8: case D3DFMT_L8: case D3DFMT_A4L4:
            return 8;
        case D3DFMT_A16B16G16R16: case D3DFMT_Q16W16V16U16: case D3DFMT_A16B16G16R16F: case D3DFMT_G32R32F:
            return 64;
        case D3DFMT_A32B32G32R32F: return 128;
        default: return 0;
    }
}

bool FormatHasAlpha(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8: case D3DFMT_A1R5G5B5: case D3DFMT_A4R4G4B4: case D3DFMT_A8:
        case D3DFMT_A8R3G3B2: case D3DFMT_A2B10G10R10: case D3DFMT_A8B8G8R8: case D3DFMT_A16B16G16R16:
        case D3DFMT_A8P8: case D3DFMT_A8L8: case D3DFMT_A4L4: case D3DFMT_A2W10V10U10:
        case D3DFMT_A16B16G16R16F: case D3DFMT_A32B32G32R32F: case D3DFMT_MULTI2_ARGB8:
            return true;
        default: return false;
    }
}

D3DFORMAT ParseFormatKeyword(const String& text) {
    struct Keyword {
        const char* text;
        D3DFORMAT format;
    };
    static const Keyword kKeywords[] = {
        {"D3DFMT_R8G8B8", D3DFMT_R8G8B8},     {"D3DFMT_A8R8G8B8", D3DFMT_A8R8G8B8},
        {"D3DFMT_X8R8G8B8", D3DFMT_X8R8G8B8}, {"D3DFMT_R5G6B5", D3DFMT_R5G6B5},
        {"D3DFMT_X1R5G5B5", D3DFMT_X1R5G5B5}, {"D3DFMT_A1R5G5B5", D3DFMT_A1R5G5B5},
        {"D3DFMT_A4R4G4B4", D3DFMT_A4R4G4B4},
    };
    for (const Keyword& keyword : kKeywords)
        if (text.Equals(keyword.text)) return keyword.format;
    return D3DFMT_UNKNOWN;
}

const char* FormatName(D3DFORMAT format) {
    struct Name {
        D3DFORMAT format;
        const char* name;
    };
#define FV_FORMAT(x) {D3DFMT_##x, #x}
    static const Name kNames[] = {
        FV_FORMAT(UNKNOWN), FV_FORMAT(R8G8B8), FV_FORMAT(A8R8G8B8), FV_FORMAT(X8R8G8B8), FV_FORMAT(R5G6B5),
        FV_FORMAT(X1R5G5B5), FV_FORMAT(A1R5G5B5), FV_FORMAT(A4R4G4B4), FV_FORMAT(R3G3B2), FV_FORMAT(A8),
        FV_FORMAT(A8R3G3B2), FV_FORMAT(X4R4G4B4), FV_FORMAT(A2B10G10R10), FV_FORMAT(A8B8G8R8),
        FV_FORMAT(X8B8G8R8), FV_FORMAT(G16R16), FV_FORMAT(A2R10G10B10), FV_FORMAT(A16B16G16R16),
        FV_FORMAT(A8P8), FV_FORMAT(P8), FV_FORMAT(L8), FV_FORMAT(A8L8), FV_FORMAT(A4L4), FV_FORMAT(V8U8),
        FV_FORMAT(L6V5U5), FV_FORMAT(X8L8V8U8), FV_FORMAT(Q8W8V8U8), FV_FORMAT(V16U16),
        FV_FORMAT(A2W10V10U10), FV_FORMAT(D16_LOCKABLE), FV_FORMAT(D32), FV_FORMAT(D15S1), FV_FORMAT(D24S8),
        FV_FORMAT(D24X8), FV_FORMAT(D24X4S4), FV_FORMAT(D16), FV_FORMAT(L16), FV_FORMAT(VERTEXDATA),
        FV_FORMAT(INDEX16), FV_FORMAT(INDEX32), FV_FORMAT(Q16W16V16U16), FV_FORMAT(R16F), FV_FORMAT(G16R16F),
        FV_FORMAT(A16B16G16R16F), FV_FORMAT(R32F), FV_FORMAT(G32R32F), FV_FORMAT(A32B32G32R32F),
        FV_FORMAT(CxV8U8), FV_FORMAT(MULTI2_ARGB8), FV_FORMAT(DXT1), FV_FORMAT(DXT2), FV_FORMAT(YUY2),
        FV_FORMAT(DXT3), FV_FORMAT(DXT4), FV_FORMAT(DXT5), FV_FORMAT(UYVY),
    };
#undef FV_FORMAT
    for (const Name& name : kNames)
        if (name.format == format) return name.name;
    return "Unknown format";
}

String MultisampleName(D3DMULTISAMPLE_TYPE type) {
    if (type == D3DMULTISAMPLE_NONE) return "D3DMULTISAMPLE_NONE";
    if (type == D3DMULTISAMPLE_NONMASKABLE) return "D3DMULTISAMPLE_NONMASKABLE";
    if (type >= 2 && type <= 16) return String("D3DMULTISAMPLE_") + String::FromInt(int(type)) + "_SAMPLES";
    return "Unknown Multisample Type";
}

const char* VertexProcessingName(DWORD type) {
    switch (type) {
        case SOFTWARE_VP: return "SOFTWARE_VP";
        case MIXED_VP: return "MIXED_VP";
        case HARDWARE_VP: return "HARDWARE_VP";
        case PURE_HARDWARE_VP: return "PURE_HARDWARE_VP";
        default: return "Unknown VertexProcessingType";
    }
}

const char* PresentIntervalName(DWORD interval) {
    switch (interval) {
        case D3DPRESENT_INTERVAL_DEFAULT: return "D3DPRESENT_INTERVAL_DEFAULT";
        case D3DPRESENT_INTERVAL_ONE: return "D3DPRESENT_INTERVAL_ONE";
        case D3DPRESENT_INTERVAL_TWO: return "D3DPRESENT_INTERVAL_TWO";
        case D3DPRESENT_INTERVAL_THREE: return "D3DPRESENT_INTERVAL_THREE";
        case D3DPRESENT_INTERVAL_FOUR: return "D3DPRESENT_INTERVAL_FOUR";
        case D3DPRESENT_INTERVAL_IMMEDIATE: return "D3DPRESENT_INTERVAL_IMMEDIATE";
        default: return "Unknown PresentInterval";
    }
}

DWORD BehaviourFlags(DWORD vertexProcessing) {
    switch (vertexProcessing) {
        case MIXED_VP: return D3DCREATE_MIXED_VERTEXPROCESSING;
        case HARDWARE_VP: return D3DCREATE_HARDWARE_VERTEXPROCESSING;
        case PURE_HARDWARE_VP: return D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE;
        default: return D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    }
}

D3DPRESENT_PARAMETERS BuildPresentParameters(const DeviceSettings& settings, HWND window, UINT clientWidth,
                                             UINT clientHeight) {
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = settings.windowed ? clientWidth : settings.width;
    p.BackBufferHeight = settings.windowed ? clientHeight : settings.height;
    p.BackBufferFormat = settings.combo != nullptr ? settings.combo->backBufferFormat : D3DFMT_UNKNOWN;
    p.BackBufferCount = 1;
    p.MultiSampleType = settings.multisampleType;
    p.MultiSampleQuality = settings.multisampleQuality;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.hDeviceWindow = window;
    p.Windowed = settings.windowed ? TRUE : FALSE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = settings.depthStencilFormat;
    p.Flags = D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL;
    p.FullScreen_RefreshRateInHz = settings.windowed ? 0 : settings.refreshRate;
    p.PresentationInterval = settings.presentInterval;
    return p;
}

namespace {
std::vector<String> ReportPieces(const DeviceSettings& s) {
    return {
        "----------------------\n",
        s.windowed ? "Windowed " : "Fullscreen ",
        String::FromInt(int(s.width)) + "x" + String::FromInt(int(s.height)),
        String(", ") + FormatName(s.displayFormat),
        String(", ") + FormatName(s.depthStencilFormat) + "\n",
        String("Present Interval: ") + PresentIntervalName(s.presentInterval) + "\n",
        String("Vertex Proccessing: ") + VertexProcessingName(s.vertexProcessing) + "\n",
        String("MultiSample: ") + MultisampleName(s.multisampleType) + " , Quality:" +
            String::FromInt(int(s.multisampleQuality)) + "\n",
        "----------------------\n",
    };
}
}  // namespace

String DeviceReport(const DeviceSettings& settings) {
    String text;
    for (const String& piece : ReportPieces(settings)) text += piece;
    return text;
}

void LogDeviceReport(const DeviceSettings& settings) {
    for (const String& piece : ReportPieces(settings)) Log("", piece);
}
