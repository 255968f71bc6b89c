#include "platform/wayland/wayland_display.h"

#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <EGL/eglext.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>

namespace {

void OnGeometry(void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                const char*, const char*, std::int32_t) {}
void OnMode(void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) {}
void OnDone(void*, wl_output*) {}
void OnScale(void* data, wl_output*, std::int32_t factor) {
    static_cast<WaylandOutput*>(data)->scale = std::max(factor, 1);
}
void OnName(void* data, wl_output*, const char* name) { static_cast<WaylandOutput*>(data)->name = name; }
void OnDescription(void*, wl_output*, const char*) {}

const wl_output_listener kOutputListener = {OnGeometry, OnMode, OnDone, OnScale, OnName, OnDescription};

// The names are compared with the interface names libwayland and the generated code carry.
bool Is(const char* interface, const wl_interface& known) { return std::strcmp(interface, known.name) == 0; }

void DestroyOutput(WaylandOutput& output) {
    if (wl_output_get_version(output.output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
        wl_output_release(output.output);
    else
        wl_output_destroy(output.output);
}

}  // namespace

std::shared_ptr<WaylandDisplay> WaylandDisplay::Connect(std::string& error) {
    // libwayland takes WAYLAND_SOCKET out of the environment when it uses it.
    const char* socket = std::getenv("WAYLAND_SOCKET");
    const std::string via = socket ? std::string("the socket in WAYLAND_SOCKET (") + socket + ")"
                                   : std::string("WAYLAND_DISPLAY=") +
                                         (std::getenv("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : "wayland-0");
    std::shared_ptr<WaylandDisplay> self(new WaylandDisplay());
    self->display_ = wl_display_connect(nullptr);
    if (!self->display_) {
        error = "--layer-shell: cannot connect to a Wayland compositor through " + via;
        return nullptr;
    }
    static const wl_registry_listener listener = {OnGlobal, OnGlobalRemove};
    self->registry_ = wl_display_get_registry(self->display_);
    wl_registry_add_listener(self->registry_, &listener, self.get());
    // The first round trip lists the globals, the second brings the outputs' names.
    if (wl_display_roundtrip(self->display_) < 0 || wl_display_roundtrip(self->display_) < 0) {
        error = "--layer-shell: the Wayland connection through " + via + " failed";
        return nullptr;
    }
    if (!self->layerShell_ || !self->compositor_) {
        error = std::string("--layer-shell: the Wayland compositor offers no ") +
                (self->compositor_ ? "zwlr_layer_shell_v1" : "wl_compositor") +
                " (layer-shell surfaces need a wlroots-style compositor or lock screen)";
        return nullptr;
    }
    return self;
}

WaylandDisplay::~WaylandDisplay() {
    if (egl_ != EGL_NO_DISPLAY) eglTerminate(egl_);
    for (auto& output : outputs_) DestroyOutput(*output);
    if (viewporter_) wp_viewporter_destroy(viewporter_);
    if (fractionalScale_) wp_fractional_scale_manager_v1_destroy(fractionalScale_);
    if (layerShell_) zwlr_layer_shell_v1_destroy(layerShell_);
    if (compositor_) wl_compositor_destroy(compositor_);
    if (registry_) wl_registry_destroy(registry_);
    if (display_) wl_display_disconnect(display_);
}

void WaylandDisplay::OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                              std::uint32_t version) {
    auto* self = static_cast<WaylandDisplay*>(data);
    if (Is(interface, wl_compositor_interface) && !self->compositor_) {
        self->compositor_ = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, std::min(version, 4u)));
    } else if (Is(interface, zwlr_layer_shell_v1_interface) && !self->layerShell_) {
        self->layerShell_ =
            static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
    } else if (Is(interface, wp_fractional_scale_manager_v1_interface) && !self->fractionalScale_) {
        self->fractionalScale_ = static_cast<wp_fractional_scale_manager_v1*>(
            wl_registry_bind(registry, name, &wp_fractional_scale_manager_v1_interface, 1));
    } else if (Is(interface, wp_viewporter_interface) && !self->viewporter_) {
        self->viewporter_ =
            static_cast<wp_viewporter*>(wl_registry_bind(registry, name, &wp_viewporter_interface, 1));
    } else if (Is(interface, wl_output_interface)) {
        auto output = std::make_unique<WaylandOutput>();
        output->globalName = name;
        output->output =
            static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 4u)));
        wl_output_add_listener(output->output, &kOutputListener, output.get());
        self->outputs_.push_back(std::move(output));
    }
}

void WaylandDisplay::OnGlobalRemove(void* data, wl_registry*, std::uint32_t name) {
    auto& outputs = static_cast<WaylandDisplay*>(data)->outputs_;
    for (auto it = outputs.begin(); it != outputs.end(); ++it)
        if ((*it)->globalName == name) {
            DestroyOutput(**it);
            outputs.erase(it);
            return;
        }
}

const WaylandOutput* WaylandDisplay::FindOutput(const std::string& name) const {
    for (const auto& output : outputs_)
        if (output->name == name) return output.get();
    return nullptr;
}

const WaylandOutput* WaylandDisplay::OutputOf(const wl_output* output) const {
    for (const auto& known : outputs_)
        if (known->output == output) return known.get();
    return nullptr;
}

std::string WaylandDisplay::OutputNames() const {
    std::string names;
    for (const auto& output : outputs_)
        if (!output->name.empty()) names += (names.empty() ? "" : ", ") + output->name;
    return names.empty() ? "none named" : names;
}

bool WaylandDisplay::Dispatch(int timeoutMs) {
    if (Failed()) return false;
    while (wl_display_prepare_read(display_) != 0)
        if (wl_display_dispatch_pending(display_) < 0) return Fail();
    // libwayland leaves a broken pipe (EPIPE) unmarked so that late events can still be read;
    // for a background that has nothing more to say, the connection is over.
    if (wl_display_flush(display_) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(display_);
        return Fail();
    }
    pollfd ready{wl_display_get_fd(display_), POLLIN, 0};
    // A signal cuts the wait short (EINTR): the caller looks at its flags again.
    if (poll(&ready, 1, timeoutMs) > 0 && (ready.revents & POLLIN)) {
        if (wl_display_read_events(display_) < 0) return Fail();
    } else {
        wl_display_cancel_read(display_);
        if (ready.revents & (POLLERR | POLLHUP)) return Fail();
    }
    return wl_display_dispatch_pending(display_) >= 0 || Fail();
}

bool WaylandDisplay::Fail() {
    failed_ = true;
    return false;
}

bool WaylandDisplay::Failed() const { return failed_ || wl_display_get_error(display_) != 0; }

EGLDisplay WaylandDisplay::Egl() {
    if (eglTried_) return egl_;
    eglTried_ = true;
    EGLDisplay egl = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, display_, nullptr);
    EGLint major = 0, minor = 0;
    if (egl != EGL_NO_DISPLAY && eglInitialize(egl, &major, &minor)) egl_ = egl;
    return egl_;
}
