// Recipe changes in the wallpaper cycle, on the simulated clock: they queue
// behind the job in flight and keep the picture rendered in advance; back
// walks the history; the history survives a restart and its thumbnails are
// drawn by the worker when it has nothing else to do; refused and failed
// recipes have their own messages; holds, copy and the screen-size save.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/resources/resource.h"
#include "fakes.h"

namespace {

using fakes::Rig;
const uint32_t minute = 60000;
const char fixedFile[] = "C:\\wp\\chromaweave.bmp";

// A recipe without effects: its width tells the wallpapers apart.
tlRecipe recipe(int32_t width) {
    tlRecipe r;
    r.width = width;
    r.height = 7;
    return r;
}

std::string textOf(const tlRecipe &r) {
    char text[kRecipeTextCapacity];
    EXPECT_TRUE(encodeRecipeText(r, text, sizeof text).ok());
    return text;
}

// Composed wallpaper n (the n-th job) has the recipe of width 100 + n. The
// worker's thread ends only after its notice was handled, as it may.
void numberRecipes(Rig &rig) {
    rig.worker.recipeOf = [](uint32_t n) { return recipe(int32_t(100 + n)); };
    rig.worker.exitsAfterNotice = true;
}

// The widths of the history's recipes, newest first.
std::string historyWidths(const Rig &rig) {
    const History &h = rig.cycle.state().history;
    std::string out;
    for (int32_t i = 0; i < h.count(); ++i) {
        tlRecipe r;
        EXPECT_TRUE(decodeRecipeText(h.entry(i).recipe, r).ok());
        out += (i ? " " : "") + std::to_string(r.width);
    }
    return out;
}

void paste(Rig &rig, const std::string &text) {
    rig.ui.clipboard = text;
    rig.ui.hasClipboardText = true;
    rig.cycle.onCommand(IDM_PASTE_RECIPE);
}

// Three wallpapers, 101, 102 and 103; the advance picture 104 is rendering.
void threeChanges(Rig &rig) {
    numberRecipes(rig);
    rig.begin();
    rig.finishWorker();
    for (int32_t i = 0; i < 2; ++i) {
        rig.cycle.onCommand(IDM_CHANGE);
        rig.finishWorker();
    }
    ASSERT_EQ(historyWidths(rig), "103 102 101");
}

}  // namespace

// The recipe waits for the job in flight; the advance picture that job made
// steps aside and is the next timed wallpaper.
TEST(CycleRecipes, QueuedBehindTheJobInFlightKeepingTheAdvancePicture) {
    Rig rig;
    numberRecipes(rig);
    rig.begin();
    rig.finishWorker();
    paste(rig, textOf(recipe(7)));
    EXPECT_EQ(rig.worker.starts, 2u);  // nothing starts beside the job in flight
    rig.finishWorker();                // the advance picture steps aside
    EXPECT_TRUE(rig.cycle.state().parked);
    ASSERT_EQ(rig.worker.starts, 3u);
    ASSERT_NE(rig.worker.job->render, nullptr);
    EXPECT_EQ(rig.worker.job->render->width, 7);
    rig.advance(minute);
    rig.finishWorker();
    // Written with the usual rules, set, counted, recorded; the interval starts anew.
    EXPECT_EQ(rig.settings.Count, 2u);
    EXPECT_EQ(rig.pictures.saved.back(), fixedFile);
    EXPECT_EQ(rig.pictures.savedSizes.back(), 7);
    EXPECT_EQ(rig.desktop.sets.back().first, fixedFile);
    EXPECT_EQ(historyWidths(rig), "7 101");
    EXPECT_EQ(rig.platform.timers[kTimerChange].due, rig.platform.clock + 10 * minute);
    // It is the current picture: the copy is of it.
    rig.cycle.onCommand(IDM_SAVE);
    EXPECT_EQ(rig.pictures.savedSizes.back(), 7);
    EXPECT_EQ(rig.worker.state, fakes::Worker::none);  // the next picture is ready aside
    // The timed change shows the picture rendered in advance without waiting.
    uint32_t advanceSerial = 2;
    rig.advance(10 * minute);
    EXPECT_EQ(rig.settings.Count, 3u);
    EXPECT_EQ(rig.pictures.savedSerials.back(), advanceSerial);
    EXPECT_EQ(historyWidths(rig), "102 7 101");
    EXPECT_EQ(rig.worker.state, fakes::Worker::running);  // and the next one starts
    EXPECT_FALSE(rig.stuck());
}

