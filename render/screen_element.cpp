#include "render/screen_element.h"

#include <algorithm>

Window::~Window() {
    geometry_.Clear();
    if (root_ != nullptr) {
        root_->Cancel(this);
        if (attached_) root_->Queue().RemoveElement(this);
    }
    if (parent_ != nullptr) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    for (Window* child : children_) child->parent_ = nullptr;
}

OverlayRoot* Window::Root() const {
    const Window* top = this;
    while (top->parent_ != nullptr) top = top->parent_;
    return top->root_;
}

void Window::MarkTreeDirty() {
    MarkDirty(true);
    for (Window* child : children_) child->MarkTreeDirty();
}

void Window::SetRect(int x, int y, int width, int height) {
    width = std::clamp(width, kMinimumSize, kMaximumSize);
    height = std::clamp(height, kMinimumSize, kMaximumSize);
    const bool changed = x != x_ || y != y_ || width != width_ || height != height_;
    x_ = x;
    y_ = y;
    width_ = width;
    height_ = height;
    if (changed) MarkTreeDirty();
}

void Window::SetSize(int width, int height) {
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
}

void Window::Move(int x, int y) {
    x_ = x;
    y_ = y;
}

void Window::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    MarkDirty(true);
}

void Window::SetAlphaMode(DWORD mode) {
    if (mode != alphaMode_) geometry_.Clear();
    MarkDirty(true);
    alphaMode_ = mode;
}

void Window::SetAlphaFactor(float factor) {
    if (alphaMode_ == 1 && geometry_.ApplyAlphaFactor(factor)) MarkDirty(true);
    alphaFactor_ = factor;
}

void Window::MarkDirty(bool dirty) {
    dirty_ = dirty;
    OverlayRoot* root = Root();
    if (root == nullptr) return;
    if (dirty) root->Schedule(this);
    else root->Cancel(this);
}

bool Window::HasPendingTask() const {
    const OverlayRoot* root = Root();
    return root != nullptr && root->IsScheduled(this);
}

bool Window::Attach(OverlayRoot& root) {
    if (attached_ || parent_ != nullptr) {
        MarkDirty(true);
        return true;
    }
    int order = 0;
    if (!root.TakeOrder(orderSpan_, order)) return false;
    order_ = order;
    root_ = &root;
    attached_ = true;
    root.Queue().AddElement(this);
    MarkDirty(true);
    return true;
}

void Window::AddChild(Window* child) {
    if (child == nullptr || child == this || child->parent_ != nullptr || child->attached_) return;
    child->parent_ = this;
    children_.push_back(child);
    child->MarkTreeDirty();
}

void Window::ScreenRect(ScreenBox& screen, ScreenBox& clip) const {
    if (parent_ == nullptr) {
        screen = clip = ScreenBox{x_, y_, width_, height_};
        return;
    }
    ScreenBox parentScreen, parentClip;
    parent_->ScreenRect(parentScreen, parentClip);
    screen = ScreenBox{parentScreen.left + x_, parentScreen.top + y_, width_, height_};
    clip = ClipRectangle(screen, parentClip, true);
}

float Window::Depth() const { return attached_ ? OverlayRoot::DepthOf(order_) : 0.0f; }

bool Window::Rebuild() {
    if (dirty_) {
        if (!RebuildContent()) return false;
        MarkDirty(false);
    }
    bool ok = true;
    for (Window* child : children_) ok = child->Rebuild() && ok;
    return ok;
}

bool Window::Relocate(BufferBlock*) {
    MarkDirty(true);
    return true;
}

bool Window::UpdateGeometry(const std::vector<TextureTriangles>& requests) {
    OverlayRoot* root = Root();
    if (root == nullptr) return false;
    RenderStateBlock base;
    base.alphaMode = alphaMode_;
    base.alphaFactor = alphaFactor_;
    return geometry_.Rebuild(root->Queue(), this, this, base, requests);
}
