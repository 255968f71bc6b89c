// The frame capture device over a recording device: the states in effect at each draw, the
// bytes each draw reads, and the textures it samples.

#include "platform/d3d9/frame_capture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class FrameCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingDevice* inner = RecordingDevice::Create();  // a 640 x 480 back buffer
        capture = FrameCaptureDevice::Create(inner, 640, 480);
        inner->Release();
    }
    void TearDown() override { capture->Release(); }

    std::vector<const FrameOp*> OpsOf(FrameOpKind kind) const {
        std::vector<const FrameOp*> ops;
        for (const FrameOp& op : capture->Frame().ops)
            if (op.kind == kind) ops.push_back(&op);
        return ops;
    }

    FrameCaptureDevice* capture = nullptr;
};

std::vector<std::uint8_t> Bytes(std::initializer_list<std::uint32_t> words) {
    std::vector<std::uint8_t> bytes(words.size() * 4);
    std::memcpy(bytes.data(), std::data(words), bytes.size());
    return bytes;
}

// A state set frames before the capture is in it; a state at its default, or set again to the
// value already captured, is not.
TEST_F(FrameCaptureTest, EachDrawFollowsTheStatesThatChanged) {
    capture->SetRenderState(D3DRS_LIGHTING, FALSE);
    capture->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);  // the default with a depth buffer
    capture->Arm();
    const std::uint32_t vertices[3] = {1, 2, 3};
    capture->SetFVF(D3DFVF_XYZ);
    capture->DrawPrimitiveUP(D3DPT_POINTLIST, 1, vertices, 12);
    capture->SetRenderState(D3DRS_LIGHTING, FALSE);
    capture->SetRenderState(D3DRS_FOGENABLE, TRUE);
    capture->DrawPrimitiveUP(D3DPT_POINTLIST, 1, vertices, 12);
    EXPECT_FALSE(capture->Captured());
    capture->Present(nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(capture->Captured());

    std::vector<std::vector<std::uint32_t>> seen;
    for (const FrameOp& op : capture->Frame().ops)
        seen.push_back(op.kind == FrameOpKind::Draw ? std::vector<std::uint32_t>{99} : op.words);
    const std::vector<std::vector<std::uint32_t>> expected = {
        {D3DRS_LIGHTING, FALSE}, {D3DFVF_XYZ}, {99}, {D3DRS_FOGENABLE, TRUE}, {99}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(OpsOf(FrameOpKind::Draw)[0]->bytes, Bytes({1, 2, 3}));
}

// Lights go in as set; indices below them never set are left out, and a light beyond the
// captured indices fails the capture rather than go missing.
TEST_F(FrameCaptureTest, LightsAreThoseSet) {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Direction = {0, 0, 1};
    capture->SetLight(2, &light);
    capture->LightEnable(2, TRUE);
    const std::uint32_t vertices[3] = {};
    capture->Arm();
    capture->DrawPrimitiveUP(D3DPT_POINTLIST, 1, vertices, 12);
    const std::vector<const FrameOp*> lights = OpsOf(FrameOpKind::Light), enables = OpsOf(FrameOpKind::LightEnable);
    ASSERT_EQ(lights.size(), 1u);
    EXPECT_EQ(lights[0]->words[0], 2u);
    EXPECT_EQ(lights[0]->words[1], std::uint32_t(D3DLIGHT_DIRECTIONAL));
    ASSERT_EQ(enables.size(), 1u);
    EXPECT_EQ(enables[0]->words, (std::vector<std::uint32_t>{2, 1}));
    capture->SetLight(64, &light);
    capture->DrawPrimitiveUP(D3DPT_POINTLIST, 1, vertices, 12);
    capture->Present(nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(capture->Captured());
    EXPECT_EQ(capture->Failure(), "lights beyond index 63");
}

// A dynamic buffer rewritten with DISCARD and appended to with NOOVERWRITE: each draw holds
// the vertices as they were when it was made. An indexed draw holds the vertices its indices
// reach, the indices counted from the first of them.
TEST_F(FrameCaptureTest, DrawsHoldTheBytesAsTheyWereAtTheDraw) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    ASSERT_EQ(capture->CreateVertexBuffer(64, D3DUSAGE_DYNAMIC, 0, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
    ASSERT_EQ(capture->CreateIndexBuffer(16, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr), D3D_OK);
    capture->SetStreamSource(0, buffer, 4, 4);
    capture->SetIndices(indices);
    auto write = [&](UINT offset, std::initializer_list<std::uint32_t> words, DWORD flags) {
        void* data = nullptr;
        ASSERT_EQ(buffer->Lock(offset, UINT(words.size() * 4), &data, flags), D3D_OK);
        std::memcpy(data, std::data(words), words.size() * 4);
        buffer->Unlock();
    };
    capture->Arm();
    write(4, {10, 11}, D3DLOCK_DISCARD);
    capture->DrawPrimitive(D3DPT_LINELIST, 0, 1);
    write(12, {20, 21}, D3DLOCK_NOOVERWRITE);
    capture->DrawPrimitive(D3DPT_LINELIST, 2, 1);
    write(4, {30, 31, 32, 33, 34, 35}, D3DLOCK_DISCARD);
    capture->DrawPrimitive(D3DPT_LINELIST, 0, 1);
    void* data = nullptr;
    ASSERT_EQ(indices->Lock(0, 0, &data, 0), D3D_OK);
    const std::uint16_t list[6] = {0, 9, 4, 3, 2, 4};  // starts at index 3: vertices 2..4 of base 1
    std::memcpy(data, list, sizeof list);
    indices->Unlock();
    capture->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 2, 3, 3, 1);
    capture->Present(nullptr, nullptr, nullptr, nullptr);

    const std::vector<const FrameOp*> draws = OpsOf(FrameOpKind::Draw);
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws[0]->bytes, Bytes({10, 11}));
    EXPECT_EQ(draws[1]->bytes, Bytes({20, 21}));
    EXPECT_EQ(draws[2]->bytes, Bytes({30, 31}));
    EXPECT_EQ(draws[3]->bytes, Bytes({33, 34, 35}));
    EXPECT_EQ(draws[3]->indices, (std::vector<std::uint8_t>{1, 0, 0, 0, 2, 0}));
    EXPECT_EQ(draws[3]->words, (std::vector<std::uint32_t>{1, D3DPT_TRIANGLELIST, 1, 4, 3, 2, 3}));
    FrameFile read;
    std::string error;
    const std::vector<std::uint8_t> file = EncodeFrameFile(capture->Frame());
    EXPECT_TRUE(DecodeFrameFile(file.data(), file.size(), read, error)) << error;
    capture->SetStreamSource(0, nullptr, 0, 0);
    capture->SetIndices(nullptr);
    buffer->Release();
    indices->Release();
}

// A texture goes into the file once, with every level, before the first draw that samples it;
// a format the file does not carry fails the capture.
TEST_F(FrameCaptureTest, TexturesAreHeldOnceWithEveryLevel) {
    IDirect3DTexture9 *texture = nullptr, *other = nullptr;
    ASSERT_EQ(capture->CreateTexture(4, 2, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    ASSERT_EQ(capture->CreateTexture(4, 4, 1, 0, D3DFMT_R8G8B8, D3DPOOL_MANAGED, &other, nullptr), D3D_OK);
    for (UINT level = 0; level < 3; ++level) {
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
        std::memset(locked.pBits, int(level + 1), std::size_t(locked.Pitch) * (2 >> level ? 2 >> level : 1));
        texture->UnlockRect(level);
    }
    const std::uint32_t vertices[3] = {};
    capture->Arm();
    capture->SetTexture(0, texture);
    capture->DrawPrimitiveUP(D3DPT_POINTLIST, 1, vertices, 12);
    capture->SetTexture(1, texture);
    capture->DrawPrimitiveUP(D3DPT_POINTLIST, 1, vertices, 12);
    capture->Present(nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(capture->Captured()) << capture->Failure();
    const std::vector<const FrameOp*> data = OpsOf(FrameOpKind::TextureData);
    ASSERT_EQ(data.size(), 1u);
    EXPECT_EQ(data[0]->words, (std::vector<std::uint32_t>{1, D3DFMT_A8R8G8B8, 4, 2, 3}));
    std::vector<std::uint8_t> expected(32, 1);
    expected.insert(expected.end(), 8, 2);
    expected.insert(expected.end(), 4, 3);
    EXPECT_EQ(data[0]->bytes, expected);
    const std::vector<const FrameOp*> binds = OpsOf(FrameOpKind::Texture);
    ASSERT_EQ(binds.size(), 2u);
    EXPECT_EQ(binds[1]->words, (std::vector<std::uint32_t>{1, 1}));

    capture->Arm();
    capture->SetTexture(1, other);
    capture->DrawPrimitiveUP(D3DPT_POINTLIST, 1, vertices, 12);
    capture->Present(nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(capture->Captured());
    EXPECT_NE(capture->Failure().find("format 20"), std::string::npos) << capture->Failure();
    capture->SetTexture(0, nullptr);
    capture->SetTexture(1, nullptr);
    texture->Release();
    other->Release();
}

}  // namespace
