// simulation_setup.cpp -- a world as the simulation needs it and nothing drawn,
// so that it can be set up and stepped without a window: the terrain's heights
// and growth, the vehicles' wheel layout from the model file, their start
// places, the course. No GL here.
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/play_lines.h"
#include "assets/model.h"
#include "platform/platform.h"
#include "scene/scene.h"
#include "terrain/terrain.h"
#include "terrain/track.h"
#include "vehicle/smoke.h"
#include "vehicle/vehicle_look.h"

void loadCourse(Course& course, PlayLines& said, const char* path) {
    std::FILE* file = platformOpenFile(path, "r");
    LineFault fault{};
    const bool read = readCourse(file, course, fault);
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
    tellPlayer(said, text, "Error", MessageIcon::exclamation);
}

std::string trackName(const World& world) {
    if (world.course.name[0] != '\0') {
        return world.course.name;
    }
    return "Track " + std::to_string(world.track);
}

void loadWorldTrack(World& world, PlayLines& said, int32_t track) {
    loadTerrainMap(world.ground, track);
    loadCourse(world.course, said, trackFiles(track).gates);
    world.track = track;
}

WheelLayout readWheelLayout() {
    // Large, and only the wheels are kept: on the heap for as long as the read.
    const std::unique_ptr<VehicleModel> model(new VehicleModel());
    const std::unique_ptr<ModelFileContents> contents(new ModelFileContents());
    readVehicleModel(*model, *contents, "Models/Model01.obj");
    return wheelLayoutOf(*model);
}

void setUpWorld(World& world, PlayLines& said, int32_t track, const WheelLayout& layout) {
    initWorld(world, layout);
    loadWorldTrack(world, said, track);
    returnToStart(world); // on the track's ground now
}