// Due while a recipe renders: the timer's change takes the picture waiting
// aside at once; a change due while other work runs without one waits for
// the next picture, and a recipe change shown meanwhile serves it.
TEST(CycleRecipes, TimedChangesBesideRecipeJobs) {
    Rig rig;
    numberRecipes(rig);
    rig.begin();
    rig.finishWorker();
    rig.finishWorker();         // the advance picture is ready, not awaited
    rig.worker.exiting = true;  // its thread still on its way out
    paste(rig, textOf(recipe(8)));
    EXPECT_TRUE(rig.cycle.state().parked);
    rig.advance(10 * minute);
    EXPECT_EQ(rig.settings.Count, 2u);  // the advance picture
    EXPECT_EQ(rig.pictures.savedSizes.back(), 120);
    EXPECT_EQ(rig.worker.job->render->width, 8);  // the recipe still renders
    rig.advance(10 * minute);                     // due again: nothing waits aside now
    EXPECT_TRUE(rig.cycle.state().changePending);
    EXPECT_FALSE(rig.stuck());
    rig.finishWorker();
    EXPECT_EQ(rig.settings.Count, 3u);
    EXPECT_EQ(rig.pictures.savedSizes.back(), 8);
    EXPECT_FALSE(rig.cycle.state().changePending);
    EXPECT_TRUE(rig.platform.armed(kTimerChange));
    rig.finishWorker();  // the next picture, not awaited
    EXPECT_EQ(rig.settings.Count, 3u);
    EXPECT_FALSE(rig.stuck());
    rig.worker.exiting = true;  // its notice came; its thread is still ending
    rig.advance(10 * minute);
    EXPECT_EQ(rig.settings.Count, 4u);  // taken at once, not waited for
}

// Three changes, back twice: the first wallpaper again; no further back.
// Back's showings move their wallpapers up but not the walk, and the next
// change ends the walk.
TEST(CycleRecipes, BackWalksTheHistory) {
    Rig rig;
    threeChanges(rig);
    EXPECT_TRUE(rig.cycle.canGoBack());
    rig.cycle.onCommand(IDM_BACK);
    rig.finishWorker();  // the advance picture steps aside
    rig.finishWorker();
    EXPECT_EQ(rig.pictures.savedSizes.back(), 102);
    EXPECT_EQ(historyWidths(rig), "102 103 101");
    rig.cycle.onCommand(IDM_BACK);
    rig.finishWorker();
    EXPECT_EQ(rig.pictures.savedSizes.back(), 101);
    EXPECT_EQ(historyWidths(rig), "101 102 103");
    EXPECT_EQ(rig.worker.rendered, (std::vector<int32_t>{102, 101}));
    EXPECT_EQ(rig.settings.Count, 5u);
    EXPECT_FALSE(rig.cycle.canGoBack());
    uint32_t starts = rig.worker.starts;
    rig.cycle.onCommand(IDM_BACK);
    EXPECT_EQ(rig.worker.starts, starts);
    // The timer's change (104, aside) ends the walk: back goes to 101.
    rig.advance(10 * minute);
    EXPECT_EQ(historyWidths(rig), "104 101 102 103");
    EXPECT_TRUE(rig.cycle.canGoBack());
    rig.finishWorker();
    rig.cycle.onCommand(IDM_BACK);
    rig.finishWorker();
    EXPECT_EQ(rig.pictures.savedSizes.back(), 101);
}

