// world_view.cpp -- the fixed camera above the map that watches the followed vehicle.
#include "common/gl_api.h"
#include "scene/scene.h"
#include "terrain/terrain.h"
#include "vehicle/smoke.h"
#include "vehicle/vehicle_look.h"

namespace {

constexpr float ghostAlpha = 0.4f;

// MUDLARK_IMMEDIATE left the terrain without display lists: the scene is then
// drawn the plain way, vertex by vertex, in the old order, nothing left out.
bool drawnThePlainWay() { return terrain.lists == 0; }

// The plain way's vehicle: placed, coloured and drawn on its own.
void drawVehicleBody(const Vehicle& v, const VehicleLook& look) {
    glPushMatrix();
    placeVehicle(v);
    glColor3f(look.colour[0], look.colour[1], look.colour[2]);
    drawVehicle(v, look);
    glPopMatrix();
}

} // namespace

void drawVehicleShadow(const Vehicle& v) {
    // The shadow multiplies the ground under the four wheels, 0.1 above it.
    glBindTexture(GL_TEXTURE_2D, shadowTexture);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex3f(v.wheelContact[0][0], v.wheelContact[0][1] + 0.1f, v.wheelContact[0][2]);
    glTexCoord2f(1, 1);
    glVertex3f(v.wheelContact[1][0], v.wheelContact[1][1] + 0.1f, v.wheelContact[1][2]);
    glTexCoord2f(1, 0);
    glVertex3f(v.wheelContact[3][0], v.wheelContact[3][1] + 0.1f, v.wheelContact[3][2]);
    glTexCoord2f(0, 0);
    glVertex3f(v.wheelContact[2][0], v.wheelContact[2][1] + 0.1f, v.wheelContact[2][2]);
    glEnd();
    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);
}

void drawWorldView(const ShownWorld& shown) {
    glPushMatrix();
    glRotatef(-shown.camera.pitch, 1, 0, 0);
    glRotatef(-shown.camera.yaw, 0, 1, 0);
    glTranslatef(-worldCameraPosition[0], -worldCameraPosition[1], -worldCameraPosition[2]);
    drawSceneContents(shown, shown.camera.pitch, shown.camera.yaw, 0);
    glPopMatrix();
}

void drawSceneContents(const ShownWorld& shown, float viewerPitch, float viewerYaw, float viewerRoll) {
    // The light is fixed in the world: it is placed after the camera's transform.
    glLightfv(GL_LIGHT1, GL_POSITION, shown.light);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    if (drawnThePlainWay()) {
        // Kept to compare pictures with: everything in the order it lies on
        // the ground.
        drawGround(&terrain);
        drawGrowth(&terrain);
        drawCourse(shown);
        for (int v = 0; v < vehicleCount; ++v) {
            if (!shown.world->race.offCourse[v]) {
                drawVehicleShadow(shown.vehicles[v]);
                drawVehicleBody(shown.vehicles[v], vehicleLooks[v]);
            }
        }
    } else {
        // What stands on the ground goes into the depth buffer first: the
        // ground's two textured passes then skip every pixel a body or a leaf
        // hides (the bonnet fills a third of a driver's view). The shadows
        // multiply the ground, so they come after it.
        // The vehicles on the course (a time trial's other two are not).
        Vehicle onCourse[vehicleCount];
        VehicleLook* looks[vehicleCount];
        int count = 0;
        for (int v = 0; v < vehicleCount; ++v) {
            if (!shown.world->race.offCourse[v]) {
                onCourse[count] = shown.vehicles[v];
                looks[count++] = &vehicleLooks[v];
            }
        }
        drawVehicles(onCourse, looks, count);
        drawCourse(shown);
        drawGrowth(&terrain);
        drawGround(&terrain);
        for (int v = 0; v < vehicleCount; ++v) {
            if (!shown.world->race.offCourse[v]) {
                drawVehicleShadow(shown.vehicles[v]);
            }
        }
    }
    if (shown.ghost) {
        // The ghost: see-through, no shadow, drawn over what it passes through.
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDepthMask(GL_FALSE);
        glPushMatrix();
        placeVehicle(shown.ghostVehicle);
        const float* colour = vehicleLooks[shown.ghostLook].colour;
        glColor4f(colour[0], colour[1], colour[2], ghostAlpha);
        drawVehicle(shown.ghostVehicle, vehicleLooks[shown.ghostLook], ghostAlpha);
        glPopMatrix();
        glDepthMask(GL_TRUE);
        glDisable(GL_BLEND);
    }
    drawSmoke(shown.world->smoke, smokeTexture, viewerPitch, viewerYaw, viewerRoll, !drawnThePlainWay());
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
}
