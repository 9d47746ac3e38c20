// window_test.cpp -- the window procedure, opening and closing the window, and
// the main loop around them, on the scripted platform.
#include <gtest/gtest.h>

#include "app/game.h"
#include "app/main_loop.h"
#include "app/window.h"
#include "render/render.h"
#include "platform/fake/fake_platform.h"
#include "platform/win_messages.h"
#include "scene/scene.h"
#include "support/temp_dir.h"
#include "vehicle/smoke.h"

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        closeRenderer();
        resetFakePlatform();
        fake.realFont = false;
        game->settings.width = 640;
        game->settings.height = 480;
        // Never loop for ever: a run that does not end by itself is closed.
        fake.onIdlePoll = [this] {
            if (++idlePolls > 100000) {
                fake.queue.push_back(WindowMessage{WM_CLOSE, 0, 0});
            }
        };
    }
    intptr_t send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        return windowProcedure(game.get(), message, wParam, lParam);
    }
    static intptr_t point(int32_t x, int32_t y) { return static_cast<intptr_t>(makeLong(x, y)); }
    static void post(uint32_t message, uintptr_t wParam = 0) { fake.queue.push_back({message, wParam, 1}); }
    int run(bool data = true) {
        if (data) {
            dir.write("Tracks/Growth_01.raw", ""); // a damaged data set is still the data
        }
        WorkingDirectory here(dir.path());
        game = std::make_unique<Game>(); // each run is a process of its own
        return runGame(*game, *world);
    }
    std::unique_ptr<Game> game = std::make_unique<Game>();
    TempDir dir;
    int idlePolls = 0;
    static inline World* world = new World;
};

TEST_F(WindowTest, KeysHeldTappedAndReleased) {
    const InputState& input = game->input;
    for (const uintptr_t beyond : {uintptr_t{256}, uintptr_t{0x10000}, ~uintptr_t{0}}) { // no key of ours
        send(WM_KEYDOWN, beyond);
        send(WM_KEYUP, beyond);
    }
    for (int code = 0; code < InputState::keyCount; ++code) {
        ASSERT_FALSE(input.isDown(code)) << code; // neither held nor tapped
    }
    EXPECT_EQ(send(WM_KEYDOWN, 'W'), 0);
    send(WM_KEYDOWN, 255); // the last code of the array
    EXPECT_EQ(input.keys[letterKey('W')], 1);
    EXPECT_EQ(input.keys[255], 1);
    // A tap within one frame: up again, yet down for that frame only.
    send(WM_KEYDOWN, VK_END);
    EXPECT_EQ(send(WM_KEYUP, VK_END), 0);
    EXPECT_EQ(input.keys[VK_END], 0);
    EXPECT_TRUE(input.isDown(VK_END));
    game->input.clearKeyPresses();
    EXPECT_FALSE(input.isDown(VK_END));
    EXPECT_TRUE(input.isDown(letterKey('W'))); // held across frames: unchanged
    // Keys pressed with Alt held (and F10) are system keys: they press nothing,
    // but a system key-up still lets a key go (W, then Alt, then both up).
    EXPECT_EQ(send(WM_SYSKEYDOWN, 'Q'), -1);
    EXPECT_FALSE(input.isDown(letterKey('Q')));
    EXPECT_EQ(send(WM_SYSKEYUP, 'W'), -1);
    EXPECT_FALSE(input.isDown(letterKey('W')));
}

TEST_F(WindowTest, MouseMovesByTheLastMessageAlsoBeyondTheTopLeftEdges) {
    const InputState& input = game->input;
    send(WM_MOUSEMOVE, 0, point(100, 50)); // the first move measures from (0, 0)
    EXPECT_EQ(std::pair(input.deltaX, input.deltaY), std::pair(100, 50));
    send(WM_MOUSEMOVE, 0, point(110, 40));
    send(WM_MOUSEMOVE, 0, point(105, 45));
    EXPECT_EQ(std::pair(input.deltaX, input.deltaY), std::pair(-5, 5)); // not summed: the last message's motion
    // Dragging, the pointer is followed outside the window: negative words.
    send(WM_MOUSEMOVE, 0, point(-15, -20));
    EXPECT_EQ(std::pair(input.deltaX, input.deltaY), std::pair(-120, -65));
    send(WM_LBUTTONDOWN);
    send(WM_MBUTTONDOWN);
    send(WM_LBUTTONUP);
    EXPECT_EQ(std::pair(input.leftButton, input.middleButton), std::pair(0u, 1u));
}

TEST_F(WindowTest, SizeActivationCloseAndSystemCommands) {
    send(WM_SIZE, 0, point(801, 599));
    EXPECT_EQ(std::pair(game->window.width, game->window.height), std::pair(801u, 599u));
    EXPECT_EQ(game->settings.width, 640u); // the size asked for stays as it was read
    send(WM_ACTIVATE, makeLong(WA_INACTIVE, 1)); // minimised: no frames
    EXPECT_FALSE(game->active);
    send(WM_ACTIVATE, makeLong(WA_ACTIVE, 0));
    EXPECT_TRUE(game->active);
    send(WM_ACTIVATE, makeLong(WA_INACTIVE, 0)); // only another window's focus
    EXPECT_TRUE(game->active);
    // Two games in one process share nothing: the messages of one window are its game's alone.
    const auto other = std::make_unique<Game>();
    windowProcedure(other.get(), WM_SIZE, 0, point(320, 200));
    windowProcedure(other.get(), WM_KEYDOWN, 'W', 1);
    EXPECT_EQ(std::tuple(game->window.width, game->input.keys['W'], other->window.width, other->input.keys['W']),
              std::tuple(801u, uint8_t{0}, 320u, uint8_t{1}));
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_MONITORPOWER), 0);
    EXPECT_EQ(send(WM_SYSCOMMAND, 0xF060), -1); // anything else: the system's
}

