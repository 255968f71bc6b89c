#pragma once
// What our OpenGL device offers beyond Direct3D: frame read-back for the recording mode and
// tests, counters for statistics, and a simulated lost device. Each call does nothing (or
// answers false) for a device that is not the OpenGL one.

#include "platform/d3d9/d3d9.h"

#include <cstdint>
#include <vector>

struct PresentedFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // rows top to bottom, 4 bytes a pixel, gamma ramp applied
};

// With capture on, every Present keeps a copy of the image it shows (costs a read-back).
void SetFrameCapture(IDirect3DDevice9* device, bool on);
// The image of the last Present made while capture was on; false when there is none.
bool ReadPresentedFrame(IDirect3DDevice9* device, PresentedFrame& frame);
// The back buffer as drawn so far (before the gamma ramp), top row first; false on failure.
bool ReadBackBuffer(IDirect3DDevice9* device, PresentedFrame& frame);

struct DeviceCounters {
    std::uint64_t drawCalls = 0;
    std::uint64_t primitives = 0;
    std::uint64_t stateChanges = 0;   // state setter calls that changed a value
    std::uint64_t textureBinds = 0;   // SetTexture calls that changed the bound texture
    std::uint64_t programSwitches = 0;
    std::uint64_t programsBuilt = 0;
};
DeviceCounters GetDeviceCounters(IDirect3DDevice9* device);
void ResetDeviceCounters(IDirect3DDevice9* device);

// Overdraw counting: while on, every draw adds one per fragment that passes the depth and
// alpha tests instead of shading it, clears set the count to 0, and Present shows the counts
// (in every channel, saturating at 255) without the gamma ramp.
void SetOverdrawCounting(IDirect3DDevice9* device, bool on);

// Render scale (0.25 to 1; 1 as designed): below 1 the device draws into a target that many
// times the back buffer's size until ResolveScaledScene (or Present) stretches it, filtered,
// into the back buffer; what is drawn after that has the full resolution. The scale holds
// across resets. False for a device that is not the OpenGL one or a target that cannot be made.
bool SetRenderScale(IDirect3DDevice9* device, float scale);
void ResolveScaledScene(IDirect3DDevice9* device);

// Builds the fixed-function program that the current states and FVF call for, so the first
// draw with them does not wait for a compile (for warming at start-up).
bool PrepareProgram(IDirect3DDevice9* device);

// Loses the device: TestCooperativeLevel answers D3DERR_DEVICELOST for the next lostPolls
// calls (Present fails the same way), then D3DERR_DEVICENOTRESET until Reset succeeds.
void SimulateDeviceLost(IDirect3DDevice9* device, int lostPolls = 1);
