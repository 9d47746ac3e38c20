// replay_session.h -- replays as the game runs them: every race recorded from
// "GO" and kept in the player's replays folder (the newest 20); F6, a file
// dropped on the window or one named on the command line to watch one, at the
// speed it was driven, from any view; Space to pause, Right and Left for twice
// and half the speed, F6 again to stop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "race/race.h"
#include "sim/world.h"

// After each step of a live race (the controls are in the vehicles' records):
// the step into the recording, from the step after "GO"; keyframes as they fall
// due; at the results, the file. before is the race's phase before the step.
void recordRaceStep(const World& world, RacePhase before);

bool replayPlaying();

// The replays kept in the player's replays folder, newest first.
std::vector<std::string> keptReplayFiles();

// Starts watching a replay file; a file that cannot be read or is damaged
// costs one box saying why, and nothing changes.
void playReplayFile(World& world, const std::string& path);

// F6 (the newest replay, or the end of the one playing), Space, Right and Left
// while one plays; a file dropped on the window.
void readReplayKeys(World& world);

// One drawn frame of a playback that brought this much game time (seconds,
// real time as the clock lets it pass): as much of the race as that is, times
// the speed, each step's vehicles first kept in before. Returns how far the
// playback is toward its next step (0..1), where the views draw it.
double advancePlayback(World& world, double seconds, Vehicle (&before)[vehicleCount]);

// Without a window: plays the replay as fast as the processor allows, prints
// its places, times and the keyframes corrected, and returns 0 (1 when the
// file is bad, said on standard error).
int checkReplay(World& world, const char* path);

// A file dropped on the game's window: played from the next frame.
void replayFileDropped(const char* path);

// Ends a playback still running (it says its corrections): at the game's
// end, and as a LAN session begins (the session then has the world).
void endReplaySession(World& world);

// Once a frame: a replay that could not be written is said.
void sayReplayWrites();

// Waits until the replays handed over are written (at the game's end).
void finishReplayWrites();

// No playback, no recording (for tests).
void resetReplaySession();
