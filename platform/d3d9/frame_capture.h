#pragma once
// A recording device that captures one frame as a frame file (frame_file.h): armed between
// two frames, it captures every Clear and draw up to the next Present, each preceded by the
// states that changed since the last one (read back from the device it forwards to, so a
// state the engine's cache set frames earlier is there too), and with the bytes it uses:
// the vertices and indices of the stream and index buffers as they are at that draw (after
// any DISCARD or NOOVERWRITE writes), user-memory vertices, and every level of each texture
// the first time a draw samples it. The states start from Direct3D's defaults, as on a new
// device.

#include "platform/d3d9/frame_file.h"
#include "platform/d3d9/recording_device.h"

#include <map>
#include <string>
#include <vector>

class FrameCaptureDevice final : public RecordingDevice {
public:
    // forward must not be null; the frame size is that of its back buffer.
    static FrameCaptureDevice* Create(IDirect3DDevice9* forward, UINT width, UINT height);

    // Captures from now to the next Present; a capture already held is dropped.
    void Arm();
    bool Armed() const { return armed_; }
    // True once a Present ended an armed capture without a failure.
    bool Captured() const { return captured_; }
    const FrameFile& Frame() const { return frame_; }
    // Why the capture failed (a texture format the file does not carry, a draw reading
    // outside its buffer); empty when it did not.
    const std::string& Failure() const { return failure_; }

    HRESULT Present(const RECT* source, const RECT* dest, HWND destWindow, const void* dirtyRegion) override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                                 UINT startIndex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) override;

private:
    FrameCaptureDevice(IDirect3DDevice9* forward, UINT width, UINT height);
    bool Capturing() const { return armed_ && failure_.empty(); }
    void Fail(const std::string& why);
    void Add(FrameOpKind kind, std::vector<std::uint32_t> words, std::vector<std::uint8_t> bytes = {});
    // Emits what changed since the last emitted state.
    void SyncStates();
    void SyncTextures();
    std::uint32_t TextureId(IDirect3DBaseTexture9* texture);
    // Bytes [offset, offset + size) of the stream's vertex buffer; false when outside it.
    bool ReadVertices(std::uint64_t offset, std::uint64_t size, std::vector<std::uint8_t>& out);
    void AddDraw(FrameDrawCall call, D3DPRIMITIVETYPE type, UINT primitiveCount, UINT stride, UINT vertexCount,
                 std::vector<std::uint8_t> vertices, UINT indexSize = 0, std::vector<std::uint8_t> indices = {});

    UINT width_, height_;
    bool armed_ = false, captured_ = false;
    std::string failure_;
    FrameFile frame_;
    IDirect3DVertexBuffer9* stream_ = nullptr;  // not counted: the engine holds what it binds
    UINT streamOffset_ = 0, streamStride_ = 0;
    IDirect3DIndexBuffer9* indices_ = nullptr;
    // The states as the file has set them so far.
    std::vector<DWORD> renderStates_, stageStates_, samplerStates_;
    std::map<DWORD, D3DMATRIX> transforms_;
    D3DVIEWPORT9 viewport_{};
    D3DMATERIAL9 material_{};
    std::map<DWORD, std::pair<D3DLIGHT9, BOOL>> lights_;
    DWORD fvf_ = 0;
    std::uint32_t boundTextures_[8] = {};
    std::map<IDirect3DBaseTexture9*, std::uint32_t> textureIds_;
};
