// What holds the cycle and what makes timed changes wait, on the simulated
// clock: several holds at once, the busy user (full screen, battery),
// hotkeys, and the advanced settings dialog's outcome, beside the history's
// recipe changes and parked picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "app/resources/resource.h"
#include "fakes.h"

namespace {

using fakes::Rig;
const uint32_t minute = 60000;
const uint32_t ctrlAlt = uint32_t(kHotkeyFlagControl | kHotkeyFlagAlt) << 8;
const uint32_t ctrlShift = uint32_t(kHotkeyFlagControl | kHotkeyFlagShift) << 8;

// The first wallpaper at 1000 ms, then the cycle runs.
void startRunning(Rig &rig) {
    rig.renderMs = 1000;
    rig.begin();
    rig.advance(1000);
    ASSERT_EQ(rig.settings.Count, 1u);
}

// Advances to the moment the next change is due by the clock (from the
// last change) less `early` milliseconds.
void advanceToNextDue(Rig &rig, uint64_t early) {
    uint64_t due = rig.cycle.state().lastChangeTick + uint64_t(rig.settings.Interval);
    rig.advance(due - early - rig.platform.clock);
}

// Composed wallpaper n (the n-th job) has the recipe of width 100 + n.
void numberRecipes(Rig &rig) {
    rig.worker.recipeOf = [](uint32_t n) {
        tlRecipe r;
        r.width = int32_t(100 + n);
        r.height = 7;
        return r;
    };
}

// The tray's paste of a recipe of that width.
void pasteRecipe(Rig &rig, int32_t width) {
    tlRecipe r;
    r.width = width;
    r.height = 7;
    char text[kRecipeTextCapacity];
    ASSERT_TRUE(encodeRecipeText(r, text, sizeof text).ok());
    rig.ui.clipboard = text;
    rig.ui.hasClipboardText = true;
    rig.cycle.onCommand(IDM_PASTE_RECIPE);
}

enum Holder { settings, advanced, stop };

void openHolder(Rig &rig, Holder h) {
    if (h == settings) rig.cycle.onCommand(IDM_SETTINGS);
    if (h == advanced) rig.cycle.onCommand(IDM_ADVANCED);
    if (h == stop) rig.cycle.onHotkey(kHotkeyStop + 1);
}

void closeHolder(Rig &rig, Holder h) {
    if (h == settings) rig.ui.cancelSettings();
    if (h == advanced) {
        rig.ui.open[int(ShellDialog::advanced)] = false;
        rig.cycle.advancedCancelled();
    }
    if (h == stop) rig.cycle.onCommand(IDM_STOP);
}

// Three holds taken 3 minutes into a 10-minute interval and ended in every
// order: the cycle stays held until the last ends, then the interval goes
// on where it was interrupted.
TEST(Holds, SeveralHoldersAtOnceInEveryOrder) {
    Holder order[3] = {settings, advanced, stop};
    do {
        Rig rig;
        startRunning(rig);
        rig.advance(3 * minute);
        for (Holder h : {settings, advanced, stop}) openHolder(rig, h);
        EXPECT_TRUE(rig.ui.open[int(ShellDialog::advanced)]);
        for (int32_t i = 0; i < 3; ++i) {
            rig.advance(20 * minute);
            EXPECT_TRUE(rig.cycle.state().paused) << order[0] << order[1] << order[2];
            EXPECT_EQ(rig.cycle.state().stopped, std::find(order, order + i, stop) == order + i);
            closeHolder(rig, order[i]);
        }
        EXPECT_FALSE(rig.cycle.state().paused);
        EXPECT_FALSE(rig.ui.trayPaused);
        rig.advance(7 * minute - 1);
        EXPECT_EQ(rig.settings.Count, 1u);
        rig.advance(1);
        EXPECT_EQ(rig.settings.Count, 2u);
        EXPECT_FALSE(rig.stuck());
    } while (std::next_permutation(order, order + 3));
}

// The save dialog ends while the advanced dialog is open: the cycle stays
// held; the advanced dialog is brought to the front by a click on the icon;
// closing it resumes the interval.
TEST(Holds, SaveAsEndsWhileTheAdvancedDialogHolds) {
    Rig rig;
    startRunning(rig);
    rig.cycle.onCommand(IDM_ADVANCED);
    rig.cycle.onCommand(IDM_ADVANCED);
    EXPECT_EQ(rig.ui.opened[int(ShellDialog::advanced)], 1);
    rig.ui.onSaveDialog = [](const char *, bool, char *) { return false; };
    rig.cycle.onCommand(IDM_SAVE_AS);
    EXPECT_TRUE(rig.cycle.state().paused);
    rig.cycle.onTrayLeftClick();
    EXPECT_EQ(rig.ui.fronted.size(), 2u);
    EXPECT_EQ(rig.ui.fronted.back(), ShellDialog::advanced);
    rig.advance(30 * minute);
    EXPECT_EQ(rig.settings.Count, 1u);
    rig.ui.open[int(ShellDialog::advanced)] = false;
    rig.cycle.advancedCancelled();
    rig.advance(10 * minute - 1);  // the time held does not count
    EXPECT_EQ(rig.settings.Count, 1u);
    rig.advance(1);
    EXPECT_EQ(rig.settings.Count, 2u);
    EXPECT_FALSE(rig.stuck());
}

// A recipe change asked for just before three holds (the advanced dialog,
// the settings dialog, the screen-size save that takes over the settings
// dialog's hold) is made when the last of them ends, not before.
TEST(Holds, RecipeChangeWaitsForTheLastHold) {
    Rig rig;
    startRunning(rig);
    pasteRecipe(rig, 5);
    rig.cycle.onCommand(IDM_ADVANCED);
    rig.cycle.onCommand(IDM_SETTINGS);
    rig.ui.onSaveDialog = [&rig](const char *, bool, char *) {
        rig.advance(30 * minute);
        return false;
    };
    rig.cycle.onCommand(IDM_SAVE_SCREEN);
    EXPECT_FALSE(rig.ui.open[int(ShellDialog::settings)]);
    rig.advance(30 * minute);
    EXPECT_TRUE(rig.worker.rendered.empty());
    EXPECT_EQ(rig.settings.Count, 1u);
    rig.ui.open[int(ShellDialog::advanced)] = false;
    rig.cycle.advancedCancelled();
    rig.advance(1000);
    EXPECT_EQ(rig.worker.rendered, std::vector<int32_t>{5});
    EXPECT_EQ(rig.settings.Count, 2u);
    EXPECT_FALSE(rig.stuck());
}

// Before the first settings are confirmed, the advanced command only brings
// the settings dialog to the front.
TEST(Holds, NoAdvancedDialogOnTheFirstRun) {
    Rig rig;
    rig.begin(true);
    rig.cycle.onCommand(IDM_ADVANCED);
    EXPECT_FALSE(rig.ui.open[int(ShellDialog::advanced)]);
    EXPECT_EQ(rig.ui.fronted, std::vector<ShellDialog>{ShellDialog::settings});
    EXPECT_FALSE(rig.cycle.state().paused);
}

// ---- The busy user

// Full screen from 3 s on: the change due at 10 minutes waits, a click still
// changes at once, and the change that fell due is made at the first poll
// that finds the user no longer busy; the interval starts again there.
TEST(Busy, DueWhileBusyChangesWhenItEnds) {
    for (bool click : {false, true}) {
        Rig rig;
        rig.settings.HoldFullScreen = true;
        startRunning(rig);
        EXPECT_TRUE(rig.platform.armed(kTimerBusy));
        rig.activity.fullScreen = true;
        rig.advance(kBusyPollPeriod);
        EXPECT_TRUE(rig.ui.trayHeld);
        EXPECT_FALSE(rig.cycle.state().paused);
        rig.advance(10 * minute);
        EXPECT_EQ(rig.settings.Count, 1u);
        EXPECT_TRUE(rig.cycle.state().changeDueWhileBusy);
        EXPECT_FALSE(rig.stuck());
        if (click) {
            rig.cycle.onTrayLeftClick();
            EXPECT_EQ(rig.settings.Count, 2u);
        }
        rig.activity.fullScreen = false;
        rig.advance(kBusyPollPeriod);
        EXPECT_FALSE(rig.ui.trayHeld);
        // A click served the waiting change: none more when the hold ends.
        EXPECT_EQ(rig.settings.Count, 2u) << click;
        advanceToNextDue(rig, 1);
        EXPECT_EQ(rig.settings.Count, 2u);
        rig.advance(1);
        EXPECT_EQ(rig.settings.Count, 3u);
    }
}

// A timed change waiting for the worker when the user became busy: the
// finished picture waits too and is the one set when the hold ends.
TEST(Busy, PendingChangeWaitsWithItsPicture) {
    Rig rig;
    rig.settings.HoldOnBattery = true;
    rig.begin();
    rig.finishWorker();
    rig.advance(10 * minute);
    ASSERT_TRUE(rig.cycle.state().changePending);
    rig.activity.battery = true;
    rig.advance(kBusyPollPeriod);
    rig.finishWorker();
    EXPECT_EQ(rig.settings.Count, 1u);
    EXPECT_FALSE(rig.cycle.state().changePending);
    EXPECT_FALSE(rig.stuck());
    uint32_t starts = rig.worker.starts;
    rig.activity.battery = false;
    rig.advance(kBusyPollPeriod);
    EXPECT_EQ(rig.settings.Count, 2u);
    EXPECT_EQ(rig.worker.starts, starts + 1);  // served by the finished picture
    EXPECT_FALSE(rig.stuck());
}

// Busy and stopped together: nothing changes while stopped; resumed while
// busy, the rest of the interval runs out and the change waits; it comes
// when the user is no longer busy.
TEST(Busy, BusyAndStoppedTogether) {
    Rig rig;
    rig.settings.HoldFullScreen = true;
    startRunning(rig);
    rig.advance(3 * minute);
    rig.cycle.onCommand(IDM_STOP);
    rig.activity.fullScreen = true;
    rig.advance(60 * minute);
    EXPECT_TRUE(rig.ui.trayPaused && rig.ui.trayHeld);
    rig.cycle.onCommand(IDM_STOP);
    EXPECT_TRUE(rig.platform.armed(kTimerResume));
    rig.advance(7 * minute);
    EXPECT_EQ(rig.settings.Count, 1u);
    EXPECT_TRUE(rig.cycle.state().changeDueWhileBusy);
    // Stopped again with the change waiting, and the user done meanwhile:
    // the resume makes the change.
    rig.cycle.onCommand(IDM_STOP);
    rig.activity.fullScreen = false;
    rig.advance(kBusyPollPeriod);
    EXPECT_EQ(rig.settings.Count, 1u);
    rig.cycle.onCommand(IDM_STOP);
    EXPECT_EQ(rig.settings.Count, 2u);
    EXPECT_FALSE(rig.stuck());
}

// Which switch asks which question, and no poll at all with both off.
TEST(Busy, SwitchesAndTheirQuestions) {
    struct Case {
        bool fullScreenOn, batteryOn, fullScreen, battery, busy;
    } cases[] = {
        {true, false, true, true, true},   {true, false, false, true, false}, {false, true, true, true, true},
        {false, true, true, false, false}, {true, true, false, true, true},   {true, true, false, false, false},
        {false, false, true, true, false},
    };
    for (const Case &c : cases) {
        Rig rig;
        rig.settings.HoldFullScreen = c.fullScreenOn;
        rig.settings.HoldOnBattery = c.batteryOn;
        rig.activity.fullScreen = c.fullScreen;
        rig.activity.battery = c.battery;
        rig.begin();
        EXPECT_EQ(rig.cycle.state().userBusy, c.busy);
        EXPECT_EQ(rig.platform.armed(kTimerBusy), c.fullScreenOn || c.batteryOn);
        if (!c.fullScreenOn && !c.batteryOn) {
            EXPECT_EQ(rig.activity.asked, 0);
        }
    }
}

// ---- The advanced settings dialog

// Turning the hold off ends it (and its poll); a new style renders a new
// picture at once, as a new size does, or only ahead while still held.
TEST(Advanced, ConfirmedHoldAndStyle) {
    for (bool settingsOpen : {false, true}) {
        Rig rig;
        rig.settings.HoldFullScreen = true;
        rig.activity.fullScreen = true;
        startRunning(rig);
        rig.advance(10 * minute);
        ASSERT_TRUE(rig.cycle.state().changeDueWhileBusy);
        if (settingsOpen) rig.cycle.onCommand(IDM_SETTINGS);
        rig.cycle.onCommand(IDM_ADVANCED);
        AdvancedForm form = advancedFormOf(rig.settings);
        form.holdFullScreen = false;
        form.style.complexity = tlComplexitySimple;
        form.style.excluded = 1u << tlFamilyNoise;
        rig.ui.open[int(ShellDialog::advanced)] = false;
        AdvancedChanges changes = rig.cycle.storeAdvanced(form);
        EXPECT_TRUE(changes.styleChanged && changes.holdChanged);
        rig.cycle.advancedConfirmed(changes);
        EXPECT_FALSE(rig.platform.armed(kTimerBusy));
        EXPECT_FALSE(rig.ui.trayHeld);
        EXPECT_EQ(rig.cycle.state().paused, settingsOpen);
        ASSERT_EQ(rig.worker.state, fakes::Worker::running);
        EXPECT_EQ(rig.worker.job->style.complexity, tlComplexitySimple);
        EXPECT_EQ(rig.worker.job->style.excluded, 1u << tlFamilyNoise);
        rig.advance(1000);
        EXPECT_EQ(rig.settings.Count, settingsOpen ? 1u : 2u);
        EXPECT_FALSE(rig.stuck());
    }
}

// ---- Hotkeys

// A new style while a recipe change renders and the picture made in advance
// waits aside: neither is shown as it was; a picture of the new style comes
// at once, then the recipe change is rendered again.
TEST(Advanced, NewStyleDropsTheParkedPicture) {
    Rig rig;
    numberRecipes(rig);
    rig.worker.exitsAfterNotice = true;
    rig.begin();
    rig.finishWorker();
    pasteRecipe(rig, 5);
    rig.finishWorker();  // picture 102 steps aside for the recipe
    ASSERT_TRUE(rig.cycle.state().parked);
    rig.cycle.onCommand(IDM_ADVANCED);
    AdvancedForm form = advancedFormOf(rig.settings);
    form.style.complexity = tlComplexitySimple;
    rig.ui.open[int(ShellDialog::advanced)] = false;
    rig.cycle.advancedConfirmed(rig.cycle.storeAdvanced(form));
    EXPECT_FALSE(rig.cycle.state().parked);
    ASSERT_EQ(rig.worker.state, fakes::Worker::running);
    EXPECT_EQ(rig.worker.job->style.complexity, tlComplexitySimple);
    rig.finishWorker();
    rig.finishWorker();
    const History &h = rig.cycle.state().history;
    ASSERT_EQ(h.count(), 3);
    const int32_t widths[] = {5, 104, 101};
    for (int32_t i = 0; i < 3; ++i) {
        tlRecipe r;
        ASSERT_TRUE(decodeRecipeText(h.entry(i).recipe, r).ok());
        EXPECT_EQ(r.width, widths[i]) << i;
    }
    EXPECT_FALSE(rig.stuck());
}

// Registered at the start with RegisterHotKey's modifiers; one another
// program holds is recorded; the change and stop keys act as the menu's
// items; a new set replaces the old all or none; gone at exit.
TEST(Hotkeys, RegisteredUsedReplacedAndRemoved) {
    using Combination = fakes::Hotkeys::Combination;
    Rig rig;
    rig.settings.Hotkeys[kHotkeyChange] = ctrlAlt | 'N';
    rig.settings.Hotkeys[kHotkeyStop] = ctrlShift | 'P';
    rig.settings.Hotkeys[kHotkeyBack] = ctrlAlt | 'B';
    rig.hotkeys.taken.insert(Combination{platform::kModifierControl | platform::kModifierShift, 'P'});
    numberRecipes(rig);
    startRunning(rig);
    ASSERT_EQ(rig.hotkeys.registered.size(), 2u);
    EXPECT_EQ(rig.hotkeys.registered[1].modifiers, platform::kModifierControl | platform::kModifierAlt);
    EXPECT_EQ(rig.hotkeys.registered[1].key, uint32_t('N'));
    EXPECT_EQ(rig.cycle.state().hotkeysRefused, 1u << kHotkeyStop);
    rig.cycle.onHotkey(kHotkeyChange + 1);
    rig.advance(1000);  // the next picture is done
    EXPECT_EQ(rig.settings.Count, 2u);
    rig.cycle.onHotkey(kHotkeyBack + 1);  // the first wallpaper again, after the job in flight
    rig.advance(2000);
    EXPECT_EQ(rig.settings.Count, 3u);
    EXPECT_EQ(rig.worker.rendered, std::vector<int32_t>{101});
    rig.cycle.onHotkey(kHotkeyStop + 1);
    EXPECT_TRUE(rig.cycle.state().stopped);
    rig.cycle.onHotkey(kHotkeyChange + 1);  // nothing while stopped
    rig.cycle.onHotkey(kHotkeyBack + 1);
    rig.advance(10 * minute);
    EXPECT_EQ(rig.settings.Count, 3u);
    rig.cycle.onHotkey(kHotkeyStop + 1);
    EXPECT_FALSE(rig.cycle.state().paused);

    uint32_t refused[kHotkeyCount] = {ctrlAlt | 'C', ctrlAlt | 'B', ctrlShift | 'P'};
    EXPECT_EQ(rig.cycle.changeHotkeys(refused), kHotkeyStop);
    ASSERT_EQ(rig.hotkeys.registered.size(), 2u);  // the previous set is back
    EXPECT_EQ(rig.hotkeys.registered[1].key, uint32_t('N'));
    uint32_t accepted[kHotkeyCount] = {0, ctrlAlt | 'B', ctrlShift | 'S'};
    EXPECT_EQ(rig.cycle.changeHotkeys(accepted), -1);
    EXPECT_EQ(rig.hotkeys.registered.size(), 2u);
    EXPECT_EQ(rig.hotkeys.registered.count(1), 0u);
    EXPECT_EQ(rig.cycle.state().hotkeysRefused, 0u);
    rig.cycle.onCommand(IDM_EXIT);
    EXPECT_TRUE(rig.hotkeys.registered.empty());
}

}  // namespace

