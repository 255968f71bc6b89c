// The GTK 3 dialog host: a window with a fixed layout, each control a widget at its pixel
// rectangle. Widgets follow the model; their signals become the user actions of
// dialog_host.h, except while the host itself is bringing a widget up to date.

#include "platform/win/codepage.h"
#include "platform/win/dialog_host.h"
#include "platform/win/gtk_session.h"
#include "platform/win/resources.h"
#include "platform/win/termination_signal.h"
#include "platform/image/image.h"

#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace {

// Compact controls in the dialog font, so that each fits the rectangle its template gives.
constexpr char kCss[] =
    ".fv-dialog { font-size: 8pt; }"
    ".fv-dialog button { padding: 0 6px; min-height: 0; min-width: 0; }"
    ".fv-dialog combobox button { padding: 0 4px; }"
    ".fv-dialog checkbutton, .fv-dialog radiobutton { padding: 0; min-height: 0; }"
    ".fv-dialog check, .fv-dialog radio { min-width: 11px; min-height: 11px; margin: 0 4px 0 0; }"
    ".fv-dialog scale { padding: 0 6px 0 10px; min-height: 0; }"
    ".fv-dialog scale slider { min-width: 12px; min-height: 12px; margin: -5px 0; }"
    ".fv-dialog frame > border { border-radius: 2px; }";

// A combo box is as high as its text; the template height is that of its open list.
constexpr int kComboHeightUnits = 13;

struct View {
    GtkWidget* window = nullptr;
    GtkWidget* fixed = nullptr;
    std::map<const DialogItem*, GtkWidget*> widgets;
    std::map<const DialogItem*, GtkWidget*> noneRadio;  // hidden member that lets a group be all clear
    bool syncing = false;
};

struct Signal {
    Dialog* dialog;
    int id;
};

View* ViewOf(Dialog& dialog) { return static_cast<View*>(dialog.view); }

std::string Utf8(const std::string& text) { return AnsiToUtf8(text.c_str()); }

void InstallCss() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, kCss, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

Signal* NewSignal(Dialog& dialog, int id, GtkWidget* widget) {
    auto* signal = new Signal{&dialog, id};
    g_object_set_data_full(G_OBJECT(widget), "fv-signal", signal, [](gpointer p) { delete static_cast<Signal*>(p); });
    return signal;
}

bool Syncing(const Signal* signal) { return ViewOf(*signal->dialog)->syncing; }

GtkWidget* BitmapWidget(int number) {
    const void* data = nullptr;
    DWORD size = 0;
    image::Image decoded;
    if (!ResourceBytes(number, "BITMAP", data, size) || !image::DecodeImage(data, size, decoded))
        return gtk_image_new();
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, decoded.width, decoded.height);
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    for (int y = 0; y < decoded.height; ++y)
        for (int x = 0; x < decoded.width; ++x) {
            const std::uint32_t argb = decoded.At(x, y);
            guchar* p = pixels + y * stride + x * 3;
            p[0] = static_cast<guchar>(argb >> 16);
            p[1] = static_cast<guchar>(argb >> 8);
            p[2] = static_cast<guchar>(argb);
        }
    GtkWidget* widget = gtk_image_new_from_pixbuf(pixbuf);
    g_object_unref(pixbuf);
    return widget;
}

