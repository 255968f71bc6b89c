// The per-frame figures of the statistics file.

#include "app/frame_recorder.h"

#include <gtest/gtest.h>

TEST(FrameRecorder, SummaryIsMedianNearestRankP95AndMax) {
    const struct {
        std::vector<double> values;
        double median, p95, max;
    } cases[] = {
        {{}, 0, 0, 0},
        {{7}, 7, 7, 7},
        {{3, 1}, 2, 3, 3},
        {{5, 1, 4, 2, 3}, 3, 5, 5},
    };
    for (const auto& c : cases) {
        const FrameFigure f = Summarise(c.values);
        EXPECT_DOUBLE_EQ(f.median, c.median);
        EXPECT_DOUBLE_EQ(f.p95, c.p95);
        EXPECT_DOUBLE_EQ(f.max, c.max);
    }
    std::vector<double> hundred;
    for (int i = 100; i >= 1; --i) hundred.push_back(i);
    const FrameFigure f = Summarise(hundred);
    EXPECT_DOUBLE_EQ(f.median, 50.5);
    EXPECT_DOUBLE_EQ(f.p95, 95);
    EXPECT_DOUBLE_EQ(f.max, 100);
}
