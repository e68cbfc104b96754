// The wallpaper cycle: timers, pauses, the worker, commands, start and end.
#include "app/cycle.h"

#include <cstdio>
#include <cstring>

#include "app/messages.h"
#include "app/resources/resource.h"

// ---- Decisions

uint32_t reverseBits32(uint32_t v) {
    uint32_t result = 0;
    for (int32_t i = 0; i < 32; ++i) {
        result = (result << 1) | (v & 1);
        v >>= 1;
    }
    return result;
}

uint32_t composerSeed(uint32_t count, uint32_t tick) { return reverseBits32(count) ^ tick; }

ChangeStep decideChange(bool workerExists, platform::WorkerPoll poll) {
    if (!workerExists) return ChangeStep::startWorker;
    switch (poll) {
    case platform::WorkerPoll::finished: return ChangeStep::applyNow;
    case platform::WorkerPoll::running: return ChangeStep::waitForWorker;
    default: return ChangeStep::nothing;
    }
}

ResumePlan planResume(uint32_t lastChangeTick, uint32_t pauseTick, uint32_t interval,
                      bool changePending) {
    uint32_t elapsed = pauseTick - lastChangeTick;
    // A change that was already due when the cycle was held is made now;
    // waiting for a timer would leave it pending with no timer to serve it.
    if (changePending || elapsed >= interval) return ResumePlan{true, 0};
    return ResumePlan{false, interval - elapsed};
}

uint32_t shiftByPause(uint32_t lastChangeTick, uint32_t pauseTick, uint32_t now) {
    return lastChangeTick + (now - pauseTick);
}

bool prepareSettings(Settings &settings, DesktopAccess access, const char *documentsFolder) {
    std::snprintf(settings.SaveDir, sizeof settings.SaveDir, "%s", documentsFolder);
    int32_t written = std::snprintf(settings.WallpaperDir, sizeof settings.WallpaperDir,
                                    "%s\\chromaweave", settings.SaveDir);
    if (written < 0 || written >= kPathBytes) settings.WallpaperDir[0] = '\0';
    settings.NoActiveDesktop = !isActiveDesktopOn(access);
    bool firstRun = !loadSettings(access.registry, settings);
    // While Active Desktop is enabled at start-up it is always used.
    if (settings.NoActiveDesktop && isActiveDesktopOn(access)) settings.NoActiveDesktop = false;
    return firstRun;
}

// ---- The cycle

namespace {

// The worker's task: the generation job the cycle hands it.
void runJob(void *job) { runGenerationJob(static_cast<GenerationJob *>(job)); }

}  // namespace

WallpaperCycle::WallpaperCycle(Settings &settings, const CycleServices &services)
    : settings(settings), services(services) {
    shell.job.composer = &services.composer;
}

WallpaperCycle::~WallpaperCycle() {
    joinWorker();
    services.pictures.release(shell.job.result);
    services.pictures.release(shell.currentPicture);
}

void WallpaperCycle::setTimer(uint32_t id, uint32_t ms) {
    if (shell.ending) return;
    if (services.platform.setTimer(id, ms)) shell.activeTimers |= id;
}

void WallpaperCycle::killTimer(uint32_t id) {
    if (!(shell.activeTimers & id)) return;
    services.platform.killTimer(id);
    shell.activeTimers &= ~id;
}

void WallpaperCycle::stopTimers() {
    killTimer(kTimerChange);
    killTimer(kTimerResume);
    if (shell.trayTriesLeft) services.platform.killTimer(kTimerTray);
    shell.trayTriesLeft = 0;
}

void WallpaperCycle::joinWorker() {
    if (!shell.workerExists) return;
    services.worker.join();
    shell.workerExists = false;
}

void WallpaperCycle::begin(bool firstRun) {
    joinPath(settings.WallpaperDir, "chromaweave.bmp", shell.WallpaperFile,
             services.isLeadByte);
    shell.firstRun = firstRun;
    if (firstRun) {
        // No picture is made until the settings are confirmed.
        services.ui.openDialog(ShellDialog::settings);
    } else {
        requestChange();
    }
}

