// scene_setup.cpp -- the scene's GL names and their set-up.
#include "assets/texture.h"
#include "render/render.h"
#include "core/startup_trace.h"
#include "scene/scene.h"
#include "scene/track_map.h"
#include "terrain/terrain.h"
#include "terrain/track.h"
#include "vehicle/vehicle_look.h"

uint32_t shadowTexture = 0;
uint32_t smokeTexture = 0;

VehicleLook vehicleLooks[vehicleCount] = {
    {VehicleModel{}, {0.25f, 0.25f, 0.75f}}, // blue
    {VehicleModel{}, {0.75f, 0.25f, 0.25f}}, // red
    {VehicleModel{}, {0.25f, 0.75f, 0.25f}}, // green
};

void setUpScene(World& world, PlayLines& said, StartupTrace& trace, int32_t filter, int32_t track) {
    loadBitmapTexture(said, "Textures/ShadowMap.bmp", &shadowTexture, filter);
    loadTargaTexture(said, "Textures/SmokeMap.tga", &smokeTexture, filter);
    traceStartup(trace, "the shadow's and smoke's pictures");
    ModelPictures pictures{}; // the three vehicles share their pictures
    for (VehicleLook& look : vehicleLooks) {
        loadVehicleLook(look, said, filter, pictures);
    }
    traceStartup(trace, "the vehicles' model and pictures");
    setUpWorld(world, said, track, wheelLayoutOf(vehicleLooks[0].model));
    traceStartup(trace, "the track's heights, growth, gates");
    buildTerrain(&terrain, said, world.ground, filter, track);
    traceStartup(trace, "the ground's pictures and lists");
    buildTrackMap(world.ground);
    loadTargaTexture(said, "Textures/GatePost.tga", &gatePostTexture, filter);
    loadTargaTexture(said, "Textures/GateBanner.tga", &gateBannerTexture, filter);
    makeGatePost();
    traceStartup(trace, "the gates' pictures");
    const float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f}, diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    lightColours(ambient, diffuse);
    placeLight(startLightPosition);
}

void switchTrack(World& world, PlayLines& said, int32_t track, int32_t filter) {
    loadWorldTrack(world, said, track);
    buildTerrain(&terrain, said, world.ground, filter, track);
    buildTrackMap(world.ground);
    returnToStart(world);
}
