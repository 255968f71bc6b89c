#pragma once
// Renderer: the base of every drawable batch. It carries the state block, the two buffer
// descriptions, the primitive type, the world matrix, a lit flag, the retired flag and the
// assembler that made it. A retired renderer takes no new geometry and draws nothing; it is
// never un-retired.

#include "core/object.h"
#include "render/renderer_description.h"

class Renderer : public Interface {
public:
    Renderer() = default;

    bool QueryInterface(const String& name, Interface** out) override;

    // The box of the geometry; false when unknown.
    virtual bool Bounds(D3DVECTOR* minimum, D3DVECTOR* maximum) { return false; }
    virtual bool Absorb(Renderer* other) { return false; }
    // Not retired, equal state block (as batching compares it), equal primitive type.
    virtual bool IsCompatible(const RendererDescription& description);
    virtual bool IsReady() { return true; }
    virtual bool Draw() { return true; }
    virtual void Retire() { retired_ = true; }

    bool IsRetired() const { return retired_; }
    // The description this renderer answers to (state, buffers, type, world, kind).
    RendererDescription Description() const;
    void SetDescription(const RendererDescription& description);

    const RenderStateBlock& State() const { return state_; }
    RenderStateBlock& MutableState() { return state_; }
    const BufferDescription& VertexLayout() const { return vertices_; }
    const BufferDescription& IndexLayout() const { return indices_; }
    D3DPRIMITIVETYPE PrimitiveType() const { return primitiveType_; }
    const D3DMATRIX& World() const { return world_; }
    void SetWorld(const D3DMATRIX& world) { world_ = world; }
    bool IsLit() const { return (flags_ & 1) != 0; }
    void SetLit(bool lit) { flags_ = lit ? (flags_ | 1) : (flags_ & ~DWORD(1)); }
    Renderer* Parent() const { return parent_; }
    void SetParent(Renderer* parent) { parent_ = parent; }

protected:
    RenderStateBlock state_;
    BufferDescription vertices_ = VertexDescription(0, 0);
    BufferDescription indices_ = IndexDescription(0);
    D3DPRIMITIVETYPE primitiveType_ = D3DPT_TRIANGLELIST;
    D3DMATRIX world_ = IdentityMatrix();
    DWORD kind_ = kVertexGeometryKind;
    DWORD flags_ = 0;
    bool retired_ = false;
    Renderer* parent_ = nullptr;
};