// Backs chosen faster than the worker renders: the newest wins, and the walk
// still counts each of them.
TEST(CycleRecipes, TheNewestRequestWins) {
    Rig rig;
    threeChanges(rig);
    rig.cycle.onCommand(IDM_BACK);
    rig.cycle.onCommand(IDM_BACK);
    EXPECT_FALSE(rig.cycle.canGoBack());
    rig.finishWorker();  // the advance picture
    rig.finishWorker();
    EXPECT_EQ(rig.worker.rendered, std::vector<int32_t>{101});
    EXPECT_EQ(rig.settings.Count, 4u);
    // Overtaken while rendering: the older result is dropped.
    rig.cycle.onCommand(IDM_CHANGE);  // 104, aside, is shown
    rig.finishWorker();
    paste(rig, textOf(recipe(9)));
    paste(rig, textOf(recipe(10)));
    rig.finishWorker();
    rig.finishWorker();
    EXPECT_EQ(rig.worker.rendered, (std::vector<int32_t>{101, 9, 10}));
    EXPECT_EQ(rig.pictures.savedSizes.back(), 10);
    EXPECT_EQ(rig.settings.Count, 6u);
    EXPECT_FALSE(rig.stuck());
}

// A wallpaper without a recipe gets no entry; back then goes to the newest.
TEST(CycleRecipes, WallpaperWithoutARecipe) {
    Rig rig;
    rig.worker.recipeOf = [](uint32_t n) { return n == 2 ? tlRecipe() : recipe(int32_t(100 + n)); };
    rig.begin();
    rig.finishWorker();
    rig.cycle.onCommand(IDM_CHANGE);
    rig.finishWorker();
    EXPECT_EQ(historyWidths(rig), "101");
    EXPECT_EQ(rig.cycle.state().currentSerial, 0u);
    rig.cycle.onCommand(IDM_COPY_RECIPE);
    EXPECT_FALSE(rig.ui.hasClipboardText);
    EXPECT_TRUE(rig.cycle.canGoBack());
    rig.cycle.onCommand(IDM_BACK);
    rig.finishWorker();
    rig.finishWorker();
    EXPECT_EQ(rig.pictures.savedSizes.back(), 101);
    EXPECT_FALSE(rig.cycle.canGoBack());
}

// Exit and start again: the history is there; the worker draws the missing
// thumbnails one at a time, only when the next picture waits aside, which
// a change due meanwhile takes at once.
TEST(CycleRecipes, HistorySurvivesARestartAndGetsItsThumbnails) {
    Rig first;
    threeChanges(first);
    first.cycle.onCommand(IDM_EXIT);
    first.cycle.shutDown();
    Rig rig;
    rig.registry = first.registry;
    numberRecipes(rig);
    rig.begin();
    EXPECT_EQ(historyWidths(rig), "103 102 101");
    EXPECT_EQ(rig.cycle.state().history.nextWithoutThumbnail(), 0);
    rig.finishWorker();  // the first wallpaper: 101 again, moved up
    EXPECT_EQ(historyWidths(rig), "101 103 102");
    EXPECT_EQ(rig.worker.job->render, nullptr);  // the next picture comes first
    rig.finishWorker();                          // it steps aside for the thumbnails
    EXPECT_TRUE(rig.cycle.state().parked);
    ASSERT_EQ(rig.worker.state, fakes::Worker::running);
    EXPECT_EQ(rig.worker.job->render->width, 103);
    rig.advance(10 * minute);  // due during the thumbnail job: shown at once
    EXPECT_EQ(rig.settings.Count, 2u);
    EXPECT_EQ(historyWidths(rig), "102 101 103");
    rig.finishWorker();  // 103's thumbnail; 102 has the one its change made
    EXPECT_EQ(rig.worker.rendered, std::vector<int32_t>{103});
    EXPECT_EQ(rig.cycle.state().history.nextWithoutThumbnail(), -1);
    EXPECT_EQ(rig.worker.job->render, nullptr);  // the next picture
    rig.finishWorker();
    EXPECT_EQ(rig.worker.state, fakes::Worker::finished);
    EXPECT_FALSE(rig.stuck());
    rig.cycle.onCommand(IDM_EXIT);
    rig.cycle.shutDown();
    EXPECT_TRUE(rig.pictures.live.empty());
}

