#pragma once
// The frame file: one captured frame of Direct3D 9 calls with the bytes they use, replayed
// through any Direct3D 9 (ours or another) by the conformance test. Plain C++ with no
// Direct3D header, so that the same pair builds against every d3d9.h.
//
// Layout, little-endian 32-bit words:
//   header  "FVFRAME1" (8 bytes), version (1), width, height, op count
//   op      kind, payload length in bytes, payload
// Each payload starts with the kind's fixed words (floats as their bits; structures as
// Direct3D 9 lays them out) and, for the last three kinds, the variable part after them:
//   RenderState   state, value
//   StageState    stage, type, value
//   SamplerState  sampler, type, value
//   Transform     type, D3DMATRIX (16 floats)
//   Viewport      D3DVIEWPORT9 (X, Y, Width, Height, MinZ, MaxZ)
//   Material      D3DMATERIAL9 (17 floats)
//   Light         index, D3DLIGHT9 (26 words)
//   LightEnable   index, enable
//   Fvf           fvf
//   Texture       stage, texture id (0: none; otherwise an id a TextureData op defined earlier)
//   TextureData   id, format, width, height, levels; then each level's texels, rows packed
//                 (width x bytes a texel), level sizes halving down to 1
//   Clear         flags, colour, z, stencil, rect count; then the rects (left, top, right, bottom)
//   Draw          call, primitive type, primitive count, stride, vertex count, index size
//                 (0, 2 or 4), index count; then the vertices, then the indices. The vertices
//                 are those the draw reads, first to last; indices count from the first of them.
// The parser checks every size against the file and every index against the vertex count,
// so a file it accepts can be replayed without reading outside what it holds.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class FrameOpKind : std::uint32_t {
    RenderState = 1,
    StageState,
    SamplerState,
    Transform,
    Viewport,
    Material,
    Light,
    LightEnable,
    Fvf,
    Texture,
    TextureData,
    Clear,
    Draw,
};

// How a Draw op was called: from the stream's vertex buffer, indexed, or from user memory.
enum class FrameDrawCall : std::uint32_t { Primitive = 0, IndexedPrimitive = 1, PrimitiveUP = 2 };

struct FrameOp {
    FrameOpKind kind = FrameOpKind::RenderState;
    std::vector<std::uint32_t> words;  // the kind's fixed words
    std::vector<std::uint8_t> bytes;   // texels, rects as words, or vertices
    std::vector<std::uint8_t> indices; // Draw only
};

struct FrameFile {
    std::uint32_t width = 0, height = 0;
    std::vector<FrameOp> ops;
};

constexpr std::uint32_t kFrameFileVersion = 1;

// Bytes a texel of a Direct3D format takes among those the file carries; 0 for any other.
std::uint32_t FrameTexelBytes(std::uint32_t format);
// Vertices (or indices) that primitiveCount primitives of a type read; 0 for an unknown type.
std::uint64_t FramePrimitiveVertices(std::uint32_t primitiveType, std::uint32_t primitiveCount);
// The fixed words of an op kind.
std::size_t FrameFixedWords(FrameOpKind kind);

std::vector<std::uint8_t> EncodeFrameFile(const FrameFile& frame);
// False with a one-line reason, and an empty frame, for anything the layout above does not
// allow.
bool DecodeFrameFile(const std::uint8_t* data, std::size_t size, FrameFile& frame, std::string& error);