namespace {

void randomStep(Rig &rig, std::mt19937 &random) {
    fakes::Ui &ui = rig.ui;
    bool settingsOpen = ui.open[int(ShellDialog::settings)];
    bool advancedOpen = ui.open[int(ShellDialog::advanced)];
    switch (random() % 14) {
    case 0: rig.cycle.onHotkey(kHotkeyChange + 1); break;
    case 1: rig.cycle.onTrayLeftClick(); break;
    case 2: rig.cycle.onHotkey(kHotkeyStop + 1); break;  // also while a dialog holds
    case 3:
        if (settingsOpen)
            ui.cancelSettings();
        else
            rig.cycle.onCommand(IDM_SETTINGS);
        break;
    case 4:
        if (settingsOpen) {
            ui.open[int(ShellDialog::settings)] = false;
            rig.cycle.settingsConfirmed(random() % 2 == 0, random() % 2 == 0);
        }
        break;
    case 5:
        if (!advancedOpen) {
            rig.cycle.onCommand(IDM_ADVANCED);
        } else {
            AdvancedForm form = advancedFormOf(rig.settings);
            form.style.complexity = int32_t(random() % 3);
            form.holdFullScreen = random() % 4 != 0;
            ui.open[int(ShellDialog::advanced)] = false;
            rig.cycle.advancedConfirmed(rig.cycle.storeAdvanced(form));
        }
        break;
    case 6: rig.activity.fullScreen = !rig.activity.fullScreen; break;
    case 7: rig.cycle.onCommand(IDM_SAVE_AS); break;
    case 8: rig.pictures.failSaves = 1; break;
    case 9: rig.renderMs = 500 + random() % 6000; break;
    default: rig.advance(random() % 4000); break;
    }
}

// Thousands of changes with dialogs holding at once, stops among them, a
// user busy on and off and slow workers: the cycle never gets stuck, is
// paused exactly while something holds it, and a hold without its dialog
// is only ever the user's stop.
TEST(HoldsSoak, ManyHoldersAndABusyUser) {
    std::mt19937 random(20240612);
    Rig rig;
    rig.settings.Interval = 3000;
    rig.settings.HoldFullScreen = true;
    rig.ui.onSaveDialog = [&](const char *, bool, char *) {
        rig.advance(random() % 2000);
        return false;
    };
    rig.renderMs = 1000;
    rig.begin();
    for (uint64_t step = 0; rig.settings.Count < 2000 && step < 300000; ++step) {
        randomStep(rig, random);
        const ShellState &s = rig.cycle.state();
        ASSERT_FALSE(rig.stuck()) << "step " << step;
        ASSERT_EQ(s.paused, s.holds != 0) << "step " << step;
        if (s.paused) {
            ASSERT_FALSE(rig.platform.armed(kTimerChange) || rig.platform.armed(kTimerResume));
        }
        ASSERT_EQ((s.holds & kHoldSettings) != 0, rig.ui.open[int(ShellDialog::settings)]) << step;
        ASSERT_EQ((s.holds & kHoldAdvanced) != 0, rig.ui.open[int(ShellDialog::advanced)]) << step;
        ASSERT_EQ(s.holds & kHoldSaveAs, 0u) << step;
        ASSERT_LE(rig.pictures.live.size(), 2u) << step;
    }
    EXPECT_EQ(rig.settings.Count, 2000u);
    rig.cycle.onCommand(IDM_EXIT);
    rig.cycle.shutDown();
    EXPECT_TRUE(rig.pictures.live.empty());
}

}  // namespace
