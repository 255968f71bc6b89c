#pragma once
// The first thing the program does: without graphics runtime 9.0 (the OpenGL library our
// Direct3D layer runs on) it shows dialog 129, offers the runtime's download page and ends
// with exit code 1 before any window is made.

#include "app/directx_version.h"

constexpr int kRuntimeDialog = 129;

// True when the runtime is there. Otherwise dialog 129 runs (or, without a display, one
// line goes to stderr) and its first button opens downloadAddress.
bool PassRuntimeGate(const DirectXProbes& probes, const char* downloadAddress);
