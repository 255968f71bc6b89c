#pragma once
// An OpenGL 3.3 core context made through EGL on the Wayland connection of a layer surface,
// drawing into the surface's wl_egl_window. Swaps never wait inside EGL (interval 0): the
// surface's frame callbacks pace them.

#include "platform/d3d9/gl_context.h"

#include <memory>

class LayerSurface;

// The context, current on this thread; null when EGL offers no such context.
std::unique_ptr<GlContext> CreateEglWindowContext(std::shared_ptr<LayerSurface> surface);
