// The dialog model: every call of dialog.h reads or changes it and tells the host.

#include "platform/win/dialog_host.h"

#include <algorithm>
#include <strings.h>

namespace {

DialogHost* gHost = nullptr;

struct ForeignOwner {
    std::intptr_t id;
};

std::vector<Dialog*>& Dialogs() {
    static std::vector<Dialog*> dialogs;
    return dialogs;
}

std::vector<std::unique_ptr<ForeignOwner>>& Owners() {
    static std::vector<std::unique_ptr<ForeignOwner>> owners;
    return owners;
}

DialogHost& Host() { return gHost != nullptr ? *gHost : GtkDialogHost(); }

std::intptr_t ForeignOwnerId(HWND handle) {
    for (const auto& owner : Owners())
        if (reinterpret_cast<HWND>(owner.get()) == handle) return owner->id;
    return 0;
}

RECT Pixels(const Dialog& dialog, int x, int y, int width, int height) {
    const auto px = [&](int units) { return units * dialog.baseX / 4; };
    const auto py = [&](int units) { return units * dialog.baseY / 8; };
    return RECT{px(x), py(y), px(x + width), py(y + height)};
}

void Changed(Dialog& dialog, DialogItem* item) { Host().Update(dialog, item); }

DialogItem* ItemOf(HWND dialog, int id) {
    Dialog* owner = FindDialog(dialog);
    return owner != nullptr && owner->handle == dialog ? owner->Item(id) : nullptr;
}

INT_PTR Dispatch(Dialog& dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return dialog.proc != nullptr ? dialog.proc(dialog.handle, message, wParam, lParam) : 0;
}

void Notify(Dialog& dialog, const DialogItem& item, WORD code) {
    Dispatch(dialog, WM_COMMAND, MAKEWPARAM(item.source.id, code), reinterpret_cast<LPARAM>(item.handle));
    DeliverPostedDialogMessages(dialog);
}

// Radio buttons in one run of the template belong together.
void ClearRadioGroup(Dialog& dialog, const DialogItem& checked) {
    auto& items = dialog.items;
    const auto at = std::find_if(items.begin(), items.end(), [&](const auto& i) { return i.get() == &checked; });
    const auto clear = [&](DialogItem& item) {
        if (item.checked) {
            item.checked = false;
            Changed(dialog, &item);
        }
    };
    for (auto it = at; it != items.begin() && (*(it - 1))->source.kind == DialogItemKind::RadioButton; --it)
        clear(**(it - 1));
    for (auto it = at + 1; it != items.end() && (*it)->source.kind == DialogItemKind::RadioButton; ++it) clear(**it);
}

LRESULT ComboMessage(Dialog& dialog, DialogItem& item, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto index = static_cast<std::size_t>(wParam);
    const bool valid = index < item.entries.size();
    switch (message) {
        case CB_RESETCONTENT:
            item.entries.clear();
            item.selection = -1;
            break;
        case CB_ADDSTRING:
            item.entries.push_back({lParam != 0 ? reinterpret_cast<const char*>(lParam) : "", 0});
            Changed(dialog, &item);
            return static_cast<LRESULT>(item.entries.size() - 1);
        case CB_GETCURSEL: return item.selection;
        case CB_SETCURSEL:
            item.selection = valid ? static_cast<int>(index) : -1;
            Changed(dialog, &item);
            return valid ? item.selection : CB_ERR;
        case CB_GETITEMDATA: return valid ? item.entries[index].data : CB_ERR;
        case CB_SETITEMDATA:
            if (!valid) return CB_ERR;
            item.entries[index].data = lParam;
            return TRUE;
        case CB_FINDSTRINGEXACT: {
            const char* text = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
            const std::size_t start = wParam == static_cast<WPARAM>(-1) ? 0 : index + 1;
            for (std::size_t n = 0; n < item.entries.size(); ++n) {
                const std::size_t i = (start + n) % item.entries.size();
                if (strcasecmp(item.entries[i].text.c_str(), text) == 0) return static_cast<LRESULT>(i);
            }
            return CB_ERR;
        }
        default: return 0;
    }
    Changed(dialog, &item);
    return 0;
}

LRESULT TrackBarMessage(Dialog& dialog, DialogItem& item, UINT message, WPARAM, LPARAM lParam) {
    const int value = static_cast<int>(lParam);
    switch (message) {
        case TBM_GETPOS: return item.position;
        case TBM_SETRANGEMIN: item.rangeMin = value; break;
        case TBM_SETRANGEMAX: item.rangeMax = value; break;
        case TBM_SETPOS: item.position = value; break;
        default: return 0;
    }
    // The position always lies in the range, as a track bar keeps it.
    item.position = std::clamp(item.position, std::min(item.rangeMin, item.rangeMax), std::max(item.rangeMin, item.rangeMax));
    Changed(dialog, &item);
    return 0;
}

}  // namespace

DialogItem* Dialog::Item(int id) {
    for (auto& item : items)
        if (item->source.id == id) return item.get();
    return nullptr;
}

