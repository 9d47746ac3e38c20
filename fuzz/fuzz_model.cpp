// fuzz_model.cpp -- any bytes as the vehicle model file: the reader, the
// texture coordinates of every face it kept, and a few physics steps with the
// wheel layout it gave (no GL).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "assets/model.h"
#include "terrain/terrain.h"
#include "vehicle/smoke.h"
#include "vehicle/vehicle.h"
#include "vehicle/vehicle_look.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static VehicleLook look;
    static Vehicle vehicle;
    static ModelFileContents contents;
    static TerrainMap ground; // flat
    static SmokeSystem smoke;
    std::memset(&look, 0, sizeof look);
    std::memset(&vehicle, 0, sizeof vehicle);
    std::memset(&contents, 0, sizeof contents);
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (file == nullptr) {
        return 0;
    }
    readModelFile(file, look.model, contents);
    std::fclose(file);

    const VehicleModel& model = look.model;
    if (model.lastFaceIndex < 0 || model.lastFaceIndex >= maxModelFaces ||
        model.lastTextureIndex < 0 || model.lastTextureIndex >= maxModelTextures ||
        model.lastVertexIndex < 0 || model.lastVertexIndex >= maxModelVertices) {
        __builtin_trap(); // the counts must stay inside the tables
    }
    for (int i = 0; i <= model.lastFaceIndex; ++i) {
        if (contents.hasFace[i]) {
            float st[4][2];
            faceTextureCoordinates(model, model.faces[i], st);
        }
    }
    for (int i = 0; i < maxModelTextures; ++i) {
        if (std::strlen(contents.textureFiles[i]) > static_cast<size_t>(maxTextureNameLength)) {
            __builtin_trap();
        }
    }

    // Drive it: every control held, a few steps of several lengths.
    vehicle.layout = wheelLayoutOf(model);
    resetVehicle(vehicle);
    vehicle.controls = VehicleControls{true, true, true, true, true, false, false};
    for (uint32_t rate : {5u, 60u, 1000u}) {
        stepVehicle(vehicle, ground, smoke, rate);
    }
    if (hasUsableWheelLayout(vehicle.layout)) {
        for (float value : {vehicle.position[0], vehicle.position[1], vehicle.position[2],
                            vehicle.pitch, vehicle.roll, vehicle.heading, vehicle.speed}) {
            if (!std::isfinite(value)) {
                __builtin_trap(); // a drivable layout never makes a record that is not a number
            }
        }
    }
    return 0;
}
