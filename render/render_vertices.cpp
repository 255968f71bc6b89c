#include "render/render_vertices.h"

#include "render/device_globals.h"
#include "render/render_state_cache.h"
#include "render/render_texture.h"

UINT PrimitiveCount(D3DPRIMITIVETYPE type, UINT count) {
    switch (type) {
        case D3DPT_POINTLIST: return count;
        case D3DPT_LINELIST: return count / 2;
        case D3DPT_LINESTRIP: return count >= 1 ? count - 1 : 0;
        case D3DPT_TRIANGLELIST: return count / 3;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN: return count >= 2 ? count - 2 : 0;
    }
    return 0;
}

bool RenderVertices::Assemble(const RendererDescription& description) {
    SetDescription(description);
    vertexBuffer_ = SharedRef<DynamicBatchBuffer>(new DynamicBatchBuffer());
    BufferDescription vertices = description.vertices;
    vertices.kind = kVertexBufferKind;
    if (!vertexBuffer_->Configure(vertices)) {
        vertexBuffer_.Reset();
        return false;
    }
    indexBuffer_.Reset();
    if (description.indices.size != 0 || description.indices.minimumSize != 0) {
        indexBuffer_ = SharedRef<DynamicBatchBuffer>(new DynamicBatchBuffer());
        BufferDescription indices = description.indices;
        indices.kind = kIndexBufferKind;
        if (!indexBuffer_->Configure(indices)) {
            vertexBuffer_.Reset();
            indexBuffer_.Reset();
            return false;
        }
    }
    return true;
}

bool RenderVertices::IsCompatible(const RendererDescription& description) {
    if (!description.vertices.Matches(vertices_) || !description.indices.Matches(indices_)) return false;
    return Renderer::IsCompatible(description);
}

bool RenderVertices::Absorb(Renderer* other) {
    auto* vertices = dynamic_cast<RenderVertices*>(other);
    if (vertices == nullptr || vertices == this) return true;
    RendererDescription description = vertices->Description();
    description.vertices.flags = kBufferPoolGiven | kBufferUsageGiven;
    description.indices.flags = kBufferPoolGiven | kBufferUsageGiven;
    if (IsCompatible(description)) vertices->Retire();
    return true;
}

bool RenderVertices::Bounds(D3DVECTOR* minimum, D3DVECTOR* maximum) {
    return vertexBuffer_ && vertexBuffer_->ComputeBounds(minimum, maximum);
}

namespace {

void SetAlphaStage(DWORD alphaMode) {
    struct Row {
        DWORD op, arg1, arg2;
        bool hasArg2;
    };
    static const Row kRows[] = {
        {D3DTOP_DISABLE, 0, 0, false},
        {D3DTOP_SELECTARG1, D3DTA_TFACTOR, 0, false},
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE, 0, false},
        {D3DTOP_SELECTARG1, D3DTA_DIFFUSE, 0, false},
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR, true},
        {D3DTOP_MODULATE, D3DTA_TFACTOR, D3DTA_DIFFUSE, true},
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, true},
    };
    if (alphaMode > 6) return;
    const Row& row = kRows[alphaMode];
    SetTextureStageStateCached(0, D3DTSS_ALPHAOP, row.op);
    if (alphaMode == 0) return;
    SetTextureStageStateCached(0, D3DTSS_ALPHAARG1, row.arg1);
    if (row.hasArg2) SetTextureStageStateCached(0, D3DTSS_ALPHAARG2, row.arg2);
}

}  // namespace

