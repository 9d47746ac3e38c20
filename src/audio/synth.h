// synth.h -- the game's sound, made from the vehicles' state alone: an engine
// voice per vehicle that follows the revolutions of the readout, a scrub of
// filtered noise while the tyres slide, a low thump on landing; mixed to
// stereo under a soft limiter. Pure: a snapshot and the synthesiser's own
// running state in, samples out.
#pragma once

#include <cstdint>

#include "common/vehicles.h"

constexpr int soundVoices = vehicleCount; // a voice per vehicle, whatever their number
constexpr float idleRpm = 800.0f; // the engine never turns slower, whatever the readout says

// One vehicle as the frame last saw it.
struct VoiceState {
    float rpm;            // engine revolutions a minute, as the readout shows them
    float throttle;       // 0 coasting .. 1 under power
    float scrub;          // 0 gripping .. 1 sliding hard
    uint32_t landings;    // counts up once for every landing
    float landingSpeed;   // downward speed at the last landing, units a second
    float gain;           // 0 .. 1: how loud this vehicle is where the player listens
    float pan;            // -1 left .. 1 right
};

// The knock of bodies meeting, as the frame last heard it.
struct KnockState {
    uint32_t count;       // counts up once for every contact that begins
    float speed;          // how fast the last one closed, units a second
    float gain;           // 0 .. 1: how loud where the player listens
    float pan;            // -1 left .. 1 right
};

// What each frame publishes: the vehicles as of the world's last step.
struct SoundSnapshot {
    VoiceState voices[soundVoices];
    KnockState knock;
    uint32_t sequence;    // counts up with every snapshot: a still one means no frames
    float volume;         // 0 .. 1
};

struct Synth {
    struct Voice {
        double phase;          // of the engine's firing frequency, in cycles
        float frequency;       // Hz, gliding toward the target
        float engine, scrub;   // levels, gliding toward the snapshot's
        float left, right;     // channel gains, gliding
        float noiseLow, noiseBand; // the scrub's filter
        float thump, thumpPhase;   // the landing's envelope and phase
        uint32_t landingsHeard;
    };
    Voice voices[soundVoices];
    struct Knock {
        uint32_t heard;
        float level;           // the envelope, dying away
        float phase;           // of its falling note
        float pitch;           // Hz, falling
        float left, right;
        float noise;           // its crack's filter
    } knock;
    float sampleRate;
    float master;              // gliding toward the volume, or to 0 when frames stop
    uint32_t noise;            // random state
    uint32_t lastSequence;
    uint32_t framesSinceNews;  // sample frames since the snapshot last changed
};

void resetSynth(Synth& synth, float sampleRate);

// Fills frames stereo frames (left, right, left, ...) with values inside -1 .. 1.
// A quarter second after the snapshot stops changing the sound has faded out.
void synthesise(Synth& synth, const SoundSnapshot& snapshot, float* stereo, int frames);

// The engine's firing frequency at these revolutions for this vehicle's voice:
// four cylinders, four strokes, never below idle.
float firingFrequency(int voice, float rpm);
