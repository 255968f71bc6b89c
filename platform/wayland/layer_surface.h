#pragma once
// A layer-shell surface on the background layer, anchored to all four edges with an
// exclusive zone of -1, sized by the compositor. It follows configure events and the scale
// (fractional through wp_fractional_scale_v1 with wp_viewporter when offered, else the
// integer scale of the output it is on), and paces drawing by frame callbacks. It is a GL
// context source: the contexts made for it draw into its wl_egl_window.

#include "platform/d3d9/gl_context.h"
#include "platform/wayland/wayland_display.h"

#include <memory>
#include <string>

struct wl_callback;
struct wl_egl_window;
struct wl_surface;
struct wp_fractional_scale_v1;
struct wp_viewport;
struct zwlr_layer_surface_v1;

class LayerSurface final : public GlContextSource, public std::enable_shared_from_this<LayerSurface> {
public:
    // The size the surface takes before the compositor says otherwise.
    static constexpr int kFallbackWidth = 1024, kFallbackHeight = 768;

    // Makes the surface on output (null: the compositor's choice) and waits for its first
    // configure. Null with a one-line reason in error when the compositor closes it or
    // does not configure it.
    static std::shared_ptr<LayerSurface> Create(std::shared_ptr<WaylandDisplay> display,
                                                const WaylandOutput* output, std::string& error);
    ~LayerSurface();
    LayerSurface(const LayerSurface&) = delete;
    LayerSurface& operator=(const LayerSurface&) = delete;

    // The buffer size in pixels the compositor asks for now (configured size x scale).
    int PixelWidth() const { return Wanted().width; }
    int PixelHeight() const { return Wanted().height; }
    // The compositor closed the surface or the connection failed.
    bool Closed() const;

    std::unique_ptr<GlContext> CreateGlContext() override;

    // For the contexts made for this surface.
    WaylandDisplay& Display() { return *display_; }
    // The EGL window, sized for the next buffer (made on first use).
    wl_egl_window* EglWindow();
    // Applies the asked size to the EGL window before a frame is drawn into it; the size.
    void BeginImage(int& width, int& height);
    // Waits until the compositor wants the frame after the one last shown, the surface
    // closes or a termination signal arrives. Then, unless the run is ending (false), asks
    // to be told about the next one and sets the scale state that goes with the image about
    // to be committed.
    bool BeginCommit();

private:
    struct Geometry {
        int width = 0, height = 0;        // buffer pixels
        int bufferScale = 1;              // wl_surface buffer scale (integer scaling)
        int viewWidth = 0, viewHeight = 0;  // viewport destination (fractional scaling); 0: none
    };

    explicit LayerSurface(std::shared_ptr<WaylandDisplay> display) : display_(std::move(display)) {}
    Geometry Wanted() const;
    static void OnConfigure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width,
                            std::uint32_t height);
    static void OnClosed(void* data, zwlr_layer_surface_v1* layer);
    static void OnEnter(void* data, wl_surface* surface, struct wl_output* output);
    static void OnLeave(void* data, wl_surface* surface, struct wl_output* output);
    static void OnPreferredScale(void* data, wp_fractional_scale_v1* scale, std::uint32_t scale120);
    static void OnFrameDone(void* data, wl_callback* callback, std::uint32_t time);

    std::shared_ptr<WaylandDisplay> display_;
    wl_surface* surface_ = nullptr;
    zwlr_layer_surface_v1* layer_ = nullptr;
    wp_fractional_scale_v1* fractional_ = nullptr;
    wp_viewport* viewport_ = nullptr;
    wl_egl_window* eglWindow_ = nullptr;
    wl_callback* frame_ = nullptr;  // the frame callback awaited; null when none is
    bool configured_ = false;
    bool closed_ = false;
    int logicalWidth_ = kFallbackWidth, logicalHeight_ = kFallbackHeight;
    int scale120_ = 120;   // fractional scale in 120ths
    const struct wl_output* output_ = nullptr;  // the output the surface is on (last entered)
    Geometry applied_;     // the geometry of the EGL window and the committed state
};
