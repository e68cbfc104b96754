// The wallpaper cycle: the shell state of the main thread, the change timer
// and its pauses, the worker that renders the next picture in advance, the
// menu commands and the start-up and shut-down steps. It reaches the
// platform only through the interfaces it is given.
#pragma once

#include <cstdint>

#include "app/desktop.h"
#include "app/history.h"
#include "app/paths.h"
#include "app/picture_store.h"
#include "app/preferences.h"
#include "app/settings.h"
#include "app/settings_form.h"
#include "app/shell_ui.h"
#include "compose/job.h"
#include "compose/recipe.h"
#include "compose/thumbnail.h"
#include "platform/activity.h"
#include "platform/hotkeys.h"
#include "platform/shell.h"

class WallpaperComposer;

// ---- Decisions, kept pure so they can be checked case by case.

// Bit i of the result is bit 31 - i of v.
uint32_t reverseBits32(uint32_t v);
// The composer's start-up seed: the reversed wallpaper count XOR the tick.
uint32_t composerSeed(uint32_t count, uint32_t tick);

// What a due change does, given whether a worker exists and what polling it
// said (poll is ignored without a worker).
enum class ChangeStep {
    applyNow,       // the picture is ready: write it, set it, render the next
    waitForWorker,  // still rendering: the change happens when it is done
    startWorker,    // no worker (a start failed earlier): start one and wait
    nothing         // the worker cannot be asked
};
ChangeStep decideChange(bool workerExists, platform::WorkerPoll poll);

// Resuming after a pause: the interval continues where it was interrupted,
// unless it had run out or a change was already due.
struct ResumePlan {
    bool changeNow;
    uint32_t delay;  // for the resume timer when not changeNow
};
// All differences are taken modulo 2^32, so a tick wrap-around still gives
// the true distance.
ResumePlan planResume(uint32_t lastChangeTick, uint32_t pauseTick, uint32_t interval, bool changePending);
// lastChangeTick moved forward by the length of the pause.
uint32_t shiftByPause(uint32_t lastChangeTick, uint32_t pauseTick, uint32_t now);

// The message that tells the user why a recipe was refused or could not be
// made: a string id, 0 for Ok.
uint32_t recipeRefusalText(tlRecipeResult result);

// ---- Start-up before the main window exists.

// Defaults from the documents folder and the Active Desktop test, then the
// stored settings. Returns firstRun: true when no settings key exists.
bool prepareSettings(Settings &settings, DesktopAccess access, const char *documentsFolder);

// ---- The cycle.

struct CycleServices {
    platform::ShellPlatform &platform;
    platform::Worker &worker;
    // Draws every wallpaper the worker renders (one job at a time).
    WallpaperComposer &composer;
    platform::Desktop &desktop;
    platform::Registry &registry;
    PictureStore &pictures;
    ShellUi &ui;
    LeadByteTest isLeadByte;
    // Whether the settings dialog's folder text names the wallpaper folder
    // still: the system's case-blind comparison (lstrcmpiA) in the program.
    FolderTextsEqual sameFolder;
    platform::Hotkeys &hotkeys;
    platform::Activity &activity;
};

// What holds the cycle. It is paused while anything holds it and resumes
// when the last hold ends, so closing one dialog never resumes a cycle
// another dialog, or the user's stop, still holds.
enum CycleHold : uint32_t {
    kHoldStopped = 1,   // the user's stop (command 104); the only one the user ends
    kHoldSettings = 2,  // the settings dialog, and a wallpaper file not written
    kHoldSaveAs = 4,    // the save dialog of command 102
    kHoldAdvanced = 8,  // the advanced settings dialog
};

// How often the full-screen and battery state is asked while the user
// wants timed changes held for either.
const uint32_t kBusyPollPeriod = 2000;

// What the one worker is doing. The advance picture (the next timed
// wallpaper) has priority over everything but a change the user asked for;
// thumbnails are drawn when nothing else is left.
enum class JobKind {
    advance,   // composes the next wallpaper
    change,    // renders the recipe of a change the user asked for
    thumbnail  // renders a history entry's recipe for its thumbnail
};

// Who asked for a recipe change: back steps along the history walk, the
// others end it.
enum class RecipeOrigin { back, history, pasted };

