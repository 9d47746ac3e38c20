// simulation.cpp -- what the views show of the world, and the frame's light and slow-down key.
#include "core/app_state.h"
#include "platform/win_messages.h"
#include "scene/scene.h"
#include "vehicle/vehicle.h"

void showWorld(ShownWorld& shown, const World& world, const Vehicle (&before)[vehicleCount], double fraction) {
    shown.world = &world;
    for (int v = 0; v < vehicleCount; ++v) {
        blendVehicle(before[v], world.vehicles[v], fraction, shown.vehicles[v]);
    }
}

void burnSlowDownTime() {
    // volatile keeps every pass: the delay is the point.
    volatile uint32_t passes = 0;
    for (int outer = 0; outer < 4000; ++outer) {
        for (int inner = 0; inner < 2000; ++inner) {
            passes = passes + 1;
        }
    }
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
