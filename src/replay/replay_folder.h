// replay_folder.h -- a race's replay as it is driven, and where finished
// races' replays are kept, and how many.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "replay/replay.h"
#include "sim/world.h"

// The user's data folder's folder of this name ("replays" for the game's);
// empty where the system names no data folder.
std::filesystem::path replaysFolder(const char* name);

// The replays in the folder, newest last (by the time they were written, then name).
std::vector<std::filesystem::path> keptReplayPaths(const std::filesystem::path& folder);

// The replay as race-YYYYMMDD-HHMMSS.mlr in the folder (made where missing);
// the oldest beyond twenty go. Safe on a thread of its own: "" or what to
// tell the player.
std::string writeReplayInto(const std::filesystem::path& folder, const Replay& replay);

// A race's replay as it is driven, step by step (recording: one is being
// made): begun at "GO", a frame a step with its keyframes, ended at the
// finish. True at the step the race finished, with a whole replay to keep.
bool recordRace(Replay& replay, bool& recording, const World& world, RacePhase before);
