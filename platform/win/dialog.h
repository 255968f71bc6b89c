#pragma once
// Modal dialogs from templates and the control calls a dialog procedure makes, with their
// Windows numbers. A dialog and each of its controls have handles of their own; they are
// not SDL windows, but PostMessageA, SendMessageA, GetWindowRect and ScreenToClient accept
// them too.
//
// The dialog lives in a model (dialog_host.h) that every call reads and changes; a host
// shows the model (GTK 3, or an in-memory host for tests) and turns the user's actions into
// the messages a dialog procedure expects: WM_COMMAND with BN_CLICKED for buttons (check
// boxes and radio buttons change their state first), CBN_SELCHANGE for a drop-down list,
// WM_HSCROLL for a track bar, IDOK for Return and IDCANCEL for Escape or the close button.
// Messages posted to a dialog or its controls are delivered before the next user action.

#include "platform/win/messages.h"
#include "platform/win/window.h"

#include <cstdint>

using INT_PTR = std::intptr_t;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_HSCROLL = 0x0114;

constexpr WORD BN_CLICKED = 0;
constexpr WORD CBN_SELCHANGE = 1;
constexpr UINT BST_UNCHECKED = 0;
constexpr UINT BST_CHECKED = 1;

constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr LRESULT CB_ERR = -1;

constexpr UINT TBM_GETPOS = WM_USER;
constexpr UINT TBM_SETPOS = WM_USER + 5;
constexpr UINT TBM_SETRANGEMIN = WM_USER + 7;
constexpr UINT TBM_SETRANGEMAX = WM_USER + 8;
constexpr WORD TB_THUMBTRACK = 5;

constexpr WPARAM MAKEWPARAM(int low, int high) {
    return static_cast<WPARAM>((static_cast<std::uint32_t>(high) & 0xFFFF) << 16 |
                               (static_cast<std::uint32_t>(low) & 0xFFFF));
}

// Runs the dialog of resource (templateNumber, "DIALOG") modally: WM_INITDIALOG (wParam the
// first control, lParam param), then the host's loop until EndDialog. The result given to
// EndDialog; -1 when the template is missing or no host can show a dialog (no display).
INT_PTR DialogBoxParamA(HINSTANCE instance, int templateNumber, HWND owner, DLGPROC proc, LPARAM param);
// Ends the dialog once the current message is handled.
BOOL EndDialog(HWND dialog, INT_PTR result);
// A window of another program, by its X11 id, as the owner of a dialog (its transient
// parent); null for id 0.
HWND DialogOwnerFromId(std::intptr_t id);
// True when a dialog can be shown now (for the in-memory host always).
bool DialogHostReady();

HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND item);
// Dialogs: the title; controls: the caption (combo boxes: nothing).
BOOL SetWindowTextA(HWND window, LPCSTR text);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
// Checks check and clears every other radio button with an id in first … last.
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
// Returns whether the window was disabled before.
BOOL EnableWindow(HWND window, BOOL enable);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
// SetWindowPos (window.h) for a dialog or a control: dialogs at x, y on the screen;
// controls in the dialog's client area. insertAfter is the window to go behind (null: the
// top); an owned dialog still stays in front of its owner. False for any other handle.
BOOL SetDialogPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
