// chromaweave's entry point: one copy at a time, the settings, the hidden
// main window with its tray icon, the wallpaper cycle and the message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/bmp_picture_store.h"
#include "app/cycle.h"
#include "app/messages.h"
#include "app/renderer.h"
#include "app/resources/resource.h"
#include "app/start_with_windows.h"
#include "app/startup.h"
#include "app/win32/win32_shell.h"
#include "compose/composer.h"
#include "compose/job.h"
#include "effects/core/random.h"
#include "imaging/row_pool.h"
#include "platform/activity_win32.h"
#include "platform/desktop_win32.h"
#include "platform/fpu.h"
#include "platform/hotkeys_win32.h"
#include "platform/registry_win32.h"
#include "platform/shell_win32.h"
#include "platform/thread_priority_win32.h"

namespace {

const char kMutexName[] = "chromaweave mutex";

// The named mutex that keeps a second copy from running; released at exit.
class InstanceMutex {
public:
    InstanceMutex() {}
    void take() {
        handle = CreateMutexA(nullptr, TRUE, kMutexName);
        alreadyRunning = handle && GetLastError() == ERROR_ALREADY_EXISTS;
    }
    ~InstanceMutex() {
        if (!handle) return;
        if (!alreadyRunning) ReleaseMutex(handle);
        CloseHandle(handle);
    }
    InstanceMutex(const InstanceMutex &) = delete;
    InstanceMutex &operator=(const InstanceMutex &) = delete;
    HANDLE handle = nullptr;
    bool alreadyRunning = false;
};

// COM on the main thread from start-up to the end of shut-down.
class ComScope {
public:
    ComScope() {}
    void initialise() { initialised = SUCCEEDED(CoInitialize(nullptr)); }
    ~ComScope() {
        if (initialised) CoUninitialize();
    }
    ComScope(const ComScope &) = delete;
    ComScope &operator=(const ComScope &) = delete;

private:
    bool initialised = false;
};

// Helper threads compute as the worker does (long double with the 64-bit
// significand; Windows starts threads at 53 bits) and at its idle priority.
void prepareHelper(void *) {
    platform::useExtendedPrecision();
    platform::useIdlePriority();
}

// The worker's helpers: one per processor beside the worker's own, kept for
// the program's life and shared by every job.
void startHelpers(tlRowPool &helpers) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const int32_t processors = static_cast<int32_t>(system.dwNumberOfProcessors);
    if (processors > 1 && helpers.start(processors - 1, prepareHelper, nullptr) > 0) tlRowPool::install(&helpers);
}

int32_t runMessageLoop(Win32Shell &shell) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (shell.dialogMessage(&message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return int32_t(message.wParam);
}

// The program's objects and its start-up steps. The mutex and COM are taken
// by their steps and released last, after everything else is gone.
class Win32Program : public StartupSteps {
public:
    explicit Win32Program(HINSTANCE instance)
        : resources(interfaceResources(instance)),
          renderer(platform),
          worker(kMsgJobDone),
          shell(resources, settings, DesktopAccess{desktop, registry}),
          cycle(settings, CycleServices{platform, worker, composer, desktop, registry, pictures, shell,
                                        platform::isAnsiLeadByte, platform::sameTextIgnoringCase, hotkeys, activity}) {
        platform::WorkerHooks hooks;
        hooks.started = WallpaperRenderer::threadStarted;
        hooks.finished = WallpaperRenderer::taskFinished;
        hooks.idle = WallpaperRenderer::idle;
        hooks.context = &renderer;
        hooks.idlePeriod = WallpaperRenderer::kIdleCheckMs;
        worker.setHooks(hooks);
        shell.platform = &platform;
        shell.worker = &worker;
        shell.hotkeys = &hotkeys;
        shell.cycle = &cycle;
    }

    MutexResult takeMutex() override {
        mutex.take();
        if (!mutex.handle) return MutexResult::failed;
        return mutex.alreadyRunning ? MutexResult::heldByAnotherCopy : MutexResult::taken;
    }
    void prepare() override {
        char documents[kPathBytes];
        getDocumentsFolder(documents);
        com.initialise();  // the Active Desktop tests need it
        firstRun = prepareSettings(settings, DesktopAccess{desktop, registry}, documents);
        // A program that was moved starts from its new place next time.
        char program[MAX_PATH];
        if (settings.StartWithWindows && programPath(program))
            applyStartWithWindows(registry, true, program, platform::isAnsiLeadByte);
    }
    bool registerMainClass() override { return shell.registerMainClass(); }
    bool createMainWindow() override {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&controls);
        return shell.createMainWindow();
    }
    int32_t run() override {
        sharedRandom().seed(platform.tickCount());
        composer.random.seed(composerSeed(settings.Count, platform.tickCount()));
        cycle.begin(firstRun);
        SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
        startHelpers(helpers);  // at idle priority from their start
        int32_t result = runMessageLoop(shell);
        cycle.shutDown();
        return result;
    }
    void showMessage(uint32_t textId) override { ::showMessage(resources, nullptr, textId, 0, 0); }

private:
    platform::Win32Resources resources;
    // Declared first: released after everything below.
    InstanceMutex mutex;
    ComScope com;
    Settings settings;
    bool firstRun = false;
    platform::Win32Desktop desktop;
    platform::Win32Registry registry;
    platform::Win32ShellPlatform platform;
    tlRowPool helpers;  // outlives the worker, which may use it until joined
    // The worker thread's kept pictures; outlives the thread, which is
    // ended when the worker is destroyed.
    WallpaperRenderer renderer;
    platform::Win32Worker worker;
    platform::Win32Hotkeys hotkeys;
    platform::Win32Activity activity;
    WallpaperComposer composer;  // the worker's, beside the cycle that starts it
    BmpPictureStore pictures;
    Win32Shell shell;
    WallpaperCycle cycle;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Win32Program program(instance);
    return runProgram(program);
}
