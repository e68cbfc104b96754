// Ten thousand simulated wallpaper changes with pauses, stops, settings
// changes, slow workers, failed writes and recipe changes (back, history,
// pasted, some failing to render) mixed in: the cycle never gets stuck,
// leaks nothing and writes every numbered file in order.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "app/resources/resource.h"
#include "fakes.h"

namespace {

void closeSettings(fakes::Rig &rig, std::mt19937 &random) {
    rig.ui.open[int(ShellDialog::settings)] = false;
    switch (random() % 4) {
    case 0: rig.cycle.settingsCancelled(); break;
    case 1: {
        int32_t old = rig.settings.PresetIndex;
        rig.settings.PresetIndex = int32_t(random() % kPresetCount);
        rig.cycle.settingsConfirmed(old != rig.settings.PresetIndex, false);
        break;
    }
    case 2: {
        uint32_t old = rig.settings.Interval;
        rig.settings.Interval = 2000 + random() % 4000;
        rig.cycle.settingsConfirmed(false, old != rig.settings.Interval);
        break;
    }
    default: rig.cycle.settingsConfirmed(false, false); break;
    }
}

void checkInvariants(fakes::Rig &rig, uint64_t step) {
    const ShellState &s = rig.cycle.state();
    ASSERT_FALSE(rig.stuck()) << "step " << step;
    if (s.paused) {
        ASSERT_FALSE(rig.platform.armed(kTimerChange)) << "step " << step;
        ASSERT_FALSE(rig.platform.armed(kTimerResume)) << "step " << step;
        // Held without a dialog to end the hold would be for good.
        if (!s.stopped) {
            ASSERT_TRUE(rig.ui.open[int(ShellDialog::settings)]) << "step " << step;
        }
    }
    // The wallpaper, the worker's result and the next picture waiting aside.
    ASSERT_LE(rig.pictures.live.size(), 3u) << "step " << step;
    ASSERT_TRUE(!s.parked || !s.changePending) << "step " << step;
}

TEST(CycleSoak, TenThousandChanges) {
    std::mt19937 random(20240611);
    fakes::Rig rig;
    rig.platform.base = 0xFFFFFFFFu - 100000;  // the tick count wraps early on
    rig.settings.UseSequentialNo = true;
    rig.settings.Interval = 3000;
    rig.renderMs = 1000;
    rig.worker.exitsAfterNotice = true;
    // Recipes that repeat now and then, so that entries move up too.
    rig.worker.recipeOf = [&random](uint32_t) {
        tlRecipe r;
        r.width = int32_t(1 + random() % 40);
        r.height = 3;
        return r;
    };
    // A history from an earlier run, whose thumbnails the worker draws.
    for (int32_t slot = 0; slot < kHistoryCapacity; ++slot) {
        tlRecipe r;
        r.width = 50 + slot;
        r.height = 9;
        char text[kRecipeTextCapacity], name[4], value[kRecipeTextCapacity + 64];
        encodeRecipeText(r, text, sizeof text);
        std::snprintf(name, sizeof name, "%d", int(slot));
        std::snprintf(value, sizeof value, "h1 %d 1 %s", int(slot + 1), text);
        rig.registry.putString(historyKeyPath, name, value);
    }
    rig.begin();
    uint64_t step = 0;
    while (rig.settings.Count < 10000 && step < 400000) {
        ++step;
        if (rig.ui.open[int(ShellDialog::settings)]) {
            closeSettings(rig, random);
        } else {
            switch (random() % 20) {
            case 0: rig.cycle.onCommand(IDM_CHANGE); break;
            case 1: rig.cycle.onTrayLeftClick(); break;
            case 2: rig.cycle.onCommand(IDM_STOP); break;
            case 3: rig.cycle.onCommand(IDM_SETTINGS); break;
            case 4: rig.pictures.failSaves = 1; break;
            case 5: rig.worker.emptyResults = 1; break;
            case 6: rig.renderMs = 500 + random() % 6000; break;  // at times slower than the interval
            case 7: rig.cycle.onCommand(IDM_BACK); break;
            case 8: {
                tlRecipe r;
                r.width = int32_t(1 + random() % 40);
                r.height = 5;
                char text[kRecipeTextCapacity];
                encodeRecipeText(r, text, sizeof text);
                rig.ui.clipboard = random() % 4 ? text : "not a recipe";
                rig.ui.hasClipboardText = true;
                rig.cycle.onCommand(IDM_PASTE_RECIPE);
                break;
            }
            case 9: {
                const History &h = rig.cycle.state().history;
                if (h.count()) rig.cycle.chooseHistoryEntry(h.entry(int32_t(random() % h.count())).serial);
                break;
            }
            case 10: rig.worker.renderFails = 1; break;
            default: rig.advance(random() % 4000); break;
            }
        }
        checkInvariants(rig, step);
        if (HasFatalFailure()) return;
    }
    EXPECT_EQ(rig.settings.Count, 10000u);
    ASSERT_EQ(rig.pictures.saved.size(), 10000u);
    for (uint32_t i = 0; i < 10000; ++i) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "C:\\wp\\chromaweave_%010u.bmp", unsigned(i + 1));
        ASSERT_EQ(rig.pictures.saved[i], expected);
    }
    EXPECT_FALSE(rig.pictures.failed.empty());
    EXPECT_EQ(rig.cycle.state().history.count(), kHistoryCapacity);
    rig.cycle.onCommand(IDM_EXIT);
    rig.cycle.shutDown();
    EXPECT_TRUE(rig.pictures.live.empty());
    EXPECT_EQ(rig.worker.state, fakes::Worker::none);
    EXPECT_EQ(rig.registry.openKeys(), 0);
}

}  // namespace
