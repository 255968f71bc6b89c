#include "render/render_queue.h"

RenderQueue::~RenderQueue() {
    index_.clear();
    sequence_.clear();
}

bool RenderQueue::InsertChild(const RendererRef& child, Renderer* nextTo, bool drawBefore) {
    if (!child || Contains(child.Get())) return false;
    auto at = sequence_.end();
    auto found = nextTo != nullptr ? index_.find(nextTo) : index_.end();
    if (found != index_.end()) {
        at = found->second;
        if (!drawBefore) ++at;
    }
    index_[child.Get()] = sequence_.insert(at, child);
    return true;
}

bool RenderQueue::RemoveChild(Renderer* child) {
    auto found = index_.find(child);
    if (found == index_.end()) return false;
    RendererRef keep = *found->second;  // the child may hold the last handle of itself
    sequence_.erase(found->second);
    index_.erase(found);
    return true;
}

int RenderQueue::DrawingPosition(Renderer* child) const {
    if (!Contains(child)) return -1;
    int position = 0;
    for (const RendererRef& ref : sequence_) {
        if (ref.Get() == child) return position;
        ++position;
    }
    return -1;
}

std::vector<Renderer*> RenderQueue::Children() const {
    std::vector<Renderer*> children;
    for (const RendererRef& ref : sequence_) children.push_back(ref.Get());
    return children;
}

bool RenderQueue::Draw() {
    if (retired_) return true;
    for (const RendererRef& ref : sequence_) ref->Draw();
    return true;
}