void WallpaperCycle::shutDown() {
    if (shell.shutDownDone) return;
    shell.shutDownDone = true;
    if (shell.currentPicture) {
        services.pictures.release(shell.currentPicture);
        shell.currentPicture = nullptr;
        bool restored = settings.RestoreWallpaper &&
                        setDesktopWallpaper(desktopAccess(), settings.NoActiveDesktop,
                                            shell.previousWallpaper, shell.previousStyle, true);
        // Only a file the desktop no longer shows is deleted: without the
        // restore the desktop (and with Active Desktop the profile) would
        // point at a missing file.
        if (restored && !settings.UseSequentialNo && settings.DeleteFile)
            services.platform.deleteFile(shell.WallpaperFile);
    }
    if (!shell.skipSaveOnExit) saveSettings(services.registry, settings);
    joinWorker();
    services.pictures.release(shell.job.result);
    shell.job.result = nullptr;
}

void WallpaperCycle::endSession() {
    // No change may follow the restore.
    stopTimers();
    shell.ending = true;
    shutDown();
    services.ui.destroyMainWindow();
}

// ---- The tray icon

void WallpaperCycle::addTrayIcon() {
    if (services.ui.addTrayIcon(shell.paused)) return;
    // The taskbar is not there yet: try again for a while.
    if (!shell.ending && !shell.trayTriesLeft &&
        services.platform.setTimer(kTimerTray, kTrayRetryPeriod))
        shell.trayTriesLeft = kTrayRetryTries;
}

void WallpaperCycle::tryTrayIcon() {
    if (!shell.trayTriesLeft) return;
    if (services.ui.addTrayIcon(shell.paused) || --shell.trayTriesLeft == 0) {
        services.platform.killTimer(kTimerTray);
        shell.trayTriesLeft = 0;
    }
}

void WallpaperCycle::onTaskbarCreated() {
    // The new taskbar knows no icons: ours comes back showing the state.
    if (shell.ending) return;
    if (shell.trayTriesLeft) {
        tryTrayIcon();
        return;
    }
    addTrayIcon();
}

// ---- Changing the wallpaper

void WallpaperCycle::requestChange() {
    if (shell.changePending) return;
    killTimer(kTimerChange);
    killTimer(kTimerResume);
    changeStep();
    if (!shell.changePending) setTimer(kTimerChange, settings.Interval);
}

// The kTimerChange step: serve the change now when the next picture is
// ready, otherwise mark it pending for kMsgJobDone.
void WallpaperCycle::changeStep() {
    platform::WorkerPoll poll = platform::WorkerPoll::failed;
    if (shell.workerExists) poll = services.worker.poll();
    switch (decideChange(shell.workerExists, poll)) {
    case ChangeStep::applyNow:
        joinWorker();
        shell.changePending = false;
        applyResult();
        startJob();
        break;
    case ChangeStep::waitForWorker:
        shell.changePending = true;
        killTimer(kTimerChange);
        break;
    case ChangeStep::startWorker:
        // Without a worker nothing could ever be served: start one; if that
        // fails too, the change timer stays armed and tries again.
        if (startJob()) {
            shell.changePending = true;
            killTimer(kTimerChange);
        }
        break;
    case ChangeStep::nothing:
        break;
    }
}

void WallpaperCycle::onTimer(uint32_t id) {
    if (shell.ending) return;
    if (id == kTimerTray) {
        tryTrayIcon();
    } else if (id == kTimerChange) {
        changeStep();
    } else if (id == kTimerResume) {
        killTimer(kTimerResume);
        changeStep();
        if (!shell.changePending) setTimer(kTimerChange, settings.Interval);
    }
}

void WallpaperCycle::onJobDone(uint32_t jobNumber) {
    if (shell.paused || !shell.changePending) return;
    // A notice of a worker that was already waited for (e.g. after a size
    // change) must not be taken for the current one, whose result is not
    // written yet.
    if (!shell.workerExists || jobNumber != shell.workerNumber) return;
    joinWorker();
    shell.changePending = false;
    applyResult();
    startJob();
    setTimer(kTimerChange, settings.Interval);
}

