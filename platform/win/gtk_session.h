#pragma once
// GTK for the message boxes and dialogs: started once, only when a display is named, so
// a program without one never makes GTK print a warning. Not for use outside this folder.

// True when GTK runs (a display variable is set and gtk_init_check succeeded).
bool GtkReady();
