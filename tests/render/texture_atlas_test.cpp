// Atlas placement: contacts, candidates, scores and displacement.

#include "render/texture_atlas.h"

#include <gtest/gtest.h>

namespace {

TEST(TextureAtlasTest, RangesAndRectanglesMeetAsMissTouchOrOverlap) {
    EXPECT_EQ(Contact(0, 3, 5, 9), RangeContact::Miss);
    EXPECT_EQ(Contact(0, 5, 5, 9), RangeContact::Touch);
    EXPECT_EQ(Contact(5, 9, 0, 5), RangeContact::Touch);
    EXPECT_EQ(Contact(0, 6, 5, 9), RangeContact::Overlap);
    EXPECT_EQ(Contact(TextureRect{0, 0, 3, 3}, TextureRect{3, 3, 6, 6}), RectContact::Corner);
    EXPECT_EQ(Contact(TextureRect{0, 0, 3, 3}, TextureRect{0, 3, 3, 6}), RectContact::Edge);
    EXPECT_EQ(Contact(TextureRect{0, 0, 3, 3}, TextureRect{1, 1, 6, 6}), RectContact::Area);
    EXPECT_EQ(Contact(TextureRect{0, 0, 3, 3}, TextureRect{5, 0, 6, 6}), RectContact::None);
}

TEST(TextureAtlasTest, FirstGoesToTheOriginAndTheSecondDirectlyBelow) {
    const struct {
        int W, H, w, h;
    } cases[] = {{64, 64, 16, 8}, {32, 16, 8, 4}, {100, 40, 30, 10}};
    for (const auto& c : cases) {
        std::vector<AtlasEntry> placed;
        std::vector<TextureRect> out;
        PlaceInAtlas(c.W, c.H, placed, {{c.w, c.h}, {c.w, c.h}}, out);
        ASSERT_EQ(out.size(), 2u);
        EXPECT_EQ(out[0], (TextureRect{0, 0, c.w - 1, c.h - 1}));
        EXPECT_EQ(out[1], (TextureRect{0, c.h - 1, c.w - 1, 2 * c.h - 2}));
        AtlasChoice choice;
        std::vector<AtlasEntry> one{{out[0], false}};
        ASSERT_TRUE(ChooseAtlasPlace(c.W, c.H, c.w, c.h, one, choice));
        EXPECT_EQ(choice.looseness, 4);
        EXPECT_EQ(choice.displacedArea, 0);
    }
}

TEST(TextureAtlasTest, ExplicitRectanglesBlockAndAutomaticOnesAreDisplaced) {
    // Too large for anything but the origin, which an explicit rectangle holds: not placed.
    std::vector<AtlasEntry> placed{{{0, 0, 3, 3}, true}};
    std::vector<TextureRect> out;
    PlaceInAtlas(8, 8, placed, {{8, 8}}, out);
    EXPECT_TRUE(out[0].Empty());
    // The same over an automatic rectangle: it is displaced, and cannot come back.
    AtlasChoice choice;
    ASSERT_TRUE(ChooseAtlasPlace(8, 8, 8, 8, {{{0, 0, 3, 3}, false}}, choice));
    EXPECT_EQ(choice.displacedArea, 16);
    EXPECT_EQ(choice.displaced, std::vector<std::size_t>{0});
    // A full-size rectangle after a small one takes the origin; the small one moves nowhere.
    placed.clear();
    PlaceInAtlas(8, 8, placed, {{4, 4}, {8, 8}}, out);
    EXPECT_TRUE(out[0].Empty());
    EXPECT_EQ(out[1], (TextureRect{0, 0, 7, 7}));
    // Larger than the parent: never placed.
    EXPECT_FALSE(ChooseAtlasPlace(8, 8, 9, 1, {}, choice));
}

}  // namespace
