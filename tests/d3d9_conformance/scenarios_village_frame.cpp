// One real frame: the calls of a frame of the village captured by conformance_capture, with
// the states, textures and vertices they use, replayed from the frame file that FV_FRAME_FILE
// names. Buffer draws are replayed from one dynamic vertex buffer (and index buffer) refilled
// with DISCARD before each draw, holding just the vertices the draw reads.

#include "scenario_support.h"

#include "platform/d3d9/frame_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

template <class T>
T FromWords(const std::vector<std::uint32_t>& words, std::size_t first) {
    static_assert(sizeof(T) % 4 == 0, "whole words");
    T value;
    std::memcpy(&value, &words[first], sizeof value);
    return value;
}

bool ReadFrame(ScenarioRun& run, FrameFile& frame) {
    const char* path = std::getenv("FV_FRAME_FILE");
    std::FILE* in = path ? std::fopen(path, "rb") : nullptr;
    if (!in) return run.Ok(E_FAIL, "opening the frame file named by FV_FRAME_FILE");
    std::vector<std::uint8_t> bytes;
    std::uint8_t block[65536];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;) bytes.insert(bytes.end(), block, block + got);
    std::fclose(in);
    std::string error;
    if (!DecodeFrameFile(bytes.data(), bytes.size(), frame, error))
        return run.Ok(E_FAIL, ("reading the frame file: " + error).c_str());
    if (frame.width != kTargetSize || frame.height != kTargetSize) return run.Ok(E_FAIL, "frame size");
    return true;
}

class Replayer {
public:
    explicit Replayer(ScenarioRun& run) : run_(run), device_(run.Device()) {}
    ~Replayer() {
        for (DWORD stage = 0; stage < 8; ++stage) device_->SetTexture(stage, nullptr);
        device_->SetStreamSource(0, nullptr, 0, 0);
        device_->SetIndices(nullptr);
        for (auto& [id, texture] : textures_) texture->Release();
        if (vertices_) vertices_->Release();
        for (IDirect3DIndexBuffer9* indices : indices_)
            if (indices) indices->Release();
    }

    // Buffers as large as the largest draw asks for.
    bool MakeBuffers(const FrameFile& frame) {
        UINT vertexBytes = 0, indexBytes[2] = {0, 0};
        for (const FrameOp& op : frame.ops) {
            if (op.kind != FrameOpKind::Draw || op.words[0] == std::uint32_t(FrameDrawCall::PrimitiveUP)) continue;
            vertexBytes = std::max(vertexBytes, UINT(op.bytes.size()));
            if (op.words[5]) indexBytes[op.words[5] / 4] = std::max(indexBytes[op.words[5] / 4], UINT(op.indices.size()));
        }
        const DWORD usage = D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY;
        if (vertexBytes &&
            !run_.Ok(device_->CreateVertexBuffer(vertexBytes, usage, 0, D3DPOOL_DEFAULT, &vertices_, nullptr),
                     "CreateVertexBuffer"))
            return false;
        for (int i = 0; i < 2; ++i)
            if (indexBytes[i] &&
                !run_.Ok(device_->CreateIndexBuffer(indexBytes[i], usage, i ? D3DFMT_INDEX32 : D3DFMT_INDEX16,
                                                    D3DPOOL_DEFAULT, &indices_[i], nullptr),
                         "CreateIndexBuffer"))
                return false;
        return true;
    }

