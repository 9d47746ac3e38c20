// simulation.cpp -- the per-frame tick of the whole world.
#include "core/app_state.h"
#include "platform/win_messages.h"
#include "scene/scene.h"
#include "vehicle/smoke.h"
#include "vehicle/vehicle.h"

void burnSlowDownTime() {
    // volatile keeps every pass: the delay is the point.
    volatile uint32_t passes = 0;
    for (int outer = 0; outer < 4000; ++outer) {
        for (int inner = 0; inner < 2000; ++inner) {
            passes = passes + 1;
        }
    }
}

void advanceSimulation(uint32_t frameRate) {
    VehicleControls controls[vehicleCount];
    for (int i = 0; i < vehicleCount; ++i) {
        controls[i] = keyAndPadControls(vehicles[i]);
    }
    advanceSimulation(frameRate, controls);
}

void advanceSimulation(uint32_t frameRate, const VehicleControls (&controls)[vehicleCount]) {
    stepVehicles(vehicles, controls, frameRate);
    moveLightAndBurnTime();
}

void moveLightAndBurnTime() {
    // Dragging with the left button moves the light over the map: right is +x,
    // down is +z.
    if (input.leftButton) {
        lightPosition[0] += static_cast<float>(input.deltaX);
        lightPosition[2] += static_cast<float>(input.deltaY);
    }
    if (input.isDown(letterKey('H'))) {
        burnSlowDownTime();
    }
}
