#pragma once
// The OpenGL context a device draws with, bound to the window surface it presents to. An
// SDL window gets its context from SDL; a window of another window system registers a
// GlContextSource with its handle (native_window.h) and the device takes the context from
// there.

#include <memory>

struct SDL_Window;

class GlContext {
public:
    virtual ~GlContext() = default;
    // Makes the context current on this thread; cheap when it already is.
    virtual void MakeCurrent() = 0;
    // The size in pixels of the window's default framebuffer. Present asks once a frame,
    // before it draws there: a surface may take a new size at that moment.
    virtual void DrawableSize(int& width, int& height) = 0;
    // Full screen in the given mode or windowed, and whether swaps wait for the display.
    virtual void ApplyMode(bool windowed, int width, int height, int refreshRate, bool waitForDisplay) = 0;
    // Shows the default framebuffer. It may wait for the window system's pacing.
    virtual void SwapBuffers() = 0;
};

class GlContextSource {
public:
    // A context of OpenGL 3.3 core or later for the surface, current on this thread; null
    // when none can be made.
    virtual std::unique_ptr<GlContext> CreateGlContext() = 0;

protected:
    ~GlContextSource() = default;
};

// A context for an SDL window, current on this thread; null when SDL makes none.
std::unique_ptr<GlContext> CreateSdlGlContext(SDL_Window* window);
