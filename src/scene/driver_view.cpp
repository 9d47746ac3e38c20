// driver_view.cpp -- the view from a driver's seat, and its rpm and km/h readout.
#include "common/gl_api.h"
#include "render/font.h"
#include "scene/scene.h"
#include "vehicle/vehicle.h"

void drawDriverView(const ShownWorld& shown, uint32_t vehicleIndex, uint32_t readoutBaseline, float pixel) {
    if (vehicleIndex >= static_cast<uint32_t>(vehicleCount)) {
        return;
    }
    const Vehicle& v = shown.vehicles[vehicleIndex];
    glPushMatrix();
    // The eye sits 1.4 up, 0.35 left and 0.5 ahead of the rear axle's centre
    // and rides with the vehicle's heading, pitch and roll.
    glTranslatef(0.35f, -1.4f, 0.5f);
    glRotatef(-v.roll, 0, 0, 1);
    glRotatef(-v.pitch, 1, 0, 0);
    glRotatef(-v.heading, 0, 1, 0);
    glTranslatef(-v.position[0], -v.position[1], -v.position[2]);
    // The smoke faces this driver.
    drawSceneContents(shown, v.pitch, v.heading, v.roll);
    glPopMatrix();

    drawRaceStatus(shown, vehicleIndex, readoutBaseline, pixel);
    char readout[64];
    formatReadout(v.driveSpeed, v.speed, readout);
    glColor3f(1, 1, 1);
    printText(shown.window, 16, readoutBaseline, "%s", readout);
}
