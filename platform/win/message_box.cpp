#include "platform/win/message_box.h"

#include "platform/win/codepage.h"
#include "platform/win/gtk_session.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <string>

namespace {

MessageBoxHook gHook = nullptr;

int DefaultResult(UINT buttons) {
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
}

int ShowGtkDialog(const std::string& text, const std::string& caption, UINT type) {
    const UINT buttons = type & 0xF;
    GtkMessageType kind = GTK_MESSAGE_OTHER;
    switch (type & 0xF0) {
        case MB_ICONERROR: kind = GTK_MESSAGE_ERROR; break;
        case MB_ICONQUESTION: kind = GTK_MESSAGE_QUESTION; break;
        case MB_ICONWARNING: kind = GTK_MESSAGE_WARNING; break;
        case MB_ICONINFORMATION: kind = GTK_MESSAGE_INFO; break;
        default: break;
    }
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, kind, GTK_BUTTONS_NONE, "%s",
                                               text.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    const auto add = [&](const char* label, int id) {
        gtk_dialog_add_button(GTK_DIALOG(dialog), label, id);
    };
    switch (buttons) {
        case MB_OKCANCEL: add("_OK", IDOK); add("_Cancel", IDCANCEL); break;
        case MB_YESNO: add("_Yes", IDYES); add("_No", IDNO); break;
        case MB_YESNOCANCEL: add("_Yes", IDYES); add("_No", IDNO); add("_Cancel", IDCANCEL); break;
        default: add("_OK", IDOK); break;
    }
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), DefaultResult(buttons));
    const int response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    while (gtk_events_pending()) gtk_main_iteration();
    if (response == IDOK || response == IDCANCEL || response == IDYES || response == IDNO) return response;
    // Closed from the window frame: Cancel where there is one, else the only answer.
    return buttons == MB_OKCANCEL || buttons == MB_YESNOCANCEL ? IDCANCEL
                                                               : (buttons == MB_YESNO ? IDNO : IDOK);
}

}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) { gHook = hook; }

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    if (gHook != nullptr) return gHook(text != nullptr ? text : "", caption != nullptr ? caption : "", type);
    const std::string utf8Text = AnsiToUtf8(text);
    const std::string utf8Caption = AnsiToUtf8(caption);
    if (GtkReady()) return ShowGtkDialog(utf8Text, utf8Caption, type);
    std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
    return DefaultResult(type & 0xF);
}