void SetDialogHost(DialogHost* host) { gHost = host; }
bool DialogHostReady() { return Host().Ready(); }
const std::vector<Dialog*>& OpenDialogs() { return Dialogs(); }

Dialog* FindDialog(HWND handle) {
    if (handle == nullptr) return nullptr;
    for (Dialog* dialog : Dialogs()) {
        if (dialog->handle == handle) return dialog;
        for (const auto& item : dialog->items)
            if (item->handle == handle) return dialog;
    }
    return nullptr;
}

DialogItem* FindDialogItem(HWND handle) {
    Dialog* dialog = FindDialog(handle);
    if (dialog == nullptr) return nullptr;
    for (auto& item : dialog->items)
        if (item->handle == handle) return item.get();
    return nullptr;
}

bool IsDialogHandle(HWND handle) { return FindDialog(handle) != nullptr; }

HWND DialogOwnerFromId(std::intptr_t id) {
    if (id == 0) return nullptr;
    for (const auto& owner : Owners())
        if (owner->id == id) return reinterpret_cast<HWND>(owner.get());
    Owners().push_back(std::make_unique<ForeignOwner>(ForeignOwner{id}));
    return reinterpret_cast<HWND>(Owners().back().get());
}

INT_PTR DialogBoxParamA(HINSTANCE, int templateNumber, HWND owner, DLGPROC proc, LPARAM param) {
    DialogHost& host = Host();
    auto dialog = std::make_unique<Dialog>();
    if (!LoadDialogTemplate(templateNumber, dialog->source) || !host.Ready()) return -1;
    dialog->handle = reinterpret_cast<HWND>(dialog.get());
    dialog->templateNumber = templateNumber;
    dialog->proc = proc;
    dialog->owner = owner;
    dialog->ownerId = ForeignOwnerId(owner);
    dialog->title = dialog->source.caption;
    host.BaseUnits(dialog->source, dialog->baseX, dialog->baseY);
    // Placed in the middle of the screen until the dialog moves itself.
    const DialogTemplate& source = dialog->source;
    const RECT size = Pixels(*dialog, 0, 0, source.width, source.height);
    int screenWidth = 0, screenHeight = 0;
    host.ScreenSize(screenWidth, screenHeight);
    const int left = std::max(0, (screenWidth - size.right) / 2), top = std::max(0, (screenHeight - size.bottom) / 2);
    dialog->rect = RECT{left, top, left + size.right, top + size.bottom};
    for (const DialogItemTemplate& source : dialog->source.items) {
        auto item = std::make_unique<DialogItem>();
        item->source = source;
        item->handle = reinterpret_cast<HWND>(item.get());
        item->text = source.caption;
        item->rect = Pixels(*dialog, source.x, source.y, source.width, source.height);
        dialog->items.push_back(std::move(item));
    }

    Dialogs().push_back(dialog.get());
    const HWND first = dialog->items.empty() ? nullptr : dialog->items.front()->handle;
    Dispatch(*dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!dialog->ended) host.Run(*dialog);
    Dialogs().erase(std::find(Dialogs().begin(), Dialogs().end(), dialog.get()));
    return dialog->result;
}

BOOL EndDialog(HWND handle, INT_PTR result) {
    Dialog* dialog = FindDialog(handle);
    if (dialog == nullptr || dialog->handle != handle) return FALSE;
    dialog->ended = true;
    dialog->result = result;
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
    DialogItem* item = ItemOf(dialog, id);
    return item != nullptr ? item->handle : nullptr;
}

int GetDlgCtrlID(HWND handle) {
    const DialogItem* item = FindDialogItem(handle);
    return item != nullptr ? item->source.id : 0;
}

BOOL SetWindowTextA(HWND handle, LPCSTR text) {
    Dialog* dialog = FindDialog(handle);
    if (dialog == nullptr) return FALSE;
    const char* value = text != nullptr ? text : "";
    if (dialog->handle == handle) {
        dialog->title = value;
        Changed(*dialog, nullptr);
        return TRUE;
    }
    DialogItem* item = FindDialogItem(handle);
    item->text = value;
    Changed(*dialog, item);
    return TRUE;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) { return SetWindowTextA(GetDlgItem(dialog, id), text); }

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    DialogItem* item = ItemOf(dialog, id);
    if (item == nullptr) return FALSE;
    item->checked = check == BST_CHECKED;
    Changed(*FindDialog(dialog), item);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    const DialogItem* item = ItemOf(dialog, id);
    return item != nullptr && item->checked ? BST_CHECKED : BST_UNCHECKED;
}

BOOL CheckRadioButton(HWND handle, int first, int last, int check) {
    Dialog* dialog = FindDialog(handle);
    if (dialog == nullptr || dialog->handle != handle) return FALSE;
    for (auto& item : dialog->items) {
        const int id = item->source.id;
        if (item->source.kind != DialogItemKind::RadioButton || id < first || id > last) continue;
        item->checked = id == check;
        Changed(*dialog, item.get());
    }
    return TRUE;
}

