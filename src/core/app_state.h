// app_state.h -- the process-wide records that every part of the game reaches directly.
#pragma once

#include <cstdint>

#include "core/frame_timer.h"
#include "core/input.h"
#include "core/settings.h"
#include "core/system_info.h"

struct GLUquadric;

extern Settings settings;         // configuration; width and height follow the client size
extern InputState input;          // keys and mouse, written by the window procedure
extern FrameTimer frameTimer;     // the measured and displayed frame rate
extern SystemInfo systemInfo;     // operating-system and GL driver texts
extern uint32_t fontBase;         // first of the font's 96 display lists
extern bool active;               // frames are drawn only while true (false when minimised)
extern GLUquadric* quadric;       // shared by the vehicle wheels

// Puts every record back to its state at process start (for tests).
void resetAppState();
