// What the user is doing that a wallpaper change should not disturb: a
// full-screen program (a game, a presentation, a video) in front, or a
// computer running on its battery. Asked again and again while the user
// wants changes held for either.
#pragma once

#include <cstdint>

namespace platform {

class Activity {
public:
    virtual ~Activity() {}
    // The shell reports a full-screen program or presentation mode, or the
    // foreground window covers its whole monitor.
    virtual bool fullScreenRunning() = 0;
    // The computer runs on its battery (not on mains power, and not unknown).
    virtual bool onBatteryPower() = 0;
};

// ---- The decisions behind the Windows answers, kept pure.

// SHQueryUserNotificationState's answers that mean "do not disturb":
// QUNS_BUSY (2: a full-screen program), QUNS_RUNNING_D3D_FULL_SCREEN (3) and
// QUNS_PRESENTATION_MODE (4).
bool notificationStateHolds(int32_t state);

// Screen rectangles: right and bottom exclusive.
struct ScreenRect {
    int32_t left, top, right, bottom;
};
// A window covers its monitor when its rectangle holds the monitor's whole
// rectangle (borderless full-screen windows match it exactly, others spill
// over its edges). An empty monitor rectangle is covered by nothing.
bool coversMonitor(const ScreenRect &window, const ScreenRect &monitor);

// GetSystemPowerStatus's ACLineStatus: 0 offline (on battery), 1 online,
// 255 unknown (a computer that cannot tell is taken for one on mains power).
bool batteryPowered(uint8_t acLineStatus);

}  // namespace platform
