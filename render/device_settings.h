#pragma once
// The settings a device is created with, and the tables around them: bits per pixel and
// alpha of formats, the names the device report prints, the format keyword parser, the
// present parameters and the behaviour flags.

#include "core/byte_string.h"
#include "platform/d3d9/d3d9.h"

struct AdapterInfo;
struct DeviceInfo;
struct DeviceCombo;

enum VertexProcessingType : DWORD { SOFTWARE_VP = 0, MIXED_VP = 1, HARDWARE_VP = 2, PURE_HARDWARE_VP = 3 };

struct DeviceSettings {
    AdapterInfo* adapter = nullptr;  // the three point into the enumeration, which owns them
    DeviceInfo* device = nullptr;
    DeviceCombo* combo = nullptr;
    UINT width = 0;
    UINT height = 0;
    UINT refreshRate = 0;
    D3DFORMAT displayFormat = D3DFMT_UNKNOWN;
    D3DFORMAT depthStencilFormat = D3DFMT_UNKNOWN;
    D3DMULTISAMPLE_TYPE multisampleType = D3DMULTISAMPLE_NONE;
    DWORD multisampleQuality = 0;
    DWORD vertexProcessing = SOFTWARE_VP;
    DWORD presentInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    bool windowed = false;
};

// 0 for compressed, YUV and unknown formats.
int FormatBitsPerPixel(D3DFORMAT format);
bool FormatHasAlpha(D3DFORMAT format);

// "D3DFMT_R8G8B8" ... "D3DFMT_A4R4G4B4" (exact case) to their formats; anything else UNKNOWN.
D3DFORMAT ParseFormatKeyword(const String& text);

const char* FormatName(D3DFORMAT format);
String MultisampleName(D3DMULTISAMPLE_TYPE type);
const char* VertexProcessingName(DWORD type);
const char* PresentIntervalName(DWORD interval);

DWORD BehaviourFlags(DWORD vertexProcessing);
// Windowed settings take the client size; full screen the settings' mode.
D3DPRESENT_PARAMETERS BuildPresentParameters(const DeviceSettings& settings, HWND window, UINT clientWidth,
                                             UINT clientHeight);

// The device information report, logged piece by piece before each device creation.
String DeviceReport(const DeviceSettings& settings);
void LogDeviceReport(const DeviceSettings& settings);