// What a job hands back beside its picture.
struct JobOutput {
    tlRecipe recipe;  // empty when the wallpaper has none
    tlThumbnail thumbnail;
};

// The shell state; owned and touched by the main thread only, except the job
// record (and jobRecipe, jobOutput) while a worker runs.
struct ShellState {
    bool workerExists = false;
    uint32_t workerNumber = 0;  // the running worker's job number
    GenerationJob job = {0, 0, nullptr};
    JobKind jobKind = JobKind::advance;
    bool jobDone = false;     // advance job: its notice came
    tlRecipe jobRecipe;       // what a change or thumbnail job renders
    JobOutput jobOutput;      // filled by the job in the worker
    uint32_t jobRequest = 0;  // change job: the request it serves
    uint32_t jobSerial = 0;   // thumbnail job: the entry it draws
    // A finished advance picture taken out of the worker so that it could
    // take other work; it is the next timed wallpaper. parked may hold a
    // null picture (a job that could not allocate one).
    bool parked = false;
    tlImage *parkedPicture = nullptr;  // owned
    JobOutput parkedOutput;
    // A recipe change asked for and not shown yet (the newest request wins).
    bool changeWanted = false;
    uint32_t changeRequests = 0;  // numbers the requests
    tlRecipe wantedRecipe;
    RecipeOrigin wantedOrigin = RecipeOrigin::pasted;
    int32_t wantedWalkIndex = -1;  // back: the walk position it shows
    // The history, and the walk back through it: a snapshot of the entries'
    // serials in the order they had when the first back of the walk was
    // chosen, and the position shown. walkLength 0: no walk.
    History history;
    uint32_t walk[kHistoryCapacity] = {};
    int32_t walkLength = 0;
    int32_t walkAt = -1;
    uint32_t currentSerial = 0;                    // the history entry of the wallpaper shown; 0 none
    char currentRecipe[kRecipeTextCapacity] = "";  // its recipe text; empty: none
    tlImage *currentPicture = nullptr;             // owned; the wallpaper of this run
    bool changePending = false;
    bool paused = false;   // holds is not 0
    bool stopped = false;  // holds has kHoldStopped; implies paused
    uint32_t holds = 0;    // CycleHold bits
    // The user is busy (a full-screen program, or on battery, as the
    // advanced settings ask): a change that falls due by the clock waits
    // until this ends, while the interval clock keeps running. Not a pause:
    // changes the user asks for are made at once.
    bool userBusy = false;
    bool changeDueWhileBusy = false;
    bool pendingTimed = false;       // the pending change fell due by the clock
    uint32_t hotkeysRegistered = 0;  // bit (1 << action)
    uint32_t hotkeysRefused = 0;     // bit (1 << action): the system refused it
    bool firstRun = false;
    bool skipSaveOnExit = false;
    // The program is ending (its main window is destroyed or about to be):
    // no timer, worker or command is started after it.
    bool ending = false;
    bool shutDownDone = false;   // the shut-down steps ran (they run once)
    uint32_t trayTriesLeft = 0;  // kTimerTray is armed while not 0
    uint32_t activeTimers = 0;   // bit 1: kTimerChange, 2: kTimerResume, 4: kTimerBusy
    uint32_t lastChangeTick = 0;
    uint32_t pauseTick = 0;
    char previousWallpaper[kPathBytes] = "";
    int32_t previousStyle = 0;
    char WallpaperFile[kPathBytes] = "";
};

class WallpaperCycle {
public:
    WallpaperCycle(Settings &settings, const CycleServices &services);
    // Frees what shutDown would have freed, after waiting for the worker.
    ~WallpaperCycle();
    WallpaperCycle(const WallpaperCycle &) = delete;
    WallpaperCycle &operator=(const WallpaperCycle &) = delete;

    // Last start-up step: the fixed wallpaper file's path and the history,
    // then the first change, or on the first run the settings dialog.
    void begin(bool firstRun);
    // After the message loop: restore, delete, save the settings, wait for
    // the worker, free the pictures. Only the first call does anything.
    void shutDown();
    // The Windows session ends (WM_ENDSESSION): the process may be ended
    // any moment after this returns, so the shut-down steps run now; then
    // the main window is destroyed.
    void endSession();

