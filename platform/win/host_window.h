#pragma once
// A window handed over by a screensaver host: XScreenSaver's hack mode (-root with
// XSCREENSAVER_WINDOW, -window-id), MATE and Xfce, which run the same hacks. The host made
// the X11 window, chose its visual and decides its size, stacking and life; we only draw
// into it. It becomes an ordinary top-level window of ours (messages, client rectangle,
// a Direct3D device on it), with these differences:
// - the OpenGL context is made for the window's own visual (its colour, alpha, depth and
//   stencil sizes and double-buffering become the context's requested configuration);
// - no keyboard or mouse input is selected on it (the host owns the input);
// - when the host resizes it, the window gets a finished size-move (WM_ENTERSIZEMOVE,
//   WM_SIZE, WM_EXITSIZEMOVE), which resets the device at the new size;
// - destroying it frees only our side; the X11 window stays the host's;
// - when the host destroys it first, the window gets WM_CLOSE (X errors about it are
//   taken, not fatal), so the run still shuts down in order.

#include "platform/win/win_types.h"

#include <cstdint>

// The window of className (registered with RegisterClassA) drawing into the X11 window
// xid, or null with a one-line reason in error (no X server, no such window).
HWND CreateHostedWindow(LPCSTR className, std::uint64_t xid, const char*& error);
