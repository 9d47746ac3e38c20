// view_mode.cpp -- polling the layout and followed-vehicle keys.
#include "render/view_mode.h"

#include "app/win_messages.h"

void readLayoutKeys(const uint8_t (&keys)[256], bool& worldView, uint32_t& splitLayout) {
    if (keys[VK_INSERT]) {
        worldView = false;
        splitLayout = 1;
    } else if (keys[VK_HOME]) {
        worldView = false;
        splitLayout = 2;
    } else if (keys[VK_DELETE]) {
        worldView = false;
        splitLayout = 3;
    } else if (keys[VK_END]) {
        worldView = true;
    }
}

void readFollowKeys(const uint8_t (&keys)[256], uint32_t& followedVehicle) {
    if (keys[VK_NUMPAD0 + 7]) {
        followedVehicle = 0;
    } else if (keys[letterKey('Q')]) {
        followedVehicle = 1;
    } else if (keys[letterKey('U')]) {
        followedVehicle = 2;
    }
}
