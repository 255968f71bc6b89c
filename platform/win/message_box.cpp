#include "platform/win/message_box.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <string>

namespace {

MessageBoxHook gHook = nullptr;

// Windows-1252 0x80 … 0x9F; the five undefined codes become U+FFFD.
constexpr unsigned short kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string ToUtf8(LPCSTR text) {
    if (text == nullptr) return {};
    if (g_utf8_validate(text, -1, nullptr)) return text;
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte);
    }
    return out;
}

int DefaultResult(UINT buttons) {
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
}

bool GtkReady() {
    // Without a display variable GTK is not asked at all, so it prints no warning.
    static const bool ready = (g_getenv("DISPLAY") != nullptr || g_getenv("WAYLAND_DISPLAY") != nullptr) &&
                              gtk_init_check(nullptr, nullptr);
    return ready;
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
    const std::string utf8Text = ToUtf8(text);
    const std::string utf8Caption = ToUtf8(caption);
    if (GtkReady()) return ShowGtkDialog(utf8Text, utf8Caption, type);
    std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
    return DefaultResult(type & 0xF);
}
