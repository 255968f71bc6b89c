#include "platform/win/window.h"

#include "platform/win/cursor.h"
#include "platform/win/dialog_host.h"
#include "platform/win/message_queue.h"
#include "platform/win/native_window.h"
#include "platform/win/paint.h"
#include "platform/win/system.h"
#include "platform/win/window_internal.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct ClassRecord {
    std::string name;
    WNDPROC proc;
    HCURSOR cursor;
};

std::vector<ClassRecord>& Classes() {
    static std::vector<ClassRecord> classes;
    return classes;
}

std::vector<std::unique_ptr<WindowRecord>>& Records() {
    static std::vector<std::unique_ptr<WindowRecord>> records;
    return records;
}

HWND gFocus = nullptr;
bool gVideo = false;

bool SameName(const std::string& a, const char* b) {
    if (a.size() != std::char_traits<char>::length(b)) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

ClassRecord* FindClass(const char* name) {
    if (!name) return nullptr;
    for (ClassRecord& c : Classes())
        if (SameName(c.name, name)) return &c;
    return nullptr;
}

// Frame sizes of a style, as the desktop of the engine's home platform draws them.
void FrameOf(DWORD style, BOOL menu, int& left, int& top, int& right, int& bottom) {
    int edge = 0;
    if (style & WS_THICKFRAME)
        edge = 8;
    else if ((style & WS_CAPTION) == WS_CAPTION || (style & WS_DLGFRAME))
        edge = 3;
    else if (style & WS_BORDER)
        edge = 1;
    left = right = bottom = edge;
    top = edge + (((style & WS_CAPTION) == WS_CAPTION) ? 23 : 0) + (menu ? 20 : 0);
}

// Waits briefly for the display server to give the window its new size; the events read
// meanwhile stay queued for the message queue.
bool WaitForSize(SDL_Window* window, int width, int height) {
    for (int i = 0; i < 25; ++i) {
        SDL_PumpEvents();
        int w = 0, h = 0;
        SDL_GetWindowSize(window, &w, &h);
        if (w == width && h == height) return true;
        SDL_Delay(10);
    }
    return false;
}

}  // namespace

bool VideoStarted() { return gVideo; }

