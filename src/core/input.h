// input.h -- the keyboard and mouse as the window procedure last saw them.
#pragma once

#include <cstdint>

struct InputState {
    static constexpr int32_t keyCount = 256;

    uint32_t cursorX;       // x of the last mouse-move message, client pixels
    uint32_t cursorY;       // y of the last mouse-move message, client pixels, downwards
    uint32_t leftButton;    // 1 while held
    uint32_t rightButton;   // 1 while held (nothing reads it yet)
    uint32_t middleButton;  // 1 while held (nothing reads it yet)
    int32_t deltaX;         // motion of the last move message; 0 once a frame has used it
    int32_t deltaY;
    uint8_t keys[keyCount]; // keys[vk] is 1 while the key with that virtual-key code is down
    // pressed[vk] is 1 once the key went down since the last frame, even if it
    // is already up again: a tap shorter than a frame still counts for one frame.
    uint8_t pressed[keyCount];
    // stepPressed[vk] is 1 once the key went down since the last step of the
    // world: a tap between two steps drives the next step, once.
    uint8_t stepPressed[keyCount];
    // The keys that went down since the last frame in the order they did (a
    // held key's repeats too), for the menu; more than fit are dropped.
    static constexpr int32_t typedCapacity = 16;
    uint8_t typed[typedCapacity];
    int32_t typedCount;
    // A file dropped on the window since the last frame ("": none), for the replays.
    char dropped[1024];

    // Down for this frame: held now, or pressed since the last frame. Codes
    // outside 0..255 are never down.
    bool isDown(int32_t code) const {
        return code >= 0 && code < keyCount && (keys[code] != 0 || pressed[code] != 0);
    }
    // Held for the coming step: held now, or pressed since the last step.
    bool heldForStep(int32_t code) const {
        return code >= 0 && code < keyCount && (keys[code] != 0 || stepPressed[code] != 0);
    }
    // A key message's virtual-key code goes down or up; codes of 256 and more
    // are no key of ours and change nothing.
    void pressKey(uintptr_t code);
    void releaseKey(uintptr_t code);

    // Called once per frame after the views, so every frame sees only new motion.
    void clearMouseDeltas();
    // Called with clearMouseDeltas: the next frame sees only presses made after this one.
    void clearKeyPresses();
    // Called after every step of the world: the next step sees only presses made after it.
    void clearStepPresses();
};
