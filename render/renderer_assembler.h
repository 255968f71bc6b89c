#pragma once
// RendererAssembler: a renderer holding RenderVertices children that share one render state
// family; for a requested description it hands out a compatible child or assembles a new
// one. Children are drawn once each; their order carries no meaning.

#include "render/render_queue.h"
#include "render/render_vertices.h"

class RendererAssembler : public Renderer {
public:
    ~RendererAssembler() override;

    // The first compatible child; else, with create and a kind-1 description, a newly
    // assembled child (empty handle when assembling fails). The handle holds a RenderVertices.
    RendererRef FindOrCreate(const RendererDescription& description, bool create);
    // Takes over the children of another assembler: a child compatible with one here is
    // retired (its clients move at their next rebuild), any other joins this assembler.
    bool Absorb(Renderer* other) override;
    // Kind 1 and not standalone.
    bool IsCompatible(const RendererDescription& description) override;
    // Each child once; false at the first child that fails.
    bool Draw() override;
    // Retires this assembler and every child.
    void Retire() override;

    bool Contains(Renderer* child) const;
    int ChildCount() const { return int(children_.size()); }
    std::vector<Renderer*> Children() const;

private:
    void Add(const RendererRef& child);

    std::list<RendererRef> children_;
    std::map<Renderer*, std::list<RendererRef>::iterator> index_;
};

// The RenderVertices a handle holds, or null.
RenderVertices* AsVertices(const RendererRef& renderer);
