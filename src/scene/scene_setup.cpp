// scene_setup.cpp -- the scene's globals and their set-up.
#include "assets/texture.h"
#include "common/gl_api.h"
#include "core/startup_trace.h"
#include "scene/scene.h"
#include "scene/track_map.h"
#include "terrain/terrain.h"
#include "terrain/track.h"
#include "vehicle/vehicle_look.h"

uint32_t shadowTexture = 0;
uint32_t smokeTexture = 0;
float lightPosition[4] = {0.0f, 40.0f, 0.0f, 1.0f};
float lightAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
float lightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};

VehicleLook vehicleLooks[vehicleCount] = {
    {VehicleModel{}, {0.25f, 0.25f, 0.75f}}, // blue
    {VehicleModel{}, {0.75f, 0.25f, 0.25f}}, // red
    {VehicleModel{}, {0.25f, 0.75f, 0.25f}}, // green
};

void setUpScene(World& world, int32_t filter, int32_t track) {
    loadBitmapTexture("Textures/ShadowMap.bmp", &shadowTexture, filter);
    loadTargaTexture("Textures/SmokeMap.tga", &smokeTexture, filter);
    traceStartup("the shadow's and smoke's pictures");
    ModelPictures pictures{}; // the three vehicles share their pictures
    for (VehicleLook& look : vehicleLooks) {
        loadVehicleLook(look, filter, pictures);
    }
    traceStartup("the vehicles' model and pictures");
    setUpWorld(world, track, wheelLayoutOf(vehicleLooks[0].model));
    traceStartup("the track's heights, growth, gates");
    buildTerrain(&terrain, world.ground, filter, track);
    traceStartup("the ground's pictures and lists");
    buildTrackMap(world.ground);
    loadTargaTexture("Textures/GatePost.tga", &gatePostTexture, filter);
    loadTargaTexture("Textures/GateBanner.tga", &gateBannerTexture, filter);
    traceStartup("the gates' pictures");
    glLightfv(GL_LIGHT1, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, lightPosition);
    glEnable(GL_LIGHT1);
}

void switchTrack(World& world, int32_t track, int32_t filter) {
    loadWorldTrack(world, track);
    buildTerrain(&terrain, world.ground, filter, track);
    buildTrackMap(world.ground);
    returnToStart(world);
}
