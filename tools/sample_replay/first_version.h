// first_version.h -- a replay as Mudlark 1.1 wrote it (version 1: a 64-byte
// header, each step's rate before the controls), for the reader's seeds and tests.
#pragma once

#include <string>

#include "replay/replay.h"

// The whole file of version 1 for these steps, their rates and keyframes.
std::string encodeFirstVersionReplay(const Replay& replay);
