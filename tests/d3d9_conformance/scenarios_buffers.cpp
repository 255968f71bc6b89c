// Vertex and index buffers as the engine fills them: dynamic with DISCARD and NOOVERWRITE,
// indexed draws with a base vertex index.

#include "scenario_support.h"

#include <cmath>
#include <cstring>

namespace {

// A quad of four RHW vertices at cell (col, row) of an 8 x 8 grid of 32-pixel cells.
void CellQuad(RhwVertex* out, int col, int row, D3DCOLOR color) {
    const float x = col * 32.0f + 2, y = row * 32.0f + 2;
    out[0] = {x, y, 0.5f, 1, color};
    out[1] = {x + 28, y, 0.5f, 1, color};
    out[2] = {x + 28, y + 28, 0.5f, 1, color};
    out[3] = {x, y + 28, 0.5f, 1, color};
}

}  // namespace

FV_SCENARIO(buffer_dynamic_discard_nooverwrite) {
    // A ring of batches: each appended with NOOVERWRITE after the previous one's draw, the
    // buffer DISCARDed when full, like the engine's batch buffers.
    IDirect3DDevice9* device = run.Device();
    const UINT capacity = 6 * 5;  // five quads as triangle lists
    IDirect3DVertexBuffer9* buffer = nullptr;
    if (!run.Ok(device->CreateVertexBuffer(capacity * sizeof(RhwVertex), D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY,
                                           kRhwFvf, D3DPOOL_DEFAULT, &buffer, nullptr),
                "CreateVertexBuffer"))
        return;
    device->SetFVF(kRhwFvf);
    device->SetStreamSource(0, buffer, 0, sizeof(RhwVertex));
    UINT used = 0;
    for (int i = 0; i < 23; ++i) {
        const DWORD flags = used + 6 > capacity ? D3DLOCK_DISCARD : D3DLOCK_NOOVERWRITE;
        if (flags == D3DLOCK_DISCARD) used = 0;
        void* data = nullptr;
        if (!run.Ok(buffer->Lock(used * sizeof(RhwVertex), 6 * sizeof(RhwVertex), &data, flags), "Lock")) break;
        RhwVertex quad[4];
        CellQuad(quad, i % 8, i / 8 * 2 + (i & 1), D3DCOLOR_XRGB(40 + i * 9, 255 - i * 9, 120));
        const RhwVertex list[6] = {quad[0], quad[1], quad[2], quad[0], quad[2], quad[3]};
        std::memcpy(data, list, sizeof list);
        buffer->Unlock();
        run.Ok(device->DrawPrimitive(D3DPT_TRIANGLELIST, used, 2), "DrawPrimitive");
        used += 6;
    }
    device->SetStreamSource(0, nullptr, 0, 0);
    buffer->Release();
}

FV_SCENARIO(buffer_indexed_base_vertex) {
    // One static vertex buffer holding several quads; one 16-bit and one 32-bit index buffer
    // holding the indices of a single quad, drawn at each quad through the base vertex index.
    IDirect3DDevice9* device = run.Device();
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9 *indices16 = nullptr, *indices32 = nullptr;
    const int quads = 16;
    if (!run.Ok(device->CreateVertexBuffer(quads * 4 * sizeof(RhwVertex), D3DUSAGE_WRITEONLY, kRhwFvf,
                                           D3DPOOL_MANAGED, &vertices, nullptr),
                "CreateVertexBuffer") ||
        !run.Ok(device->CreateIndexBuffer(12 * sizeof(WORD), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                          &indices16, nullptr),
                "CreateIndexBuffer") ||
        !run.Ok(device->CreateIndexBuffer(6 * sizeof(DWORD), D3DUSAGE_WRITEONLY, D3DFMT_INDEX32, D3DPOOL_MANAGED,
                                          &indices32, nullptr),
                "CreateIndexBuffer")) {
        if (vertices) vertices->Release();
        if (indices16) indices16->Release();
        return;
    }
    void* data = nullptr;
    if (run.Ok(vertices->Lock(0, 0, &data, 0), "Lock")) {
        auto* v = static_cast<RhwVertex*>(data);
        for (int q = 0; q < quads; ++q) CellQuad(v + q * 4, q % 8, q / 8 * 3, D3DCOLOR_XRGB(255 - q * 12, 80 + q * 10, q * 15));
        vertices->Unlock();
    }
    // Two index sets: the quad's six indices at start 0, and again at start 6.
    if (run.Ok(indices16->Lock(0, 0, &data, 0), "Lock")) {
        const WORD ix[12] = {0, 1, 2, 0, 2, 3, 0, 1, 3, 3, 1, 2};
        std::memcpy(data, ix, sizeof ix);
        indices16->Unlock();
    }
    if (run.Ok(indices32->Lock(0, 0, &data, 0), "Lock")) {
        const DWORD ix[6] = {0, 1, 2, 0, 2, 3};
        std::memcpy(data, ix, sizeof ix);
        indices32->Unlock();
    }
    device->SetFVF(kRhwFvf);
    device->SetStreamSource(0, vertices, 0, sizeof(RhwVertex));
    device->SetIndices(indices16);
    for (int q = 0; q < 8; ++q)
        run.Ok(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, q * 4, 0, 4, (q & 1) * 6, 2), "DrawIndexedPrimitive");
    device->SetIndices(indices32);
    for (int q = 8; q < quads; q += 2)
        run.Ok(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, q * 4, 0, 4, 0, 2), "DrawIndexedPrimitive");
    // A stream offset on top of the base vertex index.
    device->SetStreamSource(0, vertices, 4 * sizeof(RhwVertex), sizeof(RhwVertex));
    run.Ok(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 10, 0, 4, 0, 2), "DrawIndexedPrimitive");
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    vertices->Release();
    indices16->Release();
    indices32->Release();
}

