// driver_view.cpp -- the view from a driver's seat, and its rpm and km/h readout.
#include "render/render.h"
#include "render/font.h"
#include "scene/scene.h"
#include "vehicle/vehicle.h"

void drawDriverView(const ShownWorld& shown, uint32_t vehicleIndex, uint32_t readoutBaseline, float pixel) {
    if (vehicleIndex >= static_cast<uint32_t>(vehicleCount)) {
        return;
    }
    const Vehicle& v = shown.vehicles[vehicleIndex];
    pushMatrix();
    // The eye sits 1.4 up, 0.35 left and 0.5 ahead of the rear axle's centre
    // and rides with the vehicle's heading, pitch and roll.
    translate(0.35f, -1.4f, 0.5f);
    rotate(-v.roll, 0, 0, 1);
    rotate(-v.pitch, 1, 0, 0);
    rotate(-v.heading, 0, 1, 0);
    translate(-v.position[0], -v.position[1], -v.position[2]);
    // The smoke faces this driver.
    drawSceneContents(shown, v.pitch, v.heading, v.roll);
    popMatrix();

    drawRaceStatus(shown, vehicleIndex, readoutBaseline, pixel);
    char readout[64];
    formatReadout(v.driveSpeed, v.speed, readout);
    colour(1, 1, 1);
    printText(shown.window, 16, readoutBaseline, "%s", readout);
}
