// The wallpaper cycle on a simulated clock: changes, pauses, pending changes,
// failures, commands, start and exit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/resources/resource.h"
#include "fakes.h"

namespace {

using fakes::Rig;
const uint32_t minute = 60000;
const char fixedFile[] = "C:\\wp\\chromaweave.bmp";

TEST(Cycle, FirstChangeWritesSetsAndCounts) {
    Rig rig;
    rig.begin();
    EXPECT_TRUE(rig.cycle.state().changePending);
    EXPECT_FALSE(rig.platform.armed(kTimerChange));
    rig.finishWorker();
    ASSERT_EQ(rig.pictures.saved.size(), 1u);
    EXPECT_EQ(rig.pictures.saved[0], fixedFile);
    ASSERT_EQ(rig.desktop.sets.size(), 1u);
    EXPECT_EQ(rig.desktop.sets[0], std::make_pair(std::string(fixedFile), false));
    EXPECT_STREQ(rig.cycle.state().previousWallpaper, "C:\\old.bmp");
    EXPECT_EQ(rig.settings.Count, 1u);
    EXPECT_EQ(rig.ui.shownCount, 1u);
    EXPECT_FALSE(rig.cycle.state().changePending);
    EXPECT_TRUE(rig.platform.armed(kTimerChange));
    EXPECT_EQ(rig.platform.timers[kTimerChange].period, 10 * minute);
    EXPECT_EQ(rig.worker.starts, 2u);  // the next picture is rendered at once
    EXPECT_EQ(rig.worker.job->width, 120);
}

TEST(Cycle, ChangesEveryInterval) {
    Rig rig;
    rig.renderMs = 1000;
    rig.begin();
    rig.advance(1000);
    EXPECT_EQ(rig.settings.Count, 1u);
    rig.advance(10 * minute - 1);
    EXPECT_EQ(rig.settings.Count, 1u);
    rig.advance(1);
    EXPECT_EQ(rig.settings.Count, 2u);
    EXPECT_EQ(rig.cycle.state().lastChangeTick, 1000 + 10 * minute);
    rig.advance(30 * minute);
    EXPECT_EQ(rig.settings.Count, 5u);
}

TEST(Cycle, PauseThreeMinutesIntoTenResumesSevenMinutesLater) {
    // The second base makes the tick count wrap during the interval.
    for (uint32_t base : {0u, 0xFFFFFFFFu - 2 * minute}) {
        Rig rig;
        rig.platform.base = base;
        rig.renderMs = 1000;
        rig.begin();
        rig.advance(1000);
        ASSERT_EQ(rig.settings.Count, 1u);
        rig.advance(3 * minute);
        rig.cycle.onCommand(IDM_STOP);
        EXPECT_TRUE(rig.ui.trayPaused);
        EXPECT_FALSE(rig.platform.armed(kTimerChange));
        rig.advance(60 * minute);
        rig.cycle.onCommand(IDM_STOP);
        EXPECT_FALSE(rig.ui.trayPaused);
        EXPECT_TRUE(rig.platform.armed(kTimerResume));
        rig.advance(7 * minute - 1);
        EXPECT_EQ(rig.settings.Count, 1u) << base;
        rig.advance(1);
        EXPECT_EQ(rig.settings.Count, 2u) << base;
        EXPECT_FALSE(rig.platform.armed(kTimerResume));
        EXPECT_TRUE(rig.platform.armed(kTimerChange));
        rig.advance(10 * minute);
        EXPECT_EQ(rig.settings.Count, 3u) << base;
    }
}

TEST(Cycle, ResumingAfterTheIntervalRanOutChangesAtOnce) {
    Rig rig;
    rig.renderMs = 1000;
    rig.begin();
    rig.advance(1000);
    rig.advance(10 * minute - 1);
    rig.platform.clock += 1;  // due, but the timer message has not come yet
    rig.cycle.onCommand(IDM_STOP);
    rig.advance(5 * minute);
    rig.cycle.onCommand(IDM_STOP);
    EXPECT_EQ(rig.settings.Count, 2u);
    EXPECT_TRUE(rig.platform.armed(kTimerChange));
}

TEST(Cycle, RequestWhileRenderingWaitsForTheWorker) {
    Rig rig;
    rig.begin();
    rig.finishWorker();
    rig.cycle.onCommand(IDM_CHANGE);
    EXPECT_TRUE(rig.cycle.state().changePending);
    EXPECT_FALSE(rig.platform.armed(kTimerChange));
    rig.cycle.onCommand(IDM_CHANGE);  // already on its way: nothing
    rig.cycle.onTrayLeftClick();
    EXPECT_EQ(rig.worker.starts, 2u);
    EXPECT_EQ(rig.settings.Count, 1u);
    rig.finishWorker();
    EXPECT_EQ(rig.settings.Count, 2u);
    EXPECT_TRUE(rig.platform.armed(kTimerChange));
    EXPECT_EQ(rig.worker.starts, 3u);
}

TEST(Cycle, RequestWithPictureReadyChangesAtOnce) {
    Rig rig;
    rig.begin();
    rig.finishWorker();
    rig.worker.complete();  // the next picture is ready; its notice is queued
    rig.cycle.onCommand(IDM_CHANGE);
    EXPECT_EQ(rig.settings.Count, 2u);
    rig.pump();  // the finished worker's notice changes nothing more
    EXPECT_EQ(rig.settings.Count, 2u);
    EXPECT_FALSE(rig.stuck());
}

TEST(Cycle, PendingChangeIsCarriedOverAHold) {
    Rig rig;
    rig.begin();
    rig.finishWorker();
    rig.advance(10 * minute);  // due while the next picture is still rendering
    EXPECT_TRUE(rig.cycle.state().changePending);
    rig.cycle.onCommand(IDM_SETTINGS);
    EXPECT_TRUE(rig.ui.open[int(ShellDialog::settings)]);
    rig.finishWorker();  // the notice arrives while held and is ignored
    EXPECT_EQ(rig.settings.Count, 1u);
    rig.ui.cancelSettings();  // Cancel resumes
    EXPECT_EQ(rig.settings.Count, 2u);
    EXPECT_FALSE(rig.cycle.state().changePending);
    EXPECT_TRUE(rig.platform.armed(kTimerChange));
    EXPECT_FALSE(rig.stuck());
}

TEST(Cycle, PendingChangeOverAStopWithTheWorkerStillRendering) {
    Rig rig;
    rig.begin();
    rig.finishWorker();
    rig.advance(10 * minute);
    rig.cycle.onCommand(IDM_STOP);
    rig.cycle.onCommand(IDM_STOP);
    EXPECT_TRUE(rig.cycle.state().changePending);
    EXPECT_FALSE(rig.stuck());
    rig.finishWorker();
    EXPECT_EQ(rig.settings.Count, 2u);
    EXPECT_FALSE(rig.stuck());
}

TEST(Cycle, SizeChangeIgnoresTheEarlierWorkersNotice) {
    Rig rig;
    rig.begin();
    rig.finishWorker();
    rig.advance(10 * minute);
    rig.cycle.onCommand(IDM_SETTINGS);
    rig.settings.PresetIndex = 0;
    rig.ui.open[int(ShellDialog::settings)] = false;
    rig.cycle.settingsConfirmed(true, false);  // waits for the old worker
    EXPECT_FALSE(rig.ui.trayPaused);
    rig.pump();  // the old worker's notice: the new picture is not ready
    EXPECT_EQ(rig.settings.Count, 1u);
    EXPECT_TRUE(rig.ui.messages.empty());
    rig.finishWorker();
    EXPECT_EQ(rig.settings.Count, 2u);
    EXPECT_EQ(rig.pictures.savedSizes.back(), 32);
    EXPECT_FALSE(rig.stuck());
}

TEST(Cycle, SizeChangeWhileStoppedOnlyRendersAhead) {
    Rig rig;
    rig.begin();
    rig.finishWorker();
    rig.cycle.onCommand(IDM_STOP);
    rig.cycle.onCommand(IDM_SETTINGS);
    rig.ui.open[int(ShellDialog::settings)] = false;
    rig.settings.PresetIndex = 9;
    rig.cycle.settingsConfirmed(true, false);
    EXPECT_TRUE(rig.cycle.state().paused);
    EXPECT_EQ(rig.worker.job->width, 256);
    rig.finishWorker();
    EXPECT_EQ(rig.settings.Count, 1u);
    rig.cycle.onTrayLeftClick();  // resumes
    EXPECT_FALSE(rig.cycle.state().stopped);
    EXPECT_FALSE(rig.stuck());
}

TEST(Cycle, IntervalChangeStartsAFullIntervalOnResume) {
    Rig rig;
    rig.renderMs = 1000;
    rig.begin();
    rig.advance(1000 + 4 * minute);
    rig.cycle.onCommand(IDM_SETTINGS);
    rig.advance(2 * minute);
    rig.ui.open[int(ShellDialog::settings)] = false;
    rig.settings.Interval = 36000000;
    rig.cycle.settingsConfirmed(false, true);
    rig.advance(36000000 - 1);
    EXPECT_EQ(rig.settings.Count, 1u);
    rig.advance(1);
    EXPECT_EQ(rig.settings.Count, 2u);
}

// From no wallpaper yet and from five: each change takes the next number.
TEST(Cycle, NumberedFilesAndCount) {
    const struct {
        uint32_t start;
        std::vector<std::string> files;
    } cases[] = {
        {0, {"C:\\wp\\chromaweave_0000000001.bmp", "C:\\wp\\chromaweave_0000000002.bmp",
             "C:\\wp\\chromaweave_0000000003.bmp"}},
        {5, {"C:\\wp\\chromaweave_0000000006.bmp", "C:\\wp\\chromaweave_0000000007.bmp",
             "C:\\wp\\chromaweave_0000000008.bmp"}},
    };
    for (const auto &c : cases) {
        Rig rig;
        rig.settings.UseSequentialNo = true;
        rig.settings.Count = c.start;
        rig.begin();
        rig.finishWorker();
        EXPECT_EQ(rig.settings.Count, c.start + 1);
        rig.cycle.onCommand(IDM_CHANGE);
        rig.finishWorker();
        rig.cycle.onCommand(IDM_CHANGE);
        rig.finishWorker();
        EXPECT_EQ(rig.pictures.saved, c.files);
        rig.cycle.shutDown();
        const platform::MemoryRegistry::Value *v = rig.registry.findValue(kSettingsKeyPath, "Count");
        ASSERT_TRUE(v);
        EXPECT_EQ(v->data, (std::vector<uint8_t>{uint8_t(c.start + 3), 0, 0, 0}));
        EXPECT_TRUE(rig.platform.deleted.empty());  // numbered files are never deleted
    }
}

TEST(CycleExit, BeforeAnyChangeTouchesNothing) {
    Rig rig;
    rig.settings.DeleteFile = true;
    rig.begin();
    rig.cycle.onCommand(IDM_EXIT);
    EXPECT_TRUE(rig.ui.destroyed);
    rig.cycle.shutDown();
    EXPECT_TRUE(rig.desktop.sets.empty());
    EXPECT_TRUE(rig.platform.deleted.empty());
    EXPECT_TRUE(rig.registry.hasKey(kSettingsKeyPath));  // settings still saved
    EXPECT_TRUE(rig.pictures.live.empty());
    EXPECT_EQ(rig.worker.state, fakes::Worker::none);
}

// The file is deleted only when the desktop shows the previous wallpaper
// again: not without the restore, nor when the restore failed.
TEST(CycleExit, RestoreAndDeleteRules) {
    struct Case { bool restore, sequential, remove, restoreFails, restored, deleted; } cases[] = {
        {true, false, true, false, true, true},   {true, true, true, false, true, false},
        {true, false, false, false, true, false}, {false, false, true, false, false, false},
        {false, true, false, false, false, false}, {true, false, true, true, false, false},
    };
    for (const Case &c : cases) {
        Rig rig;
        rig.settings.RestoreWallpaper = c.restore;
        rig.settings.UseSequentialNo = c.sequential;
        rig.settings.DeleteFile = c.remove;
        rig.registry.putString(kDesktopKeyPath, "WallpaperStyle", "2");
        rig.begin();
        rig.finishWorker();
        rig.desktop.systemSetFails = c.restoreFails;
        rig.cycle.onCommand(IDM_EXIT);
        rig.cycle.shutDown();
        bool restored = rig.desktop.sets.size() == 2;
        EXPECT_EQ(restored, c.restored);
        if (restored) {
            EXPECT_EQ(rig.desktop.sets[1], std::make_pair(std::string("C:\\old.bmp"), true));
            EXPECT_EQ(rig.registry.findValue(kDesktopKeyPath, "WallpaperStyle")->data[0], '2');
        }
        EXPECT_EQ(rig.platform.deleted.size(), c.deleted ? 1u : 0u);
        if (c.deleted) {
            EXPECT_EQ(rig.platform.deleted[0], fixedFile);
        }
        EXPECT_TRUE(rig.pictures.live.empty());
    }
}

TEST(CycleFailures, WallpaperFileNotWrittenHoldsTheCycle) {
    for (bool emptyResult : {false, true}) {
        Rig rig;
        if (emptyResult)
            rig.worker.emptyResults = 1;  // the job could not allocate its picture
        else
            rig.pictures.failSaves = 1;
        rig.begin();
        rig.finishWorker();
        EXPECT_EQ(rig.settings.Count, 0u);
        EXPECT_TRUE(rig.desktop.sets.empty());
        EXPECT_TRUE(rig.cycle.state().paused);
        ASSERT_EQ(rig.ui.messages.size(), 1u);
        EXPECT_EQ(rig.ui.messages[0], IDS_WALLPAPER_NOT_SAVED);
        EXPECT_EQ(rig.ui.owners[0], MessageOwner::mainWindow);
        EXPECT_TRUE(rig.ui.open[int(ShellDialog::settings)]);
        EXPECT_EQ(rig.worker.state, fakes::Worker::running);  // the next one renders
        EXPECT_TRUE(rig.pictures.live.empty());
        rig.ui.cancelSettings();
        EXPECT_FALSE(rig.stuck());
        rig.cycle.onCommand(IDM_CHANGE);
        rig.finishWorker();
        EXPECT_EQ(rig.settings.Count, 1u);
    }
}

// The message comes while the main window still exists (its end would close
// the box at once) and with every timer stopped: nothing changes or starts
// while it is open.
TEST(CycleFailures, WallpaperNotSetEndsTheProgram) {
    Rig rig;
    rig.renderMs = 1000;
    rig.settings.Interval = 1000;
    rig.begin();
    rig.advance(1000 + 3000);
    ASSERT_EQ(rig.settings.Count, 4u);
    rig.desktop.systemSetFails = true;
    bool seen = false;
    rig.ui.whileMessageOpen = [&](uint32_t) {
        seen = true;
        EXPECT_FALSE(rig.ui.destroyed);
        for (uint32_t id = kTimerChange; id <= kTimerTray; ++id) EXPECT_FALSE(rig.platform.armed(id)) << id;
        rig.cycle.onTrayLeftClick();
        rig.cycle.onCommand(IDM_CHANGE);
        rig.cycle.onCommand(IDM_SETTINGS);
        rig.cycle.onTimer(kTimerChange);
        EXPECT_EQ(rig.worker.state, fakes::Worker::none);
        EXPECT_FALSE(rig.ui.open[int(ShellDialog::settings)]);
    };
    rig.advance(1000);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(rig.ui.destroyed);
    EXPECT_EQ(rig.settings.Count, 4u);
    EXPECT_EQ(rig.worker.starts, 5u);
    rig.cycle.shutDown();
    EXPECT_TRUE(rig.pictures.live.empty());
}

TEST(CycleFailures, WallpaperNotSetOnTheFirstChange) {
    Rig rig;
    rig.desktop.systemSetFails = true;
    rig.begin();
    rig.finishWorker();
    EXPECT_TRUE(rig.ui.destroyed);
    ASSERT_EQ(rig.ui.messages.size(), 1u);
    EXPECT_EQ(rig.ui.messages[0], IDS_WALLPAPER_NOT_SET);
    EXPECT_EQ(rig.ui.owners[0], MessageOwner::none);
    EXPECT_EQ(rig.worker.starts, 1u);  // nothing new starts on the way out
    EXPECT_FALSE(rig.platform.armed(kTimerChange));
    rig.cycle.shutDown();
    EXPECT_TRUE(rig.pictures.live.empty());
}

TEST(CycleFailures, WorkerThatCannotStartIsRetried) {
    Rig rig;
    rig.worker.startFails = true;
    rig.begin();
    EXPECT_FALSE(rig.cycle.state().changePending);
    EXPECT_TRUE(rig.platform.armed(kTimerChange));
    rig.worker.startFails = false;
    rig.advance(10 * minute);
    EXPECT_TRUE(rig.cycle.state().changePending);
    rig.finishWorker();
    EXPECT_EQ(rig.settings.Count, 1u);
}

TEST(CycleStart, FirstRunWaitsForTheSettingsDialog) {
    Rig rig;
    rig.begin(true);
    EXPECT_TRUE(rig.ui.open[int(ShellDialog::settings)]);
    EXPECT_EQ(rig.worker.starts, 0u);
    rig.ui.open[int(ShellDialog::settings)] = false;
    rig.cycle.settingsConfirmed(true, true);
    EXPECT_FALSE(rig.cycle.state().firstRun);
    EXPECT_TRUE(rig.cycle.state().changePending);
    rig.finishWorker();
    EXPECT_EQ(rig.settings.Count, 1u);
}

TEST(CycleStart, FirstRunCancelledWritesNoSettings) {
    Rig rig;
    rig.begin(true);
    rig.ui.cancelSettings();
    EXPECT_TRUE(rig.ui.destroyed);
    rig.cycle.shutDown();
    EXPECT_FALSE(rig.registry.hasKey(kSettingsKeyPath));
}

TEST(CycleStart, PrepareSettings) {
    fakes::Desktop desktop;
    platform::MemoryRegistry registry;
    Settings s;
    EXPECT_TRUE(prepareSettings(s, DesktopAccess{desktop, registry}, "C:\\Docs"));
    EXPECT_STREQ(s.SaveDir, "C:\\Docs");
    EXPECT_STREQ(s.WallpaperDir, "C:\\Docs\\chromaweave");
    EXPECT_TRUE(s.NoActiveDesktop);
    // A stored bypass is overruled while Active Desktop is on at start.
    registry.putDword(kSettingsKeyPath, "NoActiveDesktop", 1);
    registry.putString(kSettingsKeyPath, "WallpaperDir", "E:\\w");
    desktop.activeOn = true;
    Settings t;
    EXPECT_FALSE(prepareSettings(t, DesktopAccess{desktop, registry}, "C:\\Docs"));
    EXPECT_FALSE(t.NoActiveDesktop);
    EXPECT_STREQ(t.WallpaperDir, "E:\\w");
}

TEST(CycleCommands, SaveCopyUnderTheNextNumber) {
    Rig rig;
    rig.cycle.onCommand(IDM_SAVE);  // no picture yet: nothing
    rig.begin();
    rig.finishWorker();
    rig.cycle.onCommand(IDM_SAVE);
    EXPECT_EQ(rig.pictures.saved.back(), "C:\\wp\\chromaweave_0000000002.bmp");
    EXPECT_EQ(rig.settings.Count, 1u);
    rig.pictures.failSaves = 1;
    rig.cycle.onCommand(IDM_SAVE);
    ASSERT_EQ(rig.ui.messages.size(), 1u);
    EXPECT_EQ(rig.ui.messages[0], IDS_COPY_NOT_SAVED);
    EXPECT_FALSE(rig.cycle.state().paused);
}

TEST(CycleCommands, SaveAsHoldsTheCycleWhileTheDialogRuns) {
    Rig rig;
    rig.renderMs = 1000;
    rig.begin();
    rig.advance(1000);
    bool heldDuring = false;
    rig.ui.onSaveDialog = [&](const char *folder, bool ask, char *path) {
        heldDuring = rig.cycle.state().paused;
        EXPECT_STREQ(folder, "");
        EXPECT_TRUE(ask);
        std::strcpy(path, "D:\\pics\\copy.bmp");
        return true;
    };
    rig.cycle.onCommand(IDM_SAVE_AS);
    EXPECT_TRUE(heldDuring);
    EXPECT_EQ(rig.pictures.saved.back(), "D:\\pics\\copy.bmp");
    EXPECT_STREQ(rig.settings.SaveDir, "D:\\pics");
    EXPECT_FALSE(rig.cycle.state().paused);
    EXPECT_FALSE(rig.stuck());
    EXPECT_TRUE(rig.ui.messages.empty());
    // A copy that cannot be written: message 340; the cycle goes on.
    rig.ui.onSaveDialog = [&](const char *, bool, char *path) {
        std::strcpy(path, "D:\\pics\\copy.bmp");
        return true;
    };
    rig.pictures.failSaves = 1;
    rig.cycle.onCommand(IDM_SAVE_AS);
    ASSERT_EQ(rig.ui.messages.size(), 1u);
    EXPECT_EQ(rig.ui.messages[0], IDS_COPY_NOT_SAVED);
    EXPECT_EQ(rig.ui.owners[0], MessageOwner::mainWindow);
    EXPECT_FALSE(rig.cycle.state().paused);
    EXPECT_FALSE(rig.stuck());
}

TEST(CycleCommands, SettingsOpenedDuringSaveAsKeepsTheHold) {
    Rig rig;
    rig.begin();
    rig.finishWorker();
    rig.ui.onSaveDialog = [&](const char *, bool, char *) {
        rig.cycle.onCommand(IDM_SETTINGS);  // closes the save dialog
        return false;
    };
    rig.cycle.onCommand(IDM_SAVE_AS);
    EXPECT_TRUE(rig.ui.open[int(ShellDialog::settings)]);
    EXPECT_TRUE(rig.cycle.state().paused);
    EXPECT_FALSE(rig.platform.armed(kTimerChange));
    rig.ui.cancelSettings();
    EXPECT_FALSE(rig.cycle.state().paused);
    EXPECT_FALSE(rig.stuck());
}

// The settings dialog's hold passes to the save dialog: no resume in
// between, no change while the save dialog is open, stopped stays stopped.
TEST(CycleCommands, SaveAsTakesOverTheSettingsDialogsHold) {
    for (bool stopped : {false, true}) {
        Rig rig;
        rig.renderMs = 1000;
        rig.settings.Interval = 1000;
        rig.begin();
        rig.advance(1000);
        if (stopped) rig.cycle.onCommand(IDM_STOP);
        rig.cycle.onCommand(IDM_SETTINGS);
        int32_t resumes = rig.ui.resumes;
        rig.ui.onSaveDialog = [&](const char *, bool, char *) {
            EXPECT_FALSE(rig.ui.open[int(ShellDialog::settings)]);
            rig.advance(5000);  // five intervals with the dialog open
            EXPECT_EQ(rig.settings.Count, 1u);
            EXPECT_TRUE(rig.cycle.state().paused);
            EXPECT_TRUE(rig.ui.trayPaused);
            EXPECT_EQ(rig.ui.resumes, resumes);
            return false;
        };
        rig.cycle.onCommand(IDM_SAVE_AS);
        EXPECT_EQ(rig.cycle.state().paused, stopped);
        EXPECT_EQ(rig.ui.trayPaused, stopped);
        rig.advance(1000);
        EXPECT_EQ(rig.settings.Count, stopped ? 1u : 2u);
        EXPECT_FALSE(rig.stuck());
    }
}

TEST(CycleCommands, StopAndTrayClick) {
    Rig rig;
    rig.begin();
    rig.finishWorker();
    rig.cycle.onCommand(IDM_STOP);
    EXPECT_TRUE(rig.cycle.state().stopped);
    EXPECT_TRUE(rig.ui.trayPaused);
    rig.cycle.onCommand(IDM_CHANGE);  // ignored while paused
    EXPECT_EQ(rig.settings.Count, 1u);
    rig.cycle.onTrayLeftClick();
    EXPECT_FALSE(rig.cycle.state().stopped);
    EXPECT_FALSE(rig.ui.trayPaused);
    rig.cycle.onCommand(IDM_SETTINGS);
    rig.cycle.onTrayLeftClick();
    rig.cycle.onCommand(IDM_SETTINGS);
    EXPECT_EQ(rig.ui.fronted.size(), 2u);
    EXPECT_EQ(rig.ui.opened[int(ShellDialog::settings)], 1);
    rig.cycle.onCommand(IDM_ABOUT);
    rig.cycle.onCommand(IDM_ABOUT);
    EXPECT_EQ(rig.ui.opened[int(ShellDialog::about)], 1);
}

// OK's storing asks the injected comparison whether the folder changed:
// only a changed folder deletes the old fixed file and is taken.
TEST(CycleCommands, FolderChangeFollowsTheInjectedComparison) {
    for (bool same : {true, false}) {
        Rig rig;
        rig.begin();
        fakes::FolderCompare::answer = same ? fakes::FolderCompare::same : fakes::FolderCompare::different;
        SettingsForm form = {false, 4, 100, 100, 10, 1, "C:\\ＷＰ", false, true, false, true, true};
        rig.cycle.storeSettings(form);
        EXPECT_EQ(fakes::FolderCompare::compared, "C:\\ＷＰ|C:\\wp");
        EXPECT_EQ(rig.platform.deleted.size(), same ? 0u : 1u);
        EXPECT_STREQ(rig.settings.WallpaperDir, same ? "C:\\wp" : "C:\\ＷＰ");
    }
    fakes::FolderCompare::answer = fakes::FolderCompare::ascii;
}

TEST(CycleCommands, NewFolderDeletesTheOldFixedFile) {
    Rig rig;
    rig.begin();
    rig.cycle.changeWallpaperDir("D:\\new");
    ASSERT_EQ(rig.platform.deleted.size(), 1u);
    EXPECT_EQ(rig.platform.deleted[0], fixedFile);
    EXPECT_STREQ(rig.cycle.state().WallpaperFile, "D:\\new\\chromaweave.bmp");
    rig.finishWorker();
    EXPECT_EQ(rig.pictures.saved[0], "D:\\new\\chromaweave.bmp");
}

// ---- The tray icon

// A taskbar that is not there at start-up is tried again, a bounded number
// of times; a (re)started taskbar gets the icon back in the current state.
TEST(CycleTray, RetriedWhileMissingAndAddedAgainWithTheTaskbar) {
    for (uint32_t appearsAfter : {3u, kTrayRetryTries + 5}) {
        Rig rig;
        rig.ui.taskbarThere = false;
        rig.cycle.addTrayIcon();
        rig.begin();
        EXPECT_TRUE(rig.platform.armed(kTimerTray));
        rig.advance(uint64_t(appearsAfter - 1) * kTrayRetryPeriod);
        rig.ui.taskbarThere = true;
        rig.advance(kTrayRetryPeriod);
        bool added = appearsAfter <= kTrayRetryTries;
        EXPECT_EQ(rig.ui.trayShown, added) << appearsAfter;
        EXPECT_EQ(rig.ui.trayAdds, int32_t(1 + (added ? appearsAfter : kTrayRetryTries)));
        EXPECT_FALSE(rig.platform.armed(kTimerTray));
        // The taskbar announces itself: the icon comes (back) paused.
        rig.cycle.onCommand(IDM_STOP);
        rig.ui.trayShown = false;
        rig.cycle.onTaskbarCreated();
        EXPECT_TRUE(rig.ui.trayShown);
        EXPECT_TRUE(rig.ui.trayPaused);
        EXPECT_FALSE(rig.platform.armed(kTimerTray));
    }
    // Announced while the retries run: added, and the retries stop.
    Rig rig;
    rig.ui.taskbarThere = false;
    rig.cycle.addTrayIcon();
    rig.ui.taskbarThere = true;
    rig.cycle.onTaskbarCreated();
    EXPECT_TRUE(rig.ui.trayShown);
    EXPECT_FALSE(rig.ui.trayPaused);
    EXPECT_FALSE(rig.platform.armed(kTimerTray));
}

// ---- The end of the session

// The shut-down steps run when the session ends, once, and the cycle stops.
TEST(CycleExit, EndOfSessionRunsTheShutDownSteps) {
    Rig rig;
    rig.renderMs = 1000;
    rig.settings.Interval = 1000;
    rig.settings.DeleteFile = true;
    rig.settings.Count = 7;
    rig.begin();
    rig.advance(3000);
    ASSERT_EQ(rig.settings.Count, 10u);
    rig.cycle.endSession();
    EXPECT_TRUE(rig.ui.destroyed);
    ASSERT_EQ(rig.desktop.sets.size(), 4u);
    EXPECT_EQ(rig.desktop.sets.back(), std::make_pair(std::string("C:\\old.bmp"), true));
    EXPECT_EQ(rig.platform.deleted, std::vector<std::string>{fixedFile});
    const platform::MemoryRegistry::Value *v = rig.registry.findValue(kSettingsKeyPath, "Count");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->data, (std::vector<uint8_t>{10, 0, 0, 0}));
    EXPECT_EQ(rig.worker.state, fakes::Worker::none);
    EXPECT_TRUE(rig.pictures.live.empty());
    // The loop's end runs the shut-down again: nothing happens twice.
    rig.registry.putDword(kSettingsKeyPath, "Count", 99);
    rig.cycle.shutDown();
    EXPECT_EQ(rig.registry.findValue(kSettingsKeyPath, "Count")->data[0], 99);
    EXPECT_EQ(rig.desktop.sets.size(), 4u);
    EXPECT_EQ(rig.platform.deleted.size(), 1u);
}

}  // namespace
