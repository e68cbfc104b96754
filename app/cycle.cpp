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

ResumePlan planResume(uint32_t lastChangeTick, uint32_t pauseTick, uint32_t interval, bool changePending) {
    uint32_t elapsed = pauseTick - lastChangeTick;
    // A change that was already due when the cycle was held is made now;
    // waiting for a timer would leave it pending with no timer to serve it.
    if (changePending || elapsed >= interval) return ResumePlan{true, 0};
    return ResumePlan{false, interval - elapsed};
}

uint32_t shiftByPause(uint32_t lastChangeTick, uint32_t pauseTick, uint32_t now) {
    return lastChangeTick + (now - pauseTick);
}

uint32_t recipeRefusalText(tlRecipeResult result) {
    switch (result) {
    case tlRecipeResult::Ok: return 0;
    case tlRecipeResult::NewerFormat: return IDS_RECIPE_NEWER;
    case tlRecipeResult::BadCharacter:
    case tlRecipeResult::Damaged:
    case tlRecipeResult::Malformed: return IDS_RECIPE_DAMAGED;
    case tlRecipeResult::UnknownEffect:
    case tlRecipeResult::BadSize:
    case tlRecipeResult::TooManyEffects:
    case tlRecipeResult::BadValue: return IDS_RECIPE_OUT_OF_RANGE;
    case tlRecipeResult::NoMemory:
    case tlRecipeResult::EffectFailed: return IDS_RECIPE_NOT_MADE;
    case tlRecipeResult::NotARecipe:
    case tlRecipeResult::TooLong: break;
    }
    return IDS_RECIPE_NOT_A_RECIPE;
}

bool prepareSettings(Settings &settings, DesktopAccess access, const char *documentsFolder) {
    std::snprintf(settings.SaveDir, sizeof settings.SaveDir, "%s", documentsFolder);
    int32_t written = std::snprintf(settings.WallpaperDir, sizeof settings.WallpaperDir, "%s\\chromaweave",
                                    settings.SaveDir);
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
    releaseParked();
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
    killTimer(kTimerBusy);
    if (shell.trayTriesLeft) services.platform.killTimer(kTimerTray);
    shell.trayTriesLeft = 0;
}

void WallpaperCycle::joinWorker() {
    if (!shell.workerExists) return;
    services.worker.join();
    shell.workerExists = false;
}

void WallpaperCycle::begin(bool firstRun) {
    joinPath(settings.WallpaperDir, "chromaweave.bmp", shell.WallpaperFile, services.isLeadByte);
    shell.firstRun = firstRun;
    shell.history.load(services.registry);
    registerHotkeys(settings.Hotkeys);
    updateActivityPolling();
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
                        setDesktopWallpaper(desktopAccess(), settings.NoActiveDesktop, shell.previousWallpaper,
                                            shell.previousStyle, true);
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
    releaseParked();
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
    if (!shell.ending && !shell.trayTriesLeft && services.platform.setTimer(kTimerTray, kTrayRetryPeriod))
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
    // Asked for, not due by the clock: made even while the user is busy,
    // and it serves a change that waits for the user.
    shell.changeDueWhileBusy = false;
    shell.pendingTimed = false;
    if (shell.changePending) return;
    killTimer(kTimerChange);
    killTimer(kTimerResume);
    changeStep();
    if (!shell.changePending) setTimer(kTimerChange, settings.Interval);
}

// The kTimerChange step: serve the change now when the next picture is
// ready, otherwise mark it pending for kMsgJobDone.
void WallpaperCycle::changeStep() {
    if (shell.parked) {
        showParked();
        serviceWorker();
        return;
    }
    if (shell.workerExists && shell.jobKind != JobKind::advance) {
        // The worker does other work first; the next picture follows it, and
        // its notice makes the change.
        shell.changePending = true;
        killTimer(kTimerChange);
        return;
    }
    // The thread posts its notice just before it ends: once the notice came
    // the picture is ready, though a poll might still find the thread
    // running, and no other notice would end the wait.
    platform::WorkerPoll poll = platform::WorkerPoll::failed;
    if (shell.workerExists) poll = shell.jobDone ? platform::WorkerPoll::finished : services.worker.poll();
    switch (decideChange(shell.workerExists, poll)) {
    case ChangeStep::applyNow:
        joinWorker();
        shell.changePending = false;
        applyResult();
        serviceWorker();
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
    case ChangeStep::nothing: break;
    }
}

