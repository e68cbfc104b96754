// chromaweave's entry point: one copy at a time, the settings, the hidden
// main window with its tray icon, the wallpaper cycle and the message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/bmp_picture_store.h"
#include "app/cycle.h"
#include "app/messages.h"
#include "app/resources/resource.h"
#include "app/win32/win32_shell.h"
#include "compose/composer.h"
#include "compose/job.h"
#include "effects/core/random.h"
#include "platform/desktop_win32.h"
#include "platform/registry_win32.h"
#include "platform/shell_win32.h"

namespace {

const char mutexName[] = "chromaweave mutex";

// The named mutex that keeps a second copy from running; released at exit.
class InstanceMutex {
public:
    InstanceMutex() : handle(CreateMutexA(nullptr, TRUE, mutexName)) {
        alreadyRunning = handle && GetLastError() == ERROR_ALREADY_EXISTS;
    }
    ~InstanceMutex() {
        if (!handle) return;
        if (!alreadyRunning) ReleaseMutex(handle);
        CloseHandle(handle);
    }
    InstanceMutex(const InstanceMutex &) = delete;
    InstanceMutex &operator=(const InstanceMutex &) = delete;
    HANDLE handle;
    bool alreadyRunning = false;
};

// COM on the main thread from start-up to the end of shut-down.
class ComScope {
public:
    ComScope() : initialised(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope() {
        if (initialised) CoUninitialize();
    }
    ComScope(const ComScope &) = delete;
    ComScope &operator=(const ComScope &) = delete;

private:
    bool initialised;
};

int32_t runMessageLoop(Win32Shell &shell) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (shell.dialogMessage(&message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return int32_t(message.wParam);
}

// Everything between taking the mutex and releasing it.
int32_t runProgram(HINSTANCE instance) {
    Settings settings;
    char documents[pathBytes];
    getDocumentsFolder(documents);
    ComScope com;  // the Active Desktop tests below need it
    platform::Win32Desktop desktop;
    platform::Win32Registry registry;
    DesktopAccess access{desktop, registry};
    bool firstRun = prepareSettings(settings, access, documents);

    platform::Win32ShellPlatform platform;
    platform::Win32Worker worker(runGenerationJob, MSG_JOB_DONE);
    BmpPictureStore pictures;
    Win32Shell shell(instance, settings, access);
    shell.platform = &platform;
    shell.worker = &worker;
    WallpaperCycle cycle(settings, CycleServices{platform, worker, desktop, registry, pictures,
                                                 shell, platform::isAnsiLeadByte});
    shell.cycle = &cycle;

    if (!shell.registerMainClass()) {
        showMessage(instance, nullptr, IDS_NO_WINDOW_CLASS, 0, 0);
        return 0;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    if (!shell.createMainWindow()) {
        showMessage(instance, nullptr, IDS_NO_WINDOW, 0, 0);
        return 0;
    }
    sharedRandom().seedFromClock();
    theComposer().random.seed(composerSeed(settings.Count, GetTickCount()));
    cycle.begin(firstRun);
    SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
    int32_t result = runMessageLoop(shell);
    cycle.shutDown();
    return result;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InstanceMutex mutex;
    if (!mutex.handle) {
        showMessage(instance, nullptr, IDS_NO_MUTEX, 0, 0);
        return 0;
    }
    // Another copy runs: end silently.
    if (mutex.alreadyRunning) return 0;
    return runProgram(instance);
}
