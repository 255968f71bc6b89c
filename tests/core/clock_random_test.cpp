#include "core/clock.h"
#include "core/random.h"

#include <gtest/gtest.h>

namespace {
struct VirtualClock : ::testing::Test {
    void SetUp() override { UseVirtualClock(1000, 10.0); }
    void TearDown() override { UseMonotonicClock(); }
};
}  // namespace

TEST_F(VirtualClock, AdvancesOneStepPerFrame) {
    EXPECT_EQ(NowMilliseconds(), 1000);
    AdvanceVirtualClock();
    AdvanceVirtualClock();
    EXPECT_EQ(NowMilliseconds(), 1020);
    UseVirtualClock(0, 1000.0 / 30.0);
    for (int i = 0; i < 30; ++i) AdvanceVirtualClock();
    EXPECT_EQ(NowMilliseconds(), 1000) << "fractional steps accumulate without drift";
}

TEST_F(VirtualClock, ElapsedAtLeastRestartsOnlyWhenDue) {
    Stopwatch watch;
    SetVirtualTime(1049);
    EXPECT_FALSE(watch.ElapsedAtLeast(50));
    SetVirtualTime(1050);
    EXPECT_TRUE(watch.ElapsedAtLeast(50));
    EXPECT_EQ(watch.Elapsed(), 0) << "restarted";
    SetVirtualTime(1001);  // jumps back 49: not yet
    EXPECT_FALSE(watch.ElapsedAtLeast(50));
    SetVirtualTime(1000);  // jumps back 50: counts
    EXPECT_TRUE(watch.ElapsedAtLeast(50));
}

TEST_F(VirtualClock, FullSixtyFourBitCount) {
    // Past 2^32 ms (about 49.7 days) the count keeps going instead of wrapping.
    const std::int64_t start = (std::int64_t{1} << 32) - 10;
    SetVirtualTime(start);
    Stopwatch watch;
    SetVirtualTime(start + 20);
    EXPECT_EQ(watch.Elapsed(), 20);
    EXPECT_GT(NowMilliseconds(), std::int64_t{1} << 32);
}

TEST(MonotonicClockTest, NeverGoesBackwards) {
    UseMonotonicClock();
    std::int64_t previous = NowMilliseconds();
    for (int i = 0; i < 1000; ++i) {
        const std::int64_t now = NowMilliseconds();
        ASSERT_GE(now, previous);
        previous = now;
    }
}

namespace {
std::int64_t gRawMs = 0;
std::int64_t ReadRaw() { return gRawMs; }
}  // namespace

// A process stopped for minutes (SIGSTOP while a host shows its unlock dialog) resumes
// where it stood: a jump of more than kClockGapMs between readings counts as
// kClockResumeMs; ordinary frame times pass through whole.
TEST(MonotonicClockTest, TimeTheProcessWasStoppedIsLeftOut) {
    UseMonotonicClock();
    SetMonotonicReader(&ReadRaw);
    const struct {
        std::int64_t raw;
        std::int64_t expected;
    } readings[] = {
        {5000, 5000},
        {5030, 5030},
        {5030 + kClockGapMs, 5030 + kClockGapMs},  // a slow frame of exactly the limit
        {5030 + kClockGapMs + 30000 + 1, 5030 + kClockGapMs + kClockResumeMs},
        {5030 + kClockGapMs + 30000 + 51, 5030 + kClockGapMs + kClockResumeMs + 50},
    };
    for (const auto& r : readings) {
        gRawMs = r.raw;
        EXPECT_EQ(NowMilliseconds(), r.expected) << r.raw;
    }
    SetMonotonicReader(nullptr);
}

TEST(RandomTest, KnownSequence) {
    SeedRandom(1);
    EXPECT_EQ(Random(), 41);
    EXPECT_EQ(Random(), 18467);
    EXPECT_EQ(Random(), 6334);
    EXPECT_EQ(Random(), 26500);
    SeedRandom(0);
    EXPECT_EQ(Random(), 38);
    for (int i = 0; i < 1000; ++i) {
        const int value = Random();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}
