// Strict fakes of the shell's platform, worker, pictures, desktop and user
// interface, and a rig that runs the wallpaper cycle on a simulated clock.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/cycle.h"
#include "app/messages.h"
#include "compose/composer.h"
#include "platform/memory_registry.h"

namespace fakes {

// A picture stand-in: the cycle only passes tlImage pointers around.
struct Picture {
    int32_t width;
    int32_t height;
    uint32_t serial;
};

class Pictures : public PictureStore {
public:
    ~Pictures() override {
        for (Picture *p : live) delete p;
    }
    tlImage *make(int32_t width, int32_t height) {
        Picture *p = new Picture{width, height, ++made};
        live.insert(p);
        return reinterpret_cast<tlImage *>(p);
    }
    static Picture *of(tlImage *image) { return reinterpret_cast<Picture *>(image); }
    bool saveRepeated(tlImage &image, int32_t width, int32_t height, const char *path) override {
        EXPECT_TRUE(live.count(of(&image))) << "saving a released picture";
        repeated.push_back({path, width, height, of(&image)->serial});
        return true;
    }
    bool save(tlImage &image, const char *path) override {
        Picture *p = of(&image);
        EXPECT_TRUE(live.count(p)) << "saving a released picture";
        if (failSaves > 0) {
            --failSaves;
            failed.push_back(path);
            return false;
        }
        saved.push_back(path);
        savedSizes.push_back(p->width);
        savedSerials.push_back(p->serial);
        return true;
    }
    void release(tlImage *image) override {
        if (!image) return;
        Picture *p = of(image);
        ASSERT_TRUE(live.count(p)) << "releasing a picture twice or one never made";
        live.erase(p);
        delete p;
    }
    std::set<Picture *> live;
    std::vector<std::string> saved;
    std::vector<int32_t> savedSizes;
    std::vector<uint32_t> savedSerials;  // which picture each save wrote
    struct Repeated {
        std::string path;
        int32_t width, height;
        uint32_t serial;
    };
    std::vector<Repeated> repeated;
    std::vector<std::string> failed;
    int32_t failSaves = 0;
    uint32_t made = 0;
};

class Platform : public platform::ShellPlatform {
public:
    struct Timer {
        bool armed = false;
        uint32_t period = 0;
        uint64_t due = 0;
    };
    uint32_t tickCount() override { return uint32_t(base + clock); }
    uint64_t currentTime() override { return epoch + clock / 1000; }
    bool setTimer(uint32_t id, uint32_t ms) override {
        EXPECT_TRUE(id == kTimerChange || id == kTimerResume || id == kTimerTray);
        if (id > kTimerTray) return false;
        timers[id] = Timer{true, ms, clock + ms};
        return true;
    }
    void killTimer(uint32_t id) override {
        EXPECT_TRUE(id <= kTimerTray && timers[id].armed) << "killing timer " << id << " not armed";
        if (id <= kTimerTray) timers[id].armed = false;
    }
    bool postMessage(uint32_t message, uintptr_t param) override {
        posted.push_back({message, param});
        return true;
    }
    bool deleteFile(const char *path) override {
        deleted.push_back(path);
        return true;
    }
    bool armed(uint32_t id) const { return timers[id].armed; }

