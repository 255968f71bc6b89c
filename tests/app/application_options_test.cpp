// The long options taken out of frostvale's arguments before the switch scan.

#include "app/launch_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(ApplicationOptions, LongOptionsAreTakenOutBeforeTheSwitches) {
    const struct {
        std::vector<std::string> args;
        bool ok;
        std::string logFile;
        bool window;
        std::vector<std::string> rest;
    } cases[] = {
        {{"frostvale", "/s"}, true, "", false, {"frostvale", "/s"}},
        {{"frostvale", "--window"}, true, "", true, {"frostvale"}},
        {{"frostvale", "/p", "--log", "x.log", "12"}, true, "x.log", false, {"frostvale", "/p", "12"}},
        {{"frostvale", "--window", "/t", "--log", "--window"}, true, "--window", true, {"frostvale", "/t"}},
        {{"frostvale", "--log"}, false, "", false, {}},
        {{"frostvale", "--windowed"}, false, "", false, {}},
        {{"frostvale", "-s", "-window"}, true, "", false, {"frostvale", "-s", "-window"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        LaunchOptions options;
        std::string error;
        ASSERT_EQ(ExtractLongOptions(args, options, error), c.ok) << c.args.back();
        if (!c.ok) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(options.logFile, c.logFile);
        EXPECT_EQ(options.window, c.window);
        EXPECT_EQ(args, c.rest);
    }
}
