// smoke.h -- the tyre smoke: one pool of 80 puffs shared by the three vehicles.
#pragma once

#include <cstdint>

struct SmokeParticle {
    float x, y, z;    // world position
    float vx, vy, vz; // displacement per step
    float life;       // 100 at birth, 100 less per second; 0 = a free slot
};

constexpr int smokeCapacity = 80;

struct SmokeSystem {
    SmokeParticle particles[smokeCapacity];
};

// Every particle to zero: all slots free.
void resetSmoke(SmokeSystem& smoke);

// The first free slot takes a puff at position with velocity (per step) and
// life 100. With no free slot the puff is dropped.
void emitSmoke(SmokeSystem& smoke, const float position[3], const float velocity[3]);

// Moves every live puff by its velocity and ages it by 100 / frameRate; a puff
// whose life falls to 1 or below frees its slot.
void updateSmoke(SmokeSystem& smoke, uint32_t frameRate);

// Draws every live puff with this texture as a turning, fading square facing a
// viewer with these angles (degrees), inside the view's camera transform; with
// skipUnseen the puffs wholly outside the view are not sent at all.
void drawSmoke(const SmokeSystem& smoke, uint32_t texture, float pitch, float yaw, float roll, bool skipUnseen);

// The colour alpha of a puff with this life: fades in over the first half of
// its life and out over the second.
float smokeAlpha(float life);
