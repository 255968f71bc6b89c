#pragma once
// Direct3D 9's initial values of render, texture-stage and sampler states (after device
// creation and after Reset), shared by both devices.

#include "platform/d3d9/d3d9_types.h"

constexpr int kRenderStateCount = 256;
constexpr int kStageStateCount = 33;
constexpr int kSamplerStateCount = 14;

// states must hold kRenderStateCount values.
void FillDefaultRenderStates(DWORD* states, bool autoDepthStencil);
DWORD DefaultStageState(DWORD stage, DWORD type);
DWORD DefaultSamplerState(DWORD type);
