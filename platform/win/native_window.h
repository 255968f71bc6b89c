#pragma once
// The link between a window handle and the surface behind it. The window layer registers
// every window it creates with its SDL window, or with the GL context source of a surface
// of another window system (then without an SDL window); the Direct3D layer asks for them
// by the handle it is given. Only platform code includes this header.

#include "platform/win/win_types.h"

struct SDL_Window;
class GlContextSource;

// A new handle for an SDL window or a context source (neither owned: the caller destroys
// them after unregistering the handle).
HWND RegisterNativeWindow(SDL_Window* window, GlContextSource* source = nullptr);
void UnregisterNativeWindow(HWND window);
// The SDL window of a registered handle; null for null or unknown handles.
SDL_Window* NativeWindowOf(HWND window);
// The context source of a registered handle; null when it has none.
GlContextSource* GlContextSourceOf(HWND window);
