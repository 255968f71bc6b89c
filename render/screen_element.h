#pragma once
// Window: a screen element, a rectangle in client pixels drawn over the scene. Elements never
// draw themselves: when marked dirty they schedule one rebuild task with the overlay root,
// and the rebuild writes pre-transformed triangles into blocks of the root's shared batches
// (one renderer and block per texture), which the root draws after the scene.
//
// Children are not owned; they belong to the element's owner and share its root.

#include "render/overlay_root.h"
#include "render/rect_clip.h"
#include "render/render_state_block.h"
#include "render/texture_geometry.h"

#include <vector>

class Window : public OrderedItem, public BufferClient {
public:
    static constexpr int kMinimumSize = 1;
    static constexpr int kMaximumSize = 2000;

    Window() = default;
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Position as given; width and height clamped to the minimum and maximum size. An
    // element whose rectangle changes is marked dirty with its children.
    void SetRect(int x, int y, int width, int height);
    // Each value raised to at least 1; the caller marks the element dirty.
    void SetSize(int width, int height);
    // The position only; the caller marks the element dirty.
    void Move(int x, int y);
    int X() const { return x_; }
    int Y() const { return y_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    void SetVisible(bool visible);
    bool IsVisible() const { return visible_; }
    // A new mode releases every renderer (the next rebuild acquires ones in that mode).
    void SetAlphaMode(DWORD mode);
    // In alpha mode 1 the element's constant-alpha renderers take the factor at once and
    // any other renderer is retired; the factor is stored in every case.
    void SetAlphaFactor(float factor);
    DWORD AlphaMode() const { return alphaMode_; }
    float AlphaFactor() const { return alphaFactor_; }

    // true: dirty, with one rebuild task scheduled (once attached); false: clean, no task.
    void MarkDirty(bool dirty);
    bool IsDirty() const { return dirty_; }
    bool HasPendingTask() const;

    // Enters the element into the root's list with an order value of its own. An element
    // already attached, or a child, is done. False when the root's range has no room.
    bool Attach(OverlayRoot& root);
    void AddChild(Window* child);
    bool IsAttached() const { return attached_; }

    // Screen rectangle and clip rectangle, both as (x, y, width, height): a child sits at
    // its parent's screen position plus its own and is clipped to the parent's clip.
    void ScreenRect(ScreenBox& screen, ScreenBox& clip) const;
    // z of the element: its order value's place in the root's range; 0 when not attached.
    float Depth() const;

    // The rebuild task: a dirty element rebuilds its content, becomes clean, then every
    // child rebuilds. True when all of that succeeded.
    bool Rebuild();

    int OrderValue() const override { return order_; }
    void ListRenderers(std::vector<Renderer*>& out) const override { geometry_.ListRenderers(out); }
    int ChildCount() const override { return int(children_.size()); }
    OrderedItem* ChildAt(int index) const override { return children_[std::size_t(index)]; }
    // A block moved or its buffer was made again: the content is written anew.
    bool Relocate(BufferBlock* block) override;

protected:
    // Writes the element's geometry; false keeps the element dirty. A plain element has none.
    virtual bool RebuildContent() { return true; }
    // Makes the per-texture blocks fit the request (triangle counts per texture).
    bool UpdateGeometry(const std::vector<TextureTriangles>& requests);
    const TextureGeometry& Geometry() const { return geometry_; }

private:
    OverlayRoot* Root() const;
    void MarkTreeDirty();

    int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
    Window* parent_ = nullptr;
    std::vector<Window*> children_;
    int orderSpan_ = 1;
    int order_ = 0;
    OverlayRoot* root_ = nullptr;  // set by Attach (top-level elements)
    bool attached_ = false;
    DWORD alphaMode_ = 0;
    float alphaFactor_ = 1.0f;
    bool visible_ = true;
    bool dirty_ = true;
    TextureGeometry geometry_;
};
