#pragma once
// The link between a window handle and the SDL window behind it. The window layer
// registers every SDL window it creates; the Direct3D layer asks for the SDL window of the
// handle it is given. Only platform code includes this header.

#include "platform/win/win_types.h"

struct SDL_Window;

// A new handle for an SDL window (not owned: the caller destroys the SDL window after
// unregistering it).
HWND RegisterNativeWindow(SDL_Window* window);
void UnregisterNativeWindow(HWND window);
// The SDL window of a registered handle; null for null or unknown handles.
SDL_Window* NativeWindowOf(HWND window);
