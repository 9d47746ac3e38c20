// camera.cpp -- the world camera's aim and the driver's readout text.
#include <cmath>
#include <cstdio>

#include "common/angles.h"
#include "scene/scene.h"

const float worldCameraPosition[3] = {0.0f, 15.0f, 0.0f};

void aimWorldCamera(WorldCamera& camera, const float vehiclePosition[3]) {
    const float cx = worldCameraPosition[0];
    const float cy = worldCameraPosition[1];
    const float cz = worldCameraPosition[2];
    const float vx = vehiclePosition[0];
    const float vy = vehiclePosition[1];
    const float vz = vehiclePosition[2];
    const float across = std::sqrt((cx - vx) * (cx - vx) + (cz - vz) * (cz - vz));
    camera.pitch = static_cast<float>(-degrees(std::atan((cy - vy) / across)));
    // Level with the camera in z the ratio is an infinity and the turn a right
    // angle; straight below it there is no turn to take, so the last one stays.
    const double turn = degrees(std::atan((cx - vx) / (cz - vz)));
    if (std::isnan(turn)) {
        return;
    }
    camera.yaw = static_cast<float>(cz < vz ? turn + 180 : turn);
}

double engineRpm(float driveSpeed) { return std::fabs(driveSpeed) * 200.0; }

void formatReadout(float driveSpeed, float speed, char (&text)[64]) {
    std::snprintf(text, sizeof text, "%.0frpm  %.0fkm/h", engineRpm(driveSpeed),
                  std::fabs(speed) * 3.6);
}
