// bindings_test.cpp -- the vehicles' keys: the names a player writes, the "keys"
// lines of settings.cfg (faults said with their line), keys held elsewhere
// refused, a new key driving, and shift and control by side on Windows.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/bindings.h"
#include "core/key_names.h"
#include "core/settings.h"
#include "platform/web/web_keys.h"
#include "platform/win32/win32_keys.h"
#include "platform/win_messages.h"

namespace {

Settings readText(const std::string& text) {
    Settings read{};
    std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    readSettingsStream(read, file);
    std::fclose(file);
    return read;
}

TEST(KeyNames, EveryNameReadsBackAndLettersInEitherCase) {
    for (int code = 1; code < 256; ++code) {
        if (const char* name = keyNameOfCode(static_cast<uint8_t>(code))) {
            EXPECT_EQ(keyCodeOfName(name), code) << name;
        }
    }
    EXPECT_EQ(keyCodeOfName("numpad8") + keyCodeOfName("w"), VK_NUMPAD0 + 8 + 'W');
    EXPECT_EQ(keyCodeOfName("rightshift"), VK_RSHIFT);
    for (const char* none : {"", "Escape", "Shift", "F13", "Numpad", "WW", "Leftshiftt"}) {
        EXPECT_EQ(keyCodeOfName(none), 0) << none; // Escape quits, and is no key to drive with
    }
}

// The lines as the reader takes them: five names from the table on one line,
// and a sixth for the rescue if the line has one, else the line is said (with
// its number) and that vehicle's keys are none.
TEST(KeysLines, FiveOrSixNamesOnALineOrTheLineIsSaid) {
    const Settings read = readText("fullscreen: false\n"
                                   "keys red: up down left right space   # arrows\n"
                                   "keys green: I K J L\n"
                                   "keys blue: W Z A D Ctrl\n"
                                   "keys purple: W Z A D S\n"
                                   "keys green: I K J L M N P\n"
                                   "keys blue: Numpad8 Numpad2 Numpad4 Numpad6 Numpad5 Numpad0\n"
                                   "laps: 5\n");
    EXPECT_TRUE(!read.fullscreen && read.laps == 5u); // the settings around the faulty lines are read as ever
    const uint8_t arrows[keySlotCount] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_SPACE, 0}; // the rescue its own
    EXPECT_EQ(std::string(read.vehicleKeys[1], read.vehicleKeys[1] + 6), std::string(arrows, arrows + 6));
    EXPECT_EQ(std::pair(read.vehicleKeysLine[1], read.vehicleKeysLine[0]), std::pair(2, 7));
    EXPECT_EQ(read.vehicleKeys[0][keyRescue], VK_NUMPAD0);
    EXPECT_EQ(read.vehicleKeysLine[2], 0);
    constexpr const char* howMany = "takes five or six key names (accelerate, reverse, left, right, brake, and rescue).\n";
    EXPECT_EQ(std::string(read.keyFaults), std::string("line 3: keys green: ") + howMany +
                                               "line 4: keys blue: has no key named \"Ctrl\".\n"
                                               "line 5: keys purple: names no vehicle: write keys blue:, keys red: or "
                                               "keys green:.\nline 6: keys green: " + howMany);
}

