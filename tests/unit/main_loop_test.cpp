// main_loop_test.cpp -- start-up, the one-message-per-poll loop and the exit code.
#include <gtest/gtest.h>

#include "core/app_state.h"
#include "app/main_loop.h"
#include "platform/win_messages.h"
#include "platform/fake/fake_platform.h"
#include "support/temp_dir.h"

namespace {

class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetAppState();
        resetFakePlatform();
        fake.realFont = false;
        // Never loop for ever: a run that does not end by itself is closed.
        fake.onIdlePoll = [this] {
            if (++idlePolls > 100000) {
                fake.queue.push_back(WindowMessage{WM_CLOSE, 0, 0});
            }
        };
    }
    static WindowMessage key(uint32_t message, uint8_t code) {
        return WindowMessage{message, code, 1};
    }
    int run() {
        WorkingDirectory here(dir.path());
        return runGame();
    }
    TempDir dir;
    int idlePolls = 0;
};

TEST_F(MainLoopTest, WindowThatCannotOpenEndsWithZeroAndNoFrames) {
    fake.openResult = -3;
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(fake.captions(), "Error -3");
    EXPECT_EQ(fake.peekCalls, 0);
    EXPECT_EQ(fake.swapCount, 0);
    EXPECT_EQ(fake.closeCalls, 1); // only the release inside the failed open
    EXPECT_EQ(frameTimer.maxFps, 0u); // the timer was never set up
}

TEST_F(MainLoopTest, ClosingTheWindowExitsWithZero) {
    fake.onSwap = [] {
        if (fake.swapCount == 3) {
            fake.queue.push_back(WindowMessage{WM_CLOSE, 0, 0});
        }
    };
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(fake.swapCount, 3);
    EXPECT_EQ(fake.closeCalls, 1);
    // Start-up read the defaults (no settings file) and set up the timer with them.
    EXPECT_EQ(frameTimer.maxFps, 100u);
    EXPECT_TRUE(fake.lastRequest.fullscreen);
}

TEST_F(MainLoopTest, SettingsFileFromTheWorkingDirectoryIsUsed) {
    dir.write("settings.cfg", "fullscreen: false resolution: 333 222 24 maxfps: 77");
    fake.queue.push_back(WindowMessage{WM_CLOSE, 0, 0});
    EXPECT_EQ(run(), 0);
    EXPECT_FALSE(fake.lastRequest.fullscreen);
    EXPECT_EQ(fake.lastRequest.width, 333u);
    EXPECT_EQ(fake.lastRequest.height, 222u);
    EXPECT_EQ(fake.lastRequest.colorBits, 24u);
    EXPECT_EQ(frameTimer.maxFps, 77u);
}

TEST_F(MainLoopTest, BurstOfMessagesDelaysTheFrame) {
    for (uint8_t k = 'A'; k < 'A' + 5; ++k) {
        fake.queue.push_back(key(WM_KEYDOWN, k));
    }
    size_t dispatchedAtFirstFrame = 0;
    fake.onSwap = [&] {
        if (fake.swapCount == 1) {
            dispatchedAtFirstFrame = fake.dispatched.size();
            fake.queue.push_back(WindowMessage{WM_CLOSE, 0, 0});
        }
    };
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(dispatchedAtFirstFrame, 5u);
    EXPECT_EQ(fake.swapCount, 1);
}

TEST_F(MainLoopTest, EscapeEndsTheRunWithTheLastMessagesParameter) {
    fake.onSwap = [] {
        if (fake.swapCount == 2) {
            fake.queue.push_back(WindowMessage{WM_KEYDOWN, VK_ESCAPE, 0x00010001});
        }
    };
    EXPECT_EQ(run(), VK_ESCAPE);
    EXPECT_EQ(fake.swapCount, 2);
    EXPECT_EQ(fake.closeCalls, 1);
}

TEST_F(MainLoopTest, EscapeTappedBetweenTwoFramesEndsTheRun) {
    fake.onSwap = [] {
        if (fake.swapCount == 2) {
            fake.queue.push_back(key(WM_KEYDOWN, VK_ESCAPE));
            fake.queue.push_back(key(WM_KEYUP, VK_ESCAPE));
        }
    };
    // Down and up before the next idle poll: seen all the same, and the exit
    // code is the parameter of the key-up, the last message handled.
    EXPECT_EQ(run(), VK_ESCAPE);
    EXPECT_EQ(fake.swapCount, 2);
}

TEST_F(MainLoopTest, MinimisedMeansNoFramesAndNoEscape) {
    int idleWhileMinimised = 0;
    fake.onSwap = [] {
        if (fake.swapCount == 1) {
            fake.queue.push_back(WindowMessage{WM_ACTIVATE, makeLong(WA_INACTIVE, 1), 0});
            fake.queue.push_back(key(WM_KEYDOWN, VK_ESCAPE));
        }
    };
    fake.onIdlePoll = [&] {
        if (!active && ++idleWhileMinimised == 50) {
            fake.queue.push_back(WindowMessage{WM_ACTIVATE, makeLong(WA_ACTIVE, 0), 0});
        }
    };
    EXPECT_EQ(run(), static_cast<int>(makeLong(WA_ACTIVE, 0)));
    EXPECT_EQ(fake.swapCount, 1);
    EXPECT_EQ(idleWhileMinimised, 50);
}

TEST_F(MainLoopTest, QuitEndsTheLoopWithoutDispatchingIt) {
    fake.queue.push_back(WindowMessage{WM_CLOSE, 0, 0});
    fake.queue.push_back(key(WM_KEYDOWN, 'A'));
    EXPECT_EQ(run(), 0);
    // The quit message came on the poll right after the close was handled.
    ASSERT_EQ(fake.dispatched.size(), 1u);
    EXPECT_EQ(fake.dispatched[0].message, WM_CLOSE);
    EXPECT_EQ(fake.swapCount, 0);
}

} // namespace