void WallpaperCycle::timedChange() {
    if (shell.userBusy) {
        // The interval clock keeps running; the change waits for the user.
        shell.changeDueWhileBusy = true;
        return;
    }
    changeStep();
    shell.pendingTimed = shell.changePending;
}

void WallpaperCycle::onTimer(uint32_t id) {
    if (shell.ending) return;
    if (id == kTimerTray) {
        tryTrayIcon();
    } else if (id == kTimerChange) {
        timedChange();
    } else if (id == kTimerResume) {
        killTimer(kTimerResume);
        timedChange();
        if (!shell.changePending) setTimer(kTimerChange, settings.Interval);
    } else if (id == kTimerBusy) {
        pollActivity();
    }
}

void WallpaperCycle::onJobDone(uint32_t jobNumber) {
    // A notice of a worker that was already waited for (e.g. after a size
    // change) must not be taken for the current one, whose result is not
    // written yet.
    if (!shell.workerExists || jobNumber != shell.workerNumber) return;
    if (shell.jobKind != JobKind::advance) {
        finishSideJob(true);
        return;
    }
    shell.jobDone = true;
    if (shell.paused) return;
    if (shell.changePending && shell.userBusy && shell.pendingTimed) {
        // Due by the clock and the user busy since: it waits, with its
        // finished picture, until the user is no longer busy.
        shell.changePending = false;
        shell.pendingTimed = false;
        shell.changeDueWhileBusy = true;
    }
    if (!shell.changePending) {
        // Ready ahead of time: it waits aside when other work is queued.
        // The thread may not have ended yet (it posts first): wait for it.
        if (!sideWorkWanted()) return;
        parkAdvance();
        serviceWorker();
        return;
    }
    joinWorker();
    shell.changePending = false;
    shell.pendingTimed = false;
    applyResult();
    serviceWorker();
    setTimer(kTimerChange, settings.Interval);
}

bool WallpaperCycle::startJob() {
    if (shell.ending || shell.workerExists) return false;
    pictureSize(settings, &shell.job.width, &shell.job.height);
    // The settings are repaired when loaded and checked in the dialog; a
    // style that is not valid would give no picture at all.
    shell.job.style = settings.Style.isValid() ? settings.Style : tlComposeStyle();
    services.pictures.release(shell.job.result);
    shell.job.result = nullptr;
    shell.job.render = nullptr;
    shell.job.recipe = &shell.jobOutput.recipe;
    shell.job.thumbnail = &shell.jobOutput.thumbnail;
    shell.jobKind = JobKind::advance;
    shell.jobDone = false;
    uint32_t number = services.worker.start(runJob, &shell.job);
    if (number == 0) return false;
    shell.workerExists = true;
    shell.workerNumber = number;
    return true;
}

bool WallpaperCycle::applyResult() {
    tlImage *picture = shell.job.result;
    shell.job.result = nullptr;
    return showPicture(picture, shell.jobOutput, false, -1);
}

