// overlays.h -- the frame-rate bar and the system-information lines.
#pragma once

#include <cstdint>

#include "core/frame_timer.h"
#include "platform/platform.h"
#include "core/system_info.h"
#include "render/gl_state.h"

// Once at start-up with the GL context current: the OS line and the driver strings.
void collectSystemInfo(SystemInfo& info);

// The OS line: a family prefix chosen by the platform identifier, then
// major.minor.build; cut to the 80 characters the field holds.
void formatOsText(const OsVersion& version, char (&osText)[81]);

// The bar along the bottom edge, W x displayed / max long, red to green, and
// the displayed rate in white, over a window of this size.
void drawFpsOverlay(const FrameTimer& timer, WindowSize window);

// Three white lines in the top-left corner.
void drawSystemInfo(const SystemInfo& info, WindowSize window);
