// scripted_drive.cpp -- a repeatable drive for all three vehicles.
#include "support/scripted_drive.h"

#include <cstring>
#include <filesystem>

#include "core/app_state.h"
#include "scene/scene.h"
#include "vehicle/vehicle.h"

bool setUpScriptedWorld(const char* runFolder, int32_t track) {
    resetAppState();
    std::error_code failed;
    const std::filesystem::path previous = std::filesystem::current_path(failed);
    std::filesystem::current_path(runFolder, failed);
    if (failed) {
        return false;
    }
    setUpSimulation(track);
    std::filesystem::current_path(previous, failed);
    return hasUsableWheelLayout(vehicles[0].model) && raceCourse.count >= minGates;
}

void holdScriptedKeys(uint32_t frame) {
    std::memset(input.keys, 0, sizeof input.keys);
    for (const Vehicle& v : vehicles) {
        input.keys[v.keyAccelerate] = 1;
    }
    // Vehicle 0 weaves, vehicle 1 circles left, vehicle 2 brakes into slides.
    input.keys[(frame / 90) % 2 ? vehicles[0].keyLeft : vehicles[0].keyRight] = 1;
    input.keys[vehicles[1].keyLeft] = 1;
    if (frame % 240 > 200) {
        input.keys[vehicles[2].keyBrake] = 1;
        input.keys[vehicles[2].keyRight] = 1;
        input.keys[vehicles[2].keyAccelerate] = 0;
    }
}