// A text that is not a recipe this build makes: its message, owned by the
// main window, and nothing else.
TEST(CycleRecipes, RefusedTextsSayWhy) {
    tlRecipe huge = recipe(40000);
    uint8_t body[kRecipeBodyCapacity];
    size_t length = 0;
    ASSERT_TRUE(encodeRecipeBody(huge, body, sizeof body, length).ok());
    char outOfRange[kRecipeTextCapacity];
    ASSERT_TRUE(recipeTextOfBody(body, length, outOfRange, sizeof outOfRange).ok());
    std::string good = textOf(recipe(5)), damaged = good;
    damaged[damaged.size() / 2] ^= 1;
    struct Case {
        bool hasText;
        std::string text;
        uint32_t message;
    } cases[] = {
        {false, "", IDS_CLIPBOARD_NO_TEXT},
        {true, "hello", IDS_RECIPE_NOT_A_RECIPE},
        {true, std::string(5000, 'c'), IDS_RECIPE_NOT_A_RECIPE},
        {true, damaged, IDS_RECIPE_DAMAGED},
        {true, good.substr(0, good.size() - 2), IDS_RECIPE_DAMAGED},
        {true, "cw9-" + good.substr(4), IDS_RECIPE_NEWER},
        {true, outOfRange, IDS_RECIPE_OUT_OF_RANGE},
    };
    for (const Case &c : cases) {
        Rig rig;
        rig.begin();
        rig.finishWorker();
        rig.ui.clipboard = c.text;
        rig.ui.hasClipboardText = c.hasText;
        rig.cycle.onCommand(IDM_PASTE_RECIPE);
        ASSERT_EQ(rig.ui.messages.size(), 1u) << c.text;
        EXPECT_EQ(rig.ui.messages[0], c.message) << c.text;
        EXPECT_EQ(rig.ui.owners[0], MessageOwner::mainWindow);
        EXPECT_FALSE(rig.cycle.state().changeWanted);
        rig.finishWorker();
        EXPECT_EQ(rig.worker.starts, 2u);
        EXPECT_EQ(rig.settings.Count, 1u);
        EXPECT_FALSE(rig.cycle.state().paused);
    }
    EXPECT_EQ(recipeRefusalText(tlRecipeResult::Ok), 0u);
    EXPECT_EQ(recipeRefusalText(tlRecipeResult::EffectFailed), uint32_t(IDS_RECIPE_NOT_MADE));
}

// A recipe that does not render: its own message, not the wallpaper file's
// (which would hold the cycle and open the settings).
TEST(CycleRecipes, ARecipeThatFailsToRender) {
    Rig rig;
    rig.begin();
    rig.finishWorker();
    rig.worker.renderFails = 1;
    paste(rig, textOf(recipe(5)));
    rig.finishWorker();
    rig.finishWorker();
    EXPECT_EQ(rig.ui.messages, std::vector<uint32_t>{IDS_RECIPE_NOT_MADE});
    EXPECT_FALSE(rig.ui.open[int(ShellDialog::settings)]);
    EXPECT_FALSE(rig.cycle.state().paused);
    EXPECT_EQ(rig.settings.Count, 1u);
    EXPECT_FALSE(rig.cycle.state().changeWanted);
    EXPECT_FALSE(rig.stuck());
}

