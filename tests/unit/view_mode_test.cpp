// view_mode_test.cpp -- layout and followed-vehicle keys, fed through the window
// procedure as the game feeds them: priorities, held keys and taps within a frame.
#include <gtest/gtest.h>

#include "app/view_mode.h"
#include "app/window.h"
#include "core/app_state.h"
#include "platform/win_messages.h"

namespace {

// Key messages for each frame ('+' down, '-' up, then the key), run through the
// procedure and the two readers; the layout and followed vehicle at the end as
// "world|split follow", e.g. "0|3 1".
std::string play(std::vector<std::vector<std::pair<char, uint8_t>>> frames) {
    resetAppState();
    bool world = false;
    uint32_t split = 1, followed = 0;
    for (const auto& messages : frames) {
        for (auto [sign, key] : messages) {
            windowProcedure(sign == '+' ? WM_KEYDOWN : WM_KEYUP, key, 1);
        }
        readLayoutKeys(input, world, split);
        readFollowKeys(input, followed);
        input.clearKeyPresses();
    }
    return std::to_string(world) + "|" + std::to_string(split) + " " + std::to_string(followed);
}

TEST(ViewMode, KeysPrioritiesAndTaps) {
    const uint8_t Q = 'Q', U = 'U', numpad7 = VK_NUMPAD0 + 7;
    EXPECT_EQ(play({{}, {}}), "0|1 0");
    EXPECT_EQ(play({{{'+', VK_END}}}), "1|1 0"); // the split stays underneath
    EXPECT_EQ(play({{{'+', VK_HOME}}}), "0|2 0");
    EXPECT_EQ(play({{{'+', VK_DELETE}, {'-', VK_DELETE}}, {{'+', VK_END}, {'-', VK_END}}, {{'+', VK_INSERT}}}),
              "0|1 0");
    EXPECT_EQ(play({{{'+', VK_DELETE}, {'-', VK_DELETE}}, {{'+', 'W'}}}), "0|3 0"); // other keys keep it
    EXPECT_EQ(play({{{'+', VK_END}, {'+', VK_INSERT}}}), "0|1 0");                  // Insert before End
    EXPECT_EQ(play({{{'+', VK_DELETE}, {'+', VK_HOME}}}), "0|2 0");                 // Home before Delete
    EXPECT_EQ(play({{{'+', Q}, {'-', Q}}, {}, {{'+', U}}}), "0|1 2");
    EXPECT_EQ(play({{{'+', U}, {'+', Q}}}), "0|1 1");                   // Q before U
    EXPECT_EQ(play({{{'+', U}, {'+', Q}, {'+', numpad7}}}), "0|1 0");   // Numpad 7 before both
    // A tap within one frame counts for that frame, and for that frame only:
    // a held Home wins once the tapped Insert is gone.
    EXPECT_EQ(play({{{'+', VK_END}, {'-', VK_END}}}), "1|1 0");
    EXPECT_EQ(play({{{'+', U}, {'-', U}}}), "0|1 2");
    EXPECT_EQ(play({{{'+', VK_HOME}, {'+', VK_INSERT}, {'-', VK_INSERT}}, {}}), "0|2 0");
}

} // namespace
