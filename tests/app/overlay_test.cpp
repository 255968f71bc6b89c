// The clock and frame-rate labels in a running application: made when asked, their
// rectangles by client size and clock form, the clock flush with the corner and ticking with
// the virtual clock, and the frame-rate label settling on the rate, changing once a second.

#include "app/application.h"
#include "core/clock.h"
#include "platform/win/message_queue.h"
#include "platform/win/window.h"
#include "render/text_label.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

class OverlayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        static const std::string config = ::testing::TempDir() + "/frostvale-overlay-test";
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    }
    void SetUp() override {
        UseVirtualClock(0, 0.0);
        ResetMessageQueue();
    }
    void TearDown() override {
        app_.reset();
        ResetMessageQueue();
        UseMonotonicClock();
    }
    Application& Started(int width, int height, int showTime, bool showFps) {
        app_ = std::make_unique<Application>();
        ShellOptions options;
        options.windowed = true;
        options.windowWidth = width;
        options.windowHeight = height;
        options.showFps = showFps;
        options.showTime = showTime;
        options.localTime = 13 * 3600 + 7 * 60 + 9;
        app_->SetShellOptions(options);
        EXPECT_TRUE(app_->Start(nullptr, LaunchMode::Test, 0));
        return *app_;
    }

    std::unique_ptr<Application> app_;
};

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

}  // namespace

TEST_F(OverlayTest, ClockRectangleFollowsClientWidthAndFormAndSitsInTheCorner) {
    const struct {
        int width, height, form;
        int clockWidth, clockHeight;
        const char* text;
    } cases[] = {
        {1024, 768, 12, 350, 74, "1:07:09 pm"},
        {800, 600, 12, 273, 57, "1:07:09 pm"},
        {1024, 768, 24, 276, 74, "13:07:09 "},
    };
    for (const auto& c : cases) {
        Application& app = Started(c.width, c.height, c.form, false);
        ASSERT_NE(app.Overlay(), nullptr);
        EXPECT_EQ(app.Overlay()->FpsText(), nullptr);
        TextLabel* clock = app.Overlay()->ClockText();
        ASSERT_NE(clock, nullptr);
        EXPECT_EQ(clock->Width(), c.clockWidth) << c.width;
        EXPECT_EQ(clock->Height(), c.clockHeight) << c.width;
        EXPECT_EQ(Narrow(clock->Text()), "11");
        app.RunIteration();
        EXPECT_EQ(Narrow(clock->Text()), c.text);
        EXPECT_EQ(clock->X(), c.width - c.clockWidth);
        EXPECT_EQ(clock->Y(), c.height - c.clockHeight);
        // Laid out from the rectangle's left edge: the digits leave a gap on the right.
        ASSERT_FALSE(clock->Boxes().empty());
        EXPECT_EQ(clock->Boxes().front().box.left, clock->X());
        EXPECT_LT(clock->Boxes().back().box.right, c.width);
        EXPECT_FALSE(clock->IsDirty());
        app_.reset();
    }
}

TEST_F(OverlayTest, RateSettlesAndTheLabelChangesAtMostOnceASecond) {
    Application& app = Started(320, 240, 24, true);
    TextLabel* fps = app.Overlay()->FpsText();
    ASSERT_NE(fps, nullptr);
    EXPECT_EQ(fps->X(), 10);
    EXPECT_EQ(fps->Width(), 256);
    EXPECT_EQ(fps->Height(), 128);
    EXPECT_EQ(fps->AlphaMode(), 2u);
    EXPECT_FLOAT_EQ(fps->AlphaFactor(), 0.5f);
    // Counting goes on without drawing; the clock is set by hand, 60 passes a second.
    SendMessageA(app.GetWindow(), WM_ACTIVATE, WA_INACTIVE, 0);
    std::string shown = Narrow(fps->Text());
    EXPECT_EQ(shown, "100");
    std::int64_t lastChange = 0;
    for (int i = 0; i <= 240; ++i) {
        const std::int64_t now = i * 1000 / 60;
        SetVirtualTime(now);
        app.RunIteration();
        if (Narrow(fps->Text()) != shown) {
            if (lastChange != 0) {
                EXPECT_GE(now - lastChange, 1000) << i;
            }
            lastChange = now;
            shown = Narrow(fps->Text());
        }
    }
    EXPECT_EQ(shown, "60");
    // The clock ticks with the virtual clock: four seconds on.
    EXPECT_EQ(Narrow(app.Overlay()->ClockText()->Text()), "13:07:13 ");
}
