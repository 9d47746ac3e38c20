// simulation.cpp -- what the views show of the world, the light under the mouse, the slow-down key's time.
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

void moveLight(float (&light)[4], const InputState& input) {
    // Dragging with the left button moves the light over the map: right is +x,
    // down is +z.
    if (input.leftButton) {
        light[0] += static_cast<float>(input.deltaX);
        light[2] += static_cast<float>(input.deltaY);
    }
}
