#pragma once
// Shared inside platform/win: the records behind window handles, the SDL video start-up
// and the focus. Not for use outside this folder.

#include "platform/win/window.h"

#include <SDL.h>

#include <vector>

class GlContextSource;

struct WindowRecord {
    HWND handle = nullptr;
    SDL_Window* sdl = nullptr;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    HWND parent = nullptr;
    HCURSOR classCursor = nullptr;
    bool foreign = false;    // another program's window, wrapped by id
    bool ownsSdl = false;    // destroying this window destroys the SDL window
    bool hosted = false;     // a screensaver host's window we draw into: its place, size and
                             // decoration stay the host's
    bool needsPaint = false;
    int x = 0, y = 0;        // child windows: position in the parent's client area
    int width = 0, height = 0;  // child windows: client size
    int postedWidth = -1, postedHeight = -1;  // the client size last told by WM_SIZE
};

// Starts SDL video once; false when no video driver works.
bool EnsureVideo();
bool VideoStarted();

WindowRecord* FindWindowRecord(HWND window);
// The window that receives input for an SDL window: its newest non-foreign window.
HWND WindowForSdlId(Uint32 windowId);
std::vector<HWND> AllWindows();
// True when window is ancestor or ancestor's descendant (or the same window).
bool IsSameOrChild(HWND window, HWND ancestor);
// Client size of any window.
void ClientSize(const WindowRecord& record, int& width, int& height);
// Screen position of the client area's top-left corner.
void ClientOrigin(const WindowRecord& record, int& x, int& y);

// Moves the focus (and activation) to window, sending WM_ACTIVATE and WM_KILLFOCUS to the
// old one and WM_ACTIVATE and WM_SETFOCUS to the new one. Null clears the focus.
void SetFocusWindow(HWND window);

// Makes a top-level window of a registered class around an SDL window made elsewhere (the
// window takes it over and frees it when destroyed); null when the class is unknown or
// WM_CREATE fails.
HWND AdoptSdlWindow(LPCSTR className, DWORD style, SDL_Window* sdl);

// The drawing surface of an SDL window (owned by SDL); null when it has none.
SDL_Surface* SurfaceFor(SDL_Window* window);

// message_queue.cpp
void PostInputMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ForgetWindowMessages(HWND window);
// sdl_events.cpp
void ReadSdlEvents();
// One key press or release for target: a raw record (unless it repeats) and a key message.
void DeliverKey(HWND target, int virtualKey, int dik, bool down, bool repeat);
// A top-level window's size changed as when the user sizes it: WM_ENTERSIZEMOVE, WM_SIZE
// and WM_EXITSIZEMOVE are posted.
void PostSizeMove(HWND target);
// layer_shell_window.cpp
bool LayerShellInUse();
// A new layer surface (owned by the window layer) and its size in pixels; null when the
// compositor gives none.
GlContextSource* CreateLayerSurface(int& width, int& height);
void DestroyLayerSurface(GlContextSource* source);
// Follows the compositor: size changes and closed surfaces become messages.
void ReadLayerShellEvents();
// cursor.cpp
void TrackMousePosition(int screenX, int screenY);
void TrackKeyState(int virtualKey, bool down);
void ApplyCursorVisibility();
void ForgetCursors();
