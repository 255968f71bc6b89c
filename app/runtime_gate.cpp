#include "app/runtime_gate.h"

#include "platform/win/dialog.h"
#include "platform/win/shell.h"

#include <cstdio>

namespace {

INT_PTR RuntimeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowPos(dialog, nullptr, 300, 300, 390, 131, SWP_NOZORDER);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == 1 || LOWORD(wParam) == 2) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default: return FALSE;
    }
}

}  // namespace

bool PassRuntimeGate(const DirectXProbes& probes, const char* downloadAddress) {
    DWORD version = 0;
    char text[10];
    if (GetDirectXVersion(&version, text, sizeof text, probes) == 0 && version >= kDirectX9) return true;
    const INT_PTR result = DialogBoxParamA(nullptr, kRuntimeDialog, nullptr, &RuntimeDialogProc, 0);
    if (result == -1)
        std::fprintf(stderr, "Error: frostvale needs OpenGL (the libGL or libOpenGL library); see %s\n",
                     downloadAddress);
    if (result == 1) ShellExecuteA(nullptr, "open", downloadAddress, nullptr, nullptr, SW_SHOWNORMAL);
    return false;
}
