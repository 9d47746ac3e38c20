// view_mode_test.cpp -- layout and followed-vehicle keys and their priorities.
#include <gtest/gtest.h>

#include "app/win_messages.h"
#include "render/view_mode.h"

namespace {

struct Layout {
    bool worldView = false;
    uint32_t splitLayout = 1;
};

Layout press(Layout layout, std::initializer_list<uint8_t> held) {
    uint8_t keys[256] = {};
    for (uint8_t k : held) {
        keys[k] = 1;
    }
    readLayoutKeys(keys, layout.worldView, layout.splitLayout);
    return layout;
}

TEST(ViewMode, EachKeySelectsItsLayout) {
    Layout start;
    Layout world = press(start, {VK_END});
    EXPECT_TRUE(world.worldView);
    EXPECT_EQ(world.splitLayout, 1u); // kept underneath the world view
    Layout two = press(start, {VK_HOME});
    EXPECT_FALSE(two.worldView);
    EXPECT_EQ(two.splitLayout, 2u);
    Layout three = press(world, {VK_DELETE});
    EXPECT_FALSE(three.worldView);
    EXPECT_EQ(three.splitLayout, 3u);
    Layout one = press(three, {VK_INSERT});
    EXPECT_FALSE(one.worldView);
    EXPECT_EQ(one.splitLayout, 1u);
}

TEST(ViewMode, NoKeyKeepsTheLayout) {
    Layout three = press(Layout{}, {VK_DELETE});
    Layout world = press(three, {VK_END});
    Layout unchanged = press(world, {'W', VK_NUMPAD0 + 8});
    EXPECT_TRUE(unchanged.worldView);
    EXPECT_EQ(unchanged.splitLayout, 3u);
}

TEST(ViewMode, FirstKeyInOrderWins) {
    Layout both = press(Layout{}, {VK_INSERT, VK_END});
    EXPECT_FALSE(both.worldView);
    EXPECT_EQ(both.splitLayout, 1u);
    Layout homeAndDelete = press(Layout{}, {VK_DELETE, VK_HOME});
    EXPECT_EQ(homeAndDelete.splitLayout, 2u);
    // End after Delete, then Insert: the world view, then one driver view again.
    Layout sequence = press(press(press(Layout{}, {VK_DELETE}), {VK_END}), {VK_INSERT});
    EXPECT_FALSE(sequence.worldView);
    EXPECT_EQ(sequence.splitLayout, 1u);
}

TEST(ViewMode, FollowKeys) {
    uint8_t keys[256] = {};
    uint32_t followed = 0;
    keys[letterKey('Q')] = 1;
    readFollowKeys(keys, followed);
    EXPECT_EQ(followed, 1u);
    keys[letterKey('Q')] = 0;
    readFollowKeys(keys, followed);
    EXPECT_EQ(followed, 1u);
    keys[letterKey('U')] = 1;
    readFollowKeys(keys, followed);
    EXPECT_EQ(followed, 2u);
    keys[letterKey('Q')] = 1; // Q is tested before U
    readFollowKeys(keys, followed);
    EXPECT_EQ(followed, 1u);
    keys[VK_NUMPAD0 + 7] = 1; // and Numpad 7 before both
    readFollowKeys(keys, followed);
    EXPECT_EQ(followed, 0u);
}

} // namespace
