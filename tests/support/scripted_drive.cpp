// scripted_drive.cpp -- a repeatable drive for all three vehicles.
#include "support/scripted_drive.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/app_state.h"
#include "scene/scene.h"
#include "terrain/terrain.h"
#include "vehicle/smoke.h"
#include "vehicle/vehicle.h"

bool setUpScriptedWorld(const char* runFolder) {
    resetAppState();
    const std::string folder = runFolder;
    loadRawFile((folder + "/Tracks/Terrain_01.raw").c_str(), sizeof terrain.heights, terrain.heights);
    std::FILE* file = std::fopen((folder + "/Models/Model01.obj").c_str(), "r");
    if (file == nullptr) {
        return false;
    }
    static VehicleModel model;
    static ModelFileContents contents;
    std::memset(&model, 0, sizeof model);
    std::memset(&contents, 0, sizeof contents);
    readModelFile(file, model, contents);
    std::fclose(file);
    for (Vehicle& v : vehicles) {
        std::memset(&v, 0, sizeof v);
        v.model = model;
        resetVehicle(v);
    }
    placeVehicles();
    resetSmoke();
    return hasUsableWheelLayout(model);
}

void holdScriptedKeys(uint32_t frame) {
    std::memset(input.keys, 0, sizeof input.keys);
    for (const Vehicle& v : vehicles) {
        input.keys[v.keyAccelerate] = 1;
    }
    // Vehicle 0 weaves, vehicle 1 circles left, vehicle 2 brakes into slides.
    input.keys[(frame / 90) % 2 ? vehicles[0].keyLeft : vehicles[0].keyRight] = 1;
    input.keys[vehicles[1].keyLeft] = 1;
    if (frame % 240 > 200) {
        input.keys[vehicles[2].keyBrake] = 1;
        input.keys[vehicles[2].keyRight] = 1;
        input.keys[vehicles[2].keyAccelerate] = 0;
    }
}
