#pragma once
// One connection to a Wayland compositor and the globals a layer-shell background needs:
// wl_compositor, zwlr_layer_shell_v1, the outputs with their names and scales, and, when
// offered, wp_fractional_scale_manager_v1 and wp_viewporter. The EGL display of the
// connection is made on first use and lives as long as the connection.

#include <EGL/egl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_compositor;
struct wl_output;
struct zwlr_layer_shell_v1;
struct wp_fractional_scale_manager_v1;
struct wp_viewporter;

struct WaylandOutput {
    std::uint32_t globalName = 0;
    wl_output* output = nullptr;
    std::string name;  // empty until the compositor names it (wl_output version 4)
    int scale = 1;
};

class WaylandDisplay {
public:
    // Connects through WAYLAND_SOCKET when set, else WAYLAND_DISPLAY, and reads the globals.
    // Null with a one-line reason in error when there is no compositor or it offers no
    // wl_compositor or zwlr_layer_shell_v1.
    static std::shared_ptr<WaylandDisplay> Connect(std::string& error);
    ~WaylandDisplay();
    WaylandDisplay(const WaylandDisplay&) = delete;
    WaylandDisplay& operator=(const WaylandDisplay&) = delete;

    wl_display* Display() const { return display_; }
    wl_compositor* Compositor() const { return compositor_; }
    zwlr_layer_shell_v1* LayerShell() const { return layerShell_; }
    wp_fractional_scale_manager_v1* FractionalScale() const { return fractionalScale_; }
    wp_viewporter* Viewporter() const { return viewporter_; }
    // The output of that name; null when none has it.
    const WaylandOutput* FindOutput(const std::string& name) const;
    const WaylandOutput* OutputOf(const wl_output* output) const;
    std::string OutputNames() const;

    // Sends what is buffered, then waits up to timeoutMs for events and dispatches them
    // (0: only what has arrived). False once the connection has failed or the compositor
    // has hung up.
    bool Dispatch(int timeoutMs);
    bool Failed() const;
    // The initialised EGL display of this connection; EGL_NO_DISPLAY when EGL has none.
    EGLDisplay Egl();

private:
    WaylandDisplay() = default;
    static void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                         std::uint32_t version);
    static void OnGlobalRemove(void* data, wl_registry* registry, std::uint32_t name);
    // Marks the connection as failed; false.
    bool Fail();

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_compositor* compositor_ = nullptr;
    zwlr_layer_shell_v1* layerShell_ = nullptr;
    wp_fractional_scale_manager_v1* fractionalScale_ = nullptr;
    wp_viewporter* viewporter_ = nullptr;
    std::vector<std::unique_ptr<WaylandOutput>> outputs_;
    EGLDisplay egl_ = EGL_NO_DISPLAY;
    bool eglTried_ = false;
    bool failed_ = false;
};