TEST_F(WindowTest, OpenAsksForTheConfiguredWindowAndEachFailureHasItsBox) {
    game->settings.colorBits = 16;
    game->settings.fullscreen = game->settings.mouse = true;
    EXPECT_TRUE(openWindow(*game));
    const WindowRequest& asked = fake.lastRequest;
    EXPECT_EQ(std::string(asked.title), "OpenGL");
    EXPECT_EQ(std::pair(asked.width, asked.colorBits), std::pair(640u, 16u));
    EXPECT_TRUE(asked.showCursor && asked.procedure == &windowProcedure && asked.context == game.get());
    const char* texts[] = {"Registering of WindowClass failed!", "Fullscreen initialization failed!",
                           "Window initialization failed!", "GL Device Context initialization failed!",
                           "Suitable PixelFormat initialization failed!", "PixelFormat initialization failed!",
                           "GL Rendering Context initialization failed!",
                           "GL Rendering Context activation failed!"};
    for (int site = 1; site <= 8; ++site) {
        resetFakePlatform();
        fake.openResult = -site;
        EXPECT_FALSE(openWindow(*game));
        ASSERT_EQ(fake.messageBoxes.size(), 1u) << site;
        EXPECT_EQ(fake.messageBoxes[0].text, texts[site - 1]);
        EXPECT_EQ(fake.captions(), "Error -" + std::to_string(site));
        EXPECT_EQ(fake.closeCalls, site >= 3 ? 1 : 0) << site; // released before the box
    }
    resetFakePlatform();
    fake.failingCloseSteps = {CloseStep::releaseContext, CloseStep::deleteContext,
                              CloseStep::releaseDeviceContext, CloseStep::destroyWindow,
                              CloseStep::unregisterClass};
    closeWindow(*game);
    EXPECT_EQ(fake.captions(), "Error -1|Error -2|Error -3|Error -4|Error");
    EXPECT_EQ(fake.messageBoxes[0].text, "Release of DC & RC failed!");
    EXPECT_EQ(fake.messageBoxes[4].text, "Unregistering of WindowClass failed!");
    EXPECT_EQ(fake.messageBoxes[4].icon, MessageIcon::information);
}

TEST_F(WindowTest, LoopEndsOnCloseWithZeroAfterReadingTheSettings) {
    fake.openResult = -3; // no window: 0 at once, no frames
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(fake.peekCalls, 0);
    closeRenderer(); // each run is a process of its own
    resetFakePlatform();
    dir.write("settings.cfg", "fullscreen: false resolution: 333 222 24 maxfps: 77");
    fake.onSwap = [] {
        if (fake.swapCount == 3) {
            post(WM_CLOSE);
            post(WM_KEYDOWN, 'A'); // after the quit message: never dispatched
        }
    };
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(fake.swapCount, 3);
    EXPECT_EQ(fake.lastRequest.width, 333u);
    EXPECT_EQ(game->frameTimer.maxFps, 77u);
    EXPECT_EQ(fake.dispatched.back().message, WM_CLOSE);
}

// No data here nor installed beside the executable: one box says where the
// game looked, and it ends at once (with 1: it did not run).
TEST_F(WindowTest, WithoutDataAnywhereOneBoxSaysWhereItLooked) {
    fake.executableFolder = dir.file("bin");
    dir.write("share/mudlark/Models/Model01.obj", "");
    fake.onSwap = [] { post(WM_CLOSE); };
    EXPECT_EQ(run(false), 0); // installed beside bin/: found, and played
    EXPECT_EQ(fake.swapCount, 1);
    closeRenderer();
    resetFakePlatform();
    fake.executableFolder = "/nowhere/bin";
    EXPECT_EQ(run(false), 1);
    ASSERT_EQ(fake.captions(), "Error");
    EXPECT_EQ(fake.messageBoxes[0].text, "Unable to find the game's data (Models, Tracks, Textures) in " + dir.path() +
                                             " or /nowhere/share/mudlark!");
    EXPECT_EQ(fake.swapCount + fake.closeCalls, 1); // the window closed, no frame drawn
}

// Through the loop: the right button drags nothing, and each mouse move counts
// in one frame only, across and along alike.
TEST_F(WindowTest, TheLeftButtonAloneDragsTheLightOneFrameAMove) {
    static float start[2];
    const float* light = nullptr;
    fake.onSwap = [this, &light] {
        light = game->view.light;
        const auto move = [](int32_t x, int32_t y) { fake.queue.push_back({WM_MOUSEMOVE, 0, point(x, y)}); };
        if (fake.swapCount == 1) {
            start[0] = light[0];
            start[1] = light[2];
            post(WM_RBUTTONDOWN);
            move(30, 20);
        } else if (fake.swapCount == 3) {
            post(WM_LBUTTONDOWN);
            move(40, 16);
        } else if (fake.swapCount == 6) {
            EXPECT_EQ(std::pair(light[0], light[2]), std::pair(start[0] + 10, start[1] - 4));
            post(WM_CLOSE);
        }
    };
    EXPECT_EQ(run(), 0);
}

} // namespace