    uint32_t base = 0;    // tick count at simulated time 0
    uint64_t epoch = 1700000000;  // seconds since 1970 at simulated time 0
    uint64_t clock = 0;   // simulated milliseconds
    Timer timers[kTimerTray + 1];  // by timer id
    std::deque<std::pair<uint32_t, uintptr_t>> posted;
    std::vector<std::string> deleted;
};

class Worker : public platform::Worker {
public:
    enum State { none, running, finished };
    Worker(Platform &platform, Pictures &pictures) : platform(platform), pictures(pictures) {}
    // The cycle's task is never run: complete() makes its result.
    uint32_t start(platform::WorkerTask task, void *context) override {
        EXPECT_EQ(state, none) << "a worker started while one exists";
        EXPECT_TRUE(task && context);
        if (startFails) return 0;
        job = static_cast<GenerationJob *>(context);
        EXPECT_NE(job->composer, nullptr) << "a job without its composer";
        state = running;
        startedAt = platform.clock;
        ++starts;
        return ++number;
    }
    platform::WorkerPoll poll() override {
        EXPECT_NE(state, none) << "polling a worker that does not exist";
        if (state == finished && !exiting) return platform::WorkerPoll::finished;
        return state == running ? platform::WorkerPoll::running : platform::WorkerPoll::failed;
    }
    void join() override {
        EXPECT_NE(state, none) << "joining a worker that does not exist";
        if (state == running) complete();
        state = none;
    }
    // The job: a picture of the asked size, or of the recipe's size when it
    // renders one (none when allocation "failed" or the render "failed"),
    // then the notice to the main window. A composed picture gets the
    // recipe recipeOf gives (none without it); thumbnails are made with a
    // picture and carry its serial in their first bytes.
    void complete() {
        ASSERT_EQ(state, running);
        bool fails = emptyResults > 0 || (job->render && renderFails > 0);
        if (job->render)
            rendered.push_back(job->render->width);
        if (fails)
            job->result = nullptr;
        else if (job->render)
            job->result = pictures.make(job->render->width, job->render->height);
        else
            job->result = pictures.make(job->width, job->height);
        if (job->render && renderFails > 0) --renderFails;
        else if (emptyResults > 0) --emptyResults;
        if (job->recipe) {
            *job->recipe = tlRecipe();
            if (job->result && job->render) *job->recipe = *job->render;
            if (job->result && !job->render && recipeOf) *job->recipe = recipeOf(starts);
        }
        if (job->thumbnail) {
            job->thumbnail->made = job->result != nullptr;
            if (job->result) job->thumbnail->rgb[0] = uint8_t(Pictures::of(job->result)->serial);
        }
        state = finished;
        exiting = exitsAfterNotice;
        platform.postMessage(kMsgJobDone, number);
    }
    Platform &platform;
    Pictures &pictures;
    GenerationJob *job = nullptr;
    State state = none;
    uint32_t number = 0;
    uint32_t starts = 0;
    uint64_t startedAt = 0;
    bool startFails = false;
    int32_t emptyResults = 0;
    // The thread posts its notice before it ends: with exitsAfterNotice a
    // poll says it is still running until its notice was handled.
    bool exitsAfterNotice = false;
    bool exiting = false;
    int32_t renderFails = 0;             // recipe jobs that give no picture
    std::vector<int32_t> rendered;       // widths of the recipes rendered
    std::function<tlRecipe(uint32_t)> recipeOf;  // the recipe of job n (1 the first)
};

class Desktop : public platform::Desktop {
public:
    bool activeDesktopUsable() override { return activeOn; }
    platform::ActiveDesktopResult activeGetWallpaper(char *path, int32_t *style) override {
        if (!activeOn) return platform::ActiveDesktopResult::notUsable;
        snprintf(path, 260, "%s", wallpaper.c_str());
        *style = activeStyle;
        return platform::ActiveDesktopResult::done;
    }
    platform::ActiveDesktopResult activeSetWallpaper(const char *path, int32_t style) override {
        if (!activeOn) return platform::ActiveDesktopResult::notUsable;
        if (activeSetFails) return platform::ActiveDesktopResult::failed;
        wallpaper = path;
        activeStyle = style;
        sets.push_back({path, true});
        return platform::ActiveDesktopResult::done;
    }
    bool systemGetWallpaper(char *path) override {
        if (systemGetFails) return false;
        snprintf(path, 260, "%s", wallpaper.c_str());
        return true;
    }
    bool systemSetWallpaper(const char *path, bool persist) override {
        if (systemSetFails) return false;
        wallpaper = path;
        sets.push_back({path, persist});
        return true;
    }
    bool activeOn = false;
    bool activeSetFails = false;
    bool systemGetFails = false;
    bool systemSetFails = false;
    int32_t activeStyle = 0;
    std::string wallpaper = "C:\\old.bmp";
    std::vector<std::pair<std::string, bool>> sets;  // path, persisted
};

class Ui : public ShellUi {
public:
    int32_t showMessage(MessageOwner owner, uint32_t textId, uint32_t) override {
        messages.push_back(textId);
        owners.push_back(owner);
        if (whileMessageOpen) whileMessageOpen(textId);
        return 1;
    }
    bool addTrayIcon(bool paused) override {
        ++trayAdds;
        if (!taskbarThere) return false;
        trayShown = true;
        trayPaused = paused;
        return true;
    }
    void updateTrayIcon(bool paused) override {
        trayPaused = paused;
        if (!paused) ++resumes;
    }
    bool isDialogOpen(ShellDialog d) override { return open[int(d)]; }
    void bringToFront(ShellDialog d) override {
        EXPECT_TRUE(open[int(d)]);
        fronted.push_back(d);
    }
    void openDialog(ShellDialog d) override {
        EXPECT_NE(d, ShellDialog::saveAs);
        EXPECT_FALSE(open[int(d)]) << "dialog opened twice";
        open[int(d)] = true;
        ++opened[int(d)];
    }
    // Destroys the settings dialog without its Cancel; closes the save
    // dialog.
    void closeDialog(ShellDialog d) override {
        EXPECT_TRUE(open[int(d)]);
        open[int(d)] = false;
    }
    // The settings dialog's Cancel (or Escape, or its close button).
    void cancelSettings() {
        EXPECT_TRUE(open[int(ShellDialog::settings)]);
        open[int(ShellDialog::settings)] = false;
        cycle->settingsCancelled();
    }
    bool askSaveFileName(const char *folder, bool ask, char *path) override {
        if (!onSaveDialog) {
            ADD_FAILURE() << "unexpected save dialog";
            return false;
        }
        open[int(ShellDialog::saveAs)] = true;
        bool ok = onSaveDialog(folder, ask, path);
        open[int(ShellDialog::saveAs)] = false;
        return ok;
    }
    void showCount(uint32_t count) override { shownCount = count; }
    bool writeClipboardText(const char *text) override {
        if (clipboardFails) return false;
        clipboard = text;
        hasClipboardText = true;
        return true;
    }
    ClipboardText readClipboardText(char *out, uint32_t size) override {
        if (!hasClipboardText) return ClipboardText::none;
        if (clipboard.size() + 1 > size) return ClipboardText::tooLong;
        std::memcpy(out, clipboard.c_str(), clipboard.size() + 1);
        return ClipboardText::text;
    }
    bool screenSize(int32_t *width, int32_t *height) override {
        *width = 1024;
        *height = 768;
        return true;
    }
    void destroyMainWindow() override {
        if (destroyed) return;
        destroyed = true;
        trayShown = false;
        open[0] = open[1] = open[2] = false;
        cycle->onMainWindowDestroyed();
    }
    WallpaperCycle *cycle = nullptr;
    std::vector<uint32_t> messages;
    std::vector<MessageOwner> owners;
    std::vector<ShellDialog> fronted;
    bool open[3] = {false, false, false};
    int32_t opened[3] = {0, 0, 0};
    bool trayPaused = false;
    bool trayShown = false;
    bool taskbarThere = true;  // whether adding the tray icon works
    int32_t trayAdds = 0;
    int32_t resumes = 0;       // the running icon was shown
    bool destroyed = false;
    uint32_t shownCount = 0;
    std::string clipboard;
    bool hasClipboardText = false;
    bool clipboardFails = false;
    std::function<bool(const char *, bool, char *)> onSaveDialog;
    std::function<void(uint32_t)> whileMessageOpen;
};

// The folder comparison the cycle is given: the portable ASCII one, or the
// answer a test sets; it records what it compared.
struct FolderCompare {
    enum Answer { ascii, same, different };
    static inline Answer answer = ascii;
    static inline std::string compared;
    static bool equal(const char *a, const char *b) {
        compared = std::string(a) + "|" + b;
        return answer == ascii ? sameFolderText(a, b, shiftJisLeadByte) : answer == same;
    }
};

// The cycle with all its fakes, on a simulated clock. The worker finishes
// renderMs after it starts (never on its own when renderMs is 0).
class Rig {
public:
    Rig() : worker(platform, pictures) {
        registry.createKey("Control Panel\\Desktop");
        snprintf(settings.WallpaperDir, sizeof settings.WallpaperDir, "C:\\wp");
        settings.NoActiveDesktop = true;
        ui.cycle = &cycle;
    }
    void begin(bool firstRun = false) { cycle.begin(firstRun); pump(); }

