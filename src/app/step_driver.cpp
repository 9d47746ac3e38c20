// step_driver.cpp -- one loop, three sources of controls.
#include "app/step_driver.h"

#include <algorithm>

#include "app/game.h"
#include "app/game_mode.h"
#include "app/lan_session.h"
#include "app/race_session.h"
#include "app/replay_session.h"
#include "app/step_clock.h"
#include "app/trial_session.h"

namespace {

enum class Source { none, keys, lan, replay };

Source sourceOf(const Game& game, const World& world, const Bindings* keys) {
    switch (gameMode(game, world)) {
    case GameMode::replay: return keys != nullptr ? Source::replay : Source::none;
    case GameMode::lanRace: return Source::lan;
    default: return keys != nullptr ? Source::keys : Source::none;
    }
}

// A held demo that has reached its step: the world takes no more.
bool held(const FrameState& frame, const World& world) { return frame.holdAtStep != 0 && world.steps >= frame.holdAtStep; }

} // namespace

double stepFrame(Game& game, World& world, int32_t owed, double seconds, const Bindings* keys) {
    const Source source = sourceOf(game, world, keys);
    if (source == Source::none || (source == Source::lan && !beginLanSteps(game.lan, game.input, game.pads, keys))) {
        return -1;
    }
    if (source == Source::replay) {
        beginPlaybackSteps(game.replay, seconds);
    }
    for (int32_t taken = 0;; ++taken) {
        VehicleControls controls[vehicleCount];
        uint32_t rate = stepsPerSecond;
        const bool due = source == Source::keys ? taken < owed && !held(game.frame, world)
                         : source == Source::lan ? nextLanStep(game.lan, world, game.said, owed, taken, controls)
                                                 : nextPlaybackStep(game.replay, controls, rate);
        if (!due) {
            break;
        }
        if (source == Source::keys) {
            takeControls(game.race, *keys, game.input, game.pads, controls);
        }
        std::copy(world.vehicles, world.vehicles + vehicleCount, game.frame.stepBefore);
        const RacePhase before = world.race.phase;
        stepWorldAtRate(world, controls, rate);
        if (source == Source::replay) {
            afterPlaybackStep(game.replay, world);
            continue;
        }
        if (source == Source::keys) {
            game.input.clearStepPresses(); // a tap between two steps drove this one, once
        }
        afterRaceStep(game.race, game.replay, world, before);
        if (source == Source::keys) {
            afterTrialStep(game.trial, game.race, game.said, world);
        } else {
            afterLanStep(game.lan, world);
        }
    }
    if (source == Source::lan) {
        endLanSteps(game.lan, owed);
    }
    if (source == Source::replay) {
        return endPlaybackSteps(game.replay);
    }
    // Held, the world is drawn exactly as its last step left it.
    return held(game.frame, world) ? 1.0 : stepFraction(game.frame.stepClock);
}
