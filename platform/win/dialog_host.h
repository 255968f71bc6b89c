#pragma once
// The model behind dialog.h and the hosts that show it. A dialog's geometry is in pixels:
// template rectangles converted with the host's base units of the dialog font (x × bx / 4,
// y × by / 8). The dialog's rectangle is its client area on the screen; control rectangles
// are in that client area.

#include "platform/win/dialog.h"
#include "platform/win/dialog_template.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

struct DialogEntry {
    std::string text;
    LPARAM data = 0;
};

struct DialogItem {
    DialogItemTemplate source;
    HWND handle = nullptr;
    std::string text;
    bool checked = false;
    bool enabled = true;
    RECT rect{};
    std::vector<DialogEntry> entries;  // combo box
    int selection = -1;
    int rangeMin = 0, rangeMax = 100, position = 0;  // track bar
};

struct Dialog {
    HWND handle = nullptr;
    int templateNumber = 0;
    DialogTemplate source;
    DLGPROC proc = nullptr;
    HWND owner = nullptr;
    std::intptr_t ownerId = 0;   // X11 id of a foreign owner
    int baseX = 6, baseY = 13;   // dialog base units, pixels
    std::string title;
    RECT rect{};
    HWND insertAfter = nullptr;  // the last z-order request: go behind this window
    std::vector<std::unique_ptr<DialogItem>> items;
    std::deque<MSG> posted;
    bool ended = false;
    INT_PTR result = 0;
    void* view = nullptr;        // the host's own record

    DialogItem* Item(int id);
};

class DialogHost {
public:
    virtual ~DialogHost() = default;
    virtual bool Ready() = 0;
    // The base units of a template's font, in pixels.
    virtual void BaseUnits(const DialogTemplate& source, int& x, int& y) = 0;
    virtual void ScreenSize(int& width, int& height) = 0;
    // Shows the dialog and runs until it has ended, then takes it down.
    virtual void Run(Dialog& dialog) = 0;
    // The model changed: item null for the dialog itself (title, rectangle, z-order).
    virtual void Update(Dialog& dialog, DialogItem* item) = 0;
};

// The host every later dialog uses; null: the GTK host.
void SetDialogHost(DialogHost* host);
DialogHost& GtkDialogHost();

// The open dialog with that handle, or the one a control handle belongs to; null if none.
Dialog* FindDialog(HWND handle);
// The dialogs open now, outermost first.
const std::vector<Dialog*>& OpenDialogs();
// The model of a control; null when the handle is none.
DialogItem* FindDialogItem(HWND handle);

// The user's actions, as a host reports them. Each runs the dialog procedure and then
// delivers what was posted meanwhile. Disabled controls do nothing.
void ClickDialogItem(Dialog& dialog, int id);
void SelectDialogEntry(Dialog& dialog, int id, int index);
void SlideDialogTrackBar(Dialog& dialog, int id, int position);
// Return (the default button) and Escape or the close button (IDCANCEL).
void CommandDialog(Dialog& dialog, int id);
void DeliverPostedDialogMessages(Dialog& dialog);

// platform/win calls that take any handle ask these first.
bool IsDialogHandle(HWND handle);
BOOL PostDialogMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendDialogMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
BOOL GetDialogWindowRect(HWND handle, RECT* rect);
BOOL DialogScreenToClient(HWND handle, POINT* point);