    // Delivers posted messages in order; a destroyed window gets none.
    void pump() {
        while (!platform.posted.empty()) {
            auto m = platform.posted.front();
            platform.posted.pop_front();
            if (ui.destroyed) continue;
            if (m.first == kMsgJobDone) {
                cycle.onJobDone(uint32_t(m.second));
                worker.exiting = false;
            }
            if (m.first == kMsgSaveFailed) cycle.onSaveFailed();
        }
    }
    // Moves the clock forward, firing timers and finishing the worker at
    // their moments; timer messages come after posted ones, as in Windows.
    void advance(uint64_t ms) {
        const int32_t workerDone = kTimerTray + 1;
        uint64_t end = platform.clock + ms;
        for (;;) {
            uint64_t next = end;
            int32_t what = 0;  // 0 end, a timer id, or workerDone
            for (uint32_t id = kTimerChange; id <= kTimerTray; ++id) {
                const Platform::Timer &t = platform.timers[id];
                if (t.armed && t.due <= next && (what == 0 || t.due < next)) {
                    next = t.due;
                    what = int32_t(id);
                }
            }
            if (renderMs && worker.state == Worker::running &&
                worker.startedAt + renderMs <= next && (what == 0 || worker.startedAt + renderMs < next)) {
                next = worker.startedAt + renderMs;
                what = workerDone;
            }
            platform.clock = next;
            if (what == 0 || ui.destroyed) return;
            if (what == workerDone) {
                worker.complete();
            } else {
                Platform::Timer &t = platform.timers[what];
                t.due += t.period ? t.period : 1;
                cycle.onTimer(uint32_t(what));
            }
            pump();
        }
    }
    void finishWorker() { worker.complete(); pump(); }
    // Running and not waiting for anything is a stuck cycle.
    bool stuck() const {
        const ShellState &s = cycle.state();
        if (s.paused || s.ending || s.firstRun) return false;
        // A pending change needs a worker that will still post its notice.
        if (s.changePending) {
            bool noticeQueued = false;
            for (const auto &m : platform.posted) noticeQueued |= m.first == kMsgJobDone;
            return !s.workerExists || (worker.state != Worker::running && !noticeQueued);
        }
        return !platform.armed(kTimerChange) && !platform.armed(kTimerResume);
    }

    Platform platform;
    Pictures pictures;
    Worker worker;
    Desktop desktop;
    platform::MemoryRegistry registry;
    Ui ui;
    Settings settings;
    uint64_t renderMs = 0;
    WallpaperComposer composer;
    WallpaperCycle cycle{settings, CycleServices{platform, worker, composer, desktop, registry,
                                                 pictures, ui, shiftJisLeadByte,
                                                 FolderCompare::equal}};
};

}  // namespace fakes
