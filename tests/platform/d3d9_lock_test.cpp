// Locks of buffers and textures whose CPU copy was let go after their first upload: a later
// Lock still returns the contents (read back from GL), also after a device Reset.

#include "d3d9_fixture.h"

#include "platform/d3d9/gl_resources.h"

#include <cstring>

namespace {

using D3D9LockTest = D3D9DeviceTest;

std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = std::uint8_t(seed + i * 7);
    return bytes;
}

TEST_F(D3D9LockTest, BuffersReturnTheirContentsAfterTheCopyIsDropped) {
    constexpr UINT kLength = 96;
    struct Case {
        const char* name;
        bool index;
        DWORD usage;
        UINT writeOffset, writeSize;  // the first (and only) write
        bool copyAfterWrite;          // whether the copy outlives that write's Unlock
    };
    const Case cases[] = {
        {"static vertex buffer, whole", false, D3DUSAGE_WRITEONLY, 0, kLength, false},
        {"static vertex buffer, a range", false, 0, 32, 16, false},
        {"static index buffer", true, D3DUSAGE_WRITEONLY, 0, kLength, false},
        {"dynamic vertex buffer", false, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 8, 40, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IDirect3DVertexBuffer9* vb = nullptr;
        IDirect3DIndexBuffer9* ib = nullptr;
        if (c.index)
            ASSERT_EQ(device_->CreateIndexBuffer(kLength, c.usage, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
        else
            ASSERT_EQ(device_->CreateVertexBuffer(kLength, c.usage, kRhwFvf, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
        auto lock = [&](UINT offset, UINT size, void** data, DWORD flags) {
            return c.index ? ib->Lock(offset, size, data, flags) : vb->Lock(offset, size, data, flags);
        };
        auto unlock = [&] { return c.index ? ib->Unlock() : vb->Unlock(); };
        auto hasCopy = [&] {
            return c.index ? static_cast<GlIndexBuffer*>(ib)->HasCopy() : static_cast<GlVertexBuffer*>(vb)->HasCopy();
        };

        std::vector<std::uint8_t> expected(kLength, 0);
        const std::vector<std::uint8_t> written = Pattern(c.writeSize, 11);
        std::copy(written.begin(), written.end(), expected.begin() + c.writeOffset);
        void* data = nullptr;
        ASSERT_EQ(lock(c.writeOffset, c.writeSize, &data, 0), D3D_OK);
        std::memcpy(data, written.data(), written.size());
        ASSERT_EQ(unlock(), D3D_OK);
        EXPECT_EQ(hasCopy(), c.copyAfterWrite);

        // Locked again: the whole contents, and the copy is kept from now on.
        ASSERT_EQ(lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
        EXPECT_EQ(std::memcmp(data, expected.data(), kLength), 0);
        ASSERT_EQ(unlock(), D3D_OK);
        EXPECT_TRUE(hasCopy());

        // A reset keeps managed contents.
        D3DPRESENT_PARAMETERS p = parameters_;
        ASSERT_EQ(device_->Reset(&p), D3D_OK);
        ASSERT_EQ(lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
        EXPECT_EQ(std::memcmp(data, expected.data(), kLength), 0);
        ASSERT_EQ(unlock(), D3D_OK);
        if (vb) vb->Release();
        if (ib) ib->Release();
    }
}

TEST_F(D3D9LockTest, TextureLevelsReturnTheirContentsAfterTheCopyIsDropped) {
    constexpr UINT kSize = 8;
    struct Case {
        const char* name;
        DWORD usage;
        UINT levels;
        RECT written;       // on level 0; an empty rectangle writes nothing
        UINT lockedLevel;   // the level read back
        DWORD expectedTexel;  // the texel read at (1, 1) of that level
    };
    const DWORD red = D3DCOLOR_ARGB(255, 255, 0, 0);
    const Case cases[] = {
        {"written level", 0, 1, {0, 0, kSize, kSize}, 0, red},
        {"never written level", 0, 1, {0, 0, 0, 0}, 0, 0},
        {"rectangle written, texel outside it", 0, 1, {4, 4, 8, 8}, 0, 0},
        {"level made by the automatic chain", D3DUSAGE_AUTOGENMIPMAP, 0, {0, 0, kSize, kSize}, 1, red},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(device_->CreateTexture(kSize, kSize, c.levels, c.usage, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                                         nullptr), D3D_OK);
        auto* gl = static_cast<GlTexture*>(texture);
        D3DLOCKED_RECT locked{};
        if (c.written.right > c.written.left) {
            ASSERT_EQ(texture->LockRect(0, &locked, &c.written, 0), D3D_OK);
            for (LONG y = 0; y < c.written.bottom - c.written.top; ++y)
                for (LONG x = 0; x < c.written.right - c.written.left; ++x)
                    reinterpret_cast<DWORD*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch)[x] = red;
            ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
        }
        EXPECT_FALSE(gl->HasCopy(0));

        for (int pass = 0; pass < 2; ++pass) {  // before and after a device Reset
            ASSERT_EQ(texture->LockRect(c.lockedLevel, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
            const auto* row = reinterpret_cast<const DWORD*>(static_cast<const std::uint8_t*>(locked.pBits) + locked.Pitch);
            EXPECT_EQ(row[1], c.expectedTexel) << "pass " << pass;
            ASSERT_EQ(texture->UnlockRect(c.lockedLevel), D3D_OK);
            D3DPRESENT_PARAMETERS p = parameters_;
            ASSERT_EQ(device_->Reset(&p), D3D_OK);
        }
        // A level never written keeps no copy; one read back after a write keeps it.
        const bool written = c.written.right > c.written.left;
        EXPECT_EQ(gl->HasCopy(c.lockedLevel), written);
        texture->Release();
    }
}

}  // namespace
