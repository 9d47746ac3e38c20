// sdl_keys_test.cpp -- key positions reach the game as the virtual-key codes it reads.
#include <gtest/gtest.h>

#include "app/win_messages.h"
#include "platform/sdl/sdl_keys.h"

namespace {

TEST(SdlKeys, LettersDigitsAndFunctionKeys) {
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_A), 'A');
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_W), 'W');
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_Z), 'Z');
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_0), '0');
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_1), '1');
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_9), '9');
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_F1), 0x70);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_F10), VK_F10);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_F12), 0x7B);
}

TEST(SdlKeys, KeypadDigitsWhateverTheNumLock) {
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_KP_0), 0x60);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_KP_2), 0x62);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_KP_5), 0x65);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_KP_7), 0x67);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_KP_8), 0x68);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_KP_9), 0x69);
}

TEST(SdlKeys, EditingAndControlKeys) {
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_ESCAPE), VK_ESCAPE);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_INSERT), 0x2D);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_HOME), 0x24);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_DELETE), 0x2E);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_END), 0x23);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_LEFT), VK_LEFT);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_DOWN), VK_DOWN);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_SPACE), VK_SPACE);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_RETURN), VK_RETURN);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_LSHIFT), VK_SHIFT);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_RSHIFT), VK_SHIFT);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_LCTRL), VK_CONTROL);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_RCTRL), VK_CONTROL);
    EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_UNKNOWN), 0);
}

} // namespace
