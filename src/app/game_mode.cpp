// game_mode.cpp -- the mode from the sessions, and the keys of each mode.
#include "app/game_mode.h"

#include "app/game.h"
#include "app/lan_session.h"
#include "app/replay_session.h"
#include "app/track_session.h"
#include "app/trial_session.h"
#include "core/play_lines.h"

GameMode gameMode(const Game& game, const World& world) {
    if (lanOn(game.lan)) {
        return lanWorldShared(game.lan) ? GameMode::lanRace : GameMode::lanLobby;
    }
    if (replayPlaying(game.replay)) {
        return GameMode::replay;
    }
    if (trialOn(world)) {
        return GameMode::timeTrial;
    }
    return world.race.phase != RacePhase::off ? GameMode::race : GameMode::driving;
}

namespace {

// Rows: the keys in their order; columns: the modes in theirs.
constexpr bool acts[][gameModeCount] = {
    // driving race  trial  replay lobby  LAN race
    {true,     true,  true,  false, false, false}, // startRace
    {true,     true,  true,  true,  false, false}, // replay
    {true,     true,  true,  false, false, false}, // nextTrack (refused by its room while racing)
    {true,     true,  true,  false, false, false}, // timeTrial
    {false,    false, false, false, true,  true},  // lanSession
};

} // namespace

bool keyActs(GameKey key, GameMode mode) { return acts[static_cast<int32_t>(key)][static_cast<int32_t>(mode)]; }

bool worldIsOwn(GameMode mode) { return mode != GameMode::replay && mode != GameMode::lanRace; }

namespace {

// The game key whose modes a change is made in.
GameKey keyOf(ModeChange change) {
    switch (change) {
    case ModeChange::nextTrack: return GameKey::nextTrack;
    case ModeChange::toggleTrial:
    case ModeChange::startTrial: return GameKey::timeTrial;
    case ModeChange::replayKey:
    case ModeChange::playFile: return GameKey::replay;
    default: return GameKey::startRace;
    }
}

} // namespace

void changeMode(Game& game, World& world, ModeChange change, const std::string& text) {
    const GameMode mode = gameMode(game, world);
    if (change == ModeChange::startRace && keyActs(GameKey::lanSession, mode)) {
        startLanRound(game.lan, game.race, game.view, world, game.settings, game.said); // the host's start, for every machine
        return;
    }
    const bool anyMode = change == ModeChange::hostLan || change == ModeChange::joinLan;
    if (change == ModeChange::none || (!anyMode && !keyActs(keyOf(change), mode))) {
        if (change == ModeChange::playFile && lanMode(mode)) {
            showPlayLine(game.said, "not during a LAN race"); // a file dropped on the window is not lost without a word
        }
        return;
    }
    switch (change) {
    case ModeChange::startRace: startRaceNow(game.race, world, game.settings, game.said); break;
    case ModeChange::endResults:
        if (world.race.phase == RacePhase::results) {
            endRace(world.race);
        }
        break;
    case ModeChange::nextTrack: nextTrack(game.track, world, game.said, game.settings.textureFilter); break;
    case ModeChange::toggleTrial:
    case ModeChange::startTrial:
        if (change == ModeChange::toggleTrial && mode == GameMode::timeTrial) {
            endTimeTrial(game.trial, world);
        } else {
            startTimeTrial(game.trial, game.view, world, game.settings, game.said);
        }
        break;
    case ModeChange::replayKey: playNewestOrStop(game.replay, world, game.settings, game.said); break;
    case ModeChange::playFile: playReplayFile(game.replay, world, game.settings, game.said, text); break;
    case ModeChange::hostLan: hostLanRace(game.lan, game.replay, world, game.settings, game.said); break;
    case ModeChange::joinLan: joinLanRace(game.lan, game.replay, world, game.settings, game.said, text); break;
    case ModeChange::none: break;
    }
}
