// Text labels: the layout rules (scale, scrolls, line feeds, the three wrap breaks), clipped
// glyph quads with shrunk texture coordinates, and labels sharing one draw call.

#include "render_fixture.h"
#include "render/device_window.h"
#include "render/overlay_root.h"
#include "render/render_texture.h"
#include "render/text_label.h"

#include <cstring>

namespace {

struct FakeTexture : RenderTexture {
    IDirect3DBaseTexture9* Direct3DTexture() const override { return nullptr; }
};

// A font of one size-64 style: codes 32 ... 127 in 64 x 64 cells, 16 to a row of a 1024 x
// 512 texture; every glyph is `width` pixels wide ("i" 10, space 20).
struct TestFont {
    FakeTexture texture;
    BitmapFont font;
    TextStyle style;
    explicit TestFont(int width = 40, int spacing = 0, int gap = 0) {
        style.size = 64;
        style.spacing = spacing;
        style.lineGap = gap;
        auto cs = std::make_unique<Charset>();
        cs->start = 32;
        cs->end = 127;
        cs->charWidth = cs->charHeight = 64;
        cs->charsPerLine = 16;
        cs->texture = &texture;
        cs->textureWidth = 1024;
        cs->textureHeight = 512;
        cs->widths.assign(96, std::uint8_t(width));
        cs->widths['i' - 32] = 10;
        cs->widths[0] = 20;
        for (int code = 32; code <= 127; ++code) {
            const int i = code - 32, x = (i % 16) * 64, y = (i / 16) * 64;
            cs->rects.push_back(GlyphRect{x / 1024.0f, y / 512.0f, (x + cs->widths[i]) / 1024.0f, (y + 64) / 512.0f});
        }
        font.ListFor(style).Add(std::move(cs));
    }
    std::vector<GlyphBox> Lay(const char* text, TextLayoutInput input) {
        std::vector<GlyphBox> boxes;
        std::vector<TextureTriangles> counts;
        EXPECT_TRUE(LayOutText(font, style, WidenBytes(text), input, boxes, counts));
        return boxes;
    }
};

TextLayoutInput Rect(int left, int top, int right, int bottom) {
    TextLayoutInput input;
    input.edges = ScreenBox{left, top, right, bottom};
    return input;
}

std::string Chars(const std::vector<GlyphBox>& boxes) {
    std::string s;
    for (const GlyphBox& b : boxes) s += char(b.character);
    return s;
}

}  // namespace

TEST(TextLayoutTest, BoxesAndAdvanceScaleButLineAdvanceDoesNot) {
    const struct {
        float scale;
        ScreenBox first, second, third;  // "0", "0" and the "1" after a line feed
    } cases[] = {
        {1.0f, {0, 0, 40, 64}, {45, 0, 85, 64}, {0, 66, 40, 130}},
        {0.78125f, {0, 0, 31, 50}, {35, 0, 66, 50}, {0, 66, 31, 116}},
    };
    for (const auto& c : cases) {
        TestFont f(40, 5, 2);
        TextLayoutInput input = Rect(0, 0, 1000, 1000);
        input.scale = c.scale;
        const auto boxes = f.Lay("00\n1", input);
        ASSERT_EQ(boxes.size(), 3u);
        EXPECT_EQ(boxes[0].box, c.first) << c.scale;
        EXPECT_EQ(boxes[1].box, c.second) << c.scale;
        EXPECT_EQ(boxes[2].box, c.third) << c.scale;
    }
}

TEST(TextLayoutTest, WrapOffScrollsAndSkipsPastTheRightEdge) {
    const struct {
        const char* text;
        float hscroll, vscroll;
        int right, bottom;
        const char* placed;
        int firstLeft, firstTop;
    } cases[] = {
        {"abcdef\nxy", 0, 0, 100, 1000, "abcxy", 0, 0},         // c starts at 80 <= 100; d at 120 is past
        {"abcdef\nxy", 50, 0, 100, 1000, "abcdxy", -50, 0},    // moved left by 50 on every line
        {"ab\ncd\nef", 0, 70, 1000, 1000, "cdef", 0, -6},      // one line of 64 skipped, 6 more scrolled
        {"ab\ncd\nef", 0, 64, 1000, 1000, "abcdef", 0, -64},   // 64 + 64 is not below 64: nothing skipped
        {"abcdef", 0, 0, 1000, 10, "abcdef", 0, 0},            // the first line starts above the bottom
        {"ab\ncd", 0, 0, 1000, 10, "ab", 0, 0},                // the second starts below it
        {"", 0, 0, 1000, 1000, "", 0, 0},
    };
    for (const auto& c : cases) {
        TestFont f;
        TextLayoutInput input = Rect(0, 0, c.right, c.bottom);
        input.horizontalScroll = c.hscroll;
        input.verticalScroll = c.vscroll;
        const auto boxes = f.Lay(c.text, input);
        EXPECT_EQ(Chars(boxes), c.placed) << c.text << " " << c.hscroll << " " << c.vscroll;
        if (!boxes.empty()) {
            EXPECT_EQ(boxes[0].box.left, c.firstLeft) << c.text;
            EXPECT_EQ(boxes[0].box.top, c.firstTop) << c.text;
        }
    }
}

