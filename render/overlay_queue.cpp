#include "render/overlay_queue.h"

#include <algorithm>

void OverlayQueue::AddElement(OrderedItem* element) {
    if (element == nullptr) return;
    auto at = std::upper_bound(elements_.begin(), elements_.end(), element->OrderValue(),
                               [](int order, const OrderedItem* item) { return order < item->OrderValue(); });
    elements_.insert(at, element);
}

void OverlayQueue::RemoveElement(OrderedItem* element) {
    elements_.erase(std::remove(elements_.begin(), elements_.end(), element), elements_.end());
}

Renderer* OverlayQueue::InQueue(Renderer* renderer) const {
    // A renderer made inside an assembler counts as that assembler.
    for (Renderer* r = renderer; r != nullptr; r = r->Parent()) {
        if (queue_.Contains(r)) return r;
    }
    return nullptr;
}

Renderer* OverlayQueue::SubtreeRenderer(const OrderedItem* item, int order, bool above, bool lastDrawn) const {
    Renderer* best = nullptr;
    int bestPosition = 0;
    auto visit = [&](auto&& self, const OrderedItem* node) -> void {
        if ((node->OrderValue() > order) == above) {
            std::vector<Renderer*> renderers;
            node->ListRenderers(renderers);
            for (Renderer* renderer : renderers) {
                Renderer* queued = InQueue(renderer);
                if (queued == nullptr) continue;
                int position = queue_.DrawingPosition(queued);
                if (best == nullptr || (lastDrawn ? position > bestPosition : position < bestPosition)) {
                    best = queued;
                    bestPosition = position;
                }
            }
        }
        for (int i = 0; i < node->ChildCount(); ++i) {
            if (const OrderedItem* child = node->ChildAt(i)) self(self, child);
        }
    };
    visit(visit, item);
    return best;
}

RendererRef OverlayQueue::AcquireRenderer(OrderedItem* element, const RendererDescription& description) {
    if (element == nullptr) return RendererRef();
    const int order = element->OrderValue();
    auto position = std::upper_bound(elements_.begin(), elements_.end(), order,
                                     [](int value, const OrderedItem* item) { return value < item->OrderValue(); });
    Renderer* above = nullptr;
    for (auto it = position; it != elements_.end() && above == nullptr; ++it)
        above = SubtreeRenderer(*it, order, true, true);
    Renderer* below = nullptr;
    for (auto it = position; it != elements_.begin() && below == nullptr;) {
        --it;
        below = SubtreeRenderer(*it, order, false, false);
    }

    // Only a neighbour's assembler that already holds vertices of this state is joined: a
    // new state inside it would be drawn at the assembler's place, not between the
    // neighbours. A neighbour's own renderer (standalone) is passed over.
    for (Renderer* candidate : {below, above}) {
        if (candidate == nullptr || candidate->IsRetired() || description.standalone) continue;
        auto* assembler = dynamic_cast<RendererAssembler*>(candidate);
        if (assembler == nullptr || !assembler->IsCompatible(description)) continue;
        RendererRef found = assembler->FindOrCreate(description, false);
        if (AsVertices(found) != nullptr) return found;
    }

    RendererRef made;
    RendererRef result;
    if (description.standalone) {
        auto* vertices = new RenderVertices();
        made = RendererRef(vertices);
        if (!vertices->Assemble(description)) return RendererRef();
        result = made;
    } else {
        auto* assembler = new RendererAssembler();
        made = RendererRef(assembler);
        result = assembler->FindOrCreate(description, true);
        if (!result) return RendererRef();
    }

    if (below != nullptr) {
        // Between two halves of one renderer: it regroups around the new element.
        if (below == above) below->Retire();
        queue_.InsertChild(made, below, true);
    } else if (above != nullptr) {
        queue_.InsertChild(made, above, false);
    } else {
        queue_.InsertChild(made, nullptr, true);
    }
    return result;
}
