// replay_session.cpp -- recording races to files, and watching them again.
#include "app/replay_session.h"
#include "app/player_rules.h"
#include "core/play_lines.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/places.h"
#include "core/background_writes.h"
#include "core/safe_file.h"
#include "platform/platform.h"
#include "platform/win_messages.h"
#include "replay/replay_file.h"
#include "replay/replay_folder.h"
#include "scene/scene.h"
#include "terrain/track.h"

namespace fs = std::filesystem;

namespace {

constexpr double fastest = 8, slowest = 0.125;

// The finished race's replay kept, written in the background from a copy
// (the buffer may take another replay at once).
void keepReplay(ReplaySession& session) {
    const fs::path folder = replaysFolder("replays");
    if (folder.empty()) {
        return;
    }
    const std::shared_ptr<Replay> kept(new Replay); // only the pages the race fills are touched
    copyReplay(*kept, *session.buffer);
    session.writes.start([folder, kept] { return writeReplayInto(folder, *kept); });
}

// A press since the last frame of one of the playback's keys.
bool pressed(ReplaySession& session, const InputState& input, int which, uint8_t key) {
    const bool down = input.isDown(key);
    const bool press = down && !session.keyWasDown[which];
    session.keyWasDown[which] = down;
    return press;
}

// "Replay race-....mlr: 0 of 30 keyframes corrected", once a playback.
void report(ReplaySession& session) {
    if (!session.reported) {
        std::printf("Replay %s: %u of %u keyframes corrected\n", session.name.c_str(), session.playback.corrections,
                    session.buffer->keyframeCount > 0 ? session.buffer->keyframeCount - 1 : 0);
        std::fflush(stdout);
        session.reported = true;
    }
}

void stopPlaying(ReplaySession& session, World& world, const Settings& settings) {
    report(session);
    session.playing = false;
    endRace(world.race);
    world.computersDrive = true;
    applyPlayerRules(world, settings); // the replay's own rules were for it alone
}

// Reads a replay into the buffer and makes its track the one driven (without
// a window: the simulation's part of it); a bad file, or one of a track this
// game cannot drive, is said in a box, once.
bool loadReplay(ReplaySession& session, World& world, PlayLines& said, const std::string& path, int32_t filter,
                bool windowless) {
    std::string why;
    const std::string name = fileNameOf(path);
    // Read aside first: a race being recorded keeps its recording when the file is refused.
    // Left uninitialised: the reader fills what it keeps, and only the pages it touches are made.
    const std::unique_ptr<Replay> read(new Replay);
    if (!readReplayFile(path.c_str(), *read, why)) {
        tellPlayer(said, ("Replay " + name + " is damaged: " + why + ".").c_str(), "Error", MessageIcon::exclamation);
        return false;
    }
    const int32_t track = read->track;
    TrackProblems problems{};
    if (track < 1 || track > maxTrackNumber || (track != world.track && findTrackProblems(track, problems))) {
        tellPlayer(said, ("Replay " + name + " is of track " + std::to_string(track) +
                             ", which this game cannot drive. " + problems.text)
                                .c_str(),
                            "Error", MessageIcon::exclamation);
        return false;
    }
    if (session.recording) {
        // The replay takes the world: the race so far is kept as a replay of its own.
        endRecording(*session.buffer, world.race);
        keepReplay(session);
        session.recording = false;
    }
    copyReplay(*session.buffer, *read);
    if (track != world.track) {
        windowless ? loadWorldTrack(world, said, track) : switchTrack(world, said, track, filter);
    }
    if (world.course.count < minGates) {
        tellPlayer(said, ("Replay " + name + " is of a track whose course cannot be read.").c_str(), "Error",
                            MessageIcon::exclamation);
        return false;
    }
    return true;
}

// The replay's track as the results name it.
std::string replayTrackName(const Replay& replay) {
    return replay.trackName[0] != '\0' ? replay.trackName : "Track " + std::to_string(replay.track);
}

} // namespace

std::vector<std::string> keptReplayFiles(ReplaySession& session) {
    session.writes.finish(); // the newest among them
    std::vector<std::string> paths;
    for (const fs::path& file : keptReplayPaths(replaysFolder("replays"))) {
        paths.insert(paths.begin(), nameOf(file)); // newest first
    }
    return paths;
}

void recordRaceStep(ReplaySession& session, const World& world, RacePhase before) {
    if (recordRace(*session.buffer, session.recording, world, before)) {
        keepReplay(session);
    }
}

bool replayPlaying(const ReplaySession& session) { return session.playing; }

ReplayShown replayShown(const ReplaySession& session) {
    return ReplayShown{session.playing, session.paused, session.speed, session.playback.played};
}