bool WallpaperCycle::startJob() {
    if (shell.ending || shell.workerExists) return false;
    pictureSize(settings, &shell.job.width, &shell.job.height);
    services.pictures.release(shell.job.result);
    shell.job.result = nullptr;
    uint32_t number = services.worker.start(runJob, &shell.job);
    if (number == 0) return false;
    shell.workerExists = true;
    shell.workerNumber = number;
    return true;
}

bool WallpaperCycle::applyResult() {
    char target[kPathBytes];
    bool named = true;
    if (settings.UseSequentialNo) {
        named = sequentialFileName(settings.WallpaperDir, settings.Count, target,
                                   services.isLeadByte);
    } else {
        std::memcpy(target, shell.WallpaperFile, sizeof target);
    }
    // A job whose picture could not be allocated leaves no result: that is a
    // wallpaper that cannot be written.
    if (!named || !shell.job.result || !services.pictures.save(*shell.job.result, target)) {
        services.platform.postMessage(kMsgSaveFailed, 0);
        return false;
    }
    if (shell.currentPicture) {
        services.pictures.release(shell.currentPicture);
    } else {
        // The wallpaper to restore on exit is the one from before this run's
        // first change.
        getDesktopWallpaper(desktopAccess(), settings.NoActiveDesktop, shell.previousWallpaper,
                            &shell.previousStyle);
    }
    shell.currentPicture = shell.job.result;
    shell.job.result = nullptr;
    if (!setDesktopWallpaper(desktopAccess(), settings.NoActiveDesktop, target, kWpStyleTile,
                             false)) {
        // The program ends. The message comes first: the main window's end
        // posts the quit message, which would close the box at once. While
        // it is open no change and no new job may start.
        stopTimers();
        shell.ending = true;
        services.ui.showMessage(MessageOwner::none, IDS_WALLPAPER_NOT_SET, 0);
        services.ui.destroyMainWindow();
        return false;
    }
    shell.lastChangeTick = services.platform.tickCount();
    settings.Count += 1;
    services.ui.showCount(settings.Count);
    return true;
}

void WallpaperCycle::togglePause() {
    shell.paused = !shell.paused;
    services.ui.updateTrayIcon(shell.paused);
    if (shell.paused) {
        killTimer(kTimerChange);
        killTimer(kTimerResume);
        shell.pauseTick = services.platform.tickCount();
        return;
    }
    uint32_t now = services.platform.tickCount();
    ResumePlan plan =
        planResume(shell.lastChangeTick, shell.pauseTick, settings.Interval, shell.changePending);
    shell.lastChangeTick = shiftByPause(shell.lastChangeTick, shell.pauseTick, now);
    if (plan.changeNow) {
        // A pending change is carried over the hold: requestChange serves it
        // now or marks it pending again for the worker's notice.
        shell.changePending = false;
        requestChange();
    } else {
        setTimer(kTimerResume, plan.delay);
    }
}

void WallpaperCycle::onSaveFailed() {
    if (!shell.paused) togglePause();
    services.ui.showMessage(MessageOwner::mainWindow, IDS_WALLPAPER_NOT_SAVED, 0);
    onCommand(IDM_SETTINGS);
}

// ---- Commands

void WallpaperCycle::onCommand(uint32_t id) {
    if (shell.ending) return;
    switch (id) {
    case IDM_SETTINGS: openSettings(); break;
    case IDM_SAVE: saveCopy(); break;
    case IDM_SAVE_AS: saveCopyAs(); break;
    case IDM_CHANGE:
        if (!shell.paused) requestChange();
        break;
    case IDM_STOP:
        shell.stopped = !shell.stopped;
        togglePause();
        break;
    case IDM_ABOUT:
        if (services.ui.isDialogOpen(ShellDialog::about))
            services.ui.bringToFront(ShellDialog::about);
        else
            services.ui.openDialog(ShellDialog::about);
        break;
    case IDM_EXIT:
        services.ui.destroyMainWindow();
        shell.ending = true;
        break;
    default: break;
    }
}

void WallpaperCycle::openSettings() {
    if (services.ui.isDialogOpen(ShellDialog::settings)) {
        services.ui.bringToFront(ShellDialog::settings);
        return;
    }
    if (services.ui.isDialogOpen(ShellDialog::saveAs)) services.ui.closeDialog(ShellDialog::saveAs);
    if (!shell.paused) togglePause();
    services.ui.openDialog(ShellDialog::settings);
}

