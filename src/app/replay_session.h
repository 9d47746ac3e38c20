// replay_session.h -- replays as the game runs them: every race recorded from
// "GO" and kept in the player's replays folder (the newest 20); F6, a file
// dropped on the window or one named on the command line to watch one, at the
// speed it was driven, from any view; Space to pause, Right and Left for twice
// and half the speed, F6 again to stop.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/mode_change.h"
#include "core/background_writes.h"
#include "core/settings.h"
#include "race/race.h"
#include "replay/replay.h"
#include "scene/scene.h"
#include "sim/world.h"

// The replays' part of the game: the race being recorded, the playback and
// its keys, and the replays being written.
struct ReplaySession {
    std::unique_ptr<Replay> buffer{new Replay}; // large: only the pages a race fills are touched
    bool recording;      // the buffer holds the race being driven
    bool playing;
    Playback playback;
    double clock;        // game time the playback has reached
    double speed;        // 1: as driven
    bool paused;
    std::string name;    // the file being watched
    bool reported;       // its corrections said (once, when it ends)
    bool keyWasDown[4];  // F6, Space, Right, Left in the last frame
    BackgroundWrites writes; // replays being compressed and written
};

// After each step of a live race (the controls are in the vehicles' records):
// the step into the recording, from the step after "GO"; keyframes as they fall
// due; at the results, the file. before is the race's phase before the step.
void recordRaceStep(ReplaySession& session, const World& world, RacePhase before);

bool replayPlaying(const ReplaySession& session);

// What the views say of the playback: whether one plays, paused or not, its
// speed and the race time it has reached.
ReplayShown replayShown(const ReplaySession& session);

// The replays kept in the player's replays folder, newest first.
std::vector<std::string> keptReplayFiles(ReplaySession& session);

// Starts watching a replay file; a file that cannot be read or is damaged
// costs one box saying why, and nothing changes.
void playReplayFile(ReplaySession& session, World& world, const Settings& settings, PlayLines& said,
                    const std::string& path);

// Once a frame: Space, Right and Left while a replay plays; F6 asks for the
// newest replay, or the end of the one playing.
ModeChange readReplayKeys(ReplaySession& session, const InputState& input);

// F6's change: the playback ends, or the newest replay kept plays (where
// there is none, a line says so).
void playNewestOrStop(ReplaySession& session, World& world, const Settings& settings, PlayLines& said);

// A playback's part of a frame's steps, in the step driver's order. A frame
// that brought this much game time (seconds, real time as the clock lets it
// pass) moves the playback's clock on, times the speed, unless it is paused;
// each recorded step whose end the clock has reached is then due (its
// controls and rate), and once the world took it, it is counted and its
// keyframe checked. At the frame's end a playback played through says its
// corrections; the end returns how far the playback is toward its next step
// (0..1), where the views draw it.
void beginPlaybackSteps(ReplaySession& session, double seconds);
bool nextPlaybackStep(const ReplaySession& session, VehicleControls (&controls)[vehicleCount], uint32_t& rate);
void afterPlaybackStep(ReplaySession& session, World& world);
double endPlaybackSteps(ReplaySession& session);

// Without a window: plays the replay as fast as the processor allows, prints
// its places, times and the keyframes corrected, and returns 0 (1 when the
// file is bad, said on standard error).
int checkReplay(ReplaySession& session, World& world, PlayLines& said, const char* path);

// Ends a playback still running (it says its corrections): at the game's
// end, and as a LAN session begins (the session then has the world).
void endReplaySession(ReplaySession& session, World& world, const Settings& settings);