bool RenderVertices::Draw() {
    if (retired_) return true;
    IDirect3DDevice9* device = CurrentDevice();
    DynamicBatchBuffer* vb = vertexBuffer_.Get();
    if (device == nullptr || vb == nullptr || vb->VertexBuffer() == nullptr || vb->Stride() == 0) return false;
    const DWORD fvf = vb->Fvf();
    const RenderStateBlock& s = state_;

    if (s.depthMode == 1) {
        SetRenderStateCached(D3DRS_ZENABLE, TRUE);
        SetRenderStateCached(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    } else if (s.depthMode == 0) {
        SetRenderStateCached(D3DRS_ZENABLE, FALSE);
    }

    IDirect3DBaseTexture9* texture = s.texture != nullptr ? s.texture->Direct3DTexture() : nullptr;
    const bool textured = s.texture != nullptr;
    if (textured) {
        SetTextureCached(0, texture);
        SetTextureStageStateCached(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        SetSamplerStateCached(0, D3DSAMP_ADDRESSU, s.addressU);
        SetSamplerStateCached(0, D3DSAMP_ADDRESSV, s.addressV);
        SetSamplerStateCached(0, D3DSAMP_MAGFILTER, s.magFilter);
        SetSamplerStateCached(0, D3DSAMP_MINFILTER, s.minFilter);
        SetSamplerStateCached(0, D3DSAMP_MIPFILTER, s.mipFilter);
    } else {
        SetTextureCached(0, nullptr);
        SetTextureStageStateCached(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    }

    SetRenderStateCached(D3DRS_CULLMODE, s.twoSided ? D3DCULL_NONE : D3DCULL_CCW);

    bool modulate;
    if (IsLit() && (fvf & D3DFVF_NORMAL)) {
        SetRenderStateCached(D3DRS_LIGHTING, TRUE);
        SetRenderStateCached(D3DRS_COLORVERTEX, FALSE);
        modulate = textured;
    } else {
        SetRenderStateCached(D3DRS_LIGHTING, FALSE);
        SetRenderStateCached(D3DRS_COLORVERTEX, TRUE);
        modulate = textured && (fvf & D3DFVF_DIFFUSE);
    }
    if (modulate) {
        SetTextureStageStateCached(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        SetTextureStageStateCached(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    } else {
        SetTextureStageStateCached(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    }

    SetMaterialCached(s.material);

    if (s.alphaMode != 0 || s.blendType != 0) {
        SetRenderStateCached(D3DRS_ALPHABLENDENABLE, TRUE);
        SetRenderStateCached(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        SetRenderStateCached(D3DRS_DESTBLEND, s.blendType == 0 ? D3DBLEND_INVSRCALPHA : D3DBLEND_ONE);
    } else {
        SetRenderStateCached(D3DRS_ALPHABLENDENABLE, FALSE);
    }

    if (AlphaModeUsesFactor(s.alphaMode)) {
        float factor = s.alphaFactor < 0 ? 0 : (s.alphaFactor > 1 ? 1 : s.alphaFactor);
        SetRenderStateCached(D3DRS_TEXTUREFACTOR, DWORD(factor * 255.0f) << 24);
    }
    SetAlphaStage(s.alphaMode);
    if (s.alphaMode != 0) {
        SetRenderStateCached(D3DRS_ALPHAREF, 1);
        SetRenderStateCached(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        SetRenderStateCached(D3DRS_ALPHATESTENABLE, TRUE);
    } else {
        SetRenderStateCached(D3DRS_ALPHATESTENABLE, FALSE);
    }

    SetTransformCached(D3DTS_WORLD, world_);

    DynamicBatchBuffer* ib = indexBuffer_.Get();
    const bool indexed = ib != nullptr && ib->IndexBuffer() != nullptr;
    UINT vertexStart = 0, vertexLength = 0, indexStart = 0, indexLength = 0;
    vb->GetUsedRange(&vertexStart, &vertexLength);
    if (indexed) {
        ib->GetUsedRange(&indexStart, &indexLength);
        if (overrideLength_ != 0) {
            indexStart = overrideStart_;
            indexLength = overrideLength_;
        }
    } else if (overrideLength_ != 0) {
        vertexStart = overrideStart_;
        vertexLength = overrideLength_;
    }

    device->SetStreamSource(0, vb->VertexBuffer(), vertexStart, vb->Stride());
    device->SetFVF(fvf);
    DWORD fog = FALSE;
    const bool pretransformed = (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    const bool fogAround = pretransformed && GetRenderStateCached(D3DRS_FOGENABLE, &fog) && fog != FALSE;
    if (fogAround) SetRenderStateCached(D3DRS_FOGENABLE, FALSE);

    bool ok = true;
    const UINT vertexCount = vertexLength / vb->Stride();
    if (indexed) {
        device->SetIndices(ib->IndexBuffer());
        const UINT indexSize = ib->IndexFormat() == D3DFMT_INDEX16 ? 2 : 4;
        const UINT primitives = PrimitiveCount(primitiveType_, indexLength / indexSize);
        // The first index of the used span, so geometry after a freed block is still drawn.
        if (primitives != 0)
            ok = SUCCEEDED(device->DrawIndexedPrimitive(primitiveType_, 0, 0, vertexCount, indexStart / indexSize,
                                                        primitives));
    } else {
        const UINT primitives = PrimitiveCount(primitiveType_, vertexCount);
        if (primitives != 0) ok = SUCCEEDED(device->DrawPrimitive(primitiveType_, 0, primitives));
    }

    if (fogAround) SetRenderStateCached(D3DRS_FOGENABLE, TRUE);
    vb->CompactIfWasteful();
    if (ib != nullptr) ib->CompactIfWasteful();
    overrideStart_ = overrideLength_ = 0;
    return ok;
}
