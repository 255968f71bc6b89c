#pragma once
// MessageBoxA: a modal message with a caption and buttons. With a display it is a GTK 3
// message dialog; without one (or when GTK cannot start) it is one line on stderr,
// "caption: text", and the call answers with its default button.
//
// Texts are single-byte strings: valid UTF-8 is shown as it is, anything else is read as
// Windows-1252.

#include "platform/win/win_types.h"

// Buttons (low four bits of type).
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
// Icons.
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;

// Results.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// The owner is not used: the dialog is modal to the whole program.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Routes every later message box to hook instead (tests, fuzzing); null restores the
// normal behaviour. The hook's result is what MessageBoxA returns.
using MessageBoxHook = int (*)(LPCSTR text, LPCSTR caption, UINT type);
void SetMessageBoxHook(MessageBoxHook hook);