void WallpaperCycle::saveCopy() {
    if (!shell.currentPicture) return;
    char path[kPathBytes];
    // A copy under the next number; Count itself does not change.
    if (!sequentialFileName(settings.WallpaperDir, settings.Count, path, services.isLeadByte) ||
        !services.pictures.save(*shell.currentPicture, path))
        services.ui.showMessage(MessageOwner::mainWindow, IDS_COPY_NOT_SAVED, 0);
}

void WallpaperCycle::saveCopyAs() {
    if (services.ui.isDialogOpen(ShellDialog::saveAs)) {
        services.ui.bringToFront(ShellDialog::saveAs);
        return;
    }
    if (!shell.currentPicture) return;
    // The settings dialog is closed at once, without its Cancel: its hold
    // passes straight to the save dialog, so no change can slip in between
    // and the cycle stays held until the save dialog ends.
    if (services.ui.isDialogOpen(ShellDialog::settings))
        services.ui.closeDialog(ShellDialog::settings);
    if (!shell.paused) togglePause();
    char path[kPathBytes] = "";
    if (services.ui.askSaveFileName(settings.SaveDir, settings.AskOverWrite, path)) {
        folderOfFile(path, settings.SaveDir, services.isLeadByte);
        if (!shell.currentPicture || !services.pictures.save(*shell.currentPicture, path))
            services.ui.showMessage(MessageOwner::mainWindow, IDS_COPY_NOT_SAVED, 0);
    }
    // The settings dialog may have been opened while the save dialog ran (it
    // closes the save dialog): the hold is then the settings dialog's, and
    // resuming here would leave it running with the dialog open.
    if (!shell.stopped && shell.paused && !services.ui.isDialogOpen(ShellDialog::settings))
        togglePause();
}

void WallpaperCycle::onTrayLeftClick() {
    if (shell.ending) return;
    if (services.ui.isDialogOpen(ShellDialog::settings)) {
        services.ui.bringToFront(ShellDialog::settings);
    } else if (services.ui.isDialogOpen(ShellDialog::saveAs)) {
        services.ui.bringToFront(ShellDialog::saveAs);
    } else if (shell.stopped) {
        onCommand(IDM_STOP);
    } else if (!shell.paused) {
        requestChange();
    }
}

void WallpaperCycle::onMainWindowDestroyed() {
    stopTimers();
    shell.ending = true;
}

// ---- Settings dialog outcome

void WallpaperCycle::settingsConfirmed(bool sizeChanged, bool intervalChanged) {
    if (shell.firstRun) {
        shell.firstRun = false;
        requestChange();
        return;
    }
    // Resuming then starts the full new interval from the moment of resuming.
    if (intervalChanged) shell.pauseTick = shell.lastChangeTick;
    if (!sizeChanged) {
        if (!shell.stopped) togglePause();
        return;
    }
    // The picture rendered in advance has the old size: wait for it and let
    // startJob release it.
    joinWorker();
    if (shell.stopped) {
        startJob();
        return;
    }
    shell.paused = false;
    services.ui.updateTrayIcon(false);
    // Any change pending from before the hold is served by this request.
    shell.changePending = false;
    requestChange();
}

void WallpaperCycle::settingsCancelled() {
    if (shell.firstRun) {
        shell.skipSaveOnExit = true;
        onCommand(IDM_EXIT);
        return;
    }
    if (!shell.stopped) togglePause();
}

FormChanges WallpaperCycle::storeSettings(const SettingsForm &form) {
    FormChanges changes = storeSizeAndInterval(form, settings);
    if (!services.sameFolder(form.folder, settings.WallpaperDir)) changeWallpaperDir(form.folder);
    storeSwitches(form, settings);
    return changes;
}

void WallpaperCycle::changeWallpaperDir(const char *folder) {
    // The fixed file does not stay behind in the old folder.
    if (!settings.UseSequentialNo) services.platform.deleteFile(shell.WallpaperFile);
    std::snprintf(settings.WallpaperDir, sizeof settings.WallpaperDir, "%s", folder);
    joinPath(settings.WallpaperDir, "chromaweave.bmp", shell.WallpaperFile,
             services.isLeadByte);
}
