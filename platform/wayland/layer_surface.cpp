#include "platform/wayland/layer_surface.h"

#include "platform/wayland/egl_window_context.h"
#include "platform/win/termination_signal.h"

#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <wayland-client.h>
#include <wayland-egl.h>

#include <algorithm>
#include <chrono>

namespace {

// How long the first configure may take, and how often a wait for a frame looks at the
// termination flag (a signal that lands just before the wait begins is seen this late).
constexpr int kConfigureTimeoutMs = 5000;
constexpr int kWaitSliceMs = 50;
constexpr char kNamespace[] = "frostvale";

}  // namespace

std::shared_ptr<LayerSurface> LayerSurface::Create(std::shared_ptr<WaylandDisplay> display,
                                                   const WaylandOutput* output, std::string& error) {
    std::shared_ptr<LayerSurface> self(new LayerSurface(std::move(display)));
    WaylandDisplay& wl = *self->display_;
    self->surface_ = wl_compositor_create_surface(wl.Compositor());
    static const wl_surface_listener surfaceListener = {OnEnter, OnLeave};
    wl_surface_add_listener(self->surface_, &surfaceListener, self.get());
    if (wl.FractionalScale() && wl.Viewporter()) {
        self->fractional_ = wp_fractional_scale_manager_v1_get_fractional_scale(wl.FractionalScale(), self->surface_);
        static const wp_fractional_scale_v1_listener scaleListener = {OnPreferredScale};
        wp_fractional_scale_v1_add_listener(self->fractional_, &scaleListener, self.get());
        self->viewport_ = wp_viewporter_get_viewport(wl.Viewporter(), self->surface_);
    }
    if (output) self->output_ = output->output;
    self->layer_ = zwlr_layer_shell_v1_get_layer_surface(wl.LayerShell(), self->surface_,
                                                         output ? output->output : nullptr,
                                                         ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND, kNamespace);
    static const zwlr_layer_surface_v1_listener layerListener = {OnConfigure, OnClosed};
    zwlr_layer_surface_v1_add_listener(self->layer_, &layerListener, self.get());
    zwlr_layer_surface_v1_set_anchor(self->layer_, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                       ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                       ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                       ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    // Drawn under everything and moved by no panel's exclusive zone.
    zwlr_layer_surface_v1_set_exclusive_zone(self->layer_, -1);
    wl_surface_commit(self->surface_);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kConfigureTimeoutMs);
    while (!self->configured_ && !self->Closed() && std::chrono::steady_clock::now() < deadline)
        wl.Dispatch(kWaitSliceMs);
    if (!self->configured_) {
        error = self->Closed() ? "--layer-shell: the compositor closed the layer surface at once"
                               : "--layer-shell: the compositor did not configure the layer surface";
        return nullptr;
    }
    return self;
}

LayerSurface::~LayerSurface() {
    if (eglWindow_) wl_egl_window_destroy(eglWindow_);
    if (frame_) wl_callback_destroy(frame_);
    if (viewport_) wp_viewport_destroy(viewport_);
    if (fractional_) wp_fractional_scale_v1_destroy(fractional_);
    if (layer_) zwlr_layer_surface_v1_destroy(layer_);
    if (surface_) wl_surface_destroy(surface_);
    // The compositor takes the surface off the screen now, not at the next request.
    wl_display_flush(display_->Display());
}

bool LayerSurface::Closed() const { return closed_ || display_->Failed(); }

std::unique_ptr<GlContext> LayerSurface::CreateGlContext() { return CreateEglWindowContext(shared_from_this()); }

LayerSurface::Geometry LayerSurface::Wanted() const {
    Geometry geometry;
    if (viewport_) {
        // Fractional scaling: a buffer of the scaled size shown at the configured size.
        geometry.width = std::max(1, (logicalWidth_ * scale120_ + 60) / 120);
        geometry.height = std::max(1, (logicalHeight_ * scale120_ + 60) / 120);
        geometry.viewWidth = logicalWidth_;
        geometry.viewHeight = logicalHeight_;
    } else {
        // Integer scaling: the scale of the output the surface is on, as that output has it now.
        const WaylandOutput* output = display_->OutputOf(output_);
        geometry.bufferScale = output ? std::max(output->scale, 1) : 1;
        geometry.width = logicalWidth_ * geometry.bufferScale;
        geometry.height = logicalHeight_ * geometry.bufferScale;
    }
    return geometry;
}

wl_egl_window* LayerSurface::EglWindow() {
    if (!eglWindow_) {
        applied_ = Wanted();
        eglWindow_ = wl_egl_window_create(surface_, applied_.width, applied_.height);
    }
    return eglWindow_;
}

void LayerSurface::BeginImage(int& width, int& height) {
    const Geometry wanted = Wanted();
    if (eglWindow_ && (wanted.width != applied_.width || wanted.height != applied_.height))
        wl_egl_window_resize(eglWindow_, wanted.width, wanted.height, 0, 0);
    // The scale state is sent with the commit of this image (BeginCommit).
    if (eglWindow_) applied_ = wanted;
    width = applied_.width;
    height = applied_.height;
}

bool LayerSurface::BeginCommit() {
    while (frame_ && !Closed() && TerminationSignal() == 0) display_->Dispatch(kWaitSliceMs);
    // The run is about to end: the image is not shown.
    if (Closed() || TerminationSignal() != 0) return false;
    static const wl_callback_listener frameListener = {OnFrameDone};
    frame_ = wl_surface_frame(surface_);
    wl_callback_add_listener(frame_, &frameListener, this);
    if (viewport_)
        wp_viewport_set_destination(viewport_, applied_.viewWidth, applied_.viewHeight);
    else
        wl_surface_set_buffer_scale(surface_, applied_.bufferScale);
    return true;
}

void LayerSurface::OnConfigure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width,
                               std::uint32_t height) {
    auto* self = static_cast<LayerSurface*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    // A zero leaves the size to the client: the last one (or the fallback) stays.
    if (width > 0 && width <= 65535) self->logicalWidth_ = int(width);
    if (height > 0 && height <= 65535) self->logicalHeight_ = int(height);
    self->configured_ = true;
}

void LayerSurface::OnClosed(void* data, zwlr_layer_surface_v1*) { static_cast<LayerSurface*>(data)->closed_ = true; }

void LayerSurface::OnEnter(void* data, wl_surface*, struct wl_output* output) {
    static_cast<LayerSurface*>(data)->output_ = output;
}

void LayerSurface::OnLeave(void*, wl_surface*, struct wl_output*) {}

void LayerSurface::OnPreferredScale(void* data, wp_fractional_scale_v1*, std::uint32_t scale120) {
    // Scales from 1/120 to 8 are taken; anything else is not a scale a screen has.
    if (scale120 >= 1 && scale120 <= 960) static_cast<LayerSurface*>(data)->scale120_ = int(scale120);
}

void LayerSurface::OnFrameDone(void* data, wl_callback* callback, std::uint32_t) {
    auto* self = static_cast<LayerSurface*>(data);
    wl_callback_destroy(callback);
    if (self->frame_ == callback) self->frame_ = nullptr;
}
