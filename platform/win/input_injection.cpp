#include "platform/win/input_injection.h"

#include "platform/win/key_codes.h"
#include "platform/win/window_internal.h"

namespace {

Uint32 SdlIdOf(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    return record && record->sdl ? SDL_GetWindowID(record->sdl) : 0;
}

bool Push(SDL_Event& event) { return SDL_PushEvent(&event) == 1; }

}  // namespace

bool InjectKey(HWND window, int virtualKey, bool down) {
    const Uint32 id = SdlIdOf(window);
    const int scancode = ScancodeFromVirtualKey(virtualKey);
    if (!id || !scancode) return false;
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = id;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
    event.key.keysym.sym = SDL_GetKeyFromScancode(event.key.keysym.scancode);
    return Push(event);
}

bool InjectMouseMove(HWND window, int x, int y, int dx, int dy) {
    const WindowRecord* record = FindWindowRecord(window);
    const Uint32 id = SdlIdOf(window);
    if (!id) return false;
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = id;
    event.motion.x = x + (record->parent ? record->x : 0);
    event.motion.y = y + (record->parent ? record->y : 0);
    event.motion.xrel = dx;
    event.motion.yrel = dy;
    return Push(event);
}

bool InjectMouseButton(HWND window, int button, bool down, int x, int y) {
    const WindowRecord* record = FindWindowRecord(window);
    const Uint32 id = SdlIdOf(window);
    if (!id || button < 0 || button > 2) return false;
    static constexpr Uint8 kButtons[] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE};
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = id;
    event.button.button = kButtons[button];
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = x + (record->parent ? record->x : 0);
    event.button.y = y + (record->parent ? record->y : 0);
    return Push(event);
}

bool InjectWindowEvent(HWND window, InjectedWindowEvent kind, int width, int height) {
    const WindowRecord* record = FindWindowRecord(window);
    const Uint32 id = SdlIdOf(window);
    if (!id) return false;
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = id;
    switch (kind) {
        case InjectedWindowEvent::FocusGained: event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED; break;
        case InjectedWindowEvent::FocusLost: event.window.event = SDL_WINDOWEVENT_FOCUS_LOST; break;
        case InjectedWindowEvent::Close: event.window.event = SDL_WINDOWEVENT_CLOSE; break;
        case InjectedWindowEvent::Minimized: event.window.event = SDL_WINDOWEVENT_MINIMIZED; break;
        case InjectedWindowEvent::Restored: event.window.event = SDL_WINDOWEVENT_RESTORED; break;
        case InjectedWindowEvent::Exposed: event.window.event = SDL_WINDOWEVENT_EXPOSED; break;
        case InjectedWindowEvent::Resized:
            if (record->ownsSdl) SDL_SetWindowSize(record->sdl, width, height);
            event.window.event = SDL_WINDOWEVENT_RESIZED;
            event.window.data1 = width;
            event.window.data2 = height;
            break;
    }
    return Push(event);
}

bool InjectQuit() {
    if (!EnsureVideo()) return false;
    SDL_Event event{};
    event.type = SDL_QUIT;
    return Push(event);
}