    void Replay(const FrameOp& op) {
        const std::vector<std::uint32_t>& w = op.words;
        switch (op.kind) {
        case FrameOpKind::RenderState:
            run_.Ok(device_->SetRenderState(D3DRENDERSTATETYPE(w[0]), w[1]), "SetRenderState");
            break;
        case FrameOpKind::StageState:
            run_.Ok(device_->SetTextureStageState(w[0], D3DTEXTURESTAGESTATETYPE(w[1]), w[2]), "SetTextureStageState");
            break;
        case FrameOpKind::SamplerState:
            run_.Ok(device_->SetSamplerState(w[0], D3DSAMPLERSTATETYPE(w[1]), w[2]), "SetSamplerState");
            break;
        case FrameOpKind::Transform: {
            const D3DMATRIX matrix = FromWords<D3DMATRIX>(w, 1);
            run_.Ok(device_->SetTransform(D3DTRANSFORMSTATETYPE(w[0]), &matrix), "SetTransform");
            break;
        }
        case FrameOpKind::Viewport: {
            const D3DVIEWPORT9 viewport = FromWords<D3DVIEWPORT9>(w, 0);
            run_.Ok(device_->SetViewport(&viewport), "SetViewport");
            break;
        }
        case FrameOpKind::Material: {
            const D3DMATERIAL9 material = FromWords<D3DMATERIAL9>(w, 0);
            run_.Ok(device_->SetMaterial(&material), "SetMaterial");
            break;
        }
        case FrameOpKind::Light: {
            const D3DLIGHT9 light = FromWords<D3DLIGHT9>(w, 1);
            run_.Ok(device_->SetLight(w[0], &light), "SetLight");
            break;
        }
        case FrameOpKind::LightEnable:
            run_.Ok(device_->LightEnable(w[0], w[1] ? TRUE : FALSE), "LightEnable");
            break;
        case FrameOpKind::Fvf:
            run_.Ok(device_->SetFVF(w[0]), "SetFVF");
            break;
        case FrameOpKind::Texture:
            run_.Ok(device_->SetTexture(w[0], w[1] ? textures_[w[1]] : nullptr), "SetTexture");
            break;
        case FrameOpKind::TextureData:
            MakeTexture(op);
            break;
        case FrameOpKind::Clear: {
            std::vector<D3DRECT> rects(w[4]);
            if (!rects.empty()) std::memcpy(rects.data(), op.bytes.data(), op.bytes.size());
            float z;
            std::memcpy(&z, &w[2], sizeof z);
            run_.Ok(device_->Clear(w[4], rects.empty() ? nullptr : rects.data(), w[0], w[1], z, w[3]), "Clear");
            break;
        }
        case FrameOpKind::Draw:
            Draw(op);
            break;
        }
    }

private:
    void MakeTexture(const FrameOp& op) {
        const std::vector<std::uint32_t>& w = op.words;
        IDirect3DTexture9* texture = nullptr;
        if (!run_.Ok(device_->CreateTexture(w[2], w[3], w[4], 0, D3DFORMAT(w[1]), D3DPOOL_MANAGED, &texture, nullptr),
                     "CreateTexture"))
            return;
        textures_[w[0]] = texture;
        const std::uint32_t texel = FrameTexelBytes(w[1]);
        const std::uint8_t* from = op.bytes.data();
        for (UINT level = 0; level < w[4]; ++level) {
            const UINT width = std::max(1u, w[2] >> level), height = std::max(1u, w[3] >> level);
            D3DLOCKED_RECT locked{};
            if (!run_.Ok(texture->LockRect(level, &locked, nullptr, 0), "LockRect")) return;
            for (UINT y = 0; y < height; ++y, from += width * texel)
                std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + std::ptrdiff_t(y) * locked.Pitch, from, width * texel);
            run_.Ok(texture->UnlockRect(level), "UnlockRect");
        }
    }

    bool Fill(IDirect3DVertexBuffer9* buffer, const std::vector<std::uint8_t>& bytes) {
        void* data = nullptr;
        if (!run_.Ok(buffer->Lock(0, UINT(bytes.size()), &data, D3DLOCK_DISCARD), "Lock")) return false;
        std::memcpy(data, bytes.data(), bytes.size());
        return run_.Ok(buffer->Unlock(), "Unlock");
    }

    bool Fill(IDirect3DIndexBuffer9* buffer, const std::vector<std::uint8_t>& bytes) {
        void* data = nullptr;
        if (!run_.Ok(buffer->Lock(0, UINT(bytes.size()), &data, D3DLOCK_DISCARD), "Lock")) return false;
        std::memcpy(data, bytes.data(), bytes.size());
        return run_.Ok(buffer->Unlock(), "Unlock");
    }

    void Draw(const FrameOp& op) {
        const auto call = FrameDrawCall(op.words[0]);
        const auto type = D3DPRIMITIVETYPE(op.words[1]);
        const UINT count = op.words[2], stride = op.words[3], vertexCount = op.words[4];
        if (call == FrameDrawCall::PrimitiveUP) {
            run_.Ok(device_->DrawPrimitiveUP(type, count, op.bytes.data(), stride), "DrawPrimitiveUP");
            return;
        }
        if (!Fill(vertices_, op.bytes) ||
            !run_.Ok(device_->SetStreamSource(0, vertices_, 0, stride), "SetStreamSource"))
            return;
        if (call == FrameDrawCall::Primitive) {
            run_.Ok(device_->DrawPrimitive(type, 0, count), "DrawPrimitive");
            return;
        }
        IDirect3DIndexBuffer9* indices = indices_[op.words[5] / 4];
        if (Fill(indices, op.indices) && run_.Ok(device_->SetIndices(indices), "SetIndices"))
            run_.Ok(device_->DrawIndexedPrimitive(type, 0, 0, vertexCount, 0, count), "DrawIndexedPrimitive");
    }

    ScenarioRun& run_;
    IDirect3DDevice9* device_;
    std::map<std::uint32_t, IDirect3DTexture9*> textures_;
    IDirect3DVertexBuffer9* vertices_ = nullptr;
    IDirect3DIndexBuffer9* indices_[2] = {nullptr, nullptr};  // 16-bit, 32-bit
};

}  // namespace

FV_SCENARIO(village_frame) {
    FrameFile frame;
    if (!ReadFrame(run, frame)) return;
    Replayer replayer(run);
    if (!replayer.MakeBuffers(frame)) return;
    for (const FrameOp& op : frame.ops) {
        replayer.Replay(op);
        if (!run.Failure().empty()) return;
    }
}
