// The texture cache: matching, sub-textures, descriptions kept away from the image decoder.

#include "render/texture_cache.h"
#include "tests/render/texture_test_util.h"

namespace {

using texture_test::RecordingTextureTest;
using texture_test::SolidPng;

class TextureCacheTest : public RecordingTextureTest {};

TEST_F(TextureCacheTest, SameParametersShareATextureAndADifferentPoolMakesAnother) {
    const String name(folder_.Write("snow.png", SolidPng(4, 4, 0xFF8090A0u)).c_str());
    TextureCache cache;
    TextureResource* first = cache.Get(TextureRequest().FileName(name));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Mode(), texture_mode::kArchiveFile);
    EXPECT_TRUE(first->KeepsFileBytes());
    const struct {
        const char* name;
        TextureRequest request;
        bool same;
    } cases[] = {
        {"name only", TextureRequest().FileName(name), true},
        {"the default pool named", TextureRequest().FileName(name).Pool(D3DPOOL_MANAGED), true},
        {"the size it got", TextureRequest().FileName(name).Size(4, 4), true},
        {"the mode it has", TextureRequest().FileName(name).Mode(texture_mode::kArchiveFile), true},
        {"another pool", TextureRequest().FileName(name).Pool(D3DPOOL_SYSTEMMEM), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextureResource* got = cache.Get(c.request);
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(got == first, c.same);
    }
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_EQ(device_->Count("CreateTexture"), 2);
    // The second pool's texture is now found too.
    EXPECT_EQ(cache.Get(TextureRequest().FileName(name).Pool(D3DPOOL_SYSTEMMEM)), cache.Get(TextureRequest()
                                                                                               .FileName(name)
                                                                                               .Pool(D3DPOOL_SYSTEMMEM)));
    EXPECT_EQ(cache.Count(), 2);
}

TEST_F(TextureCacheTest, FindOnlyAndFailuresHandOutNothing) {
    TextureCache cache;
    const String missing((folder_.Write("x.txt", std::string("x")) + ".none").c_str());
    const String garbage(folder_.Write("bad.png", std::string(100, 'q')).c_str());
    EXPECT_EQ(cache.Get(TextureRequest().FileName(missing)), nullptr);
    EXPECT_EQ(cache.Get(TextureRequest().FileName(garbage)), nullptr);
    TextureRequest findOnly = TextureRequest().Size(16, 16);
    findOnly.findOnly = true;
    EXPECT_EQ(cache.Get(findOnly), nullptr);
    EXPECT_EQ(cache.Count(), 0);
    TextureResource* empty = cache.Get(TextureRequest().Size(16, 16).Levels(1));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->Mode(), texture_mode::kEmpty);
    EXPECT_EQ(cache.Get(findOnly), empty);
}

TEST_F(TextureCacheTest, SubTexturesAreFoundOrAddedAndShareTheParentsIdentity) {
    TextureCache cache;
    TextureResource* atlas = cache.Get(TextureRequest().Size(64, 32).Levels(1));
    ASSERT_NE(atlas, nullptr);
    TextureResource* a = cache.Get(TextureRequest().Size(64, 32).SubId(String("a")).SubRect({0, 0, 15, 15}));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Parent(), atlas);
    EXPECT_EQ(a->Identity(), atlas);
    EXPECT_EQ(a->Direct3DTexture(), atlas->Direct3DTexture());
    EXPECT_EQ(a->Rect(), (TextureRect{0, 0, 15, 15}));
    EXPECT_EQ(cache.Get(TextureRequest().Size(64, 32).SubId(String("a"))), a);
    EXPECT_EQ(cache.Get(TextureRequest().Size(64, 32).SubRect({0, 0, 15, 15})), a);
    // A rectangle reaching out of the parent is clipped.
    TextureResource* b = cache.Get(TextureRequest().Size(64, 32).SubRect({60, 20, 80, 40}));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Rect(), (TextureRect{60, 20, 63, 31}));
    TextureRequest findOnly = TextureRequest().Size(64, 32).SubId(String("zzz"));
    findOnly.findOnly = true;
    EXPECT_EQ(cache.Get(findOnly), nullptr);
    EXPECT_EQ(atlas->Subs().size(), 2u);
    EXPECT_EQ(cache.Count(), 1);
}

TEST_F(TextureCacheTest, DescriptionFilesNeverReachTheImageDecoder) {
    TextureCache cache;
    // A ".ts" file holding PNG bytes: read as props text, it describes an empty texture.
    const String pngInside(folder_.Write("image.ts", SolidPng(8, 8, 0xFFFFFFFFu)).c_str());
    TextureResource* a = cache.Get(TextureRequest().FileName(pngInside));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Mode(), texture_mode::kEmpty);
    EXPECT_EQ(a->Description().Width, 256u);
    const String sized(folder_.Write("sized.TS", std::string("Width = 64; Height = 32; Levels = 1;")).c_str());
    TextureResource* b = cache.Get(TextureRequest().FileName(sized));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Description().Width, 64u);
    EXPECT_EQ(b->Description().Height, 32u);
    EXPECT_EQ(b->LevelCount(), 1u);
    EXPECT_EQ(device_->CallsOf("CreateTexture"),
              (std::vector<std::string>{"CreateTexture(256, 256, 1, 0, 21, 1)", "CreateTexture(64, 32, 1, 0, 21, 1)"}));
}

TEST_F(TextureCacheTest, DeferredTexturesAreMadeAtFirstUse) {
    const String name(folder_.Write("late.png", SolidPng(4, 2, 0xFF112233u)).c_str());
    TextureCache cache;
    TextureRequest request = TextureRequest().FileName(name).Levels(1);
    request.deferred = true;
    TextureResource* texture = cache.Get(request);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->Direct3DTexture(), nullptr);
    EXPECT_EQ(device_->Count("CreateTexture"), 0);
    TextureResource* sub = texture->AddSub({0, 0, 1, 1}, String("corner"));
    IDirect3DTexture9* made = sub->GetTexture();  // the parent is made first
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(texture->Direct3DTexture(), made);
    EXPECT_EQ(texture->Mode(), texture_mode::kArchiveFile);
    EXPECT_EQ(Texel(made, 3, 1), 0xFF112233u);
    EXPECT_EQ(texture->GetTexture(), made);
    EXPECT_EQ(device_->Count("CreateTexture"), 1);
}

}  // namespace