BOOL EnableWindow(HWND handle, BOOL enable) {
    DialogItem* item = FindDialogItem(handle);
    if (item == nullptr) return FALSE;
    const BOOL wasDisabled = item->enabled ? FALSE : TRUE;
    item->enabled = enable != FALSE;
    Changed(*FindDialog(handle), item);
    return wasDisabled;
}

LRESULT SendDialogMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = FindDialog(handle);
    if (dialog == nullptr) return 0;
    if (dialog->handle == handle) return Dispatch(*dialog, message, wParam, lParam);
    DialogItem& item = *FindDialogItem(handle);
    switch (item.source.kind) {
        case DialogItemKind::ComboBox: return ComboMessage(*dialog, item, message, wParam, lParam);
        case DialogItemKind::TrackBar: return TrackBarMessage(*dialog, item, message, wParam, lParam);
        default: return 0;
    }
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND item = GetDlgItem(dialog, id);
    return item != nullptr ? SendDialogMessage(item, message, wParam, lParam) : 0;
}

BOOL PostDialogMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = FindDialog(handle);
    if (dialog == nullptr) return FALSE;
    dialog->posted.push_back(MSG{handle, message, wParam, lParam, 0, {}});
    return TRUE;
}

void DeliverPostedDialogMessages(Dialog& dialog) {
    // A message may post more; each is taken off the queue before it is handled.
    while (!dialog.posted.empty() && !dialog.ended) {
        const MSG msg = dialog.posted.front();
        dialog.posted.pop_front();
        SendDialogMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    }
}

BOOL GetDialogWindowRect(HWND handle, RECT* rect) {
    Dialog* dialog = FindDialog(handle);
    if (dialog == nullptr || rect == nullptr) return FALSE;
    if (dialog->handle == handle) {
        *rect = dialog->rect;
        return TRUE;
    }
    const RECT& local = FindDialogItem(handle)->rect;
    *rect = RECT{local.left + dialog->rect.left, local.top + dialog->rect.top, local.right + dialog->rect.left,
                 local.bottom + dialog->rect.top};
    return TRUE;
}

BOOL DialogScreenToClient(HWND handle, POINT* point) {
    Dialog* dialog = FindDialog(handle);
    if (dialog == nullptr || dialog->handle != handle || point == nullptr) return FALSE;
    point->x -= dialog->rect.left;
    point->y -= dialog->rect.top;
    return TRUE;
}

BOOL SetDialogPos(HWND handle, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    Dialog* dialog = FindDialog(handle);
    if (dialog == nullptr) return FALSE;
    RECT& rect = dialog->handle == handle ? dialog->rect : FindDialogItem(handle)->rect;
    if ((flags & SWP_NOSIZE) == 0) {
        rect.right = rect.left + std::max(width, 0);
        rect.bottom = rect.top + std::max(height, 0);
    }
    if ((flags & SWP_NOMOVE) == 0) {
        const LONG w = rect.right - rect.left, h = rect.bottom - rect.top;
        rect = RECT{x, y, x + w, y + h};
    }
    if (dialog->handle == handle && (flags & SWP_NOZORDER) == 0) dialog->insertAfter = insertAfter;
    Changed(*dialog, dialog->handle == handle ? nullptr : FindDialogItem(handle));
    return TRUE;
}

void ClickDialogItem(Dialog& dialog, int id) {
    DialogItem* item = dialog.Item(id);
    if (item == nullptr || !item->enabled || dialog.ended) return;
    if (item->source.kind == DialogItemKind::CheckBox) {
        item->checked = !item->checked;
        Changed(dialog, item);
    } else if (item->source.kind == DialogItemKind::RadioButton) {
        item->checked = true;
        ClearRadioGroup(dialog, *item);
        Changed(dialog, item);
    }
    Notify(dialog, *item, BN_CLICKED);
}

void SelectDialogEntry(Dialog& dialog, int id, int index) {
    DialogItem* item = dialog.Item(id);
    if (item == nullptr || !item->enabled || dialog.ended || index < 0 ||
        index >= static_cast<int>(item->entries.size()))
        return;
    item->selection = index;
    Changed(dialog, item);
    Notify(dialog, *item, CBN_SELCHANGE);
}

void SlideDialogTrackBar(Dialog& dialog, int id, int position) {
    DialogItem* item = dialog.Item(id);
    if (item == nullptr || !item->enabled || dialog.ended) return;
    item->position = std::clamp(position, std::min(item->rangeMin, item->rangeMax), std::max(item->rangeMin, item->rangeMax));
    Changed(dialog, item);
    Dispatch(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, item->position), reinterpret_cast<LPARAM>(item->handle));
    DeliverPostedDialogMessages(dialog);
}

void CommandDialog(Dialog& dialog, int id) {
    if (dialog.ended) return;
    DialogItem* item = dialog.Item(id);
    if (item != nullptr && !item->enabled) return;
    Dispatch(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), item != nullptr ? reinterpret_cast<LPARAM>(item->handle) : 0);
    DeliverPostedDialogMessages(dialog);
}
