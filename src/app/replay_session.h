// replay_session.h -- replays as the game runs them: every race recorded from
// "GO" and kept in the player's replays folder (the newest 20); F6, a file
// dropped on the window or one named on the command line to watch one, at the
// speed it was driven, from any view; Space to pause, Right and Left for twice
// and half the speed, F6 again to stop.
#pragma once

#include <cstdint>
#include <string>

#include "race/race.h"

// After each frame's step of a live race (the controls are in the vehicles'
// records): the frame into the recording, from the step after "GO"; keyframes
// as they fall due; at the results, the file. before is the race's phase
// before the step.
void recordRaceStep(RacePhase before, uint32_t frameRate);

bool replayPlaying();

// Starts watching a replay file; a file that cannot be read or is damaged
// costs one box saying why, and nothing changes.
void playReplayFile(const std::string& path);

// F6 (the newest replay, or the end of the one playing), Space, Right and Left
// while one plays; a file dropped on the window.
void readReplayKeys();

// One drawn frame of a playback lasting 1 / frameRate seconds: as much of the
// race as that is, times the speed.
void advancePlayback(uint32_t frameRate);

// Without a window: plays the replay as fast as the processor allows, prints
// its places, times and the keyframes corrected, and returns 0 (1 when the
// file is bad, said on standard error).
int checkReplay(const char* path);

// A file dropped on the game's window: played from the next frame.
void replayFileDropped(const char* path);

// At the game's end: a playback still running says its corrections.
void endReplaySession();

// No playback, no recording (for tests).
void resetReplaySession();
