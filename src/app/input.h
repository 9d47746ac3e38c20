// input.h -- the keyboard and mouse as the window procedure last saw them.
#pragma once

#include <cstdint>

struct InputState {
    uint32_t cursorX;       // x of the last mouse-move message, client pixels
    uint32_t cursorY;       // y of the last mouse-move message, client pixels, downwards
    uint32_t leftButton;    // 1 while held
    uint32_t rightButton;   // 1 while held (nothing reads it yet)
    uint32_t middleButton;  // 1 while held (nothing reads it yet)
    int32_t deltaX;         // motion of the last move message; 0 once a frame has used it
    int32_t deltaY;
    uint8_t keys[256];      // keys[vk] is 1 while the key with that virtual-key code is down

    // Called once per frame after the views, so every frame sees only new motion.
    void clearMouseDeltas();
};
