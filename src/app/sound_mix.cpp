// sound_mix.cpp -- the vehicles' state turned into what the synthesiser plays.
#include "app/sound_mix.h"

#include <cmath>

#include "common/angles.h"
#include "scene/scene.h"
#include "vehicle/vehicle.h"

namespace {

// Loudness by distance and side for a listener at from, facing heading (the
// vehicles' convention: 0 faces -z, rising turns left).
void place(VoiceState& voice, const float from[3], float heading, const float at[3]) {
    const float dx = at[0] - from[0], dz = at[2] - from[2];
    const float distance = std::sqrt(dx * dx + dz * dz);
    const float h = static_cast<float>(radians(heading));
    voice.gain = 1.0f / (1.0f + distance / 15.0f);
    voice.pan = distance > 0.01f ? 0.8f * (dx * std::cos(h) - dz * std::sin(h)) / distance : 0.0f;
}

} // namespace

SoundSnapshot frameSound(SoundMix& mix, const ViewState& view, const World& world, uint32_t volume) {
    constexpr uint32_t frameRate = stepsPerSecond; // the climb and the scrub are a step's
    SoundSnapshot sound{};
    sound.sequence = ++mix.sequence;
    sound.volume = static_cast<float>(volume) / 100.0f;
    const Vehicle& followed = world.vehicles[view.followedVehicle < vehicleCount ? view.followedVehicle : 0];
    for (int i = 0; i < vehicleCount; ++i) {
        const Vehicle& v = world.vehicles[i];
        VoiceState& voice = sound.voices[i];
        voice.rpm = static_cast<float>(engineRpm(v.driveSpeed));
        voice.throttle = v.controls.accelerate || v.controls.reverse;
        voice.scrub = tyreScrub(v, frameRate);
        // Wheels back on the ground after a flight: a landing, as hard as the fall.
        SoundMix::Heard& h = mix.heard[i];
        const bool inTheAir = !v.frontOnGround && !v.rearOnGround;
        if (h.inTheAir && !inTheAir && h.verticalSpeed < -1.0f) {
            ++h.landings;
            h.landingSpeed = -h.verticalSpeed;
        }
        h.inTheAir = inTheAir;
        h.verticalSpeed = v.climb * static_cast<float>(frameRate);
        voice.landings = h.landings;
        voice.landingSpeed = h.landingSpeed;
        if (view.worldView) {
            place(voice, worldCameraPosition, view.camera.yaw, v.position);
        } else if (view.splitLayout > 1) {
            voice.gain = 0.8f;
            voice.pan = 0.6f * static_cast<float>(i - 1);
        } else if (&v == &followed) {
            voice.gain = 1.0f;
        } else {
            place(voice, followed.position, followed.heading, v.position);
        }
    }
    // Contacts that began since the last frame: one knock, where the newest was.
    const ContactMemory& contact = world.contact;
    if (contact.knocks != mix.knocksSeen) {
        mix.knocksHeard += contact.knocks > mix.knocksSeen ? 1 : 0; // a world set up anew is no knock
        mix.knocksSeen = contact.knocks;
        const float at[3] = {contact.knockAt[0], followed.position[1], contact.knockAt[1]};
        VoiceState where{};
        if (view.worldView) {
            place(where, worldCameraPosition, view.camera.yaw, at);
        } else if (view.splitLayout > 1) {
            where.gain = 0.8f;
        } else {
            place(where, followed.position, followed.heading, at);
        }
        sound.knock = KnockState{mix.knocksHeard, contact.knockSpeed, where.gain, where.pan};
    } else {
        sound.knock.count = mix.knocksHeard;
    }
    return sound;
}
