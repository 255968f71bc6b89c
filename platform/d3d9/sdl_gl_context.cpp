// The OpenGL context of an SDL window.

#include "platform/d3d9/gl_context.h"

#include <SDL.h>

namespace {

class SdlGlContext final : public GlContext {
public:
    SdlGlContext(SDL_Window* window, SDL_GLContext context) : window_(window), context_(context) {}

    ~SdlGlContext() override {
        if (SDL_GL_GetCurrentContext() == context_) SDL_GL_MakeCurrent(window_, nullptr);
        SDL_GL_DeleteContext(context_);
        if (fullscreen_) SDL_SetWindowFullscreen(window_, 0);
    }

    void MakeCurrent() override {
        if (SDL_GL_GetCurrentContext() != context_) SDL_GL_MakeCurrent(window_, context_);
    }

    void DrawableSize(int& width, int& height) override { SDL_GL_GetDrawableSize(window_, &width, &height); }

    void ApplyMode(bool windowed, int width, int height, int refreshRate, bool waitForDisplay) override {
        if (!windowed) {
            SDL_DisplayMode mode{SDL_PIXELFORMAT_RGB888, width, height, refreshRate, nullptr};
            SDL_SetWindowDisplayMode(window_, &mode);
            SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN);
        } else if (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) {
            SDL_SetWindowFullscreen(window_, 0);
        }
        fullscreen_ = !windowed;
        SDL_GL_SetSwapInterval(waitForDisplay ? 1 : 0);
    }

    void SwapBuffers() override { SDL_GL_SwapWindow(window_); }

private:
    SDL_Window* window_;
    SDL_GLContext context_;
    bool fullscreen_ = false;
};

}  // namespace

std::unique_ptr<GlContext> CreateSdlGlContext(SDL_Window* window) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) return nullptr;
    SDL_GL_MakeCurrent(window, context);
    return std::make_unique<SdlGlContext>(window, context);
}
