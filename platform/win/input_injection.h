#pragma once
// Input as the desktop would deliver it, pushed into the event stream the message queue
// reads (tests and headless runs). Each call pushes one event; it takes effect at the
// next PeekMessageA or GetMessageA. False when the window has no SDL window.

#include "platform/win/win_types.h"

bool InjectKey(HWND window, int virtualKey, bool down);
// x, y in client pixels; dx, dy the relative motion reported with it.
bool InjectMouseMove(HWND window, int x, int y, int dx, int dy);
// button: 0 left, 1 right, 2 middle.
bool InjectMouseButton(HWND window, int button, bool down, int x, int y);
enum class InjectedWindowEvent { FocusGained, FocusLost, Close, Resized, Minimized, Restored, Exposed };
// Resized carries the new client size in width, height (the SDL window is resized too).
bool InjectWindowEvent(HWND window, InjectedWindowEvent kind, int width = 0, int height = 0);
// The process is asked to quit (as by an interrupt signal).
bool InjectQuit();
