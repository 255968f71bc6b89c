#pragma once
// Windows with a message procedure, over SDL windows. A top-level window is an SDL window
// registered with native_window.h; a child window shares its parent's SDL window (a
// preview host's window is wrapped by id with HostWindowFromId). Messages reach a window
// through message_queue.h. Sizes in a window's own calls are Windows sizes: the outer
// rectangle includes a frame computed as AdjustWindowRect does, the SDL window gets the
// client size.

#include "platform/win/messages.h"

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    void* hIcon;
    HCURSOR hCursor;
    void* hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);
constexpr int GWL_STYLE = -16;
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;

// Class names compare without regard to case. A second registration of a name fails.
WORD RegisterClassA(const WNDCLASSA* windowClass);
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);

// Sends WM_CREATE (a result of -1 fails the creation); a visible top-level window then
// becomes the active and focused window (WM_ACTIVATE, WM_SETFOCUS) and needs painting.
// A WS_CHILD window without a parent is made as a borderless top-level window.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, void* menu, HINSTANCE instance,
                     LPVOID param);
// Sends WM_DESTROY, drops the window's queued messages and timers, frees the SDL window.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

BOOL GetClientRect(HWND window, RECT* rect);
BOOL GetWindowRect(HWND window, RECT* rect);
// Grows a client rectangle by the frame of style (caption 23, sizing frame 8, thin border
// 1, dialog frame 3, menu 20 pixels).
BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu);
LONG GetWindowLongA(HWND window, int index);
// GWL_STYLE only: stores the style and gives a top-level window the border and sizing
// frame the style asks for; answers the previous style (0 for another index).
LONG SetWindowLongA(HWND window, int index, LONG value);

inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
// Places a window by its outer rectangle (unless SWP_NOMOVE / SWP_NOSIZE); HWND_TOPMOST and
// HWND_NOTOPMOST set or clear staying above other windows; SWP_SHOWWINDOW / SWP_HIDEWINDOW
// show or hide it. Other insert-after handles leave the stacking as it is. Dialogs and
// their controls are placed as dialog.h says.
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
HWND GetFocus();
HWND GetForegroundWindow();
int GetSystemMetrics(int index);

// The window of another program, by its X11 id, as a parent for child windows. Null when
// the id cannot be wrapped (for example without an X server).
HWND HostWindowFromId(std::intptr_t id);

// Makes a top-level window cover the screen: in the desktop's mode when width or height
// is 0, otherwise in the display mode closest to width x height (the desktop's when none
// is close). False when the window cannot be shown full screen.
bool SetWindowFullscreen(HWND window, int width, int height);
// Renders without a display: windows go to SDL's offscreen video driver (an EGL context on
// Mesa). Must be called before the first window is made.
void UseOffscreenVideo();

// Fills a window's client area with black and shows it (the frame of a window that has
// no Direct3D device yet).
bool PresentBlackFrame(HWND window);
