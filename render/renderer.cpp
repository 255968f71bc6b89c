#include "render/renderer.h"

D3DMATRIX IdentityMatrix() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

bool Renderer::QueryInterface(const String& name, Interface** out) {
    if (name.Equals("Renderer")) {
        *out = this;
        return true;
    }
    return Interface::QueryInterface(name, out);
}

bool Renderer::IsCompatible(const RendererDescription& description) {
    return !retired_ && state_.SharesWith(description.state) && primitiveType_ == description.primitiveType;
}

RendererDescription Renderer::Description() const {
    RendererDescription description;
    description.state = state_;
    description.vertices = vertices_;
    description.indices = indices_;
    description.primitiveType = primitiveType_;
    description.world = world_;
    description.kind = kind_;
    return description;
}

void Renderer::SetDescription(const RendererDescription& description) {
    state_ = description.state;
    vertices_ = description.vertices;
    indices_ = description.indices;
    primitiveType_ = description.primitiveType;
    world_ = description.world;
    kind_ = description.kind;
}
