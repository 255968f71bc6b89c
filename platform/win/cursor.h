#pragma once
// The mouse cursor and the key state, kept from the events the message queue has read.
// The cursor is shown while the display count is 0 or more and a cursor is set.

#include "platform/win/messages.h"

// IDC_ARROW, as LoadCursorA's resource name.
inline const LPCSTR IDC_ARROW = reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(32512));

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
// Returns the previous cursor. Null hides the cursor.
HCURSOR SetCursor(HCURSOR cursor);
// Raises (show TRUE) or lowers the display count; returns the new count.
int ShowCursor(BOOL show);
// True when the cursor would be visible now (tests).
bool IsCursorVisible();

// Screen position of the last mouse event.
BOOL GetCursorPos(POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
BOOL ClientToScreen(HWND window, POINT* point);
// The high bit (a negative result) when the key or mouse button is down.
short GetAsyncKeyState(int virtualKey);
