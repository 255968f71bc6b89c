#include "app/overdraw_map.h"

#include <gtest/gtest.h>

TEST(OverdrawMap, MeanAndHeatFollowTheCounts) {
    PresentedFrame counts;
    counts.width = 4;
    counts.height = 1;
    counts.rgba = {0, 0, 0, 255, 1, 1, 1, 255, 3, 3, 3, 255, 200, 200, 200, 255};
    EXPECT_DOUBLE_EQ(MeanOverdraw(counts), 51.0);
    const image::Image map = OverdrawHeatMap(counts);
    ASSERT_EQ(map.pixels.size(), 4u);
    const std::uint32_t expected[] = {0xFF000000u, 0xFF0000A0u, 0xFF00C000u, 0xFFFFFFFFu};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(map.pixels[i], expected[i]) << i;
    EXPECT_DOUBLE_EQ(MeanOverdraw(PresentedFrame{}), 0.0);
}
