// The frame file: what the writer writes the parser reads back, and what the parser refuses.

#include "platform/d3d9/frame_file.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

FrameOp Op(FrameOpKind kind, std::vector<std::uint32_t> words, std::vector<std::uint8_t> bytes = {},
           std::vector<std::uint8_t> indices = {}) {
    return FrameOp{kind, std::move(words), std::move(bytes), std::move(indices)};
}

// One op of every kind: a 2 x 2 A8R8G8B8 texture with both levels, an indexed triangle of
// three 4-byte vertices with 16-bit indices, a clear of one rectangle.
FrameFile Sample() {
    FrameFile frame;
    frame.width = frame.height = 256;
    std::vector<std::uint32_t> matrix(17, 0), light(27, 0), material(17, 0);
    matrix[0] = 256;
    frame.ops = {
        Op(FrameOpKind::RenderState, {137, 0}),
        Op(FrameOpKind::StageState, {1, 1, 2}),
        Op(FrameOpKind::SamplerState, {0, 5, 2}),
        Op(FrameOpKind::Transform, matrix),
        Op(FrameOpKind::Viewport, {0, 0, 256, 256, 0, 0x3F800000}),
        Op(FrameOpKind::Material, material),
        Op(FrameOpKind::Light, light),
        Op(FrameOpKind::LightEnable, {0, 1}),
        Op(FrameOpKind::Fvf, {0x44}),
        Op(FrameOpKind::TextureData, {7, 21, 2, 2, 2}, std::vector<std::uint8_t>(5 * 4, 0xAB)),
        Op(FrameOpKind::Texture, {0, 7}),
        Op(FrameOpKind::Clear, {1, 0xFF102030, 0x3F800000, 0, 1}, std::vector<std::uint8_t>(16, 1)),
        Op(FrameOpKind::Draw, {1, 4, 1, 4, 3, 2, 3}, std::vector<std::uint8_t>(12, 9), {2, 0, 1, 0, 0, 0}),
        Op(FrameOpKind::Draw, {2, 5, 2, 8, 4, 0, 0}, std::vector<std::uint8_t>(32, 3)),
    };
    return frame;
}

void PutWord(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t word) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = std::uint8_t(word >> (8 * i));
}

// Offset of op i's first fixed word in an encoded file.
std::size_t FixedWordsOf(const FrameFile& frame, std::size_t index) {
    std::size_t at = 24;
    for (std::size_t i = 0; i < index; ++i)
        at += 8 + frame.ops[i].words.size() * 4 + frame.ops[i].bytes.size() + frame.ops[i].indices.size();
    return at + 8;
}

TEST(FrameFileTest, WhatIsWrittenReadsBack) {
    const FrameFile frame = Sample();
    const std::vector<std::uint8_t> bytes = EncodeFrameFile(frame);
    FrameFile read;
    std::string error;
    ASSERT_TRUE(DecodeFrameFile(bytes.data(), bytes.size(), read, error)) << error;
    EXPECT_EQ(read.width, 256u);
    EXPECT_EQ(read.height, 256u);
    ASSERT_EQ(read.ops.size(), frame.ops.size());
    for (std::size_t i = 0; i < frame.ops.size(); ++i) {
        EXPECT_EQ(read.ops[i].kind, frame.ops[i].kind) << i;
        EXPECT_EQ(read.ops[i].words, frame.ops[i].words) << i;
        EXPECT_EQ(read.ops[i].bytes, frame.ops[i].bytes) << i;
        EXPECT_EQ(read.ops[i].indices, frame.ops[i].indices) << i;
    }
}

// Every damage is refused with its reason, and so is every truncation of a good file.
TEST(FrameFileTest, DamagedFilesAreRefused) {
    const FrameFile frame = Sample();
    const std::vector<std::uint8_t> good = EncodeFrameFile(frame);
    struct Case {
        const char* damage;
        std::size_t at;  // a word put at this offset
        std::uint32_t word;
        const char* reason;
    };
    const std::size_t texture = FixedWordsOf(frame, 9), draw = FixedWordsOf(frame, 12);
    const Case cases[] = {
        {"magic", 0, 0x52464746, "not a frame file"},
        {"version", 8, 2, "version 2"},
        {"width", 12, 0, "frame size"},
        {"op count", 20, 0x10000000, "op count beyond the file"},
        {"kind", 24, 99, "unknown kind"},
        {"payload length", 28, 12, "payload longer"},
        {"render state", FixedWordsOf(frame, 0), 300, "render state out of range"},
        {"stage", FixedWordsOf(frame, 1), 8, "texture stage state"},
        {"sampler type", FixedWordsOf(frame, 2) + 4, 14, "sampler state"},
        {"transform", FixedWordsOf(frame, 3), 4, "transform type"},
        {"light", FixedWordsOf(frame, 6), 256, "light index"},
        {"texture format", texture + 4, 20, "not carried"},
        {"texture levels", texture + 16, 3, "level count"},
        {"texture size", texture + 8, 4, "texture data truncated"},
        {"texture id", FixedWordsOf(frame, 10) + 4, 8, "stage or id unknown"},
        {"clear rects", FixedWordsOf(frame, 11) + 16, 2, "clear rectangles truncated"},
        {"draw call", draw, 3, "draw call or primitive type"},
        {"primitive type", draw + 4, 7, "draw call or primitive type"},
        {"stride", draw + 12, 0, "stride"},
        {"index count", draw + 24, 4, "counts disagree"},
        {"index size", draw + 20, 4, "indices truncated"},
        {"index", draw + 28 + 12, 3, "index beyond the vertices"},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes = good;
        PutWord(bytes, c.at, c.word);
        FrameFile read;
        std::string error;
        EXPECT_FALSE(DecodeFrameFile(bytes.data(), bytes.size(), read, error)) << c.damage;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.damage << ": " << error;
    }
    std::vector<std::uint8_t> longer = good;
    longer.push_back(0);
    FrameFile read;
    std::string error;
    EXPECT_FALSE(DecodeFrameFile(longer.data(), longer.size(), read, error));
    EXPECT_EQ(error, "bytes after the last op");
    for (std::size_t size = 0; size < good.size(); ++size)
        EXPECT_FALSE(DecodeFrameFile(good.data(), size, read, error)) << size;
}

TEST(FrameFileTest, PrimitiveVerticesFollowThePrimitiveType) {
    const std::uint64_t expected[7] = {0, 5, 10, 6, 15, 7, 7};  // 5 primitives of types 0..6
    for (std::uint32_t type = 0; type < 7; ++type) EXPECT_EQ(FramePrimitiveVertices(type, 5), expected[type]) << type;
    EXPECT_EQ(FramePrimitiveVertices(4, 0), 0u);
}

}  // namespace
