#pragma once
// Top-level windows as layer-shell surfaces of a Wayland compositor: a background under
// everything on one output, for lock screens that run a program as their background and
// for live wallpapers. Such a window has no input; its size is the compositor's, and it
// gets WM_CLOSE when the compositor closes the surface or the connection ends.

#include <string>

// The output a layer-shell window goes on: the named one, else the one a lock screen names
// in lockScreenOutput (SWAYLOCK_PLUGIN_OUTPUT_NAME), else the compositor's choice (empty).
std::string LayerShellOutput(const std::string& named, const char* lockScreenOutput);

// Connects to the compositor (WAYLAND_SOCKET when set, else WAYLAND_DISPLAY) and makes
// every later top-level window a layer-shell surface on output (empty: the compositor's
// choice). SDL then renders without a display of its own. Call before the first window is
// made. False with a one-line reason in error when there is no compositor, it offers no
// layer shell, or it has no output of that name.
bool UseLayerShell(const std::string& output, std::string& error);
