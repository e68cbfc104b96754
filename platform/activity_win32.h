// The full-screen and power state the Windows shell and kernel report.
#pragma once

#include "platform/activity.h"

namespace platform {

class Win32Activity : public Activity {
public:
    bool fullScreenRunning() override;
    bool onBatteryPower() override;
};

}  // namespace platform