void UseOffscreenVideo() { SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen"); }

bool EnsureVideo() {
    if (gVideo) return true;
    // The desktop's screensaver is held off only while a saver runs (system.h).
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // Window surfaces are plain memory, never a hidden renderer.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    gVideo = true;
    // The OpenGL library is loaded once and kept for the life of the process (windows are
    // made OpenGL-capable for the Direct3D layer); SDL video is never shut down, since
    // unloading the driver libraries loses their allocations.
    SDL_GL_LoadLibrary(nullptr);
    if (IsScreenSaverRunning()) SDL_DisableScreenSaver();
    ApplyCursorVisibility();
    return true;
}

WindowRecord* FindWindowRecord(HWND window) {
    if (!window) return nullptr;
    for (auto& record : Records())
        if (record->handle == window) return record.get();
    return nullptr;
}

HWND WindowForSdlId(Uint32 windowId) {
    SDL_Window* sdl = SDL_GetWindowFromID(windowId);
    if (!sdl) return nullptr;
    auto& records = Records();
    for (auto it = records.rbegin(); it != records.rend(); ++it)
        if ((*it)->sdl == sdl && !(*it)->foreign) return (*it)->handle;
    return nullptr;
}

std::vector<HWND> AllWindows() {
    std::vector<HWND> all;
    for (auto& record : Records()) all.push_back(record->handle);
    return all;
}

bool IsSameOrChild(HWND window, HWND ancestor) {
    for (int depth = 0; window && depth < 64; ++depth) {
        if (window == ancestor) return true;
        const WindowRecord* record = FindWindowRecord(window);
        window = record ? record->parent : nullptr;
    }
    return false;
}

void ClientSize(const WindowRecord& record, int& width, int& height) {
    if (record.parent || !record.sdl) {
        width = record.width;
        height = record.height;
        return;
    }
    SDL_GetWindowSize(record.sdl, &width, &height);
}

void ClientOrigin(const WindowRecord& record, int& x, int& y) {
    x = record.x;
    y = record.y;
    if (record.sdl) {
        int wx = 0, wy = 0;
        SDL_GetWindowPosition(record.sdl, &wx, &wy);
        if (record.parent) {
            x += wx;
            y += wy;
        } else {
            x = wx;
            y = wy;
        }
    }
}

void SetFocusWindow(HWND window) {
    if (window == gFocus) return;
    const HWND old = gFocus;
    gFocus = window;
    if (old && FindWindowRecord(old)) {
        SendMessageA(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
        SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    }
    if (window && FindWindowRecord(window) && gFocus == window) {
        SendMessageA(window, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
        SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
}

SDL_Surface* SurfaceFor(SDL_Window* window) { return window ? SDL_GetWindowSurface(window) : nullptr; }

WORD RegisterClassA(const WNDCLASSA* windowClass) {
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) return 0;
    if (FindClass(windowClass->lpszClassName)) return 0;
    Classes().push_back({windowClass->lpszClassName, windowClass->lpfnWndProc, windowClass->hCursor});
    return static_cast<WORD>(0xC000 + Classes().size());
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
    auto& classes = Classes();
    for (auto it = classes.begin(); it != classes.end(); ++it)
        if (SameName(it->name, className)) {
            classes.erase(it);
            return TRUE;
        }
    return FALSE;
}

namespace {

// Gives a new record its handle, then WM_CREATE (-1 fails the creation), and for a
// visible window its first WM_SIZE and the focus.
HWND Register(std::unique_ptr<WindowRecord> record, DWORD style, bool child,
              GlContextSource* layerSurface = nullptr) {
    record->handle = RegisterNativeWindow(record->sdl, layerSurface);
    record->needsPaint = (style & WS_VISIBLE) != 0;
    const HWND handle = record->handle;
    Records().push_back(std::move(record));

    if (SendMessageA(handle, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (WindowRecord* created = FindWindowRecord(handle); created && (style & WS_VISIBLE)) {
        int w, h;
        ClientSize(*created, w, h);
        created->postedWidth = w;
        created->postedHeight = h;
        SendMessageA(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w, h));
        if (!(style & WS_CHILD) || child) SetFocusWindow(handle);
    }
    return FindWindowRecord(handle) ? handle : nullptr;
}

}  // namespace

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width,
                     int height, HWND parent, void*, HINSTANCE, LPVOID) {
    const ClassRecord* windowClass = FindClass(className);
    if (!windowClass || width < 0 || height < 0) return nullptr;
    if (!EnsureVideo()) return nullptr;
    WindowRecord* parentRecord = FindWindowRecord(parent);
    if (parent && !parentRecord) return nullptr;

    auto record = std::make_unique<WindowRecord>();
    record->proc = windowClass->proc;
    record->classCursor = windowClass->cursor;
    record->style = style;
    const bool child = (style & WS_CHILD) && parentRecord;
    GlContextSource* layerSurface = nullptr;
    if (child) {
        // A child draws into its parent's SDL window, over its own rectangle.
        record->parent = parent;
        record->sdl = parentRecord->sdl;
        record->x = x == CW_USEDEFAULT ? 0 : x;
        record->y = y == CW_USEDEFAULT ? 0 : y;
        record->width = width == CW_USEDEFAULT ? 0 : width;
        record->height = height == CW_USEDEFAULT ? 0 : height;
    } else if (LayerShellInUse()) {
        // The compositor sizes the surface; the window has no SDL window behind it.
        layerSurface = CreateLayerSurface(record->width, record->height);
        if (!layerSurface) return nullptr;
    } else {
        int left, top, right, bottom;
        FrameOf(style, FALSE, left, top, right, bottom);
        const int clientWidth = std::max(1, (width == CW_USEDEFAULT ? 640 + left + right : width) - left - right);
        const int clientHeight = std::max(1, (height == CW_USEDEFAULT ? 480 + top + bottom : height) - top - bottom);
        const int sx = x == CW_USEDEFAULT ? SDL_WINDOWPOS_UNDEFINED : x + left;
        const int sy = y == CW_USEDEFAULT ? SDL_WINDOWPOS_UNDEFINED : y + top;
        Uint32 flags = (style & WS_VISIBLE) ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
        if ((style & WS_POPUP) || (style & WS_CHILD) || (style & WS_CAPTION) != WS_CAPTION)
            flags |= SDL_WINDOW_BORDERLESS;
        if (style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
        // OpenGL-capable when possible, so a Direct3D device can be made on the window. The
        // device draws into buffers of its own and only copies colour to the window: the
        // window's surface needs no depth or stencil buffer.
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
        record->sdl = SDL_CreateWindow(title ? title : "", sx, sy, clientWidth, clientHeight,
                                       flags | SDL_WINDOW_OPENGL);
        if (!record->sdl) record->sdl = SDL_CreateWindow(title ? title : "", sx, sy, clientWidth, clientHeight, flags);
        if (!record->sdl) return nullptr;
        record->ownsSdl = true;
    }
    return Register(std::move(record), style, child, layerSurface);
}

HWND AdoptSdlWindow(LPCSTR className, DWORD style, SDL_Window* sdl) {
    const ClassRecord* windowClass = FindClass(className);
    if (!windowClass || !sdl) return nullptr;
    auto record = std::make_unique<WindowRecord>();
    record->proc = windowClass->proc;
    record->classCursor = windowClass->cursor;
    record->style = style;
    record->sdl = sdl;
    record->ownsSdl = true;
    return Register(std::move(record), style, false);
}

BOOL DestroyWindow(HWND window) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || record->foreign) return FALSE;
    // Children go first, as on the desktop.
    for (HWND other : AllWindows()) {
        const WindowRecord* r = FindWindowRecord(other);
        if (r && r->parent == window && !r->foreign) DestroyWindow(other);
    }
    if (gFocus == window) SetFocusWindow(nullptr);
    SendMessageA(window, WM_DESTROY, 0, 0);
    record = FindWindowRecord(window);
    if (!record) return TRUE;
    ForgetWindowMessages(window);
    SDL_Window* sdl = record->ownsSdl ? record->sdl : nullptr;
    GlContextSource* layerSurface = record->parent ? nullptr : GlContextSourceOf(window);
    UnregisterNativeWindow(window);
    if (layerSurface) DestroyLayerSurface(layerSurface);
    auto& records = Records();
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [&](const std::unique_ptr<WindowRecord>& r) { return r->handle == window; }),
                  records.end());
    if (sdl) SDL_DestroyWindow(sdl);
    return TRUE;
}