FV_SCENARIO(primitive_types) {
    // Strips, fans, lines and points from one vertex array.
    IDirect3DDevice9* device = run.Device();
    device->SetFVF(kRhwFvf);
    RhwVertex strip[8], fan[8], lines[8];
    for (int i = 0; i < 8; ++i) {
        strip[i] = {16.0f + i * 30, (i & 1) ? 80.0f : 16.0f, 0.5f, 1, D3DCOLOR_XRGB(255, i * 30, 60)};
        const float angle = float(i) * 0.4f;
        fan[i] = {i == 0 ? 64.0f : 64 + 56 * std::cos(angle), i == 0 ? 160.0f : 160 + 56 * std::sin(angle), 0.5f, 1,
                  D3DCOLOR_XRGB(60, 200, i * 30)};
        lines[i] = {140.0f + i * 14, 100.0f + (i & 1) * 60 + i * 3.5f, 0.5f, 1, 0xFFFFFFFF};
    }
    run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 6, strip, sizeof(RhwVertex)), "DrawPrimitiveUP");
    run.Ok(device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 6, fan, sizeof(RhwVertex)), "DrawPrimitiveUP");
    run.Ok(device->DrawPrimitiveUP(D3DPT_LINELIST, 4, lines, sizeof(RhwVertex)), "DrawPrimitiveUP");
    for (RhwVertex& v : lines) v.y += 70;
    run.Ok(device->DrawPrimitiveUP(D3DPT_LINESTRIP, 7, lines, sizeof(RhwVertex)), "DrawPrimitiveUP");
    for (RhwVertex& v : lines) v.y += 30;
    run.Ok(device->DrawPrimitiveUP(D3DPT_POINTLIST, 8, lines, sizeof(RhwVertex)), "DrawPrimitiveUP");
}

FV_SCENARIO(buffer_partial_updates) {
    // A managed vertex buffer and a texture changed in part after they were drawn once.
    IDirect3DDevice9* device = run.Device();
    IDirect3DVertexBuffer9* buffer = nullptr;
    if (!run.Ok(device->CreateVertexBuffer(8 * 4 * sizeof(RhwVertex), D3DUSAGE_WRITEONLY, kRhwFvf, D3DPOOL_MANAGED,
                                           &buffer, nullptr),
                "CreateVertexBuffer"))
        return;
    void* data = nullptr;
    if (run.Ok(buffer->Lock(0, 0, &data, 0), "Lock")) {
        for (int q = 0; q < 8; ++q) CellQuad(static_cast<RhwVertex*>(data) + q * 4, q, 0, 0xFF808080);
        buffer->Unlock();
    }
    device->SetFVF(kRhwFvf);
    device->SetStreamSource(0, buffer, 0, sizeof(RhwVertex));
    for (int q = 0; q < 8; ++q) run.Ok(device->DrawPrimitive(D3DPT_TRIANGLEFAN, q * 4, 2), "DrawPrimitive");
    // Quads 2..4 recoloured and moved down one row through a sub-range lock.
    if (run.Ok(buffer->Lock(2 * 4 * sizeof(RhwVertex), 3 * 4 * sizeof(RhwVertex), &data, 0), "Lock")) {
        for (int q = 0; q < 3; ++q) CellQuad(static_cast<RhwVertex*>(data) + q * 4, q + 2, 1, 0xFFE06020);
        buffer->Unlock();
    }
    for (int q = 0; q < 8; ++q) run.Ok(device->DrawPrimitive(D3DPT_TRIANGLEFAN, q * 4, 2), "DrawPrimitive");
    device->SetStreamSource(0, nullptr, 0, 0);
    buffer->Release();
    // A texture drawn, then a rectangle of it rewritten and drawn again.
    IDirect3DTexture9* texture = MakeTexture(run, 8, 8, 1, D3DFMT_A8R8G8B8, [](int, int x, int y) {
        return 0xFF000000u | (std::uint32_t(x) * 32 << 16) | (std::uint32_t(y) * 32);
    });
    if (!texture) return;
    device->SetTexture(0, texture);
    DrawRhwTexQuad(run, 0, 96, 128, 224, 0, 0, 1, 1);
    D3DLOCKED_RECT locked{};
    const RECT rect = {2, 3, 6, 5};
    if (run.Ok(texture->LockRect(0, &locked, &rect, 0), "LockRect")) {
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x)
                static_cast<std::uint32_t*>(static_cast<void*>(static_cast<char*>(locked.pBits) + y * locked.Pitch))[x] =
                    0xFF20FF20u;
        texture->UnlockRect(0);
    }
    DrawRhwTexQuad(run, 128, 96, 256, 224, 0, 0, 1, 1);
    device->SetTexture(0, nullptr);
    texture->Release();
}
