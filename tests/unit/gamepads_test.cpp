// gamepads_test.cpp -- pads beside the keys: slots in order and after unplugging,
// thresholds with hysteresis about a worn stick's rest, garbage ignored, the view
// buttons, the notices; and XInput's four slots read through a fake XInputGetState.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

#include "app/view_mode.h"
#include "core/gamepads.h"
#include "platform/win32/xinput_pads.h"

namespace {

class GamepadsTest : public ::testing::Test {
protected:
    void SetUp() override { resetGamepads(pads); }
    void frame(std::vector<PadReading> connected) { // 20 ms with these pads connected
        now = connected;
        updateGamepads(pads, now.data(), static_cast<int>(now.size()), 0.02f);
    }
    static PadReading pad(uint32_t handle, float stickX = 0, float rightTrigger = 0, uint32_t buttons = 0) {
        return PadReading{handle, handle * 100, stickX, 0, rightTrigger, buttons};
    }
    std::string slots() const { // each present pad's number and vehicle, "1:0 2:-1 "
        std::string text;
        for (const auto& p : pads.pads) {
            text += p.present ? std::to_string(p.number) + ":" + std::to_string(p.slot) + " " : "";
        }
        return text;
    }
    bool showing(const std::string& text, int32_t vehicle) const {
        return std::any_of(std::begin(pads.notices), std::end(pads.notices), [&](const Gamepads::Notice& n) {
            return n.secondsLeft > 0 && n.text == text && n.vehicle == vehicle;
        });
    }
    Gamepads pads;
    std::vector<PadReading> now;
};

TEST_F(GamepadsTest, PadsTakeTheLowestFreeVehicleAndAnUnpluggedPadLetsGoAtOnce) {
    frame({pad(1, 0, 1.0f)});
    EXPECT_TRUE(padHeld(pads, 0, padAccelerate)); // in the very frame it came
    frame({pad(1, 0, 1.0f), pad(2, 0, 1.0f), pad(3), pad(4)});
    EXPECT_EQ(slots(), "1:0 2:1 3:2 4:-1 ");
    EXPECT_TRUE(showing("pad 1: blue", 0) && showing("pad 3: green", 2) && showing("pad 4: waiting", -1));
    frame({pad(1, 0, 1.0f), pad(3), pad(4, 0, 1.0f)}); // pad 2 pulled out with its trigger held
    EXPECT_EQ(slots(), "1:0 3:2 4:1 ");
    EXPECT_TRUE(showing("pad 2 gone", 1) && showing("pad 4: red", 1));
    EXPECT_TRUE(padHeld(pads, 1, padAccelerate)); // now pad 4's trigger
    frame({pad(3), pad(4)}); // pad 1 out
    EXPECT_FALSE(padHeld(pads, 0, padAccelerate) || padHeld(pads, 1, padAccelerate));
    frame({pad(3), pad(4), pad(1)});
    frame({pad(1)});         // pads 3 and 4 out: red and green free
    frame({pad(1), pad(3)}); // pad 3 back: its own green, not the lowest free red
    EXPECT_EQ(slots(), "1:0 2:2 ");
    for (int i = 0; i < 99; ++i) { // shown for two seconds, not a frame less or more
        frame(now);
    }
    EXPECT_TRUE(showing("pad 2: green", 2));
    frame(now);
    EXPECT_FALSE(showing("pad 2: green", 2));
}

TEST_F(GamepadsTest, ThresholdsHysteresisAWornStickAndGarbage) {
    frame({pad(1, 0.2f)}); // a worn stick resting at 20 %: that is its centre
    const struct {
        float stickX;
        bool left, right;
    } steps[] = {{0.5f, false, false}, {0.6f, false, true}, {0.51f, false, true}, {0.49f, false, false},
                 {-0.1f, false, false}, {-0.2f, true, false}, {0.2f, false, false}};
    for (const auto& s : steps) { // on beyond 35 % of the travel, off below 30 %
        frame({pad(1, s.stickX)});
        EXPECT_EQ(std::pair(padHeld(pads, 0, padLeft), padHeld(pads, 0, padRight)), std::pair(s.left, s.right))
            << s.stickX;
    }
    frame({PadReading{1, 100, 0, 0.26f, 0.25f, padEast | padDpadLeft | padRightStick}});
    EXPECT_EQ(std::vector<bool>({padHeld(pads, 0, padAccelerate), padHeld(pads, 0, padReverse),
                                 padHeld(pads, 0, padBrake), padHeld(pads, 0, padLeft), padHeld(pads, 0, padRescue)}),
              std::vector<bool>({false, true, true, true, true}));
    for (const PadReading garbage : {PadReading{1, 100, NAN, 0, 1, padSouth}, PadReading{1, 100, -3, 0, 0, 0},
                                     PadReading{1, 100, 0, 0, 7, 0}, PadReading{1, 100, 0, 0, 0, 0xFFFFEF80u}}) {
        frame({garbage});
        for (int control = 0; control < padControlCount; ++control) {
            EXPECT_FALSE(padHeld(pads, 0, PadControl(control)));
        }
    }
    updateGamepads(pads, nullptr, 5, 0.02f); // no readings at all: every pad gone
    EXPECT_FALSE(padHeld(pads, 3, padAccelerate) || padHeld(pads, -1, padAccelerate) || slots() != "");
}

TEST_F(GamepadsTest, StartStepsTheLayoutsBackFollowsOnEachPress) {
    bool world = false;
    uint32_t split = 1, followed = 0;
    std::string seen;
    frame({pad(1), pad(2)});
    for (const uint32_t button : {padStart, padStart, padStart, padStart, padStart, padBack}) {
        for (int held = 0; held < 2; ++held) { // held for two frames: one press
            frame({pad(1), pad(2, 0, 0, button)});
            applyPadViewButtons(pads, world, split, followed);
        }
        frame({pad(1), pad(2)});
        seen += world ? "W" : std::to_string(split);
    }
    EXPECT_EQ(seen, "23W122");
    EXPECT_EQ(followed, 1u);
}

// XInputGetState's answers: pads in slots 1 and 3.
uint32_t fakeGetState(uint32_t slot, XInputPadState* state) {
    const XInputPadState pads[] = {{7, 0x1000 | 0x0010 | 0x0004, 0, 255, -32768, 0, 0, 0}, // A, Start, left
                                   {9, 0x2000 | 0x4000 | 0x0020 | 0x0008 | 0x0200, 200, 0, 16384, 0, 0, 0}};
    if (slot == 1 || slot == 3) {
        *state = pads[slot / 2];
        return 0;
    }
    return 1167; // ERROR_DEVICE_NOT_CONNECTED
}

TEST(XInputPads, ConnectedSlotsBecomeReadings) {
    PadReading r[8];
    ASSERT_EQ(readXInputPads(fakeGetState, r, 8), 2);
    EXPECT_EQ(std::pair(r[0].handle, r[1].identity), std::pair(2u, uint64_t{4}));
    EXPECT_EQ(r[0].buttons, padSouth | padStart | padDpadLeft);
    EXPECT_EQ(r[1].buttons, padEast | padWest | padBack | padDpadRight | padRightShoulder);
    EXPECT_EQ(std::pair(r[0].stickX, r[0].rightTrigger), std::pair(-1.0f, 1.0f));
    EXPECT_NEAR(r[1].stickX + r[1].leftTrigger, 0.5f + 200 / 255.0f, 1e-4f);
    EXPECT_EQ(readXInputPads(fakeGetState, r, 1), 1);
    EXPECT_EQ(readXInputPads(nullptr, r, 8), 0); // no XInput on this machine
}

} // namespace
