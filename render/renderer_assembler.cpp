#include "render/renderer_assembler.h"

RenderVertices* AsVertices(const RendererRef& renderer) { return dynamic_cast<RenderVertices*>(renderer.Get()); }

RendererAssembler::~RendererAssembler() {
    index_.clear();
    children_.clear();
}

void RendererAssembler::Add(const RendererRef& child) {
    if (!child || Contains(child.Get())) return;
    child->SetParent(this);
    index_[child.Get()] = children_.insert(children_.end(), child);
}

bool RendererAssembler::Contains(Renderer* child) const { return index_.count(child) != 0; }

std::vector<Renderer*> RendererAssembler::Children() const {
    std::vector<Renderer*> children;
    for (const RendererRef& ref : children_) children.push_back(ref.Get());
    return children;
}

RendererRef RendererAssembler::FindOrCreate(const RendererDescription& description, bool create) {
    for (const RendererRef& child : children_) {
        if (child->IsCompatible(description)) return child;
    }
    if (!create || description.kind != kVertexGeometryKind) return RendererRef();
    auto* vertices = new RenderVertices();
    RendererRef made(vertices);
    if (!vertices->Assemble(description)) return RendererRef();
    Add(made);
    return made;
}

bool RendererAssembler::Absorb(Renderer* other) {
    auto* assembler = dynamic_cast<RendererAssembler*>(other);
    if (assembler == nullptr || assembler == this) return false;
    while (!assembler->children_.empty()) {
        RendererRef child = assembler->children_.front();
        assembler->children_.pop_front();
        assembler->index_.erase(child.Get());
        auto* vertices = AsVertices(child);
        if (vertices == nullptr) continue;
        RendererDescription description = vertices->Description();
        description.vertices.flags = kBufferPoolGiven | kBufferUsageGiven;
        description.indices.flags = kBufferPoolGiven | kBufferUsageGiven;
        if (FindOrCreate(description, false)) vertices->Retire();
        else Add(child);
    }
    return true;
}

bool RendererAssembler::IsCompatible(const RendererDescription& description) {
    return description.kind == kVertexGeometryKind && !description.standalone;
}

bool RendererAssembler::Draw() {
    if (retired_) return true;
    for (const RendererRef& child : children_) {
        if (!child->Draw()) return false;
    }
    return true;
}

void RendererAssembler::Retire() {
    retired_ = true;
    for (const RendererRef& child : children_) child->Retire();
}
