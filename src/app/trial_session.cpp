// trial_session.cpp -- the time trial's key, its ghost and split times, and
// the ghost files.
#include "app/trial_session.h"
#include "core/play_lines.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/player_rules.h"
#include "app/race_session.h"
#include "app/replay_session.h"
#include "core/files.h"
#include "core/places.h"
#include "core/background_writes.h"
#include "core/safe_file.h"
#include "platform/platform.h"
#include "platform/win_messages.h"
#include "replay/ghost_file.h"
#include "replay/replay_file.h"
#include "scene/scene.h"

namespace fs = std::filesystem;

namespace {

constexpr float splitSeconds = 2;


std::string ghostPath(int32_t track) {
    const std::string folder = userDataFolder();
    char name[32];
    std::snprintf(name, sizeof name, "track-%02d.mlg", static_cast<int>(track));
    return folder.empty() ? "" : nameOf(pathOf(folder) / "ghosts" / name);
}

// The track's ghost, if there is one to drive: one of another simulation or
// of this track as it was before it changed is set aside as .old, a damaged
// one as .bad, each said once.
void readGhost(TrialSession& s, PlayLines& said, const World& world) {
    s.writes.finish(); // the ghost as this game last wrote it
    s.haveGhost = false;
    const std::string path = ghostPath(world.track);
    std::vector<uint8_t> bytes;
    const WholeFile got = path.empty() ? WholeFile::missing : readWholeFile(path, maxGhostFileSize, bytes);
    if (got == WholeFile::missing || got == WholeFile::unreadable) {
        return; // none yet, or none to be had now: nothing is set aside
    }
    bool old = false;
    std::string why = "it is far larger than any ghost";
    const bool read = got == WholeFile::read && decodeGhost(bytes.data(), bytes.size(), *s.best, old, why);
    const bool stale = read && (old || s.best->trackHash != trackHash(world) || s.best->track != world.track);
    if (read && !stale) {
        s.haveGhost = true;
        return;
    }
    const char* suffix = stale ? ".old" : ".bad";
    setFileAside(path, suffix);
    const std::string text = "The ghost " + fileNameOf(path) +
                             (stale ? " was driven on this track as it was before, or by an older Mudlark"
                                    : " is damaged (" + why + ")") +
                             "; it is kept as " + fileNameOf(path) + suffix + ".";
    tellPlayer(said, text.c_str(), "Mudlark", MessageIcon::information);
}

// The lap kept as its track's ghost, written in the background from a copy.
void keepGhost(TrialSession& s, const GhostLap& lap) {
    const std::string path = ghostPath(lap.track);
    if (path.empty()) {
        return;
    }
    const std::shared_ptr<GhostLap> kept = std::make_shared<GhostLap>(lap);
    s.writes.start([path, kept] {
        std::string why;
        return writeFileSafely(path, encodeGhost(*kept), why) ? std::string()
                                                              : "The best lap's ghost could not be kept: " + why;
    });
}

// Whether a lap just done should be the ghost: where there is none, or where
// it is quicker than one driven by the same rules. A lap is not measured
// against one driven without the trunks, or by an older simulation without
// contact: one of the game's own rules then takes the older one's place.
bool betterGhost(const TrialSession& s, const GhostLap& lap, const World& world) {
    if (!s.haveGhost) {
        return true;
    }
    const bool alike = s.best->simulation == lap.simulation && s.best->solidTrees == lap.solidTrees;
    return alike ? lap.lapTime < s.best->lapTime : recordsCount(world);
}

} // namespace

void startTimeTrial(TrialSession& s, ViewState& view, World& world, const Settings& settings, PlayLines& said) {
    if (world.course.count < minGates) {
        return;
    }
    s.vehicle = static_cast<int32_t>(view.followedVehicle < vehicleCount ? view.followedVehicle : 0);
    view.worldView = false;
    view.splitLayout = 1;
    applyPlayerRules(world, settings);
    startTrial(world.race, world.course, s.vehicle, world.vehicles, world.ground);
    world.race.computer[s.vehicle] = false;
    *s.recorder = GhostRecorder{};
    s.run = GhostRun{};
    s.splitLeft = 0;
    s.lastGates = 0;
    readGhost(s, said, world);
}

ModeChange readTrialKeys(TrialSession& s, const InputState& input, uint32_t frameRate) {
    s.splitLeft -= s.splitLeft > 0 ? 1.0f / static_cast<float>(frameRate > 0 ? frameRate : 1) : 0;
    const bool down = input.isDown(VK_F1 + 7);
    const bool pressed = down && !s.keyWasDown;
    s.keyWasDown = down;
    return pressed ? ModeChange::toggleTrial : ModeChange::none;
}