// Takes the picture (released when it cannot be shown).
bool WallpaperCycle::showPicture(tlImage *picture, const JobOutput &output, bool backStep, int32_t walkIndex) {
    char target[kPathBytes];
    bool named = true;
    if (settings.UseSequentialNo) {
        named = sequentialFileName(settings.WallpaperDir, settings.Count, target, services.isLeadByte);
    } else {
        std::memcpy(target, shell.WallpaperFile, sizeof target);
    }
    // A job whose picture could not be allocated leaves no result: that is a
    // wallpaper that cannot be written.
    if (!named || !picture || !services.pictures.save(*picture, target)) {
        services.pictures.release(picture);
        services.platform.postMessage(kMsgSaveFailed, 0);
        return false;
    }
    if (shell.currentPicture) {
        services.pictures.release(shell.currentPicture);
    } else {
        // The wallpaper to restore on exit is the one from before this run's
        // first change.
        getDesktopWallpaper(desktopAccess(), settings.NoActiveDesktop, shell.previousWallpaper, &shell.previousStyle);
    }
    shell.currentPicture = picture;
    if (!setDesktopWallpaper(desktopAccess(), settings.NoActiveDesktop, target, kWpStyleTile, false)) {
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
    noteShown(output.recipe, output.thumbnail, backStep, walkIndex);
    return true;
}

void WallpaperCycle::hold(uint32_t which) {
    bool wasRunning = shell.holds == 0;
    shell.holds |= which;
    shell.stopped = (shell.holds & kHoldStopped) != 0;
    if (wasRunning) pauseCycle();
}

void WallpaperCycle::release(uint32_t which) {
    if (!(shell.holds & which)) return;
    shell.holds &= ~which;
    shell.stopped = (shell.holds & kHoldStopped) != 0;
    if (shell.holds == 0) resumeCycle();
}

void WallpaperCycle::pauseCycle() {
    shell.paused = true;
    services.ui.updateTrayIcon(true);
    killTimer(kTimerChange);
    killTimer(kTimerResume);
    shell.pauseTick = services.platform.tickCount();
}

void WallpaperCycle::resumeCycle() {
    shell.paused = false;
    services.ui.updateTrayIcon(false);
    uint32_t now = services.platform.tickCount();
    ResumePlan plan = planResume(shell.lastChangeTick, shell.pauseTick, settings.Interval, shell.changePending);
    shell.lastChangeTick = shiftByPause(shell.lastChangeTick, shell.pauseTick, now);
    if (!plan.changeNow) {
        setTimer(kTimerResume, plan.delay);
    } else if (shell.userBusy && !(shell.changePending && !shell.pendingTimed)) {
        // Fell due by the clock: it waits while the user is busy.
        shell.changePending = false;
        shell.pendingTimed = false;
        shell.changeDueWhileBusy = true;
    } else {
        // A pending change is carried over the hold: requestChange serves it
        // now or marks it pending again for the worker's notice.
        shell.changePending = false;
        requestChange();
    }
    // A recipe change asked for before the hold is made now.
    serviceWorker();
}

void WallpaperCycle::releaseWithNewPicture(uint32_t which) {
    // The picture rendered in advance has the old size or style: wait for
    // it and let startJob release it. Other work of the worker is settled
    // first.
    if (shell.workerExists && shell.jobKind != JobKind::advance) finishSideJob(false);
    joinWorker();
    releaseParked();
    shell.holds &= ~which;
    shell.stopped = (shell.holds & kHoldStopped) != 0;
    if (shell.holds != 0) {
        startJob();  // rendered in advance; the cycle stays held
        return;
    }
    shell.paused = false;
    services.ui.updateTrayIcon(false);
    // Any change pending from before the hold is served by this request.
    shell.changePending = false;
    requestChange();
}

// ---- The user is busy

void WallpaperCycle::setUserBusy(bool busy) {
    if (busy == shell.userBusy) return;
    shell.userBusy = busy;
    services.ui.showChangesHeld(busy);
    if (busy || !shell.changeDueWhileBusy) return;
    shell.changeDueWhileBusy = false;
    // While paused the resume makes it: the interval has run out by then.
    if (!shell.paused) requestChange();
}

void WallpaperCycle::pollActivity() {
    bool busy = (settings.HoldFullScreen && services.activity.fullScreenRunning()) ||
                (settings.HoldOnBattery && services.activity.onBatteryPower());
    setUserBusy(busy);
}

void WallpaperCycle::updateActivityPolling() {
    if (!settings.HoldFullScreen && !settings.HoldOnBattery) {
        killTimer(kTimerBusy);
        setUserBusy(false);
        return;
    }
    if (!(shell.activeTimers & kTimerBusy)) setTimer(kTimerBusy, kBusyPollPeriod);
    // Asked at once; without its timer nothing would ever end the hold.
    if (shell.activeTimers & kTimerBusy) pollActivity();
}

// ---- Hotkeys

int32_t WallpaperCycle::registerHotkeys(const uint32_t *wanted) {
    int32_t refused = -1;
    shell.hotkeysRefused = 0;
    for (int32_t i = 0; i < kHotkeyCount; ++i) {
        if (wanted[i] == 0) continue;
        uint32_t bit = 1u << i;
        platform::HotkeyResult result = services.hotkeys.registerHotkey(
            uint32_t(i + 1), registerModifiers(hotkeyFlags(wanted[i])), hotkeyKey(wanted[i]));
        if (result == platform::HotkeyResult::kRegistered) {
            shell.hotkeysRegistered |= bit;
        } else {
            shell.hotkeysRefused |= bit;
            if (refused < 0) refused = i;
        }
    }
    return refused;
}

void WallpaperCycle::unregisterHotkeys() {
    for (int32_t i = 0; i < kHotkeyCount; ++i)
        if (shell.hotkeysRegistered & (1u << i)) services.hotkeys.unregisterHotkey(uint32_t(i + 1));
    shell.hotkeysRegistered = 0;
}

int32_t WallpaperCycle::changeHotkeys(const uint32_t *wanted) {
    unregisterHotkeys();
    int32_t refused = registerHotkeys(wanted);
    if (refused < 0) return -1;
    unregisterHotkeys();
    registerHotkeys(settings.Hotkeys);
    return refused;
}

void WallpaperCycle::onHotkey(uint32_t id) {
    if (shell.ending) return;
    switch (int32_t(id) - 1) {
    // As the menu's: nothing while paused.
    case kHotkeyChange: onCommand(IDM_CHANGE); break;
    case kHotkeyBack: onCommand(IDM_BACK); break;
    case kHotkeyStop: onCommand(IDM_STOP); break;
    default: break;
    }
}

void WallpaperCycle::onSaveFailed() {
    // The settings dialog opened below keeps this hold.
    hold(kHoldSettings);
    services.ui.showMessage(MessageOwner::mainWindow, IDS_WALLPAPER_NOT_SAVED, 0);
    onCommand(IDM_SETTINGS);
}

// ---- Commands

void WallpaperCycle::onCommand(uint32_t id) {
    if (shell.ending) return;
    switch (id) {
    case IDM_SETTINGS: openSettings(); break;
    case IDM_SAVE: saveCopy(); break;
    case IDM_SAVE_AS: saveCopyAs(false); break;
    case IDM_CHANGE:
        if (!shell.paused) requestChange();
        break;
    case IDM_STOP:
        if (shell.stopped)
            release(kHoldStopped);
        else
            hold(kHoldStopped);
        break;
    case IDM_ADVANCED: openAdvanced(); break;
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
    case IDM_BACK:
        if (!shell.paused) goBack();
        break;
    case IDM_COPY_RECIPE: copyRecipe(); break;
    case IDM_PASTE_RECIPE:
        if (!shell.paused) pasteRecipe();
        break;
    case IDM_SAVE_SCREEN: saveCopyAs(true); break;
    default: break;
    }
}

void WallpaperCycle::openSettings() {
    if (services.ui.isDialogOpen(ShellDialog::settings)) {
        services.ui.bringToFront(ShellDialog::settings);
        return;
    }
    if (services.ui.isDialogOpen(ShellDialog::saveAs)) services.ui.closeDialog(ShellDialog::saveAs);
    hold(kHoldSettings);
    services.ui.openDialog(ShellDialog::settings);
}

void WallpaperCycle::openAdvanced() {
    // Before the first settings are confirmed no cycle runs to hold.
    if (shell.firstRun) {
        if (services.ui.isDialogOpen(ShellDialog::settings)) services.ui.bringToFront(ShellDialog::settings);
        return;
    }
    if (services.ui.isDialogOpen(ShellDialog::advanced)) {
        services.ui.bringToFront(ShellDialog::advanced);
        return;
    }
    hold(kHoldAdvanced);
    services.ui.openDialog(ShellDialog::advanced);
}

void WallpaperCycle::saveCopy() {
    if (!shell.currentPicture) return;
    char path[kPathBytes];
    // A copy under the next number; Count itself does not change.
    if (!sequentialFileName(settings.WallpaperDir, settings.Count, path, services.isLeadByte) ||
        !services.pictures.save(*shell.currentPicture, path))
        services.ui.showMessage(MessageOwner::mainWindow, IDS_COPY_NOT_SAVED, 0);
}

// The save-as command, or with screenSized the screen-size save: the tile
// repeated to the primary screen's size.
void WallpaperCycle::saveCopyAs(bool screenSized) {
    if (services.ui.isDialogOpen(ShellDialog::saveAs)) {
        services.ui.bringToFront(ShellDialog::saveAs);
        return;
    }
    if (!shell.currentPicture) return;
    hold(kHoldSaveAs);
    // The settings dialog is closed at once, without its Cancel: its hold
    // passes straight to the save dialog, so no change can slip in between
    // and the cycle stays held until the save dialog ends.
    if (services.ui.isDialogOpen(ShellDialog::settings)) {
        services.ui.closeDialog(ShellDialog::settings);
        release(kHoldSettings);
    }
    char path[kPathBytes] = "";
    if (services.ui.askSaveFileName(settings.SaveDir, settings.AskOverWrite, path)) {
        folderOfFile(path, settings.SaveDir, services.isLeadByte);
        int32_t width = 0, height = 0;
        bool saved = false;
        if (shell.currentPicture && !screenSized) {
            saved = services.pictures.save(*shell.currentPicture, path);
        } else if (shell.currentPicture && services.ui.screenSize(&width, &height)) {
            saved = services.pictures.saveRepeated(*shell.currentPicture, width, height, path);
        }
        if (!saved) services.ui.showMessage(MessageOwner::mainWindow, IDS_COPY_NOT_SAVED, 0);
    }
    // The settings dialog may have been opened while the save dialog ran (it
    // closes the save dialog): its hold keeps the cycle held.
    release(kHoldSaveAs);
}

void WallpaperCycle::onTrayLeftClick() {
    if (shell.ending) return;
    if (services.ui.isDialogOpen(ShellDialog::settings)) {
        services.ui.bringToFront(ShellDialog::settings);
    } else if (services.ui.isDialogOpen(ShellDialog::saveAs)) {
        services.ui.bringToFront(ShellDialog::saveAs);
    } else if (services.ui.isDialogOpen(ShellDialog::advanced)) {
        services.ui.bringToFront(ShellDialog::advanced);
    } else if (shell.stopped) {
        onCommand(IDM_STOP);
    } else if (!shell.paused) {
        requestChange();
    }
}

void WallpaperCycle::onMainWindowDestroyed() {
    stopTimers();
    unregisterHotkeys();
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
    if (sizeChanged)
        releaseWithNewPicture(kHoldSettings);
    else
        release(kHoldSettings);
}

void WallpaperCycle::settingsCancelled() {
    if (shell.firstRun) {
        shell.skipSaveOnExit = true;
        onCommand(IDM_EXIT);
        return;
    }
    release(kHoldSettings);
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
    joinPath(settings.WallpaperDir, "chromaweave.bmp", shell.WallpaperFile, services.isLeadByte);
}

// ---- Advanced settings dialog outcome

AdvancedChanges WallpaperCycle::storeAdvanced(const AdvancedForm &form) { return ::storeAdvanced(form, settings); }

void WallpaperCycle::advancedConfirmed(const AdvancedChanges &changes) {
    if (changes.holdChanged) updateActivityPolling();
    if (changes.styleChanged)
        releaseWithNewPicture(kHoldAdvanced);
    else
        release(kHoldAdvanced);
}

void WallpaperCycle::advancedCancelled() { release(kHoldAdvanced); }

// ---- The worker's queue

// Other work than the next picture: a recipe change to render, or a history
// entry waiting for its thumbnail. None is started while the cycle is held.
bool WallpaperCycle::sideWorkWanted() const {
    if (shell.paused) return false;
    return shell.changeWanted || shell.history.nextWithoutThumbnail() >= 0;
}

// Starts the worker on what is due: a recipe change the user asked for,
// else the next picture when none is ready or on its way, else a thumbnail.
void WallpaperCycle::serviceWorker() {
    if (shell.ending) return;
    if (shell.workerExists) {
        // A next picture that is ready and not waited for steps aside so
        // the worker can take the other work; it stays the next wallpaper.
        // Its notice came (the thread ends right after it), or it ended.
        if (shell.jobKind != JobKind::advance || shell.changePending || !sideWorkWanted() ||
            (!shell.jobDone && services.worker.poll() != platform::WorkerPoll::finished))
            return;
        parkAdvance();
    }
    if (shell.changeWanted && !shell.paused) {
        startChangeJob();
    } else if (!shell.parked) {
        startJob();
    } else if (!shell.paused) {
        startThumbnailJob();
    }
}

void WallpaperCycle::parkAdvance() {
    joinWorker();
    shell.parked = true;
    shell.parkedPicture = shell.job.result;
    shell.job.result = nullptr;
    shell.parkedOutput = shell.jobOutput;
}

void WallpaperCycle::releaseParked() {
    services.pictures.release(shell.parkedPicture);
    shell.parkedPicture = nullptr;
    shell.parked = false;
}

// The job renders the wanted recipe; the request stays wanted until its
// picture is shown, so a newer request or a hold meanwhile is noticed.
bool WallpaperCycle::startChangeJob() {
    if (shell.ending || shell.workerExists) return false;
    shell.jobRecipe = shell.wantedRecipe;
    shell.jobRequest = shell.changeRequests;
    return startRecipeJob(JobKind::change);
}

bool WallpaperCycle::startThumbnailJob() {
    if (shell.ending || shell.workerExists) return false;
    for (;;) {
        int32_t index = shell.history.nextWithoutThumbnail();
        if (index < 0) return false;
        const HistoryEntry &entry = shell.history.entry(index);
        if (decodeRecipeText(entry.recipe, shell.jobRecipe).ok()) {
            shell.jobSerial = entry.serial;
            break;
        }
        shell.history.thumbnailFailed(entry.serial);
    }
    return startRecipeJob(JobKind::thumbnail);
}

// Hands the worker shell.jobRecipe to render, with its recipe and thumbnail
// written into shell.jobOutput.
bool WallpaperCycle::startRecipeJob(JobKind kind) {
    shell.job.render = &shell.jobRecipe;
    shell.job.recipe = &shell.jobOutput.recipe;
    shell.job.thumbnail = &shell.jobOutput.thumbnail;
    shell.jobKind = kind;
    uint32_t number = services.worker.start(runJob, &shell.job);
    if (number == 0) return false;
    shell.workerExists = true;
    shell.workerNumber = number;
    return true;
}

// A change or thumbnail job ended: its thumbnail goes to its entry, its
// picture is shown when it is still wanted and the cycle runs; a held or
// overtaken change is rendered again later (or not at all).
void WallpaperCycle::finishSideJob(bool thenService) {
    joinWorker();
    tlImage *picture = shell.job.result;
    shell.job.result = nullptr;
    if (shell.jobKind == JobKind::thumbnail) {
        services.pictures.release(picture);
        if (shell.jobOutput.thumbnail.made)
            shell.history.setThumbnail(shell.jobSerial, shell.jobOutput.thumbnail);
        else
            shell.history.thumbnailFailed(shell.jobSerial);
        if (thenService) serviceWorker();
        return;
    }
    bool current = shell.changeWanted && shell.jobRequest == shell.changeRequests;
    if (!current || shell.paused || shell.ending) {
        services.pictures.release(picture);
        if (thenService) serviceWorker();
        return;
    }
    shell.changeWanted = false;
    if (picture) {
        showRecipeChange(picture);
        if (thenService) serviceWorker();
        return;
    }
    // Its own message: the recipe was good but could not be rendered.
    if (thenService) serviceWorker();
    services.ui.showMessage(MessageOwner::mainWindow, IDS_RECIPE_NOT_MADE, 0);
}

// ---- Showing pictures

void WallpaperCycle::showParked() {
    tlImage *picture = shell.parkedPicture;
    shell.parkedPicture = nullptr;
    shell.parked = false;
    shell.changePending = false;
    showPicture(picture, shell.parkedOutput, false, -1);
}

// A recipe change is a change like any other: it serves a change that was
// due meanwhile, and the next timed one comes a whole interval later.
void WallpaperCycle::showRecipeChange(tlImage *picture) {
    killTimer(kTimerChange);
    killTimer(kTimerResume);
    shell.changePending = false;
    shell.pendingTimed = false;
    shell.changeDueWhileBusy = false;
    bool backStep = shell.wantedOrigin == RecipeOrigin::back;
    showPicture(picture, shell.jobOutput, backStep, shell.wantedWalkIndex);
    setTimer(kTimerChange, settings.Interval);
}

// The wallpaper just set goes to the top of the history (a wallpaper without
// a recipe gets no entry). A back step moves along its walk; every other
// change ends the walk, so the next back starts from the new wallpaper.
void WallpaperCycle::noteShown(const tlRecipe &recipe, const tlThumbnail &thumbnail, bool backStep, int32_t walkIndex) {
    char text[kRecipeTextCapacity];
    bool hasRecipe = recipe.width > 0 && encodeRecipeText(recipe, text, sizeof text).ok();
    if (backStep && shell.walkLength > 0) {
        shell.walkAt = walkIndex;
    } else {
        shell.walkLength = 0;
        shell.walkAt = -1;
        // A back still on its way no longer has a walk to step along: it
        // shows its wallpaper like a chosen history entry.
        if (shell.changeWanted && shell.wantedOrigin == RecipeOrigin::back) shell.wantedOrigin = RecipeOrigin::history;
    }
    if (!hasRecipe) {
        shell.currentSerial = 0;
        shell.currentRecipe[0] = '\0';
        return;
    }
    shell.currentSerial = shell.history.record(services.registry, text, services.platform.currentTime(), thumbnail);
    std::memcpy(shell.currentRecipe, text, sizeof text);
}

// ---- Recipe changes

void WallpaperCycle::askForRecipe(const tlRecipe &recipe, RecipeOrigin origin, int32_t walkIndex) {
    shell.wantedRecipe = recipe;
    shell.wantedOrigin = origin;
    shell.wantedWalkIndex = walkIndex;
    shell.changeWanted = true;
    ++shell.changeRequests;
    serviceWorker();
}

bool WallpaperCycle::canGoBack() const {
    if (shell.walkLength > 0) {
        int32_t from = shell.changeWanted && shell.wantedOrigin == RecipeOrigin::back ? shell.wantedWalkIndex
                                                                                      : shell.walkAt;
        return from + 1 < shell.walkLength;
    }
    return shell.history.count() > (shell.currentSerial ? 1 : 0);
}

// Back shows the entry after the one shown in the walk: the history's order
// when the walk began, which back's own showings (each moves its wallpaper
// to the top) do not change. So backs go ever further into the past and
// never return to where they began.
void WallpaperCycle::goBack() {
    if (!shell.currentPicture || !canGoBack()) return;
    if (shell.walkLength == 0) {
        shell.walkAt = -1;
        for (int32_t i = 0; i < shell.history.count(); ++i) {
            shell.walk[i] = shell.history.entry(i).serial;
            if (shell.walk[i] == shell.currentSerial) shell.walkAt = i;
        }
        shell.walkLength = shell.history.count();
    }
    int32_t from = shell.changeWanted && shell.wantedOrigin == RecipeOrigin::back ? shell.wantedWalkIndex
                                                                                  : shell.walkAt;
    int32_t index = shell.history.find(shell.walk[from + 1]);
    tlRecipe recipe;
    if (index < 0 || !decodeRecipeText(shell.history.entry(index).recipe, recipe).ok()) return;
    askForRecipe(recipe, RecipeOrigin::back, from + 1);
}

void WallpaperCycle::chooseHistoryEntry(uint32_t serial) {
    if (shell.ending || shell.paused || !shell.currentPicture) return;
    int32_t index = shell.history.find(serial);
    if (index < 0 || serial == shell.currentSerial) return;
    tlRecipe recipe;
    if (!decodeRecipeText(shell.history.entry(index).recipe, recipe).ok()) return;
    askForRecipe(recipe, RecipeOrigin::history, -1);
}

void WallpaperCycle::copyRecipe() {
    if (!shell.currentPicture || !shell.currentRecipe[0]) return;
    if (!services.ui.writeClipboardText(shell.currentRecipe))
        services.ui.showMessage(MessageOwner::mainWindow, IDS_CLIPBOARD_NOT_WRITTEN, 0);
}

// A text that is not a recipe this build can make is refused with a message
// that says why; nothing changes.
void WallpaperCycle::pasteRecipe() {
    if (!shell.currentPicture) return;
    char text[kRecipeTextCapacity];
    ClipboardText got = services.ui.readClipboardText(text, sizeof text);
    if (got != ClipboardText::text) {
        services.ui.showMessage(MessageOwner::mainWindow,
                                got == ClipboardText::none ? IDS_CLIPBOARD_NO_TEXT : IDS_RECIPE_NOT_A_RECIPE, 0);
        return;
    }
    tlRecipe recipe;
    tlRecipeStatus status = decodeRecipeText(text, recipe);
    if (!status.ok()) {
        services.ui.showMessage(MessageOwner::mainWindow, recipeRefusalText(status.result), 0);
        return;
    }
    askForRecipe(recipe, RecipeOrigin::pasted, -1);
}
