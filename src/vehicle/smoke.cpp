// smoke.cpp -- the smoke pool: emission, the vehicles' emission rule, ageing.
#include "vehicle/smoke.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "vehicle/step_rate.h"
#include "vehicle/vehicle.h"

static_assert(sizeof(SmokeSystem) == smokeCapacity * 7 * sizeof(float), "a plain pool of 80 puffs");

void resetSmoke(SmokeSystem& smoke) { std::memset(&smoke, 0, sizeof smoke); }

void emitSmoke(SmokeSystem& smoke, const float position[3], const float velocity[3]) {
    for (SmokeParticle& p : smoke.particles) {
        if (p.life == 0) {
            p.x = position[0];
            p.y = position[1];
            p.z = position[2];
            p.vx = velocity[0];
            p.vy = velocity[1];
            p.vz = velocity[2];
            p.life = 100;
            return;
        }
    }
    // A full pool drops the puff; the ones alive go on as they were.
}

void updateSmoke(SmokeSystem& smoke, uint32_t frameRate) {
    const double ageing = 100.0 / stepRate(frameRate);
    for (SmokeParticle& p : smoke.particles) {
        if (p.life > 0) {
            // The drift is per step; only the ageing follows the step's length.
            p.x += p.vx;
            p.y += p.vy;
            p.z += p.vz;
            p.life = static_cast<float>(p.life - ageing);
        }
        if (p.life <= 1.0f) {
            p.life = 0;
        }
    }
}

float smokeAlpha(float life) { return life > 50 ? 1 - (life - 50) / 50 : life / 50; }

namespace {

// Degrees between where the vehicle points and where it goes.
double slideAngle(const Vehicle& v) { return std::fabs(static_cast<double>(v.heading) - v.course); }

// Braking while rolling faster than the drag stops in a step: the wheels lock.
bool lockedUnderTheBrake(const Vehicle& v, uint32_t frameRate) {
    const double band = v.rollingDrag / stepRate(frameRate);
    return v.controls.brake && (v.speed < -band || v.speed > band);
}

} // namespace

float tyreScrub(const Vehicle& v, uint32_t frameRate) {
    const double slide = slideAngle(v);
    const bool sliding = (slide > 5.0 && v.frontOnGround) || (slide > 10.0 && v.rearOnGround);
    const bool locked = lockedUnderTheBrake(v, frameRate) && v.rearOnGround;
    if (!sliding && !locked) {
        return 0.0f;
    }
    return static_cast<float>(std::min(1.0, std::max(locked ? 0.5 : 0.2, slide / 30.0)));
}

void emitVehicleSmoke(Vehicle& v, SmokeSystem& smoke, uint32_t frameRate, double dx, double dz) {
    const float velocity[3] = {static_cast<float>(-dx / 1.8), static_cast<float>(v.climb / 2.0),
                               static_cast<float>(-dz / 1.8)};
    const double slide = slideAngle(v);
    const int32_t interval = static_cast<int32_t>(frameRate / 20.0);

    // Front pair: spinning under power, or sliding.
    if ((v.controls.accelerate || slide > 5.0) && v.frontOnGround && v.frontSmokeTimer == 0) {
        v.frontSmokeTimer = interval;
        emitSmoke(smoke, v.wheelContact[0], velocity);
        emitSmoke(smoke, v.wheelContact[1], velocity);
    }
    // Rear pair: locked under the brake while moving, or sliding hard.
    if ((lockedUnderTheBrake(v, frameRate) || slide > 10.0) && v.rearOnGround && v.rearSmokeTimer == 0) {
        v.rearSmokeTimer = interval;
        emitSmoke(smoke, v.wheelContact[2], velocity);
        emitSmoke(smoke, v.wheelContact[3], velocity);
    }
}
