// Locks of buffers and texture levels whose CPU copy was let go after their first upload: a
// later Lock still returns the contents (read back from GL), also after a device Reset.

#include "d3d9_fixture.h"

#include "platform/d3d9/gl_resources.h"

#include <cstring>

namespace {

using D3D9LockTest = D3D9DeviceTest;

TEST_F(D3D9LockTest, BuffersReturnTheirContentsAfterTheCopyIsDropped) {
    constexpr UINT kLength = 96;
    const struct {
        DWORD usage;
        UINT offset, size;    // the one write
        bool copyAfterWrite;  // whether the copy outlives that write
    } cases[] = {{D3DUSAGE_WRITEONLY, 0, kLength, false}, {0, 32, 16, false}, {D3DUSAGE_DYNAMIC, 8, 40, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offset);
        IDirect3DVertexBuffer9* vb = nullptr;
        ASSERT_EQ(device_->CreateVertexBuffer(kLength, c.usage, kRhwFvf, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
        std::vector<std::uint8_t> expected(kLength, 0);
        for (UINT i = 0; i < c.size; ++i) expected[c.offset + i] = std::uint8_t(11 + i * 7);
        void* data = nullptr;
        ASSERT_EQ(vb->Lock(c.offset, c.size, &data, 0), D3D_OK);
        std::memcpy(data, expected.data() + c.offset, c.size);
        ASSERT_EQ(vb->Unlock(), D3D_OK);
        EXPECT_EQ(static_cast<GlVertexBuffer*>(vb)->HasCopy(), c.copyAfterWrite);
        for (int pass = 0; pass < 2; ++pass) {  // then after a Reset, which keeps managed contents
            ASSERT_EQ(vb->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
            EXPECT_EQ(std::memcmp(data, expected.data(), kLength), 0) << "pass " << pass;
            ASSERT_EQ(vb->Unlock(), D3D_OK);
            EXPECT_TRUE(static_cast<GlVertexBuffer*>(vb)->HasCopy());  // locked again: kept
            D3DPRESENT_PARAMETERS p = parameters_;
            ASSERT_EQ(device_->Reset(&p), D3D_OK);
        }
        vb->Release();
    }
}

TEST_F(D3D9LockTest, TextureLevelsReturnTheirContentsAfterTheCopyIsDropped) {
    const DWORD red = D3DCOLOR_ARGB(255, 255, 0, 0);
    const struct {
        const char* name;
        DWORD usage;
        RECT written;  // on level 0; empty: nothing written
        UINT level;    // the level read back at (1, 1)
        DWORD texel;
    } cases[] = {
        {"written level", 0, {0, 0, 8, 8}, 0, red},
        {"never written", 0, {0, 0, 0, 0}, 0, 0},
        {"texel outside the written rectangle", 0, {4, 4, 8, 8}, 0, 0},
        {"level made by the automatic chain", D3DUSAGE_AUTOGENMIPMAP, {0, 0, 8, 8}, 1, red},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(device_->CreateTexture(8, 8, 0, c.usage, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        const bool written = c.written.right > c.written.left;
        D3DLOCKED_RECT locked{};
        if (written) {
            ASSERT_EQ(texture->LockRect(0, &locked, &c.written, 0), D3D_OK);
            for (LONG y = 0; y < c.written.bottom - c.written.top; ++y)
                for (LONG x = 0; x < c.written.right - c.written.left; ++x)
                    reinterpret_cast<DWORD*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch)[x] = red;
            ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
        }
        EXPECT_FALSE(static_cast<GlTexture*>(texture)->HasCopy(0));
        for (int pass = 0; pass < 2; ++pass) {
            ASSERT_EQ(texture->LockRect(c.level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
            const auto* row = reinterpret_cast<const DWORD*>(static_cast<const std::uint8_t*>(locked.pBits) + locked.Pitch);
            EXPECT_EQ(row[1], c.texel) << "pass " << pass;
            ASSERT_EQ(texture->UnlockRect(c.level), D3D_OK);
            D3DPRESENT_PARAMETERS p = parameters_;
            ASSERT_EQ(device_->Reset(&p), D3D_OK);
        }
        // Read back after a write, the level keeps its copy; never written, it keeps none.
        EXPECT_EQ(static_cast<GlTexture*>(texture)->HasCopy(c.level), written);
        texture->Release();
    }
}

}  // namespace
