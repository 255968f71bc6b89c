#include "platform/win/cursor.h"

#include "platform/win/dialog_host.h"
#include "platform/win/window_internal.h"

struct HCURSOR__ {
    SDL_SystemCursor kind;
    SDL_Cursor* sdl;
};

namespace {

HCURSOR__ gArrow{SDL_SYSTEM_CURSOR_ARROW, nullptr};
HCURSOR gCurrent = &gArrow;
int gDisplayCount = 0;
POINT gPosition{0, 0};
bool gKeys[256] = {};

}  // namespace

void ApplyCursorVisibility() {
    if (!VideoStarted()) return;
    if (gCurrent) {
        if (!gCurrent->sdl) gCurrent->sdl = SDL_CreateSystemCursor(gCurrent->kind);
        if (gCurrent->sdl) SDL_SetCursor(gCurrent->sdl);
    }
    SDL_ShowCursor(IsCursorVisible() ? SDL_ENABLE : SDL_DISABLE);
}

void ForgetCursors() {
    if (gArrow.sdl) SDL_FreeCursor(gArrow.sdl);
    gArrow.sdl = nullptr;
}

void TrackMousePosition(int screenX, int screenY) { gPosition = {screenX, screenY}; }

void TrackKeyState(int virtualKey, bool down) {
    if (virtualKey > 0 && virtualKey < 256) gKeys[virtualKey] = down;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR name) { return name == IDC_ARROW ? &gArrow : nullptr; }

HCURSOR SetCursor(HCURSOR cursor) {
    const HCURSOR previous = gCurrent;
    gCurrent = cursor;
    if (previous != cursor) ApplyCursorVisibility();
    return previous;
}

int ShowCursor(BOOL show) {
    gDisplayCount += show ? 1 : -1;
    ApplyCursorVisibility();
    return gDisplayCount;
}

bool IsCursorVisible() { return gDisplayCount >= 0 && gCurrent != nullptr; }

BOOL GetCursorPos(POINT* point) {
    if (!point) return FALSE;
    *point = gPosition;
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
    if (IsDialogHandle(window)) return DialogScreenToClient(window, point);
    const WindowRecord* record = FindWindowRecord(window);
    if (!record || !point) return FALSE;
    int x, y;
    ClientOrigin(*record, x, y);
    point->x -= x;
    point->y -= y;
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record || !point) return FALSE;
    int x, y;
    ClientOrigin(*record, x, y);
    point->x += x;
    point->y += y;
    return TRUE;
}

short GetAsyncKeyState(int virtualKey) {
    if (virtualKey <= 0 || virtualKey >= 256) return 0;
    if (gKeys[virtualKey]) return static_cast<short>(0x8000);
    return 0;
}
