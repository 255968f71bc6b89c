// Whole snowscape frames over the shipped media, drawn into the recording device: what one
// frame asks of the device, and the counts that must not grow with the run.

#include "core/clock.h"
#include "core/media_archive.h"
#include "core/random.h"
#include "scene/scene_draw.h"
#include "snowscape/scene_settings.h"
#include "snowscape/snowscape.h"
#include "tests/render/render_fixture.h"

namespace {

class SnowscapeFrameTest : public RecordedDeviceTest {
protected:
    void SetUp() override {
        RecordedDeviceTest::SetUp();
        ASSERT_TRUE(MountArchive());
        UseVirtualClock(0, 40.0);
        SeedRandom(11);
        LoadSceneSettings(100, 0);
    }
    void TearDown() override {
        UseMonotonicClock();
        UnmountArchiveForTesting();
        RecordedDeviceTest::TearDown();
    }
};

// The visited and submitted counts are per frame: the second frame counts what the first did.
TEST_F(SnowscapeFrameTest, DrawCountsStartOverEachFrame) {
    Snowscape snowscape;
    ASSERT_TRUE(snowscape.Create());
    snowscape.Start();
    ASSERT_TRUE(snowscape.Draw(320, 180));
    const SceneDrawCounters first = DrawCounters();
    EXPECT_GT(first.visited, 600);
    EXPECT_GT(first.submitted, 0);
    ASSERT_TRUE(snowscape.Draw(320, 180));
    EXPECT_EQ(DrawCounters().visited, first.visited);
}

}  // namespace
