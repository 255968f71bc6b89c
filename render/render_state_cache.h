#pragma once
// The render-state cache: every device state change of the engine passes through here.
//
// Six caches (render states, sampler states, texture-stage states, the textures of stages 0
// and 1, transforms, the material), each entry a valid flag and a value. A request equal to a
// valid entry makes no device call and answers true. Otherwise, with no device the call
// answers false and changes nothing; with a device the value is stored, marked valid and set
// on the device (the answer is whether the device accepted it). ResetStateCache clears every
// valid flag: the device session calls it after each device creation and reset.

#include "platform/d3d9/d3d9.h"

bool SetRenderStateCached(D3DRENDERSTATETYPE state, DWORD value);
// Reads the device on the first request, then answers from the cache.
bool GetRenderStateCached(D3DRENDERSTATETYPE state, DWORD* value);
bool SetSamplerStateCached(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value);
bool SetTextureStageStateCached(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
// Stages 0 and 1 are cached; other stages go to the device every time.
bool SetTextureCached(DWORD stage, IDirect3DBaseTexture9* texture);
bool SetTransformCached(D3DTRANSFORMSTATETYPE type, const D3DMATRIX& matrix);
bool SetMaterialCached(const D3DMATERIAL9& material);
void ResetStateCache();

// Shortcuts for a camera's matrices.
bool SetWorldTransformCached(const D3DMATRIX& matrix);
bool SetViewTransformCached(const D3DMATRIX& matrix);
bool SetProjectionTransformCached(const D3DMATRIX& matrix);