GtkWidget* MakeWidget(Dialog& dialog, DialogItem& item, GSList*& radioGroup, View& view) {
    const int id = item.source.id;
    GtkWidget* widget = nullptr;
    switch (item.source.kind) {
        case DialogItemKind::Label:
        case DialogItemKind::CenteredLabel: {
            widget = gtk_label_new(nullptr);
            const bool centred = item.source.kind == DialogItemKind::CenteredLabel;
            gtk_label_set_xalign(GTK_LABEL(widget), centred ? 0.5f : 0.0f);
            gtk_label_set_yalign(GTK_LABEL(widget), 0.0f);
            gtk_label_set_justify(GTK_LABEL(widget), centred ? GTK_JUSTIFY_CENTER : GTK_JUSTIFY_LEFT);
            // Only a label with room for two lines wraps; a one-line label keeps its text whole.
            gtk_label_set_line_wrap(GTK_LABEL(widget), item.source.height >= 16 ? TRUE : FALSE);
            break;
        }
        case DialogItemKind::GroupBox: widget = gtk_frame_new(nullptr); break;
        case DialogItemKind::Button:
        case DialogItemKind::DefaultButton:
            widget = gtk_button_new_with_label("");
            g_signal_connect(widget, "clicked", G_CALLBACK(+[](GtkButton*, gpointer p) {
                                 const auto* s = static_cast<Signal*>(p);
                                 if (!Syncing(s)) ClickDialogItem(*s->dialog, s->id);
                             }),
                             NewSignal(dialog, id, widget));
            break;
        case DialogItemKind::CheckBox:
        case DialogItemKind::RadioButton: {
            const bool radio = item.source.kind == DialogItemKind::RadioButton;
            if (radio && radioGroup == nullptr) {
                GtkWidget* none = gtk_radio_button_new(nullptr);
                view.noneRadio[&item] = none;
                gtk_widget_set_no_show_all(none, TRUE);
                gtk_fixed_put(GTK_FIXED(view.fixed), none, 0, 0);
                radioGroup = gtk_radio_button_get_group(GTK_RADIO_BUTTON(none));
            }
            widget = radio ? gtk_radio_button_new_with_label(radioGroup, "") : gtk_check_button_new_with_label("");
            if (radio) radioGroup = gtk_radio_button_get_group(GTK_RADIO_BUTTON(widget));
            g_signal_connect(widget, "toggled", G_CALLBACK(+[](GtkToggleButton* button, gpointer p) {
                                 const auto* s = static_cast<Signal*>(p);
                                 // A radio button reports both its gain and its neighbour's loss.
                                 if (Syncing(s) || (GTK_IS_RADIO_BUTTON(button) && !gtk_toggle_button_get_active(button)))
                                     return;
                                 ClickDialogItem(*s->dialog, s->id);
                             }),
                             NewSignal(dialog, id, widget));
            break;
        }
        case DialogItemKind::ComboBox:
            widget = gtk_combo_box_text_new();
            g_signal_connect(widget, "changed", G_CALLBACK(+[](GtkComboBox* box, gpointer p) {
                                 const auto* s = static_cast<Signal*>(p);
                                 if (!Syncing(s)) SelectDialogEntry(*s->dialog, s->id, gtk_combo_box_get_active(box));
                             }),
                             NewSignal(dialog, id, widget));
            break;
        case DialogItemKind::TrackBar:
            widget = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, 0, 100, 1);
            gtk_scale_set_draw_value(GTK_SCALE(widget), FALSE);
            g_signal_connect(widget, "value-changed", G_CALLBACK(+[](GtkRange* range, gpointer p) {
                                 const auto* s = static_cast<Signal*>(p);
                                 if (!Syncing(s))
                                     SlideDialogTrackBar(*s->dialog, s->id,
                                                         static_cast<int>(std::lround(gtk_range_get_value(range))));
                             }),
                             NewSignal(dialog, id, widget));
            break;
        case DialogItemKind::Bitmap: widget = BitmapWidget(item.source.bitmap); break;
    }
    if (item.source.kind != DialogItemKind::RadioButton) radioGroup = nullptr;
    return widget;
}

void Place(const Dialog& dialog, const DialogItem& item, GtkWidget* widget, View& view, bool first) {
    const RECT& r = item.rect;
    int height = r.bottom - r.top;
    if (item.source.kind == DialogItemKind::ComboBox) height = std::min(height, kComboHeightUnits * dialog.baseY / 8);
    const bool natural = item.source.kind == DialogItemKind::Bitmap && r.right == r.left;
    if (!natural) gtk_widget_set_size_request(widget, r.right - r.left, height);
    if (first) gtk_fixed_put(GTK_FIXED(view.fixed), widget, r.left, r.top);
    else gtk_fixed_move(GTK_FIXED(view.fixed), widget, r.left, r.top);
}