BOOL IsWindow(HWND window) { return FindWindowRecord(window) ? TRUE : FALSE; }

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_SYSCOMMAND: {
            WindowRecord* record = FindWindowRecord(window);
            SDL_Window* sdl = record && record->ownsSdl ? record->sdl : nullptr;
            switch (wParam & 0xFFF0) {
                case SC_CLOSE: SendMessageA(window, WM_CLOSE, 0, 0); break;
                case SC_MINIMIZE: if (sdl) SDL_MinimizeWindow(sdl); break;
                case SC_MAXIMIZE: if (sdl) SDL_MaximizeWindow(sdl); break;
                case SC_RESTORE: if (sdl) SDL_RestoreWindow(sdl); break;
                default: break;
            }
            return 0;
        }
        case WM_SYSKEYDOWN:
            if (wParam == static_cast<WPARAM>(VK_F4) && (lParam & (1 << 29)))
                SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            return 0;
        case WM_NCHITTEST:
            return HTCLIENT;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_SETCURSOR: {
            const WindowRecord* record = FindWindowRecord(window);
            if (record && LOWORD(static_cast<std::uintptr_t>(lParam)) == HTCLIENT) {
                SetCursor(record->classCursor);
                return TRUE;
            }
            return FALSE;
        }
        default:
            return 0;
    }
}

BOOL GetClientRect(HWND window, RECT* rect) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record || !rect) return FALSE;
    int w, h;
    ClientSize(*record, w, h);
    *rect = {0, 0, w, h};
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    if (IsDialogHandle(window)) return GetDialogWindowRect(window, rect);
    const WindowRecord* record = FindWindowRecord(window);
    if (!record || !rect) return FALSE;
    int x, y, w, h;
    ClientOrigin(*record, x, y);
    ClientSize(*record, w, h);
    RECT outer{x, y, x + w, y + h};
    if (!record->parent && !record->foreign) AdjustWindowRect(&outer, record->style, FALSE);
    *rect = outer;
    return TRUE;
}

BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu) {
    if (!rect) return FALSE;
    int left, top, right, bottom;
    FrameOf(style, menu, left, top, right, bottom);
    rect->left -= left;
    rect->top -= top;
    rect->right += right;
    rect->bottom += bottom;
    return TRUE;
}