void endTimeTrial(TrialSession& s, World& world) {
    endRace(world.race);
    s.run = GhostRun{};
}

bool trialOn(const World& world) { return world.race.endless && world.race.phase != RacePhase::off; }

void afterTrialStep(TrialSession& s, RaceSession& race, PlayLines& said, const World& world) {
    if (!trialOn(world) || world.race.phase != RacePhase::racing) {
        return;
    }
    // The ghost drives on beside the player, from the line the player crossed.
    s.ghostBefore = s.ghostWorld->vehicles[s.best->vehicle];
    stepGhost(s.run, *s.ghostWorld, *s.best);
    const RaceEntry& entry = world.race.entries[s.vehicle];
    const bool lapDone = recordGhostStep(*s.recorder, world, s.vehicle);
    const int32_t count = world.course.count;
    if (entry.gatesPassed > s.lastGates && s.haveGhost && s.recorder->recording) {
        // A gate passed: the time since the line against the ghost's at the same gate.
        const int32_t inLap = lapDone ? count : s.recorder->lap.gateCount;
        if (inLap >= 1 && inLap <= count) {
            const double mine = lapDone ? s.recorder->done.lapTime : s.recorder->lap.gateTimes[inLap - 1];
            const double difference = mine - s.best->gateTimes[inLap - 1];
            std::snprintf(s.split, sizeof s.split, "%+.2f", difference);
            s.ahead = difference < 0;
            s.splitLeft = splitSeconds;
        }
    }
    s.lastGates = entry.gatesPassed;
    if (lapDone && betterGhost(s, s.recorder->done, world)) {
        *s.best = s.recorder->done; // a faster lap is the ghost at once
        s.haveGhost = true;
        keepGhost(s, *s.best);
        offerTrialLap(race, said, world, s.best->lapTime);
    }
    const bool atLine = count > 0 && entry.gatesPassed >= 1 && (entry.gatesPassed - 1) % count == 0;
    if (atLine && entry.gatesPassed == s.lastGates && s.recorder->lap.stepCount == 0 && s.haveGhost) {
        startGhost(s.run, *s.ghostWorld, world, *s.best); // every lap, the ghost from the line with the player
        s.ghostBefore = s.ghostWorld->vehicles[s.best->vehicle];
    }
}

bool ghostToDraw(const TrialSession& s, double fraction, Vehicle& drawn, int32_t& look) {
    if (!s.haveGhost || (!s.run.running && s.run.step == 0)) {
        return false;
    }
    blendVehicle(s.ghostBefore, s.ghostWorld->vehicles[s.best->vehicle], fraction, drawn);
    look = s.best->vehicle;
    return true;
}

bool splitShown(const TrialSession& s, char (&text)[16], bool& ahead) {
    std::snprintf(text, sizeof text, "%s", s.split);
    ahead = s.ahead;
    return s.splitLeft > 0;
}

int ghostFromReplay(World& world, PlayLines& said, const std::string& path) {
    const std::unique_ptr<Replay> read(new Replay); // large: only the pages the race fills are touched
    Replay& replay = *read;
    std::string why;
    if (!readReplayFile(path.c_str(), replay, why)) {
        std::fprintf(stderr, "mudlark: %s cannot make a ghost: %s.\n", path.c_str(), why.c_str());
        return 1;
    }
    if (replay.track != world.track) {
        loadWorldTrack(world, said, replay.track);
    }
    if (world.course.count < minGates) {
        std::fprintf(stderr, "mudlark: %s is of a track whose course cannot be read.\n", path.c_str());
        return 1;
    }
    Playback playback;
    startPlayback(playback, replay, world);
    auto recorders = std::make_unique<GhostRecorder[]>(vehicleCount);
    auto fastest = std::make_unique<GhostLap>();
    bool found = false;
    while (playFrame(playback, replay, world)) {
        for (int32_t v = 0; v < vehicleCount; ++v) {
            if (recordGhostStep(recorders[v], world, v) && (!found || recorders[v].done.lapTime < fastest->lapTime)) {
                *fastest = recorders[v].done;
                found = true;
            }
        }
    }
    if (!found) {
        std::fprintf(stderr, "mudlark: %s holds no whole lap.\n", path.c_str());
        return 1;
    }
    const std::string out = ghostPath(world.track);
    if (out.empty() || !writeFileSafely(out, encodeGhost(*fastest), why)) {
        std::fprintf(stderr, "mudlark: the ghost could not be kept: %s\n", why.c_str());
        return 1;
    }
    char time[16];
    formatRaceTime(fastest->lapTime, time);
    std::printf("%s: the %s lap of %s, kept as %s\n", fileNameOf(path).c_str(), time,
                vehicleNames[fastest->vehicle], out.c_str());
    return 0;
}

