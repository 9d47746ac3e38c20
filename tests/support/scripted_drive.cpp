// scripted_drive.cpp -- a repeatable drive for all three vehicles.
#include "support/scripted_drive.h"

#include <filesystem>

#include "render/render.h"
#include "replay/replay.h"
#include "scene/scene.h"

bool setUpScriptedWorld(World& world, const char* runFolder, int32_t track) {
    closeRenderer();
    std::error_code failed;
    const std::filesystem::path previous = std::filesystem::current_path(failed);
    std::filesystem::current_path(runFolder, failed);
    if (failed) {
        return false;
    }
    PlayLines said;
    setUpWorld(world, said, track, readWheelLayout());
    std::filesystem::current_path(previous, failed);
    return hasUsableWheelLayout(world.vehicles[0].layout) && world.course.count >= minGates;
}

void scriptedControls(uint32_t step, VehicleControls (&controls)[vehicleCount]) {
    for (VehicleControls& c : controls) {
        c = VehicleControls{true, false, false, false, false, false, false};
    }
    // Vehicle 0 weaves, vehicle 1 circles left, vehicle 2 brakes into slides.
    ((step / 90) % 2 ? controls[0].left : controls[0].right) = true;
    controls[1].left = true;
    if (step % 240 > 200) {
        controls[2] = VehicleControls{false, false, false, true, true, false, false};
    }
}

void recordComputerRace(World& world, Replay& replay, int32_t laps, uint32_t (*rate)(uint32_t step)) {
    const bool computer[vehicleCount] = {true, true, true};
    const VehicleControls none[vehicleCount] = {};
    const auto stepRateOf = [rate](uint32_t step) { return rate != nullptr ? rate(step) : stepsPerSecond; };
    startWorldRace(world, laps, computer);
    for (uint32_t step = 0; world.race.phase == RacePhase::countdown; ++step) {
        stepWorldAtRate(world, none, stepRateOf(step));
    }
    beginRecording(replay, world);
    for (uint32_t step = 0; world.race.phase == RacePhase::racing && step < 60 * 600; ++step) {
        stepWorldAtRate(world, none, stepRateOf(step));
        VehicleControls taken[vehicleCount];
        for (int v = 0; v < vehicleCount; ++v) {
            taken[v] = world.vehicles[v].controls;
        }
        recordFrame(replay, stepRateOf(step), taken);
        recordKeyframeIfDue(replay, world.race, world.vehicles);
    }
}
