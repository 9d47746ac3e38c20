// simulation_setup.cpp -- the world as the simulation needs it and nothing
// drawn, so that it can be set up and stepped without a window: the terrain's
// heights and growth, the vehicles' wheel layout from the model file, their
// start places, the course, an empty smoke pool. No GL here.
#include <cstdio>
#include <cstring>

#include "assets/model.h"
#include "platform/platform.h"
#include "scene/scene.h"
#include "terrain/terrain.h"
#include "terrain/track.h"
#include "vehicle/smoke.h"

void loadCourse(const char* path) {
    std::FILE* file = std::fopen(path, "r");
    LineFault fault{};
    const bool read = readCourse(file, raceCourse, fault);
    if (file != nullptr) {
        std::fclose(file);
    }
    if (read) {
        return;
    }
    char text[256];
    if (file == nullptr) {
        std::snprintf(text, sizeof text, "Unable to read %s: there is no race on this track.", path);
    } else if (fault.line > 0) {
        std::snprintf(text, sizeof text, "%s, line %d: %s. There is no race on this track.", path,
                      static_cast<int>(fault.line), fault.text);
    } else {
        std::snprintf(text, sizeof text, "%s: %s. There is no race on this track.", path, fault.text);
    }
    platformShowMessage(text, "Error", MessageIcon::exclamation);
}

const char* currentTrackName() {
    static char name[48];
    if (raceCourse.name[0] != '\0') {
        return raceCourse.name;
    }
    std::snprintf(name, sizeof name, "Track %d", static_cast<int>(currentTrack));
    return name;
}

void loadTrackCourse(int32_t track) {
    loadCourse(trackFiles(track).gates);
    currentTrack = track;
}

void settleOnStartPlaces() {
    for (Vehicle& vehicle : vehicles) {
        if (terrainSurfaceHeight(&terrain, vehicle.position[0], vehicle.position[2]) != 0.0f) {
            float centre[2];
            vehicleCentre(vehicle, centre);
            placeVehicleAtRest(vehicle, centre[0], centre[1], vehicle.heading);
        }
    }
}

void returnToStart() {
    for (Vehicle& vehicle : vehicles) {
        resetVehicle(vehicle);
    }
    placeVehicles();
    settleOnStartPlaces();
    resetSmoke();
}

void setUpSimulation(int32_t track) {
    const TrackFiles files = trackFiles(track);
    loadRawFile(files.heights, sizeof terrain.heights, terrain.heights);
    loadRawFile(files.growth, sizeof terrain.growth, terrain.growth);
    static ModelFileContents contents;
    for (Vehicle& vehicle : vehicles) {
        std::memset(&vehicle, 0, sizeof vehicle);
        readVehicleModel(vehicle.model, contents, "Models/Model01.obj");
        resetVehicle(vehicle);
    }
    placeVehicles();
    settleOnStartPlaces();
    loadTrackCourse(track);
    resetSmoke();
}
