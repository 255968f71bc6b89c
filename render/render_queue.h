#pragma once
// RenderQueue: a renderer that draws child renderers in a fixed drawing sequence. Children
// are held by shared handles; the order is decided when a child is inserted, never sorted.

#include "core/shared_ref.h"
#include "render/renderer.h"

#include <list>
#include <map>
#include <vector>

using RendererRef = SharedRef<Renderer>;

class RenderQueue : public Renderer {
public:
    ~RenderQueue() override;

    // Inserts child right before (drawBefore) or after nextTo; when nextTo is not a child,
    // before the current position (the end of the drawing order). False for a null child or
    // one already held.
    bool InsertChild(const RendererRef& child, Renderer* nextTo, bool drawBefore);
    bool RemoveChild(Renderer* child);
    bool Contains(Renderer* child) const { return index_.count(child) != 0; }
    int ChildCount() const { return int(sequence_.size()); }
    // Position in drawing order (0 first), -1 when not a child.
    int DrawingPosition(Renderer* child) const;
    // The children in drawing order.
    std::vector<Renderer*> Children() const;

    bool IsCompatible(const RendererDescription& description) override { return true; }
    // Draws every child in order; true.
    bool Draw() override;

private:
    std::list<RendererRef> sequence_;
    std::map<Renderer*, std::list<RendererRef>::iterator> index_;
};
