// ".ts" texture descriptions: every key and keyword, sub-textures and their placement.

#include "props/props_document.h"
#include "props/props_parser.h"
#include "render/texture_description.h"
#include "tests/render/texture_test_util.h"

#include <string>

namespace {

using texture_test::RecordingTextureTest;
using texture_test::SolidPng;

TextureDescription Read(const std::string& text) {
    PropsDocument document;
    ParseProps(document, text.data(), int(text.size()));
    return ReadTextureDescription(document.TopLevel());
}

TEST(TextureDescriptionTest, KeysSetTheParametersAndUnknownKeywordsLeaveDefaults) {
    const TextureDescription none = Read("");
    EXPECT_EQ(none.params.mode, texture_mode::kEmpty);
    EXPECT_EQ(none.params.width, 0xFFFFFFFFu);
    EXPECT_EQ(none.params.levels, 1u);
    EXPECT_EQ(none.params.pool, D3DPOOL_MANAGED);
    EXPECT_EQ(none.params.filter, 3u);
    EXPECT_EQ(none.params.mipFilter, 5u);
    EXPECT_EQ(none.params.format, D3DFMT_UNKNOWN);
    EXPECT_FALSE(none.hasRect);

    const struct {
        const char* text;
        DWORD TextureParameters::*field;
        DWORD want;
    } dwordCases[] = {
        {"FileName = \"/a.png\";", &TextureParameters::mode, texture_mode::kArchiveFile},
        {"FileName = \"/a.png\"; InitType = \"SAVE_NAME\";", &TextureParameters::mode, texture_mode::kNamedFile},
        {"FileName = \"/a.png\"; InitType = \"SAVE_DATA\";", &TextureParameters::mode, texture_mode::kArchiveFile},
        {"FileName = \"/a.png\"; InitType = \"save_name\";", &TextureParameters::mode, texture_mode::kArchiveFile},
        {"InitType = \"SAVE_NAME\";", &TextureParameters::mode, texture_mode::kEmpty},
        {"Usage = \"D3DUSAGE_DYNAMIC\";", &TextureParameters::usage, 512},
        {"Usage = \"D3DUSAGE_RENDERTARGET\";", &TextureParameters::usage, 0},
        {"Filter = \"D3DX_FILTER_NONE\";", &TextureParameters::filter, 1},
        {"Filter = \"D3DX_FILTER_TRIANGLE\";", &TextureParameters::filter, 4},
        {"Filter = \"D3DX_FILTER_BOX\";", &TextureParameters::filter, 5},
        {"Filter = \"D3DX_FILTER_POINT\";", &TextureParameters::filter, 3},
        {"MipFilter = \"D3DX_FILTER_LINEAR\";", &TextureParameters::mipFilter, 3},
        {"MipFilter = \"D3DX_FILTER_NONE\";", &TextureParameters::mipFilter, 1},
        {"MipFilter = \"bogus\";", &TextureParameters::mipFilter, 5},
        {"ColorKey = 4278255360;", &TextureParameters::colorKey, 0xFF00FF00u},
        {"ColorKey.r = 255; ColorKey.g = 0; ColorKey.b = 255;", &TextureParameters::colorKey, 0xFFFF00FFu},
        {"ColorKey = array(255, 0, 255);", &TextureParameters::colorKey, 0xFFFF00FFu},
        {"ColorKey = array(9, 3, 4); ColorKey.r = 1; ColorKey[0] = 2; ColorKey.g = 7;", &TextureParameters::colorKey,
         0xFF020304u},
    };
    for (const auto& c : dwordCases) {
        SCOPED_TRACE(c.text);
        const TextureDescription d = Read(c.text);
        EXPECT_EQ(d.params.*c.field, c.want);
    }

    const struct {
        const char* text;
        D3DPOOL pool;
        D3DFORMAT format;
        UINT levels, width, height;
    } otherCases[] = {
        {"Pool = \"D3DPOOL_DEFAULT\";", D3DPOOL_DEFAULT, D3DFMT_UNKNOWN, 1, 0xFFFFFFFFu, 0xFFFFFFFFu},
        {"Pool = \"D3DPOOL_SYSTEMMEM\";", D3DPOOL_SYSTEMMEM, D3DFMT_UNKNOWN, 1, 0xFFFFFFFFu, 0xFFFFFFFFu},
        {"Pool = \"D3DPOOL_SCRATCH\";", D3DPOOL_MANAGED, D3DFMT_UNKNOWN, 1, 0xFFFFFFFFu, 0xFFFFFFFFu},
        {"Format = \"D3DFMT_R5G6B5\"; Levels = 0;", D3DPOOL_MANAGED, D3DFMT_R5G6B5, 0, 0xFFFFFFFFu, 0xFFFFFFFFu},
        {"Format = \"d3dfmt_r5g6b5\";", D3DPOOL_MANAGED, D3DFMT_UNKNOWN, 1, 0xFFFFFFFFu, 0xFFFFFFFFu},
        {"Format = \"D3DFMT_A4R4G4B4\";", D3DPOOL_MANAGED, D3DFMT_A4R4G4B4, 1, 0xFFFFFFFFu, 0xFFFFFFFFu},
        {"Width = 64;", D3DPOOL_MANAGED, D3DFMT_UNKNOWN, 1, 0xFFFFFFFFu, 0xFFFFFFFFu},
        {"width = 64; HEIGHT = 16;", D3DPOOL_MANAGED, D3DFMT_UNKNOWN, 1, 64, 16},
    };
    for (const auto& c : otherCases) {
        SCOPED_TRACE(c.text);
        const TextureDescription d = Read(c.text);
        EXPECT_EQ(d.params.pool, c.pool);
        EXPECT_EQ(d.params.format, c.format);
        EXPECT_EQ(d.params.levels, c.levels);
        EXPECT_EQ(d.params.width, c.width);
        EXPECT_EQ(d.params.height, c.height);
    }
}

TEST(TextureDescriptionTest, RectanglesComeFromCornersOrCornerAndSize) {
    const struct {
        const char* text;
        bool hasRect;
        TextureRect rect;
    } cases[] = {
        {"x1 = 2; y1 = 3; x2 = 10; y2 = 20;", true, {2, 3, 10, 20}},
        {"x1 = 2; y1 = 3; w = 8; h = 4;", true, {2, 3, 9, 6}},
        {"x1 = 2; y1 = 3; x2 = 10; h = 4;", true, {2, 3, 10, 6}},
        {"x1 = 2; y1 = 3; w = 8; y2 = 20;", true, {2, 3, 9, 20}},
        {"x1 = 2; y1 = 3; x2 = 10;", false, {}},
        {"y1 = 3; x2 = 10; y2 = 20;", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const TextureDescription d = Read(c.text);
        EXPECT_EQ(d.hasRect, c.hasRect);
        if (c.hasRect) {
            EXPECT_EQ(d.rect, c.rect);
        }
    }
}

class TextureDescriptionFileTest : public RecordingTextureTest {};

TEST_F(TextureDescriptionFileTest, AtlasSubTexturesArePlacedLoadedAndLeftOutWhenTheyDoNotFit) {
    const std::string red = folder_.Write("red.png", SolidPng(8, 4, 0xFFFF0000u));
    const std::string blue = folder_.Write("blue.png", SolidPng(8, 4, 0xFF0000FFu));
    const std::string big = folder_.Write("big.png", SolidPng(64, 64, 0xFF00FF00u));
    const std::string text = "Width = 32; Height = 16; Format = \"D3DFMT_A8R8G8B8\"; Id = \"atlas\";"
                             "Subs[0].FileName = \"" + red + "\"; Subs[0].Id = \"red\";"
                             "Subs[1].FileName = \"" + blue + "\"; Subs[1].Id = \"blue\";"
                             "Subs[2].FileName = \"" + big + "\"; Subs[2].Id = \"big\";"
                             "Subs[3].Id = \"fixed\"; Subs[3].x1 = 28; Subs[3].y1 = 12; Subs[3].w = 4; Subs[3].h = 4;"
                             "Subs[4].Id = \"nothing\";";
    TextureResource atlas;
    ASSERT_TRUE(atlas.LoadDescription(String(folder_.Write("atlas.ts", text).c_str())));
    EXPECT_EQ(atlas.Id(), String("atlas"));
    ASSERT_EQ(atlas.Subs().size(), 3u);
    const TextureResource* r = atlas.Subs()[0].get();
    const TextureResource* b = atlas.Subs()[1].get();
    EXPECT_EQ(r->Id(), String("red"));
    EXPECT_EQ(r->Rect(), (TextureRect{0, 0, 7, 3}));
    EXPECT_EQ(b->Rect(), (TextureRect{0, 3, 7, 6}));  // directly below, sharing row 3
    EXPECT_EQ(atlas.Subs()[2]->Id(), String("fixed"));
    EXPECT_EQ(atlas.Subs()[2]->Rect(), (TextureRect{28, 12, 31, 15}));
    EXPECT_EQ(r->Identity(), &atlas);
    IDirect3DTexture9* texture = atlas.GetTexture();
    EXPECT_EQ(Texel(texture, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Texel(texture, 7, 2), 0xFFFF0000u);
    EXPECT_EQ(Texel(texture, 0, 3), 0xFF0000FFu);  // the later image wins the shared row
    EXPECT_EQ(Texel(texture, 7, 6), 0xFF0000FFu);
    EXPECT_EQ(Texel(texture, 8, 0), 0u);
    EXPECT_EQ(device_->Count("CreateTexture"), 1);
}

TEST_F(TextureDescriptionFileTest, ImageDescriptionsAndUnreadableFiles) {
    const std::string png = folder_.Write("key.png", SolidPng(4, 4, 0xFFFF00FFu));
    TextureResource keyed;
    ASSERT_TRUE(keyed.LoadDescription(String(folder_.Write("k.ts", "FileName = \"" + png +
                                                                       "\"; ColorKey.r = 255; ColorKey.g = 0;"
                                                                       "ColorKey.b = 255; Levels = 1;")
                                                 .c_str())));
    EXPECT_EQ(keyed.Parameters().colorKey, 0xFFFF00FFu);
    EXPECT_EQ(keyed.Description().Width, 4u);
    EXPECT_EQ(Texel(keyed.GetTexture(), 1, 1), 0u);

    TextureResource missing;
    EXPECT_FALSE(missing.LoadDescription(String((png + ".absent.ts").c_str())));
    TextureResource badImage;
    EXPECT_FALSE(badImage.LoadDescription(String(folder_.Write("b.ts", "FileName = \"/no/such.png\";").c_str())));
    EXPECT_EQ(badImage.Direct3DTexture(), nullptr);
}

}  // namespace
