// window_test.cpp -- the window procedure, and the messages of opening and closing the window.
#include <gtest/gtest.h>

#include "core/app_state.h"
#include "platform/win_messages.h"
#include "app/window.h"
#include "platform/fake/fake_platform.h"
#include "platform/win32/win32_keys.h"

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetAppState();
        resetFakePlatform();
        fake.realFont = false;
        settings.width = 640;
        settings.height = 480;
    }
    static intptr_t send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        return windowProcedure(message, wParam, lParam);
    }
    static intptr_t point(uint32_t x, uint32_t y) { return static_cast<intptr_t>(makeLong(x, y)); }
};

TEST_F(WindowTest, KeysFollowDownAndUp) {
    EXPECT_EQ(send(WM_KEYDOWN, 'W'), 0);
    EXPECT_EQ(input.keys[letterKey('W')], 1);
    send(WM_KEYDOWN, VK_NUMPAD0 + 8);
    EXPECT_EQ(input.keys[0x68], 1);
    EXPECT_EQ(send(WM_KEYUP, 'W'), 0);
    EXPECT_EQ(input.keys[letterKey('W')], 0);
    EXPECT_EQ(input.keys[0x68], 1);
    send(WM_KEYDOWN, 255);
    EXPECT_EQ(input.keys[255], 1);
}

TEST_F(WindowTest, CodesBeyondTheKeyArrayAreIgnored) {
    send(WM_KEYDOWN, 0x141);
    send(WM_KEYDOWN, static_cast<uintptr_t>(-1));
    for (int k = 0; k < 256; ++k) {
        EXPECT_EQ(input.keys[k], 0) << k;
    }
}

TEST_F(WindowTest, SystemKeysNeverPressButAlwaysRelease) {
    // Keys pressed with Alt held, and F10, come as system keys.
    EXPECT_EQ(send(WM_SYSKEYDOWN, 'W'), -1);
    EXPECT_EQ(send(WM_SYSKEYDOWN, VK_F10), -1);
    EXPECT_FALSE(input.isDown(letterKey('W')));
    EXPECT_FALSE(input.isDown(VK_F10));
    // W held, then Alt, then both let go: W's release comes as a system key-up,
    // and still lets go (the system's handling of it goes on).
    send(WM_KEYDOWN, 'W');
    input.clearKeyPresses();
    EXPECT_EQ(send(WM_SYSKEYUP, 'W'), -1);
    EXPECT_FALSE(input.isDown(letterKey('W')));
    send(WM_SYSKEYUP, 0x1FF); // beyond the array: nothing to let go
}

TEST_F(WindowTest, TapWithinAFrameIsDownUntilTheFrameEnds) {
    send(WM_KEYDOWN, VK_END);
    send(WM_KEYUP, VK_END);
    EXPECT_EQ(input.keys[VK_END], 0); // held state: up
    EXPECT_TRUE(input.isDown(VK_END));
    send(WM_KEYDOWN, 'W');
    input.clearKeyPresses();
    EXPECT_FALSE(input.isDown(VK_END));
    EXPECT_TRUE(input.isDown(letterKey('W'))); // held across frames: unchanged
    EXPECT_FALSE(input.isDown(-1));
    EXPECT_FALSE(input.isDown(256));
}

TEST_F(WindowTest, MouseDeltasComeFromTheLastMoveOnly) {
    send(WM_MOUSEMOVE, 0, point(100, 50)); // the first move measures from (0, 0)
    EXPECT_EQ(input.deltaX, 100);
    EXPECT_EQ(input.deltaY, 50);
    send(WM_MOUSEMOVE, 0, point(110, 40));
    send(WM_MOUSEMOVE, 0, point(105, 45));
    EXPECT_EQ(input.deltaX, -5); // not summed: the last message's motion only
    EXPECT_EQ(input.deltaY, 5);
    EXPECT_EQ(input.cursorX, 105u);
    EXPECT_EQ(input.cursorY, 45u);
    input.clearMouseDeltas();
    EXPECT_EQ(input.deltaX, 0);
    EXPECT_EQ(input.deltaY, 0);
    EXPECT_EQ(input.cursorX, 105u);
}

