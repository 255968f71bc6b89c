#pragma once
// OverlayQueue: the render queue of the overlay root. Ordered elements get their renderers
// here so that geometry of neighbouring elements shares batches without breaking the
// drawing order: elements with higher order values are drawn first, lower ones on top.

#include "render/renderer_assembler.h"

#include <vector>

// What the queue needs of a screen element: its order value, its children, and the
// renderers the element itself draws with.
class OrderedItem : public virtual Object {
public:
    virtual int OrderValue() const = 0;
    virtual void ListRenderers(std::vector<Renderer*>& out) const = 0;
    virtual int ChildCount() const { return 0; }
    virtual OrderedItem* ChildAt(int index) const { return nullptr; }
};

class OverlayQueue {
public:
    // Keeps the elements sorted ascending by order value (an equal value goes after).
    void AddElement(OrderedItem* element);
    void RemoveElement(OrderedItem* element);
    const std::vector<OrderedItem*>& Elements() const { return elements_; }

    // A RenderVertices for the element's geometry: from the neighbour below or above when
    // compatible, otherwise a new one placed between them. Empty on failure.
    RendererRef AcquireRenderer(OrderedItem* element, const RendererDescription& description);

    RenderQueue& Queue() { return queue_; }
    bool Draw() { return queue_.Draw(); }

private:
    // The root-queue renderer a subtree uses that is drawn last (lastDrawn) or first, among
    // nodes whose order is above (or not above) the given one; null when none.
    Renderer* SubtreeRenderer(const OrderedItem* item, int order, bool above, bool lastDrawn) const;
    Renderer* InQueue(Renderer* renderer) const;

    RenderQueue queue_;
    std::vector<OrderedItem*> elements_;
};
