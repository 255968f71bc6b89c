#include "platform/win/host_window.h"

#include "platform/win/window.h"
#include "platform/win/window_internal.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <epoxy/glx.h>

namespace {

HWND gHosted = nullptr;
XID gHostedId = 0;
bool gHostLost = false;

// The host destroys its window when it is done with the hack, often before the hack has
// seen SIGTERM: the next draw into it fails. Instead of Xlib's default (exit at once, no
// orderly shutdown), the window is told to close.
int OnXError(Display*, XErrorEvent* error) {
    const bool hostGone = error->resourceid == gHostedId || error->error_code == BadWindow ||
                          error->error_code == BadDrawable;
    if (hostGone && gHosted != nullptr && !gHostLost && FindWindowRecord(gHosted) != nullptr) {
        gHostLost = true;
        PostInputMessage(gHosted, WM_CLOSE, 0, 0);
    }
    return 0;
}

// Asks for an OpenGL configuration like the window's visual, so the context SDL makes can
// be made current on it. False when the visual is not OpenGL-capable.
bool RequestConfigOfVisual(Display* display, Window window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return false;
    XVisualInfo wanted{};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    wanted.screen = XScreenNumberOfScreen(attributes.screen);
    int count = 0;
    XVisualInfo* info = XGetVisualInfo(display, VisualIDMask | VisualScreenMask, &wanted, &count);
    if (info == nullptr) return false;
    int usesGl = 0;
    const bool glx = epoxy_has_glx(display) && glXGetConfig(display, info, GLX_USE_GL, &usesGl) == 0 && usesGl;
    if (glx) {
        struct Pair {
            int glx;
            SDL_GLattr sdl;
        };
        static constexpr Pair kPairs[] = {
            {GLX_RED_SIZE, SDL_GL_RED_SIZE},       {GLX_GREEN_SIZE, SDL_GL_GREEN_SIZE},
            {GLX_BLUE_SIZE, SDL_GL_BLUE_SIZE},     {GLX_ALPHA_SIZE, SDL_GL_ALPHA_SIZE},
            {GLX_DEPTH_SIZE, SDL_GL_DEPTH_SIZE},   {GLX_STENCIL_SIZE, SDL_GL_STENCIL_SIZE},
            {GLX_DOUBLEBUFFER, SDL_GL_DOUBLEBUFFER},
        };
        for (const Pair& pair : kPairs) {
            int value = 0;
            if (glXGetConfig(display, info, pair.glx, &value) == 0) SDL_GL_SetAttribute(pair.sdl, value);
        }
    }
    XFree(info);
    return glx;
}

}  // namespace

HWND CreateHostedWindow(LPCSTR className, std::uint64_t xid, const char*& error) {
    error = nullptr;
    // Window ids are X11 ids: the X11 driver, whatever the session prefers.
    if (!VideoStarted()) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    if (!EnsureVideo()) {
        error = "cannot open the X display";
        return nullptr;
    }
    SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
    SDL_Window* sdl = SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(xid)));
    if (sdl == nullptr) {
        error = "no such X11 window";
        return nullptr;
    }
    SDL_SysWMinfo wm;
    SDL_VERSION(&wm.version);
    if (!SDL_GetWindowWMInfo(sdl, &wm) || wm.subsystem != SDL_SYSWM_X11) {
        SDL_DestroyWindow(sdl);
        error = "the window is not an X11 window";
        return nullptr;
    }
    Display* display = wm.info.x11.display;
    const Window window = wm.info.x11.window;
    if (!RequestConfigOfVisual(display, window))
        SDL_Log("host window 0x%lx: its visual is not OpenGL-capable", static_cast<unsigned long>(window));
    // Our own connection's event mask on the host's window: size changes only. Keys and
    // buttons stay the host's (a second client may not select button presses anyway).
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    XSelectInput(display, window, attributes.your_event_mask | StructureNotifyMask);
    XFlush(display);
    const HWND handle = AdoptSdlWindow(className, WS_OVERLAPPEDWINDOW | WS_VISIBLE, sdl);
    if (handle == nullptr) {
        error = "the window could not be set up";
        return nullptr;
    }
    FindWindowRecord(handle)->hosted = true;
    gHosted = handle;
    gHostedId = window;
    gHostLost = false;
    XSetErrorHandler(OnXError);
    return handle;
}