void SyncItem(Dialog& dialog, DialogItem& item, View& view) {
    GtkWidget* widget = view.widgets[&item];
    if (widget == nullptr) return;
    view.syncing = true;
    const std::string text = Utf8(item.text);
    switch (item.source.kind) {
        case DialogItemKind::Label:
        case DialogItemKind::CenteredLabel: gtk_label_set_text(GTK_LABEL(widget), text.c_str()); break;
        case DialogItemKind::GroupBox:
            gtk_frame_set_label(GTK_FRAME(widget), text.empty() ? nullptr : text.c_str());
            break;
        case DialogItemKind::Button:
        case DialogItemKind::DefaultButton: gtk_button_set_label(GTK_BUTTON(widget), text.c_str()); break;
        case DialogItemKind::CheckBox:
        case DialogItemKind::RadioButton:
            gtk_button_set_label(GTK_BUTTON(widget), text.c_str());
            if (item.checked) {
                gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), TRUE);
            } else if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget))) {
                // A radio group with nothing checked hands the check to its hidden member.
                GtkWidget* none = nullptr;
                for (auto& [member, hidden] : view.noneRadio)
                    if (GTK_IS_RADIO_BUTTON(widget) &&
                        gtk_radio_button_get_group(GTK_RADIO_BUTTON(hidden)) ==
                            gtk_radio_button_get_group(GTK_RADIO_BUTTON(widget)))
                        none = hidden;
                gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(none != nullptr ? none : widget),
                                             none != nullptr ? TRUE : FALSE);
            }
            break;
        case DialogItemKind::ComboBox: {
            GtkComboBoxText* box = GTK_COMBO_BOX_TEXT(widget);
            gtk_combo_box_text_remove_all(box);
            for (const DialogEntry& entry : item.entries) gtk_combo_box_text_append_text(box, Utf8(entry.text).c_str());
            gtk_combo_box_set_active(GTK_COMBO_BOX(widget), item.selection);
            break;
        }
        case DialogItemKind::TrackBar: {
            const int low = std::min(item.rangeMin, item.rangeMax), high = std::max(item.rangeMin, item.rangeMax);
            gtk_range_set_range(GTK_RANGE(widget), low, high == low ? low + 1 : high);
            gtk_range_set_value(GTK_RANGE(widget), item.position);
            break;
        }
        case DialogItemKind::Bitmap: break;
    }
    gtk_widget_set_sensitive(widget, item.enabled ? TRUE : FALSE);
    Place(dialog, item, widget, view, false);
    view.syncing = false;
}

void SyncDialog(Dialog& dialog, View& view) {
    gtk_window_set_title(GTK_WINDOW(view.window), Utf8(dialog.title).c_str());
    const RECT& r = dialog.rect;
    // A dialog sized in pixels for a narrower font still shows every control whole.
    int width = r.right - r.left, height = r.bottom - r.top;
    for (const auto& item : dialog.items) {
        width = std::max<int>(width, item->rect.right + 4);
        const bool combo = item->source.kind == DialogItemKind::ComboBox;  // its list opens over the rest
        const int bottom = combo ? item->rect.top + kComboHeightUnits * dialog.baseY / 8 : item->rect.bottom;
        height = std::max<int>(height, bottom + 4);
    }
    gtk_widget_set_size_request(view.fixed, width, height);
    gtk_window_resize(GTK_WINDOW(view.window), width, height);
    gtk_window_move(GTK_WINDOW(view.window), r.left, r.top);
}

int DefaultButton(Dialog& dialog) {
    for (const auto& item : dialog.items)
        if (item->source.kind == DialogItemKind::DefaultButton) return item->source.id;
    return 1;  // IDOK
}

gboolean OnKey(GtkWidget* window, GdkEventKey* event, gpointer p) {
    Dialog& dialog = *static_cast<Dialog*>(p);
    if (event->keyval == GDK_KEY_Escape) {
        CommandDialog(dialog, 2);  // IDCANCEL
        return TRUE;
    }
    if (event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter) {
        // A focused push button takes Return itself; anywhere else it is the default button.
        GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
        if (focus != nullptr && GTK_IS_BUTTON(focus) && !GTK_IS_TOGGLE_BUTTON(focus)) return FALSE;
        CommandDialog(dialog, DefaultButton(dialog));
        return TRUE;
    }
    return FALSE;
}

void SetForeignOwner(GtkWidget* window, std::intptr_t id) {
#ifdef GDK_WINDOWING_X11
    GdkDisplay* display = gtk_widget_get_display(window);
    if (!GDK_IS_X11_DISPLAY(display)) return;
    GdkWindow* owner = gdk_x11_window_foreign_new_for_display(display, static_cast<Window>(id));
    if (owner == nullptr) return;
    gdk_window_set_transient_for(gtk_widget_get_window(window), owner);
    g_object_unref(owner);
#else
    (void)window;
    (void)id;
#endif
}

class GtkHost final : public DialogHost {
public:
    bool Ready() override { return GtkReady(); }