// Red and blue swap their keys (each line alone would clash with the other's
// old keys: together they do not); green takes F5 and keeps its own keys; the
// new keys drive and the old ones do not.
TEST(KeysLines, SwappedKeysHoldAKeyTheGameHoldsIsRefusedAndNewKeysDrive) {
    InputState input{};
    const Gamepads pads{};
    Bindings bindings = defaultBindings();
    const std::string said = applyKeySettings(bindings, readText("keys blue: W Z A D S\n"
                                                       "keys red: Numpad8 Numpad2 Numpad4 Numpad6 Numpad5\n"
                                                       "keys green: F5 M J L K\n"));
    EXPECT_EQ(said, "line 3: keys green: \"F5\" is held by starting a race; green keeps its own keys.\n");
    EXPECT_EQ(bindings.keys[0].accelerate, 'W');
    EXPECT_EQ(bindings.keys[1].accelerate, VK_NUMPAD0 + 8);
    EXPECT_EQ(bindings.keys[2].accelerate, 'I');
    input.pressKey('W');
    EXPECT_TRUE(playerControls(bindings, input, pads, 0).accelerate);
    EXPECT_FALSE(playerControls(bindings, input, pads, 1).accelerate);
    // Blue alone taking red's W: refused, blue keeps the keypad.
    EXPECT_EQ(applyKeySettings(bindings, readText("keys blue: W Z A D S\n")),
              "line 1: keys blue: \"W\" is held by red's accelerate; blue keeps its own keys.\n");
    EXPECT_EQ(bindings.keys[0].accelerate, VK_NUMPAD0 + 8);
    EXPECT_EQ(applyKeySettings(bindings, readText("keys red: W W A D S\n")),
              "line 1: keys red: \"W\" is held by its own reverse; red keeps its own keys.\n");
    // A line of five keeps the vehicle's own rescue unless the line took its
    // key: then it has none; a sixth name is the rescue.
    EXPECT_EQ(applyKeySettings(bindings, readText("keys red: E Z A D S\nkeys green: I M J L K R\n")), "");
    EXPECT_EQ(std::tuple(bindings.keys[1].accelerate, bindings.keys[1].rescue, bindings.keys[2].rescue, bindings.keys[0].rescue),
              std::tuple('E', 0, 'R', VK_NUMPAD0 + 9));
    input.pressKey('R');
    EXPECT_TRUE(playerControls(bindings, input, pads, 2).rescue && !playerControls(bindings, input, pads, 1).rescue);
    EXPECT_EQ(applyKeySettings(bindings, readText("")), "");
}

// Windows says VK_SHIFT and VK_CONTROL for either side: the scan code tells
// the shifts apart, the extended bit the controls.
TEST(Win32Keys, ShiftAndControlBySide) {
    EXPECT_EQ(keypadVirtualKey(VK_SHIFT, 0x2Au << 16), VK_LSHIFT);
    EXPECT_EQ(keypadVirtualKey(VK_SHIFT, 0x36u << 16), VK_RSHIFT);
    EXPECT_EQ(keypadVirtualKey(VK_CONTROL, 0x1Du << 16), VK_LCONTROL);
    EXPECT_EQ(keypadVirtualKey(VK_CONTROL, 0x1Du << 16 | extendedKeyFlag), VK_RCONTROL);
}

// A browser names keys by position (KeyboardEvent.code): each the page can
// send is a key the settings can name or one of the game's own, as the SDL
// and Windows builds see it; anything else is let go.
TEST(WebKeys, EachPositionIsTheKeyTheOtherBuildsSee) {
    EXPECT_EQ(virtualKeyFromCode("KeyW"), 'W');
    EXPECT_EQ(virtualKeyFromCode("Numpad8"), VK_NUMPAD0 + 8);
    EXPECT_EQ(virtualKeyFromCode("Digit0"), '0');
    EXPECT_EQ(virtualKeyFromCode("F12"), VK_F1 + 11);
    EXPECT_EQ(virtualKeyFromCode("ShiftRight"), VK_RSHIFT);
    EXPECT_EQ(virtualKeyFromCode("NumpadEnter"), VK_RETURN);
    for (const char* code : {"ArrowUp", "ControlLeft", "Insert", "Home", "Delete", "End", "Space", "KeyZ", "Numpad0", "Escape"}) {
        const uint8_t key = virtualKeyFromCode(code);
        EXPECT_TRUE(key != 0 && (keyNameOfCode(key) != nullptr || gameKeyAction(key) != nullptr)) << code;
    }
    for (const char* code : {"", "Key", "KeyAB", "Keya", "F0", "F13", "F1x", "Digit10", "Numpad", "Fn", "Lang1"}) {
        EXPECT_EQ(virtualKeyFromCode(code), 0) << code;
    }
}

} // namespace
