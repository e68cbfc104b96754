// The decisions behind the full-screen and battery answers.
#include "platform/activity.h"

namespace platform {

bool notificationStateHolds(int32_t state) { return state >= 2 && state <= 4; }

bool coversMonitor(const ScreenRect &window, const ScreenRect &monitor) {
    if (monitor.right <= monitor.left || monitor.bottom <= monitor.top) return false;
    return window.left <= monitor.left && window.top <= monitor.top && window.right >= monitor.right &&
           window.bottom >= monitor.bottom;
}

bool batteryPowered(uint8_t acLineStatus) { return acLineStatus == 0; }

}  // namespace platform
