// scene_setup.cpp -- the scene's globals and their set-up.
#include "platform/win_messages.h"
#include "assets/texture.h"
#include "common/gl_api.h"
#include "scene/scene.h"
#include "terrain/terrain.h"
#include "terrain/track.h"
#include "vehicle/smoke.h"
#include "vehicle/vehicle.h"

uint32_t shadowTexture = 0;
uint32_t smokeTexture = 0;
float lightPosition[4] = {0.0f, 40.0f, 0.0f, 1.0f};
float lightAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
float lightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};

namespace {

// Start x, colour and the five keys (reverse, left, brake, right, accelerate).
struct Driver {
    float startX;
    float colour[3];
    int32_t keys[5];
};

constexpr Driver drivers[vehicleCount] = {
    {0.0f, {0.25f, 0.25f, 0.75f}, {VK_NUMPAD0 + 2, VK_NUMPAD0 + 4, VK_NUMPAD0 + 5, VK_NUMPAD0 + 6, VK_NUMPAD0 + 8}},
    {-2.0f, {0.75f, 0.25f, 0.25f}, {'Z', 'A', 'S', 'D', 'W'}},
    {2.0f, {0.25f, 0.75f, 0.25f}, {'M', 'J', 'K', 'L', 'I'}},
};

} // namespace

void placeVehicles() {
    for (int i = 0; i < vehicleCount; ++i) {
        Vehicle& v = vehicles[i];
        const Driver& d = drivers[i];
        v.position[0] = d.startX;
        v.colour[0] = d.colour[0];
        v.colour[1] = d.colour[1];
        v.colour[2] = d.colour[2];
        v.keyReverse = d.keys[0];
        v.keyLeft = d.keys[1];
        v.keyBrake = d.keys[2];
        v.keyRight = d.keys[3];
        v.keyAccelerate = d.keys[4];
        v.driver = i;
    }
}

void setUpScene(int32_t filter, int32_t track) {
    loadBitmapTexture("Textures/ShadowMap.bmp", &shadowTexture, filter);
    loadTargaTexture("Textures/SmokeMap.tga", &smokeTexture, filter);
    ModelPictures pictures{}; // the three vehicles share their pictures
    for (Vehicle& vehicle : vehicles) {
        initVehicle(vehicle, filter, pictures);
    }
    placeVehicles();
    buildTerrain(&terrain, filter, track);
    settleOnStartPlaces();
    loadTargaTexture("Textures/GatePost.tga", &gatePostTexture, filter);
    loadTargaTexture("Textures/GateBanner.tga", &gateBannerTexture, filter);
    loadTrackCourse(track);
    glLightfv(GL_LIGHT1, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, lightPosition);
    glEnable(GL_LIGHT1);
    resetSmoke();
}

void switchTrack(int32_t track, int32_t filter) {
    buildTerrain(&terrain, filter, track);
    loadTrackCourse(track);
    returnToStart();
}