TEST_F(WindowTest, MouseBeyondTheTopLeftEdgesMovesByThePixelsMoved) {
    // While a button is held the pointer is followed outside the window, where
    // the 16-bit words of the position go negative.
    send(WM_MOUSEMOVE, 0, point(10, 5));
    send(WM_MOUSEMOVE, 0, point(static_cast<uint32_t>(-15), static_cast<uint32_t>(-20)));
    EXPECT_EQ(input.deltaX, -25);
    EXPECT_EQ(input.deltaY, -25);
    send(WM_MOUSEMOVE, 0, point(static_cast<uint32_t>(-300), static_cast<uint32_t>(-1)));
    EXPECT_EQ(input.deltaX, -285);
    EXPECT_EQ(input.deltaY, 19);
    send(WM_MOUSEMOVE, 0, point(12, 7)); // and back inside
    EXPECT_EQ(input.deltaX, 312);
    EXPECT_EQ(input.deltaY, 8);
}

TEST_F(WindowTest, MouseButtons) {
    send(WM_LBUTTONDOWN);
    send(WM_RBUTTONDOWN);
    send(WM_MBUTTONDOWN);
    EXPECT_EQ(input.leftButton, 1u);
    EXPECT_EQ(input.rightButton, 1u);
    EXPECT_EQ(input.middleButton, 1u);
    send(WM_LBUTTONUP);
    send(WM_RBUTTONUP);
    send(WM_MBUTTONUP);
    EXPECT_EQ(input.leftButton, 0u);
    EXPECT_EQ(input.rightButton, 0u);
    EXPECT_EQ(input.middleButton, 0u);
}

TEST_F(WindowTest, SizeMessagesSetTheClientSize) {
    send(WM_SIZE, 0, point(801, 599));
    EXPECT_EQ(settings.width, 801u);
    EXPECT_EQ(settings.height, 599u);
    send(WM_SIZE, 0, point(0, 0)); // minimised
    EXPECT_EQ(settings.width, 0u);
    EXPECT_EQ(settings.height, 0u);
}

TEST_F(WindowTest, OnlyMinimisingStopsTheFrames) {
    send(WM_ACTIVATE, makeLong(WA_INACTIVE, 1));
    EXPECT_FALSE(active);
    send(WM_ACTIVATE, makeLong(WA_ACTIVE, 0));
    EXPECT_TRUE(active);
    send(WM_ACTIVATE, makeLong(WA_INACTIVE, 0)); // another window took the focus
    EXPECT_TRUE(active);
}

TEST_F(WindowTest, CloseAsksForTheQuitMessage) {
    EXPECT_EQ(send(WM_CLOSE), 0);
    WindowMessage message{};
    ASSERT_TRUE(platformPeekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 0u);
}

TEST_F(WindowTest, ScreenSaverAndMonitorPowerAreSwallowed) {
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_MONITORPOWER), 0);
    EXPECT_EQ(send(WM_SYSCOMMAND, 0xF060 /* close */), -1);
    EXPECT_EQ(send(0x000F /* paint */), -1);
}

TEST_F(WindowTest, OpenWindowAsksForTheConfiguredWindow) {
    settings.colorBits = 16;
    settings.fullscreen = true;
    settings.mouse = true;
    EXPECT_TRUE(openWindow());
    EXPECT_STREQ(fake.lastRequest.title, "OpenGL");
    EXPECT_EQ(fake.lastRequest.width, 640u);
    EXPECT_EQ(fake.lastRequest.height, 480u);
    EXPECT_EQ(fake.lastRequest.colorBits, 16u);
    EXPECT_TRUE(fake.lastRequest.fullscreen);
    EXPECT_TRUE(fake.lastRequest.showCursor);
    EXPECT_TRUE(fake.messageBoxes.empty());
    // The procedure the window was registered with is the game's.
    fake.lastRequest.procedure(WM_KEYDOWN, 'Q', 0);
    EXPECT_EQ(input.keys[letterKey('Q')], 1);
}

