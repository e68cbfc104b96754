// The decisions behind the full-screen and battery answers.
#include <gtest/gtest.h>

#include "platform/activity.h"

namespace {

TEST(Activity, NotificationStatesThatHold) {
    // QUNS_NOT_PRESENT 1 .. QUNS_APP 7 (and values no shell gives).
    const bool holds[] = {false, false, true, true, true, false, false, false, false};
    for (int32_t state = 0; state <= 8; ++state)
        EXPECT_EQ(platform::notificationStateHolds(state), holds[state]) << state;
}

TEST(Activity, WindowsThatCoverTheirMonitor) {
    const platform::ScreenRect monitor = {1920, 0, 3200, 1024};
    struct Case {
        platform::ScreenRect window;
        bool covers;
    } cases[] = {
        {{1920, 0, 3200, 1024}, true},                                // borderless full screen
        {{1912, -8, 3208, 1032}, true},                               // a maximised frame spills over
        {{1920, 0, 3200, 1023}, false},                               // the taskbar's row is left
        {{1921, 0, 3200, 1024}, false}, {{0, 0, 1920, 1024}, false},  // the other monitor
        {{0, 0, 0, 0}, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(platform::coversMonitor(c.window, monitor), c.covers) << c.window.left << "," << c.window.bottom;
    EXPECT_FALSE(platform::coversMonitor({0, 0, 10, 10}, {5, 5, 5, 9}));  // an empty monitor
}

TEST(Activity, BatteryPower) {
    EXPECT_TRUE(platform::batteryPowered(0));
    EXPECT_FALSE(platform::batteryPowered(1));
    EXPECT_FALSE(platform::batteryPowered(255));
}

}  // namespace