TEST(TextLayoutTest, WrapOnBreaksByItsThreeRules) {
    // Glyphs 40 wide, "i" 10, space 20, letter spacing 5 (a word of n letters measures
    // its widths + 2 (n - 1) x 5).
    const struct {
        const char* text;
        int right;
        float first;
        std::vector<int> tops;  // top of each placed box
    } cases[] = {
        // A space breaks when it does not fit: "aa" ends at 90; the space needs 90 + 20 > 100.
        {"aa b", 100, 0, {0, 0, 64, 64}},
        // A word's first letter breaks when the whole word does not fit: "ii" measures 30 > 99 - 70.
        {"a ii", 99, 0, {0, 0, 64, 64}},
        // ... and stays when it does: "i" alone measures 10 <= 29.
        {"a i", 99, 0, {0, 0, 0}},
        // Any other character breaks when it does not fit: the third "a" starts at 90.
        {"aaa", 100, 0, {0, 0, 64}},
        // The first character of a line never breaks, however wide.
        {"a", 10, 0, {0}},
        // Laying out from the first character: index 2 of "aa b".
        {"aa b", 100, 2.7f, {0, 0}},
    };
    for (const auto& c : cases) {
        TestFont f(40, 5);
        TextLayoutInput input = Rect(0, 0, c.right, 1000);
        input.wrap = true;
        input.firstCharacter = c.first;
        std::vector<int> tops;
        for (const GlyphBox& b : f.Lay(c.text, input)) tops.push_back(b.box.top);
        EXPECT_EQ(tops, c.tops) << c.text;
    }
}

TEST(TextLayoutTest, UncoveredCharactersAndMissingStylesAreSkipped) {
    TestFont f;
    EXPECT_EQ(Chars(f.Lay("a\x01" "b", Rect(0, 0, 1000, 1000))), "ab");
    EXPECT_EQ(f.Lay("a\x01" "b", Rect(0, 0, 1000, 1000))[1].box.left, 40);
    EXPECT_EQ(f.font.TextWidth(f.style, WidenBytes("a\x01" "b")), 80);
    std::vector<GlyphBox> boxes;
    std::vector<TextureTriangles> counts;
    TextStyle bold = f.style;
    bold.flags = kStyleBold;
    EXPECT_FALSE(LayOutText(f.font, bold, WidenBytes("a"), Rect(0, 0, 100, 100), boxes, counts));
}

TEST(TextLayoutTest, ClippedGlyphKeepsItsScaleAndShrinksItsTextureRectangle) {
    TestFont f;
    // "0" (code 48: cell 16, row 1) at (80, 10): 40 x 64, half outside a clip ending at x 100.
    const GlyphBox glyph{u'0', f.font.Find(f.style)->For('0'), ScreenBox{80, 10, 120, 74}};
    float v[kGlyphFloats];
    WriteGlyphQuad(glyph, ScreenBox{0, 20, 100, 200}, 0.25f, v);
    const float u0 = 0 / 1024.0f, u1 = 20 / 1024.0f, v0 = (64 + 10) / 512.0f, v1 = 128 / 512.0f;
    const float expected[6][6] = {{79.5f, 19.5f, 0.25f, 1, u0, v0}, {99.5f, 19.5f, 0.25f, 1, u1, v0},
                                  {79.5f, 73.5f, 0.25f, 1, u0, v1}, {99.5f, 19.5f, 0.25f, 1, u1, v0},
                                  {99.5f, 73.5f, 0.25f, 1, u1, v1}, {79.5f, 73.5f, 0.25f, 1, u0, v1}};
    for (int i = 0; i < 36; ++i) EXPECT_FLOAT_EQ(v[i], expected[i / 6][i % 6]) << i;
}

TEST(ClipRectangleTest, EdgesAndPositionAndSize) {
    EXPECT_EQ(ClipRectangle({-5, 5, 50, 120}, {0, 0, 40, 100}, false), (ScreenBox{0, 5, 40, 100}));
    EXPECT_EQ(ClipRectangle({60, 5, 80, 20}, {0, 0, 40, 100}, false), (ScreenBox{40, 5, 40, 20}));
    EXPECT_EQ(ClipRectangle({10, 10, 50, 50}, {20, 0, 100, 30}, true), (ScreenBox{20, 10, 40, 20}));
}

using TextLabelTest = RecordedDeviceTest;

