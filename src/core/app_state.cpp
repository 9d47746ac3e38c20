// app_state.cpp -- storage of the process-wide records.
#include "core/app_state.h"

#include <cstring>

#include "common/gl_api.h"
#include "core/gamepads.h"

Settings settings;
InputState input;
FrameTimer frameTimer;
SystemInfo systemInfo;
uint32_t fontBase = 0;
bool active = true;
GLUquadric* quadric = nullptr;

void resetAppState() {
    std::memset(&settings, 0, sizeof settings);
    std::memset(&input, 0, sizeof input);
    std::memset(&frameTimer, 0, sizeof frameTimer);
    std::memset(&systemInfo, 0, sizeof systemInfo);
    fontBase = 0;
    active = true;
    if (quadric != nullptr) {
        gluDeleteQuadric(quadric);
    }
    quadric = nullptr;
    resetGamepads(gamepads);
    resetFrameClock();
}