LONG GetWindowLongA(HWND window, int index) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record || index != GWL_STYLE) return 0;
    DWORD style = record->style;
    if (record->ownsSdl) {
        const Uint32 flags = SDL_GetWindowFlags(record->sdl);
        style &= ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
        if (flags & SDL_WINDOW_SHOWN) style |= WS_VISIBLE;
        if (flags & SDL_WINDOW_MINIMIZED) style |= WS_MINIMIZE;
        if (flags & SDL_WINDOW_MAXIMIZED) style |= WS_MAXIMIZE;
    }
    return static_cast<LONG>(style);
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || index != GWL_STYLE) return 0;
    const LONG previous = GetWindowLongA(window, index);
    const DWORD style = static_cast<DWORD>(value);
    record->style = style;
    if (record->ownsSdl && !record->hosted) {
        const bool bordered = !(style & (WS_POPUP | WS_CHILD)) && (style & WS_CAPTION) == WS_CAPTION;
        SDL_SetWindowBordered(record->sdl, bordered ? SDL_TRUE : SDL_FALSE);
        SDL_SetWindowResizable(record->sdl, (style & WS_THICKFRAME) ? SDL_TRUE : SDL_FALSE);
    }
    return previous;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record) return SetDialogPos(window, insertAfter, x, y, width, height, flags);
    if (record->foreign) return FALSE;
    if (record->hosted) return TRUE;  // the host places and sizes its window
    int left = 0, top = 0, right = 0, bottom = 0;
    if (!record->parent) FrameOf(record->style, FALSE, left, top, right, bottom);
    const int clientWidth = std::max(1, width - left - right);
    const int clientHeight = std::max(1, height - top - bottom);
    if (record->parent) {
        if (!(flags & SWP_NOMOVE)) {
            record->x = x;
            record->y = y;
        }
        if (!(flags & SWP_NOSIZE)) {
            record->width = clientWidth;
            record->height = clientHeight;
        }
    } else if (record->sdl) {
        if (!(flags & SWP_NOMOVE)) SDL_SetWindowPosition(record->sdl, x + left, y + top);
        if (!(flags & SWP_NOSIZE)) SDL_SetWindowSize(record->sdl, clientWidth, clientHeight);
        if (!(flags & SWP_NOZORDER) && (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST))
            SDL_SetWindowAlwaysOnTop(record->sdl, insertAfter == HWND_TOPMOST ? SDL_TRUE : SDL_FALSE);
        if (flags & SWP_SHOWWINDOW) SDL_ShowWindow(record->sdl);
        if (flags & SWP_HIDEWINDOW) SDL_HideWindow(record->sdl);
    }
    if (flags & SWP_SHOWWINDOW) record->style |= WS_VISIBLE;
    if (flags & SWP_HIDEWINDOW) record->style &= ~WS_VISIBLE;
    return TRUE;
}

HWND GetFocus() { return gFocus; }

HWND GetForegroundWindow() {
    HWND window = gFocus;
    while (const WindowRecord* record = FindWindowRecord(window)) {
        if (!record->parent || FindWindowRecord(record->parent)->foreign) break;
        window = record->parent;
    }
    return window;
}

int GetSystemMetrics(int index) {
    if (!EnsureVideo()) return 0;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
    if (index == SM_CXSCREEN) return mode.w;
    if (index == SM_CYSCREEN) return mode.h;
    return 0;
}

HWND HostWindowFromId(std::intptr_t id) {
    if (id == 0 || !EnsureVideo()) return nullptr;
    for (auto& record : Records())
        if (record->foreign && reinterpret_cast<std::intptr_t>(SDL_GetWindowData(record->sdl, "fv.host")) == id)
            return record->handle;
    SDL_Window* sdl = SDL_CreateWindowFrom(reinterpret_cast<const void*>(id));
    if (!sdl) return nullptr;
    SDL_SetWindowData(sdl, "fv.host", reinterpret_cast<void*>(id));
    auto record = std::make_unique<WindowRecord>();
    record->sdl = sdl;
    record->foreign = true;
    record->proc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT { return 0; };
    record->handle = RegisterNativeWindow(sdl);
    Records().push_back(std::move(record));
    return Records().back()->handle;
}

bool SetWindowFullscreen(HWND window, int width, int height) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || !record->ownsSdl) return false;
    SDL_Window* sdl = record->sdl;
    const int display = std::max(0, SDL_GetWindowDisplayIndex(sdl));
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(display, &desktop) != 0) return false;
    SDL_DisplayMode mode = desktop;
    Uint32 flag = SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (width > 0 && height > 0) {
        SDL_DisplayMode wanted{};
        wanted.w = width;
        wanted.h = height;
        SDL_DisplayMode closest;
        if (SDL_GetClosestDisplayMode(display, &wanted, &closest) && SDL_SetWindowDisplayMode(sdl, &closest) == 0) {
            mode = closest;
            flag = SDL_WINDOW_FULLSCREEN;
        }
    }
    // First a borderless window over the display (all a desktop without a window manager
    // offers), then the full-screen request for the window manager.
    SDL_Rect bounds{0, 0, mode.w, mode.h};
    SDL_GetDisplayBounds(display, &bounds);
    SDL_SetWindowBordered(sdl, SDL_FALSE);
    SDL_SetWindowPosition(sdl, bounds.x, bounds.y);
    SDL_SetWindowSize(sdl, mode.w, mode.h);
    WaitForSize(sdl, mode.w, mode.h);
    SDL_SetWindowFullscreen(sdl, flag);
    SDL_RaiseWindow(sdl);
    return true;
}

bool PresentBlackFrame(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record) return false;
    SDL_Surface* surface = SurfaceFor(record->sdl);
    if (!surface) return false;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    return SDL_UpdateWindowSurface(record->sdl) == 0;
}
