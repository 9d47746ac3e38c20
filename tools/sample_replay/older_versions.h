// older_versions.h -- a replay as older Mudlarks wrote it, for the reader's
// seeds and tests: version 1 (Mudlark 1.1: a 64-byte header, each step's rate
// before the controls) and version 2 (before contact: a 68-byte header, two
// bytes of controls a step, 25 words a vehicle in a keyframe).
#pragma once

#include <cstdint>
#include <string>

#include "replay/replay.h"

// The whole file of version 1 or 2 for these steps (and, in version 1, their
// rates) and keyframes; the rescue's bit and hold, which neither had, left out.
std::string encodeOlderReplay(const Replay& replay, uint32_t version);
