// SHQueryUserNotificationState, the foreground window's place and
// GetSystemPowerStatus.
#include "platform/activity_win32.h"

#include <windows.h>
#include <shellapi.h>

namespace platform {

namespace {

ScreenRect screenRect(const RECT &r) { return ScreenRect{r.left, r.top, r.right, r.bottom}; }

// The desktop and the shell's own windows are not programs in front, even
// though they cover the monitor.
bool isDesktop(HWND window) {
    if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "WorkerW") == 0 || lstrcmpA(name, "Progman") == 0;
}

bool foregroundCoversMonitor() {
    HWND window = GetForegroundWindow();
    if (!window || isDesktop(window) || !IsWindowVisible(window) || IsIconic(window)) return false;
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONULL);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    RECT place;
    if (!monitor || !GetMonitorInfoA(monitor, &info) || !GetWindowRect(window, &place)) return false;
    return coversMonitor(screenRect(place), screenRect(info.rcMonitor));
}

}  // namespace

bool Win32Activity::fullScreenRunning() {
    QUERY_USER_NOTIFICATION_STATE state;
    if (SUCCEEDED(SHQueryUserNotificationState(&state)) && notificationStateHolds(int32_t(state))) return true;
    // Not every full-screen program makes the shell say so (borderless
    // games and video players in particular).
    return foregroundCoversMonitor();
}

bool Win32Activity::onBatteryPower() {
    SYSTEM_POWER_STATUS status;
    return GetSystemPowerStatus(&status) && batteryPowered(status.ACLineStatus);
}

}  // namespace platform
