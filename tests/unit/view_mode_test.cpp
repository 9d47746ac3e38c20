// view_mode_test.cpp -- the layout and follow keys through the window procedure
// (priorities, taps within a frame), where each vehicle's view goes, and which
// characters the bitmap text draws.
#include <gtest/gtest.h>

#include "app/view_mode.h"
#include "app/window.h"
#include "app/game.h"
#include "platform/win_messages.h"
#include "render/font.h"

namespace {

// Key messages for each frame ('+' down, '-' up, then the key), run through the
// procedure and the two readers; the layout and followed vehicle at the end as
// "world|split follow", e.g. "0|3 1".
std::string play(std::vector<std::vector<std::pair<char, uint8_t>>> frames) {
    const auto game = std::make_unique<Game>();
    InputState& input = game->input;
    bool world = false;
    uint32_t split = 1, followed = 0;
    for (const auto& messages : frames) {
        for (auto [sign, key] : messages) {
            windowProcedure(game.get(), sign == '+' ? WM_KEYDOWN : WM_KEYUP, key, 1);
        }
        readLayoutKeys(input, world, split);
        readFollowKeys(input, followed);
        input.clearKeyPresses();
    }
    return std::to_string(world) + "|" + std::to_string(split) + " " + std::to_string(followed);
}

TEST(ViewMode, KeysPrioritiesAndTaps) {
    const uint8_t Q = 'Q', U = 'U', numpad7 = VK_NUMPAD0 + 7;
    EXPECT_EQ(play({{{'+', VK_END}}}), "1|1 0"); // the split stays underneath
    EXPECT_EQ(play({{{'+', VK_DELETE}, {'-', VK_DELETE}}, {{'+', VK_END}, {'-', VK_END}}, {{'+', VK_INSERT}}}),
              "0|1 0");
    EXPECT_EQ(play({{{'+', VK_END}, {'+', VK_INSERT}}}), "0|1 0");    // Insert before End
    EXPECT_EQ(play({{{'+', VK_DELETE}, {'+', VK_HOME}}}), "0|2 0");   // Home before Delete
    EXPECT_EQ(play({{{'+', U}, {'+', Q}, {'+', numpad7}}}), "0|1 0"); // Numpad 7 before Q before U
    EXPECT_EQ(play({{{'+', U}, {'+', Q}}}), "0|1 1");
    // A tap within one frame counts for that frame, and for that frame only:
    // a held Home wins once the tapped Insert is gone.
    EXPECT_EQ(play({{{'+', U}, {'-', U}}}), "0|1 2");
    EXPECT_EQ(play({{{'+', VK_HOME}, {'+', VK_INSERT}, {'-', VK_INSERT}}, {}}), "0|2 0");
}

TEST(ViewMode, EachVehiclesViewInEachLayout) {
    const auto at = [](uint32_t vehicle, bool world, uint32_t split, uint32_t followed) {
        Viewport v{9, 9, 9, 9};
        const bool shown = driverViewport(vehicle, world, split, followed, 401, 301, v);
        return shown ? std::to_string(v.x) + "," + std::to_string(v.y) + " " + std::to_string(v.width) + "x" +
                           std::to_string(v.height)
                     : "none";
    };
    EXPECT_EQ(at(2, false, 1, 2), "0,0 401x301"); // the followed vehicle fills the window
    EXPECT_EQ(at(0, false, 1, 2), "none");
    EXPECT_EQ(at(0, false, 2, 0), "200,0 200x150"); // bottom right; the odd column and row stay clear
    EXPECT_EQ(at(1, false, 3, 0), "0,150 200x150"); // top left
    EXPECT_EQ(at(2, false, 3, 0), "200,150 200x150");
    EXPECT_EQ(at(2, false, 2, 0), "none");
    EXPECT_EQ(at(0, true, 3, 0) + at(3, false, 3, 3), "nonenone");
}

TEST(BitmapText, OnlyCharactersWithAGlyphAreDrawn) {
    unsigned char drawable[256];
    EXPECT_EQ(drawableCharacters("\x01H\x7f\x80\xff\x1f i", drawable), 4);
    EXPECT_EQ(std::string(drawable, drawable + 4), "H\x7f i");
    EXPECT_EQ(drawableCharacters(std::string(5000, 'W').c_str(), drawable), 255); // cut, not overrun
    EXPECT_EQ(drawableCharacters(nullptr, drawable), 0);
}

} // namespace