// While paused nothing that changes the wallpaper is taken; a recipe that
// finished rendering during a hold is rendered again and shown after it.
TEST(CycleRecipes, Holds) {
    Rig rig;
    threeChanges(rig);
    rig.cycle.onCommand(IDM_STOP);
    uint32_t starts = rig.worker.starts;
    rig.cycle.onCommand(IDM_BACK);
    paste(rig, textOf(recipe(5)));
    rig.cycle.chooseHistoryEntry(rig.cycle.state().history.entry(2).serial);
    EXPECT_FALSE(rig.cycle.state().changeWanted);
    rig.cycle.onCommand(IDM_STOP);
    paste(rig, textOf(recipe(6)));
    rig.finishWorker();  // the advance picture steps aside
    EXPECT_EQ(rig.worker.starts, starts + 1);
    rig.cycle.onCommand(IDM_SETTINGS);  // held while it renders
    rig.finishWorker();
    EXPECT_EQ(rig.settings.Count, 3u);
    EXPECT_TRUE(rig.cycle.state().changeWanted);
    rig.ui.cancelSettings();
    EXPECT_EQ(rig.worker.starts, starts + 2);
    rig.finishWorker();
    EXPECT_EQ(rig.settings.Count, 4u);
    EXPECT_EQ(rig.worker.rendered, (std::vector<int32_t>{6, 6}));
    EXPECT_FALSE(rig.stuck());
}

// A history entry is shown again and moves up; the one shown now is left.
TEST(CycleRecipes, ChoosingAHistoryEntry) {
    Rig rig;
    threeChanges(rig);
    const History &h = rig.cycle.state().history;
    uint32_t count = rig.settings.Count;
    rig.cycle.chooseHistoryEntry(h.entry(0).serial);
    rig.cycle.chooseHistoryEntry(12345);
    EXPECT_FALSE(rig.cycle.state().changeWanted);
    rig.cycle.chooseHistoryEntry(h.entry(2).serial);
    rig.finishWorker();
    rig.finishWorker();
    EXPECT_EQ(rig.settings.Count, count + 1);
    EXPECT_EQ(historyWidths(rig), "101 103 102");
    // Back from a chosen entry: the wallpaper shown before it.
    rig.cycle.onCommand(IDM_BACK);
    rig.finishWorker();
    EXPECT_EQ(rig.pictures.savedSizes.back(), 103);
}

TEST(CycleRecipes, CopyTheRecipe) {
    Rig rig;
    numberRecipes(rig);
    rig.cycle.onCommand(IDM_COPY_RECIPE);  // nothing shown yet
    EXPECT_FALSE(rig.ui.hasClipboardText);
    rig.begin();
    rig.finishWorker();
    rig.cycle.onCommand(IDM_COPY_RECIPE);
    EXPECT_EQ(rig.ui.clipboard, textOf(recipe(101)));
    rig.ui.clipboardFails = true;
    rig.cycle.onCommand(IDM_COPY_RECIPE);
    EXPECT_EQ(rig.ui.messages, std::vector<uint32_t>{IDS_CLIPBOARD_NOT_WRITTEN});
}

// The screen-size save asks for a name like save-as, holding the cycle, and
// writes the wallpaper repeated to the screen.
TEST(CycleRecipes, ScreenSizeSave) {
    Rig rig;
    rig.cycle.onCommand(IDM_SAVE_SCREEN);  // nothing shown yet: no dialog
    rig.begin();
    rig.finishWorker();
    bool held = false;
    rig.ui.onSaveDialog = [&](const char *, bool, char *path) {
        held = rig.cycle.state().paused;
        std::strcpy(path, "D:\\big.bmp");
        return true;
    };
    rig.cycle.onCommand(IDM_SAVE_SCREEN);
    EXPECT_TRUE(held);
    ASSERT_EQ(rig.pictures.repeated.size(), 1u);
    EXPECT_EQ(rig.pictures.repeated[0].path, "D:\\big.bmp");
    EXPECT_EQ(rig.pictures.repeated[0].width, 1024);
    EXPECT_EQ(rig.pictures.repeated[0].height, 768);
    EXPECT_EQ(rig.pictures.repeated[0].serial, rig.pictures.savedSerials.back());
    EXPECT_STREQ(rig.settings.SaveDir, "D:\\");
    EXPECT_FALSE(rig.cycle.state().paused);
    EXPECT_EQ(rig.pictures.saved.size(), 1u);  // no other file
}
