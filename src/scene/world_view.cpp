// world_view.cpp -- the fixed camera above the map that watches the followed vehicle.
#include "render/render.h"
#include "scene/scene.h"
#include "terrain/terrain.h"
#include "vehicle/smoke.h"
#include "vehicle/vehicle_look.h"

namespace {

constexpr float ghostAlpha = 0.4f;

// MUDLARK_IMMEDIATE left the terrain without display lists: the scene is then
// drawn the plain way, vertex by vertex, in the old order, nothing left out.
bool drawnThePlainWay() { return terrain.meshes[0] == 0; }

// The plain way's vehicle: placed, coloured and drawn on its own.
void drawVehicleBody(const Vehicle& v, const VehicleLook& look) {
    pushMatrix();
    placeVehicle(v);
    colour(look.colour[0], look.colour[1], look.colour[2]);
    drawVehicle(v, look);
    popMatrix();
}

} // namespace

void drawVehicleShadow(const Vehicle& v) {
    // The shadow multiplies the ground under the four wheels, 0.1 above it.
    bindTexture(shadowTexture);
    disable(Feature::lighting);
    enable(Feature::blend);
    blendFunction(Blend::destinationColour, Blend::zero);
    colour(1, 1, 1);
    begin(Primitive::quads);
    texCoord(0, 1);
    vertex(v.wheelContact[0][0], v.wheelContact[0][1] + 0.1f, v.wheelContact[0][2]);
    texCoord(1, 1);
    vertex(v.wheelContact[1][0], v.wheelContact[1][1] + 0.1f, v.wheelContact[1][2]);
    texCoord(1, 0);
    vertex(v.wheelContact[3][0], v.wheelContact[3][1] + 0.1f, v.wheelContact[3][2]);
    texCoord(0, 0);
    vertex(v.wheelContact[2][0], v.wheelContact[2][1] + 0.1f, v.wheelContact[2][2]);
    end();
    disable(Feature::blend);
    enable(Feature::lighting);
}

void drawWorldView(const ShownWorld& shown) {
    pushMatrix();
    rotate(-shown.camera.pitch, 1, 0, 0);
    rotate(-shown.camera.yaw, 0, 1, 0);
    translate(-worldCameraPosition[0], -worldCameraPosition[1], -worldCameraPosition[2]);
    drawSceneContents(shown, shown.camera.pitch, shown.camera.yaw, 0);
    popMatrix();
}

void drawSceneContents(const ShownWorld& shown, float viewerPitch, float viewerYaw, float viewerRoll) {
    // The light is fixed in the world: it is placed after the camera's transform.
    placeLight(shown.light);
    enable(Feature::texture);
    enable(Feature::lighting);
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
        enable(Feature::blend);
        blendFunction(Blend::sourceAlpha, Blend::oneMinusSourceAlpha);
        depthWrites(false);
        pushMatrix();
        placeVehicle(shown.ghostVehicle);
        const float* tint = vehicleLooks[shown.ghostLook].colour;
        colour(tint[0], tint[1], tint[2], ghostAlpha);
        drawVehicle(shown.ghostVehicle, vehicleLooks[shown.ghostLook], ghostAlpha);
        popMatrix();
        depthWrites(true);
        disable(Feature::blend);
    }
    drawSmoke(shown.world->smoke, smokeTexture, viewerPitch, viewerYaw, viewerRoll, !drawnThePlainWay());
    disable(Feature::lighting);
    disable(Feature::texture);
}