TEST_F(TextLabelTest, LabelsOfOneTextureDrawInOneCallAndWrite144BytesAChar) {
    SetScreenScale(1.0f);
    TestFont f;
    OverlayRoot root;
    TextLabel first, second;
    for (TextLabel* label : {&first, &second}) {
        label->SetFont(&f.font);
        label->SetStyle(f.style);
        label->SetAlphaMode(2);
    }
    first.SetRect(10, 10, 256, 128);
    first.SetAlphaFactor(0.5f);
    first.SetText(WidenBytes("100"));
    second.SetRect(500, 300, 350, 74);
    second.SetText(WidenBytes("1:07"));
    ASSERT_TRUE(first.Attach(root));
    ASSERT_TRUE(second.Attach(root));
    EXPECT_TRUE(first.HasPendingTask());
    EXPECT_LT(first.Depth(), second.Depth());

    device->ClearCalls();
    ASSERT_TRUE(root.Draw());
    EXPECT_FALSE(first.IsDirty());
    EXPECT_FALSE(second.HasPendingTask());
    EXPECT_EQ(device->CallsOf("DrawPrimitive"), std::vector<std::string>{"DrawPrimitive(4, 0, 14)"});
    std::vector<Renderer*> a, b;
    first.ListRenderers(a);
    second.ListRenderers(b);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a, b);

    // The second label's first vertex: top-left of "1" at its rectangle, at its depth.
    auto* vertices = static_cast<RenderVertices*>(a[0]);
    UINT start = 0, length = 0;
    vertices->Vertices()->GetUsedRange(&start, &length);
    EXPECT_EQ(length, 7u * 144u);
    void* data = nullptr;
    ASSERT_TRUE(vertices->Vertices()->Lock(0, 0, D3DLOCK_READONLY, &data));
    float v[6];
    std::memcpy(v, static_cast<const char*>(data) + 3 * 144, sizeof v);
    vertices->Vertices()->Unlock();
    EXPECT_FLOAT_EQ(v[0], 499.5f);
    EXPECT_FLOAT_EQ(v[1], 299.5f);
    EXPECT_FLOAT_EQ(v[2], second.Depth());

    // An empty, hidden or changed label rebuilds before the next draw; an empty text has
    // no blocks left.
    second.SetText(u"");
    second.MarkDirty(true);
    first.SetVisible(false);
    root.RunTasks();
    EXPECT_TRUE(second.Boxes().empty());
    b.clear();
    second.ListRenderers(b);
    EXPECT_TRUE(b.empty());
    a.clear();
    first.ListRenderers(a);
    EXPECT_TRUE(a.empty());
}

TEST_F(TextLabelTest, ChildrenAndRectangles) {
    OverlayRoot root;
    Window parent, child;
    parent.SetRect(100, 50, 5000, 0);  // clamped to 2000 x 1
    EXPECT_EQ(parent.Width(), 2000);
    EXPECT_EQ(parent.Height(), 1);
    parent.SetRect(100, 50, 200, 100);
    parent.AddChild(&child);
    child.SetRect(150, 20, 100, 40);
    ScreenBox screen, clip;
    child.ScreenRect(screen, clip);
    EXPECT_EQ(screen, (ScreenBox{250, 70, 100, 40}));
    EXPECT_EQ(clip, (ScreenBox{250, 70, 50, 40}));
    ASSERT_TRUE(parent.Attach(root));
    EXPECT_TRUE(child.Attach(root));  // a child is done at once, without an order value
    EXPECT_FLOAT_EQ(child.Depth(), 0.0f);
    EXPECT_TRUE(child.HasPendingTask());
    root.RunTasks();
    EXPECT_FALSE(child.IsDirty());
    EXPECT_FALSE(parent.IsDirty());
    // The range runs out after kRangeEnd elements of span 1.
    std::vector<std::unique_ptr<Window>> many;
    int attached = 1;
    for (int i = 0; i < OverlayRoot::kRangeEnd; ++i) {
        many.push_back(std::make_unique<Window>());
        if (many.back()->Attach(root)) ++attached;
    }
    EXPECT_EQ(attached, OverlayRoot::kRangeEnd);
    EXPECT_FALSE(many.back()->IsAttached());
}

TEST_F(TextLabelTest, AlphaModeChangesReleaseRenderersAndFactorsApplyAtOnce) {
    TestFont f;
    OverlayRoot root;
    TextLabel label;
    label.SetFont(&f.font);
    label.SetStyle(f.style);
    label.SetRect(0, 0, 300, 100);
    label.SetText(WidenBytes("42"));
    label.SetAlphaMode(2);
    ASSERT_TRUE(label.Attach(root));
    root.RunTasks();
    std::vector<Renderer*> before;
    label.ListRenderers(before);
    ASSERT_EQ(before.size(), 1u);

    label.SetAlphaMode(1);  // released now, acquired in the new mode at the rebuild
    std::vector<Renderer*> none;
    label.ListRenderers(none);
    EXPECT_TRUE(none.empty());
    label.SetAlphaFactor(0.5f);
    root.RunTasks();
    std::vector<Renderer*> after;
    label.ListRenderers(after);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0]->State().alphaMode, 1u);
    EXPECT_FLOAT_EQ(after[0]->State().alphaFactor, 0.5f);

    label.SetAlphaFactor(0.25f);  // in place, no rebuild needed
    EXPECT_FLOAT_EQ(after[0]->State().alphaFactor, 0.25f);
    EXPECT_FALSE(label.IsDirty());
}
