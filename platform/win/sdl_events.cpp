// SDL events become window messages with their Windows numbers, and raw input records.

#include "platform/win/cursor.h"
#include "platform/win/key_codes.h"
#include "platform/win/message_queue.h"
#include "platform/win/raw_input.h"
#include "platform/win/window_internal.h"

namespace {

RawInputSink gSink = nullptr;

WPARAM MouseKeyFlags() {
    WPARAM flags = 0;
    if (GetAsyncKeyState(VK_LBUTTON) < 0) flags |= MK_LBUTTON;
    if (GetAsyncKeyState(VK_RBUTTON) < 0) flags |= MK_RBUTTON;
    if (GetAsyncKeyState(VK_MBUTTON) < 0) flags |= MK_MBUTTON;
    if (GetAsyncKeyState(VK_SHIFT) < 0) flags |= MK_SHIFT;
    if (GetAsyncKeyState(VK_CONTROL) < 0) flags |= MK_CONTROL;
    return flags;
}

// Client coordinates of a position in an SDL window, tracking the screen position too.
LPARAM MousePosition(HWND target, int x, int y) {
    const WindowRecord* record = FindWindowRecord(target);
    int wx = 0, wy = 0;
    if (record && record->sdl) SDL_GetWindowPosition(record->sdl, &wx, &wy);
    TrackMousePosition(wx + x, wy + y);
    if (record && record->parent) {
        x -= record->x;
        y -= record->y;
    }
    return MAKELPARAM(x, y);
}

void PostSize(HWND target, WPARAM kind) {
    WindowRecord* record = FindWindowRecord(target);
    if (!record || record->parent) return;
    int w = 0, h = 0;
    ClientSize(*record, w, h);
    if (kind != SIZE_MINIMIZED) {
        record->postedWidth = w;
        record->postedHeight = h;
        record->needsPaint = true;
    }
    PostInputMessage(target, WM_SIZE, kind, kind == SIZE_MINIMIZED ? 0 : MAKELPARAM(w, h));
}

WPARAM SizeKind(HWND target) {
    const WindowRecord* record = FindWindowRecord(target);
    if (!record || !record->sdl) return SIZE_RESTORED;
    const Uint32 flags = SDL_GetWindowFlags(record->sdl);
    if (flags & SDL_WINDOW_MINIMIZED) return SIZE_MINIMIZED;
    if (flags & SDL_WINDOW_MAXIMIZED) return SIZE_MAXIMIZED;
    return SIZE_RESTORED;
}

void TranslateWindowEvent(const SDL_WindowEvent& event) {
    const HWND target = WindowForSdlId(event.windowID);
    if (!target) return;
    WindowRecord* record = FindWindowRecord(target);
    switch (event.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            SetFocusWindow(target);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST: {
            const WindowRecord* focus = FindWindowRecord(GetFocus());
            if (focus && focus->sdl == record->sdl) SetFocusWindow(nullptr);
            break;
        }
        case SDL_WINDOWEVENT_EXPOSED:
            for (HWND window : AllWindows())
                if (WindowRecord* r = FindWindowRecord(window); r && r->sdl == record->sdl && !r->foreign)
                    r->needsPaint = true;
            break;
        case SDL_WINDOWEVENT_RESIZED:
            if (record->parent) break;
            if (record->style & WS_THICKFRAME) {
                // A window with a sizing frame was sized by the user: a finished size-move.
                PostSizeMove(target);
            } else {
                int w = 0, h = 0;
                ClientSize(*record, w, h);
                if (w != record->postedWidth || h != record->postedHeight) PostSize(target, SizeKind(target));
            }
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            if (record->parent) break;
            int w = 0, h = 0;
            ClientSize(*record, w, h);
            if (w != record->postedWidth || h != record->postedHeight) PostSize(target, SizeKind(target));
            break;
        }
        case SDL_WINDOWEVENT_MINIMIZED:
            PostSize(target, SIZE_MINIMIZED);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            PostSize(target, SIZE_MAXIMIZED);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            PostSize(target, SIZE_RESTORED);
            break;
        case SDL_WINDOWEVENT_MOVED:
            PostInputMessage(target, WM_MOVE, 0, MAKELPARAM(event.data1, event.data2));
            break;
        case SDL_WINDOWEVENT_CLOSE:
            PostInputMessage(target, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        default:
            break;
    }
}

void TranslateButton(const SDL_MouseButtonEvent& event) {
    const HWND target = WindowForSdlId(event.windowID);
    if (!target) return;
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    int code, vk;
    UINT message;
    switch (event.button) {
        case SDL_BUTTON_LEFT: code = 0; vk = VK_LBUTTON; message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
        case SDL_BUTTON_RIGHT: code = 1; vk = VK_RBUTTON; message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
        case SDL_BUTTON_MIDDLE: code = 2; vk = VK_MBUTTON; message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
        default: return;
    }
    const LPARAM position = MousePosition(target, event.x, event.y);
    TrackKeyState(vk, down);
    DeliverRawInput({RawInput::Button, target, code, down, 0, 0});
    PostInputMessage(target, message, MouseKeyFlags(), position);
}

void Translate(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            HWND target = WindowForSdlId(event.key.windowID);
            if (!target) target = GetFocus();
            if (!target) break;
            DeliverKey(target, VirtualKeyFromScancode(event.key.keysym.scancode),
                       DikFromScancode(event.key.keysym.scancode), event.type == SDL_KEYDOWN, event.key.repeat != 0);
            break;
        }
        case SDL_MOUSEMOTION: {
            const HWND target = WindowForSdlId(event.motion.windowID);
            if (!target) break;
            const LPARAM position = MousePosition(target, event.motion.x, event.motion.y);
            DeliverRawInput({RawInput::Motion, target, 0, false, event.motion.xrel, event.motion.yrel});
            PostInputMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                             MAKELPARAM(static_cast<int>(HTCLIENT), static_cast<int>(WM_MOUSEMOVE)));
            PostInputMessage(target, WM_MOUSEMOVE, MouseKeyFlags(), position);
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            TranslateButton(event.button);
            break;
        case SDL_MOUSEWHEEL: {
            const HWND target = WindowForSdlId(event.wheel.windowID);
            if (!target) break;
            const int delta = event.wheel.y * 120;
            DeliverRawInput({RawInput::Wheel, target, 0, false, 0, delta});
            POINT screen{};
            GetCursorPos(&screen);
            PostInputMessage(target, WM_MOUSEWHEEL,
                             (MouseKeyFlags() & 0xFFFF) | (static_cast<WPARAM>(delta & 0xFFFF) << 16),
                             MAKELPARAM(screen.x, screen.y));
            break;
        }
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(event.window);
            break;
        case SDL_QUIT:
            // An interrupt or a terminate signal: every window of ours is asked to close.
            for (HWND window : AllWindows()) {
                const WindowRecord* record = FindWindowRecord(window);
                if (record && !record->foreign) PostInputMessage(window, WM_CLOSE, 0, 0);
            }
            break;
        default:
            break;
    }
}

}  // namespace

