#include "platform/wayland/egl_window_context.h"

#include "platform/wayland/layer_surface.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace {

class EglWindowContext final : public GlContext {
public:
    EglWindowContext(std::shared_ptr<LayerSurface> surface, EGLDisplay display, EGLContext context,
                     EGLSurface window)
        : surface_(std::move(surface)), display_(display), context_(context), window_(window) {}

    ~EglWindowContext() override {
        if (eglGetCurrentContext() == context_)
            eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroySurface(display_, window_);
        eglDestroyContext(display_, context_);
    }

    void MakeCurrent() override {
        if (eglGetCurrentContext() != context_) eglMakeCurrent(display_, window_, window_, context_);
    }

    void DrawableSize(int& width, int& height) override { surface_->BeginImage(width, height); }

    // Always windowed; the surface's frame callbacks pace the swaps instead of EGL.
    void ApplyMode(bool, int, int, int, bool) override {}

    void SwapBuffers() override {
        if (surface_->BeginCommit()) eglSwapBuffers(display_, window_);
    }

private:
    std::shared_ptr<LayerSurface> surface_;  // outlives the EGL surface made on its window
    EGLDisplay display_;
    EGLContext context_;
    EGLSurface window_;
};

// An opaque configuration: the compositor need not blend the background with anything.
bool ChooseConfig(EGLDisplay display, EGLConfig& chosen) {
    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                 EGL_RED_SIZE,     8,              EGL_GREEN_SIZE,      8,
                                 EGL_BLUE_SIZE,    8,              EGL_NONE};
    EGLConfig configs[64];
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, configs, 64, &count) || count < 1) return false;
    chosen = configs[0];
    for (EGLint i = 0; i < count; ++i) {
        EGLint alpha = 0;
        if (eglGetConfigAttrib(display, configs[i], EGL_ALPHA_SIZE, &alpha) && alpha == 0) {
            chosen = configs[i];
            break;
        }
    }
    return true;
}

}  // namespace

std::unique_ptr<GlContext> CreateEglWindowContext(std::shared_ptr<LayerSurface> surface) {
    const EGLDisplay display = surface->Display().Egl();
    EGLConfig config = nullptr;
    if (display == EGL_NO_DISPLAY || !eglBindAPI(EGL_OPENGL_API) || !ChooseConfig(display, config)) return nullptr;
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
                                       EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                       EGL_NONE};
    const EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) return nullptr;
    const EGLSurface window = eglCreatePlatformWindowSurface(display, config, surface->EglWindow(), nullptr);
    if (window == EGL_NO_SURFACE) {
        eglDestroyContext(display, context);
        return nullptr;
    }
    auto created = std::make_unique<EglWindowContext>(std::move(surface), display, context, window);
    if (!eglMakeCurrent(display, window, window, context)) return nullptr;
    eglSwapInterval(display, 0);
    return created;
}