void playReplayFile(ReplaySession& session, World& world, const Settings& settings, PlayLines& said,
                    const std::string& path) {
    if (session.playing) {
        stopPlaying(session, world, settings);
    }
    if (!loadReplay(session, world, said, path, settings.textureFilter, false)) {
        return;
    }
    session.playing = true;
    session.name = fileNameOf(path);
    session.clock = 0;
    session.speed = 1;
    session.paused = false;
    session.reported = false;
    startPlayback(session.playback, *session.buffer, world);
}

ModeChange readReplayKeys(ReplaySession& session, const InputState& input) {
    const bool f6 = pressed(session, input, 0, VK_F6), space = pressed(session, input, 1, VK_SPACE),
               right = pressed(session, input, 2, VK_RIGHT), left = pressed(session, input, 3, VK_LEFT);
    if (session.playing) {
        session.paused = space ? !session.paused : session.paused;
        session.speed = right  ? std::min(fastest, session.speed * 2)
                        : left ? std::max(slowest, session.speed / 2)
                               : session.speed;
    }
    return f6 ? ModeChange::replayKey : ModeChange::none;
}

void playNewestOrStop(ReplaySession& session, World& world, const Settings& settings, PlayLines& said) {
    if (session.playing) {
        stopPlaying(session, world, settings);
        return;
    }
    session.writes.finish();
    const std::vector<fs::path> files = keptReplayPaths(replaysFolder("replays"));
    if (files.empty()) {
        tellPlayer(said, "There is no replay yet: every race is kept once it ends.", "Mudlark", MessageIcon::information);
    } else {
        playReplayFile(session, world, settings, said, nameOf(files.back()));
    }
}

void beginPlaybackSteps(ReplaySession& session, double seconds) {
    if (session.playing && !session.paused) {
        session.clock += session.speed * seconds;
    }
}

bool nextPlaybackStep(const ReplaySession& session, VehicleControls (&controls)[vehicleCount], uint32_t& rate) {
    // Step by step, so that the views can draw between the last two.
    return session.playing &&
           session.playback.played + nextStepSeconds(session.playback, *session.buffer) <= session.clock + 1e-9 &&
           nextPlaybackControls(session.playback, *session.buffer, controls, rate);
}

void afterPlaybackStep(ReplaySession& session, World& world) { checkPlaybackStep(session.playback, *session.buffer, world); }

double endPlaybackSteps(ReplaySession& session) {
    if (!session.playing) {
        return 0;
    }
    if (session.playback.frame >= session.buffer->frameCount) {
        report(session); // played to its end: the picture stays until F6
        session.clock = session.playback.played;
    }
    const double next = nextStepSeconds(session.playback, *session.buffer);
    return next > 0 ? std::min(1.0, std::max(0.0, (session.clock - session.playback.played) / next)) : 1.0;
}

int checkReplay(ReplaySession& session, World& world, PlayLines& said, const char* path) {
    platformQuietMessages();
    if (!loadReplay(session, world, said, path, filterPoint, true)) {
        return 1;
    }
    Playback& playback = session.playback;
    startPlayback(playback, *session.buffer, world);
    while (playFrame(playback, *session.buffer, world)) {
    }
    const Race& race = world.race;
    char time[16];
    formatRaceTime(playback.played, time);
    std::printf("%s: %s, %d %s, %u frames, %s of race\n", fileNameOf(path).c_str(),
                replayTrackName(*session.buffer).c_str(), session.buffer->laps,
                session.buffer->laps == 1 ? "lap" : "laps", session.buffer->frameCount, time);
    for (int32_t place = 0; place < vehicleCount; ++place) {
        char line[96], counts[48];
        formatResultLine(race, place, false, false, line);
        formatContactCounts(race.entries[race.places[place]], counts);
        std::printf("%-42s%s\n", line, counts);
    }
    std::printf("keyframes corrected: %u of %u\n", playback.corrections,
                session.buffer->keyframeCount > 0 ? session.buffer->keyframeCount - 1 : 0);
    if (session.buffer->simulation != simulationVersion) {
        std::printf("driven before contact: nothing touched\n");
    } else if (!session.buffer->vehicleContact || !session.buffer->solidTrees) {
        std::printf("driven with %s\n", !session.buffer->vehicleContact && !session.buffer->solidTrees ? "vehicle contact and solid trees off"
                                         : !session.buffer->vehicleContact                          ? "vehicle contact off"
                                                                                                  : "solid trees off");
    }
    return 0;
}

void endReplaySession(ReplaySession& session, World& world, const Settings& settings) {
    if (session.playing) {
        stopPlaying(session, world, settings);
    }
}

