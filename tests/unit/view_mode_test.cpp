// view_mode_test.cpp -- layout and followed-vehicle keys, fed through the window
// procedure as the game feeds them: priorities, held keys and taps within a frame.
#include <gtest/gtest.h>

#include "core/app_state.h"
#include "platform/win_messages.h"
#include "app/window.h"
#include "platform/fake/fake_platform.h"
#include "app/view_mode.h"

namespace {

struct Key {
    uint8_t code;
    bool down; // false: a key-up
};

struct Case {
    const char* name;
    std::vector<std::vector<Key>> frames; // the key messages before each frame
    bool worldView;
    uint32_t splitLayout;
    uint32_t followed;
};

class ViewModeTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        resetAppState();
        resetFakePlatform();
    }
};

TEST_P(ViewModeTest, FramesEndInTheLayout) {
    const Case& c = GetParam();
    bool world = false;
    uint32_t split = 1;
    uint32_t followed = 0;
    for (const auto& messages : c.frames) {
        for (const Key& key : messages) {
            windowProcedure(key.down ? WM_KEYDOWN : WM_KEYUP, key.code, 1);
        }
        readLayoutKeys(input, world, split);
        readFollowKeys(input, followed);
        input.clearKeyPresses();
    }
    EXPECT_EQ(world, c.worldView);
    EXPECT_EQ(split, c.splitLayout);
    EXPECT_EQ(followed, c.followed);
}

constexpr Key down(uint8_t code) { return Key{code, true}; }
constexpr Key up(uint8_t code) { return Key{code, false}; }
const uint8_t Q = letterKey('Q');
const uint8_t U = letterKey('U');
const uint8_t numpad7 = VK_NUMPAD0 + 7;

INSTANTIATE_TEST_SUITE_P(
    Keys, ViewModeTest,
    ::testing::Values(
        Case{"NothingPressed", {{}, {}}, false, 1, 0},
        Case{"EndKeepsTheSplitUnderneath", {{down(VK_END)}}, true, 1, 0},
        Case{"Home", {{down(VK_HOME)}}, false, 2, 0},
        Case{"DeleteThenEndThenInsert",
             {{down(VK_DELETE), up(VK_DELETE)}, {down(VK_END), up(VK_END)}, {down(VK_INSERT)}},
             false, 1, 0},
        Case{"OtherKeysKeepTheLayout", {{down(VK_DELETE), up(VK_DELETE)}, {down('W')}}, false, 3, 0},
        Case{"InsertBeforeEnd", {{down(VK_END), down(VK_INSERT)}}, false, 1, 0},
        Case{"HomeBeforeDelete", {{down(VK_DELETE), down(VK_HOME)}}, false, 2, 0},
        Case{"QThenU", {{down(Q), up(Q)}, {}, {down(U)}}, false, 1, 2},
        Case{"QBeforeU", {{down(U), down(Q)}}, false, 1, 1},
        Case{"Numpad7BeforeBoth", {{down(U), down(Q), down(numpad7)}}, false, 1, 0},
        // A tap that goes down and up before the frame still counts for that frame.
        Case{"TapOfEndWithinOneFrame", {{down(VK_END), up(VK_END)}}, true, 1, 0},
        Case{"TapOfUWithinOneFrame", {{down(U), up(U)}}, false, 1, 2},
        // ...and for that frame only: a held Home wins once the tapped Insert is gone.
        Case{"TapCountsForOneFrameOnly",
             {{down(VK_HOME), down(VK_INSERT), up(VK_INSERT)}, {}}, false, 2, 0}),
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

} // namespace
