// The program's start: each failing step ends it with exit code 0 and its
// message (none when another copy runs), and no later step runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/resources/resource.h"
#include "app/startup.h"

namespace {

class Steps : public StartupSteps {
public:
    MutexResult takeMutex() override {
        done += "mutex ";
        return mutex;
    }
    void prepare() override { done += "prepare "; }
    bool registerMainClass() override {
        done += "class ";
        return classOk;
    }
    bool createMainWindow() override {
        done += "window ";
        return windowOk;
    }
    int32_t run() override {
        done += "run";
        return 5;
    }
    void showMessage(uint32_t textId) override { messages.push_back(textId); }

    MutexResult mutex = MutexResult::taken;
    bool classOk = true;
    bool windowOk = true;
    std::string done;
    std::vector<uint32_t> messages;
};

TEST(Startup, EachFailingStepShowsItsMessageAndEnds) {
    struct Case {
        MutexResult mutex;
        bool classOk, windowOk;
        const char *done;
        std::vector<uint32_t> messages;
        int32_t exitCode;
    } cases[] = {
        {MutexResult::taken, true, true, "mutex prepare class window run", {}, 5},
        {MutexResult::failed, true, true, "mutex ", {IDS_NO_MUTEX}, 0},
        {MutexResult::heldByAnotherCopy, true, true, "mutex ", {}, 0},
        {MutexResult::taken, false, true, "mutex prepare class ", {IDS_NO_WINDOW_CLASS}, 0},
        {MutexResult::taken, true, false, "mutex prepare class window ", {IDS_NO_WINDOW}, 0},
    };
    for (const Case &c : cases) {
        Steps steps;
        steps.mutex = c.mutex;
        steps.classOk = c.classOk;
        steps.windowOk = c.windowOk;
        EXPECT_EQ(runProgram(steps), c.exitCode) << c.done;
        EXPECT_EQ(steps.done, c.done);
        EXPECT_EQ(steps.messages, c.messages) << c.done;
    }
    EXPECT_EQ(IDS_NO_MUTEX, 346u);
    EXPECT_EQ(IDS_NO_WINDOW_CLASS, 343u);
    EXPECT_EQ(IDS_NO_WINDOW, 344u);
}

}  // namespace
