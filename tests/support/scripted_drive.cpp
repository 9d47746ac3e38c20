// scripted_drive.cpp -- a repeatable drive for all three vehicles.
#include "support/scripted_drive.h"

#include <filesystem>

#include "core/app_state.h"
#include "scene/scene.h"

bool setUpScriptedWorld(World& world, const char* runFolder, int32_t track) {
    resetAppState();
    std::error_code failed;
    const std::filesystem::path previous = std::filesystem::current_path(failed);
    std::filesystem::current_path(runFolder, failed);
    if (failed) {
        return false;
    }
    setUpWorld(world, track, readWheelLayout());
    std::filesystem::current_path(previous, failed);
    return hasUsableWheelLayout(world.vehicles[0].layout) && world.course.count >= minGates;
}

void scriptedControls(uint32_t step, VehicleControls (&controls)[vehicleCount]) {
    for (VehicleControls& c : controls) {
        c = VehicleControls{true, false, false, false, false};
    }
    // Vehicle 0 weaves, vehicle 1 circles left, vehicle 2 brakes into slides.
    ((step / 90) % 2 ? controls[0].left : controls[0].right) = true;
    controls[1].left = true;
    if (step % 240 > 200) {
        controls[2] = VehicleControls{false, false, false, true, true};
    }
}