TEST_F(WindowTest, EachOpenFailureHasItsMessage) {
    const struct {
        int site;
        const char* text;
        const char* caption;
        bool closesFirst;
    } cases[] = {
        {-1, "Registering of WindowClass failed!", "Error -1", false},
        {-2, "Fullscreen initialization failed!", "Error -2", false},
        {-3, "Window initialization failed!", "Error -3", true},
        {-4, "GL Device Context initialization failed!", "Error -4", true},
        {-5, "Suitable PixelFormat initialization failed!", "Error -5", true},
        {-6, "PixelFormat initialization failed!", "Error -6", true},
        {-7, "GL Rendering Context initialization failed!", "Error -7", true},
        {-8, "GL Rendering Context activation failed!", "Error -8", true},
    };
    for (const auto& c : cases) {
        resetFakePlatform();
        fake.openResult = c.site;
        EXPECT_FALSE(openWindow());
        ASSERT_EQ(fake.messageBoxes.size(), 1u) << c.site;
        EXPECT_EQ(fake.messageBoxes[0].text, c.text);
        EXPECT_EQ(fake.messageBoxes[0].caption, c.caption);
        EXPECT_EQ(fake.messageBoxes[0].icon, MessageIcon::exclamation);
        EXPECT_EQ(fake.closeCalls, c.closesFirst ? 1 : 0) << c.site;
    }
}

TEST_F(WindowTest, ReleaseFailuresAreReportedEachInTurn) {
    fake.failingCloseSteps = {CloseStep::releaseContext, CloseStep::deleteContext,
                              CloseStep::releaseDeviceContext, CloseStep::destroyWindow,
                              CloseStep::unregisterClass};
    closeWindow();
    ASSERT_EQ(fake.messageBoxes.size(), 5u);
    EXPECT_EQ(fake.captions(), "Error -1|Error -2|Error -3|Error -4|Error");
    EXPECT_EQ(fake.messageBoxes[0].text, "Release of DC & RC failed!");
    EXPECT_EQ(fake.messageBoxes[1].text, "Release of Rendering Context failed!");
    EXPECT_EQ(fake.messageBoxes[2].text, "Release of Device Context failed!");
    EXPECT_EQ(fake.messageBoxes[3].text, "Release of hWnd failed!");
    EXPECT_EQ(fake.messageBoxes[4].text, "Unregistering of WindowClass failed!");
    for (const RecordedMessageBox& box : fake.messageBoxes) {
        EXPECT_EQ(box.icon, MessageIcon::information);
    }
}

} // namespace

// The Windows keypad with NumLock off arrives as the navigation keys without
// the extended bit; the dedicated navigation keys carry it.
TEST(Win32Keys, KeypadKeysGetTheirOwnCodesWhateverTheNumLock) {
    const struct {
        uint8_t navigation;
        uint8_t keypad;
    } table[] = {
        {VK_INSERT, VK_NUMPAD0},     {VK_END, VK_NUMPAD0 + 1},  {VK_DOWN, VK_NUMPAD0 + 2},
        {VK_NEXT, VK_NUMPAD0 + 3},   {VK_LEFT, VK_NUMPAD0 + 4}, {VK_CLEAR, VK_NUMPAD0 + 5},
        {VK_RIGHT, VK_NUMPAD0 + 6},  {VK_HOME, VK_NUMPAD0 + 7}, {VK_UP, VK_NUMPAD0 + 8},
        {VK_PRIOR, VK_NUMPAD0 + 9},  {VK_DELETE, VK_DECIMAL},
    };
    const uint32_t scanAndRepeat = 0x00480001; // low bits that must not matter
    for (const auto& row : table) {
        EXPECT_EQ(keypadVirtualKey(row.navigation, scanAndRepeat), row.keypad) << int(row.navigation);
        EXPECT_EQ(keypadVirtualKey(row.navigation, scanAndRepeat | extendedKeyFlag), row.navigation)
            << int(row.navigation);
        // NumLock on: the keypad already sends its own codes, extended or not.
        EXPECT_EQ(keypadVirtualKey(row.keypad, scanAndRepeat), row.keypad);
    }
    for (uint32_t other : {uint32_t{'W'}, uint32_t{VK_RETURN}, uint32_t{VK_ESCAPE}, 0x1FFu}) {
        EXPECT_EQ(keypadVirtualKey(other, 0), other);
        EXPECT_EQ(keypadVirtualKey(other, extendedKeyFlag), other);
    }
}