    void BaseUnits(const DialogTemplate& source, int& x, int& y) override {
        // As Windows measures a dialog font: the average width of the 52 letters, rounded,
        // and the line height.
        PangoContext* context = gdk_pango_context_get();
        PangoLayout* layout = pango_layout_new(context);
        PangoFontDescription* font = pango_font_description_from_string("Sans");
        pango_font_description_set_size(font, source.fontSize * PANGO_SCALE);
        pango_layout_set_font_description(layout, font);
        pango_layout_set_text(layout, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", -1);
        int width = 0, height = 0;
        pango_layout_get_pixel_size(layout, &width, &height);
        pango_font_description_free(font);
        g_object_unref(layout);
        g_object_unref(context);
        x = std::max(1, (width / 26 + 1) / 2);
        y = std::max(1, height);
    }

    void ScreenSize(int& width, int& height) override {
        GdkRectangle area{0, 0, 0, 0};
        GdkDisplay* display = gdk_display_get_default();
        GdkMonitor* monitor = display != nullptr ? gdk_display_get_primary_monitor(display) : nullptr;
        if (monitor == nullptr && display != nullptr) monitor = gdk_display_get_monitor(display, 0);
        if (monitor != nullptr) gdk_monitor_get_geometry(monitor, &area);
        width = area.width;
        height = area.height;
    }

    void Run(Dialog& dialog) override {
        InstallCss();
        View view;
        dialog.view = &view;
        view.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_style_context_add_class(gtk_widget_get_style_context(view.window), "fv-dialog");
        gtk_window_set_resizable(GTK_WINDOW(view.window), FALSE);
        gtk_window_set_modal(GTK_WINDOW(view.window), TRUE);
        gtk_window_set_type_hint(GTK_WINDOW(view.window), GDK_WINDOW_TYPE_HINT_DIALOG);
        if (Dialog* owner = FindDialog(dialog.owner); owner != nullptr && owner->view != nullptr)
            gtk_window_set_transient_for(GTK_WINDOW(view.window), GTK_WINDOW(ViewOf(*owner)->window));
        view.fixed = gtk_fixed_new();
        gtk_container_add(GTK_CONTAINER(view.window), view.fixed);
        GSList* radioGroup = nullptr;
        for (auto& item : dialog.items) {
            GtkWidget* widget = MakeWidget(dialog, *item, radioGroup, view);
            view.widgets[item.get()] = widget;
            Place(dialog, *item, widget, view, true);
            SyncItem(dialog, *item, view);
        }
        SyncDialog(dialog, view);
        g_signal_connect(view.window, "key-press-event", G_CALLBACK(OnKey), &dialog);
        g_signal_connect(view.window, "delete-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer p) -> gboolean {
                             CommandDialog(*static_cast<Dialog*>(p), 2);  // IDCANCEL
                             return TRUE;
                         }),
                         &dialog);
        gtk_widget_realize(view.window);
        if (dialog.ownerId != 0) SetForeignOwner(view.window, dialog.ownerId);
        gtk_widget_show_all(view.window);
        gtk_window_present(GTK_WINDOW(view.window));
        if (GtkWidget* focus = FocusFor(dialog, view)) gtk_widget_grab_focus(focus);
        // SIGTERM or SIGINT cancel the dialog, as they end a run.
        const guint watch = g_timeout_add(100, +[](gpointer p) -> gboolean {
            auto& open = *static_cast<Dialog*>(p);
            if (TerminationSignal() != 0 && !open.ended) EndDialog(open.handle, 2);  // IDCANCEL
            return G_SOURCE_CONTINUE;
        }, &dialog);
        while (!dialog.ended) {
            DeliverPostedDialogMessages(dialog);
            if (!dialog.ended) gtk_main_iteration();
        }
        g_source_remove(watch);
        gtk_widget_destroy(view.window);
        dialog.view = nullptr;
        // The owner takes the focus back, with or without a window manager to hand it over.
        if (Dialog* owner = FindDialog(dialog.owner); owner != nullptr && owner->view != nullptr)
            gtk_window_present(GTK_WINDOW(ViewOf(*owner)->window));
        while (gtk_events_pending()) gtk_main_iteration();
    }

    void Update(Dialog& dialog, DialogItem* item) override {
        View* view = ViewOf(dialog);
        if (view == nullptr) return;  // not shown yet: Run shows the model as it is then
        if (item != nullptr) SyncItem(dialog, *item, *view);
        else SyncDialog(dialog, *view);
    }

private:
    static GtkWidget* FocusFor(Dialog& dialog, View& view) {
        for (auto& item : dialog.items)
            if (item->source.kind == DialogItemKind::DefaultButton) return view.widgets[item.get()];
        return nullptr;
    }
};

}  // namespace

DialogHost& GtkDialogHost() {
    static GtkHost host;
    return host;
}
