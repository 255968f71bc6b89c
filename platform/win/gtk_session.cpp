#include "platform/win/gtk_session.h"

#include <gtk/gtk.h>

bool GtkReady() {
    static const bool ready = (g_getenv("DISPLAY") != nullptr || g_getenv("WAYLAND_DISPLAY") != nullptr) &&
                              gtk_init_check(nullptr, nullptr);
    return ready;
}