    // The tray icon: added when the main window is created, tried again
    // for a while when the taskbar did not take it, and added again with
    // the current state when a (re)started taskbar announces itself.
    void addTrayIcon();
    void onTaskbarCreated();

    // Main window events.
    void onTimer(uint32_t id);
    void onJobDone(uint32_t jobNumber);
    void onSaveFailed();
    void onCommand(uint32_t id);
    // WM_HOTKEY: the id is the hotkey's action + 1.
    void onHotkey(uint32_t id);
    void onTrayLeftClick();
    void onMainWindowDestroyed();

    // Settings dialog outcome (after it destroyed itself).
    void settingsConfirmed(bool sizeChanged, bool intervalChanged);
    void settingsCancelled();
    // OK's storing, after the checks passed: size and interval, a new
    // folder (the old fixed file deleted, decided on the old
    // UseSequentialNo), then the switches. The dialog is destroyed next and
    // settingsConfirmed applies the changes.
    FormChanges storeSettings(const SettingsForm &form);
    // A new wallpaper folder; call before the switches (UseSequentialNo)
    // are stored. The old fixed file is deleted.
    void changeWallpaperDir(const char *folder);

    // Advanced settings dialog: OK's hotkeys, after the checks passed. The
    // hotkeys `wanted` (stored format) replace the registered ones, all or
    // none: -1, or the first action whose hotkey the system refused (the
    // previous hotkeys are then registered again).
    int32_t changeHotkeys(const uint32_t *wanted);
    // OK's storing; the dialog is destroyed next and advancedConfirmed
    // applies the changes (a new style renders a new picture at once).
    AdvancedChanges storeAdvanced(const AdvancedForm &form);
    void advancedConfirmed(const AdvancedChanges &changes);
    void advancedCancelled();

    void requestChange();
    bool startJob();
    bool applyResult();

    // The history entry with that serial is shown again (the tray's history
    // submenu); the entry shown now and unknown serials change nothing.
    void chooseHistoryEntry(uint32_t serial);
    // Whether back has an earlier wallpaper to go to.
    bool canGoBack() const;

    const ShellState &state() const { return shell; }

private:
    void setTimer(uint32_t id, uint32_t ms);
    void killTimer(uint32_t id);
    void stopTimers();
    // Holds and their ends; the pause and the resume with the rest of the
    // interrupted interval.
    void hold(uint32_t which);
    void release(uint32_t which);
    void pauseCycle();
    void resumeCycle();
    // Ends a hold after a size or style change: the picture rendered in
    // advance is waited for and replaced, and becomes the wallpaper at once
    // unless something else still holds the cycle.
    void releaseWithNewPicture(uint32_t which);
    // A change that falls due by the clock (the timers, a resume).
    void timedChange();
    void setUserBusy(bool busy);
    void pollActivity();
    // The busy poll runs while either hold switch is on.
    void updateActivityPolling();
    int32_t registerHotkeys(const uint32_t *wanted);
    void unregisterHotkeys();
    void openAdvanced();
    void tryTrayIcon();
    void changeStep();
    void joinWorker();
    void saveCopy();
    void saveCopyAs(bool screenSized);
    void openSettings();
    // The worker and its queue.
    void serviceWorker();
    bool sideWorkWanted() const;
    void parkAdvance();
    bool startChangeJob();
    bool startThumbnailJob();
    bool startRecipeJob(JobKind kind);
    void finishSideJob(bool thenService);
    void releaseParked();
    // Showing a picture as the wallpaper: write, set, count, record.
    bool showPicture(tlImage *picture, const JobOutput &output, bool backStep, int32_t walkIndex);
    void showParked();
    void showRecipeChange(tlImage *picture);
    void noteShown(const tlRecipe &recipe, const tlThumbnail &thumbnail, bool backStep, int32_t walkIndex);
    // Recipe changes.
    void askForRecipe(const tlRecipe &recipe, RecipeOrigin origin, int32_t walkIndex);
    void goBack();
    void copyRecipe();
    void pasteRecipe();
    DesktopAccess desktopAccess() { return DesktopAccess{services.desktop, services.registry}; }

    Settings &settings;
    CycleServices services;
    ShellState shell;
};