void PostSizeMove(HWND target) {
    PostInputMessage(target, WM_ENTERSIZEMOVE, 0, 0);
    PostSize(target, SizeKind(target));
    PostInputMessage(target, WM_EXITSIZEMOVE, 0, 0);
}

void DeliverKey(HWND target, int virtualKey, int dik, bool down, bool repeat) {
    if (dik && !repeat) DeliverRawInput({RawInput::Key, target, dik, down, 0, 0});
    if (!virtualKey) return;
    const bool wasDown = GetAsyncKeyState(virtualKey) < 0;
    TrackKeyState(virtualKey, down);
    const bool alt = GetAsyncKeyState(VK_MENU) < 0 && GetAsyncKeyState(VK_CONTROL) >= 0;
    DWORD bits = 1u | (static_cast<DWORD>(dik & 0x7F) << 16);
    if (dik & 0x80) bits |= 1u << 24;
    if (alt) bits |= 1u << 29;
    if (wasDown || !down) bits |= 1u << 30;
    if (!down) bits |= 1u << 31;
    const bool system = alt || virtualKey == VK_F10 || virtualKey == VK_MENU;
    const UINT message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    PostInputMessage(target, message, static_cast<WPARAM>(virtualKey), static_cast<LPARAM>(bits));
}

void ReadSdlEvents() {
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) Translate(event);
}

void SetRawInputSink(RawInputSink sink) { gSink = sink; }

void DeliverRawInput(const RawInput& input) {
    if (gSink) gSink(input);
}
