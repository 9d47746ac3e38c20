// synth.cpp -- engines, scrub and thumps from a snapshot, sample by sample.
#include "audio/synth.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace {

constexpr double pi = 3.14159265358979323846;

// Each colour's engine: a slight detune and its own mix of the first four
// harmonics, so the three can be told apart when they run side by side.
struct Character {
    float detune;
    float harmonics[4];
};
constexpr Character characters[soundVoices] = {
    {1.000f, {1.0f, 0.45f, 0.25f, 0.12f}}, // blue: smooth
    {1.012f, {1.0f, 0.25f, 0.45f, 0.08f}}, // red: rasping odd harmonic
    {0.988f, {1.0f, 0.60f, 0.10f, 0.30f}}, // green: hollow
};

constexpr int tableSize = 4096;

// One cycle of a sine, looked up rather than computed: the mix must cost the
// audio thread little.
struct SineTable {
    float values[tableSize + 1];
    SineTable() {
        for (int i = 0; i <= tableSize; ++i) {
            values[i] = static_cast<float>(std::sin(2 * pi * i / tableSize));
        }
    }
    float at(double cycles) const { // cycles >= 0
        const double position = cycles * tableSize;
        const auto whole = static_cast<uint64_t>(position);
        const auto index = static_cast<int>(whole % tableSize);
        const auto fraction = static_cast<float>(position - static_cast<double>(whole));
        return values[index] + (values[index + 1] - values[index]) * fraction;
    }
};
const SineTable sine;

// The step toward a target that takes about seconds to close most of the way.
float glide(float seconds, float sampleRate) { return 1.0f - std::exp(-1.0f / (seconds * sampleRate)); }

// Linear while quiet, rounding off toward (never reaching) full scale when loud.
float softLimit(float x) { return 0.98f * x / std::sqrt(1.0f + x * x); }

float whiteNoise(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return static_cast<float>(static_cast<int32_t>(state)) / 2147483648.0f;
}

} // namespace

float firingFrequency(int voice, float rpm) {
    const float turning = std::max(idleRpm, std::isfinite(rpm) ? rpm : idleRpm);
    return turning / 60.0f * 2.0f * characters[std::clamp(voice, 0, soundVoices - 1)].detune;
}

void resetSynth(Synth& synth, float sampleRate) {
    std::memset(&synth, 0, sizeof synth);
    synth.sampleRate = sampleRate > 0 ? sampleRate : 48000.0f;
    synth.noise = 22222u;
    for (int v = 0; v < soundVoices; ++v) {
        synth.voices[v].frequency = firingFrequency(v, idleRpm);
    }
}

void synthesise(Synth& synth, const SoundSnapshot& snapshot, float* stereo, int frames) {
    const float rate = synth.sampleRate;
    const float slow = glide(0.030f, rate), fast = glide(0.010f, rate), fade = glide(0.003f, rate);
    const float thumpDecay = std::exp(-1.0f / (0.12f * rate));
    if (snapshot.sequence != synth.lastSequence) {
        synth.lastSequence = snapshot.sequence;
        synth.framesSinceNews = 0;
    }
    // What each voice glides toward in this buffer, from the snapshot made safe.
    struct Target {
        float frequency, engine, scrub, left, right, roughness;
    } targets[soundVoices];
    for (int v = 0; v < soundVoices; ++v) {
        const VoiceState& state = snapshot.voices[v];
        const auto safe = [](float value, float low, float high) {
            return std::isfinite(value) ? std::clamp(value, low, high) : 0.0f;
        };
        const float gain = safe(state.gain, 0, 1), throttle = safe(state.throttle, 0, 1);
        const float angle = static_cast<float>((safe(state.pan, -1, 1) + 1) * pi / 4); // equal power
        targets[v] = Target{firingFrequency(v, state.rpm), (0.30f + 0.30f * throttle) * gain,
                            safe(state.scrub, 0, 1) * gain, std::cos(angle), std::sin(angle),
                            0.03f * (0.5f + throttle)};
        Synth::Voice& voice = synth.voices[v];
        if (state.landings != voice.landingsHeard) { // heard once, however many buffers it spans
            voice.landingsHeard = state.landings;
            voice.thump = safe(std::fabs(state.landingSpeed) / 10.0f, 0, 1) * gain;
            voice.thumpPhase = 0;
        }
    }
    // A contact that began: a knock as hard as the bodies closed, heard once.
    Synth::Knock& knock = synth.knock;
    if (snapshot.knock.count != knock.heard) {
        const auto safe = [](float value, float low, float high) {
            return std::isfinite(value) ? std::clamp(value, low, high) : 0.0f;
        };
        knock.heard = snapshot.knock.count;
        knock.level = (0.2f + 0.8f * safe(snapshot.knock.speed / 20.0f, 0, 1)) * safe(snapshot.knock.gain, 0, 1);
        knock.pitch = 190.0f + 60.0f * safe(snapshot.knock.speed / 20.0f, 0, 1);
        knock.phase = 0;
        const float angle = static_cast<float>((safe(snapshot.knock.pan, -1, 1) + 1) * pi / 4);
        knock.left = std::cos(angle);
        knock.right = std::sin(angle);
    }
    const float knockDecay = std::exp(-1.0f / (0.04f * rate)), knockFall = std::exp(-1.0f / (0.08f * rate));
    // No new snapshot for a fifth of a second: the frames have stopped (a
    // minimised window), and the sound fades out with them.
    const auto freezeAfter = static_cast<uint32_t>(0.2f * rate);
    // Faded below hearing (-80 dB) with no news: silence costs nothing, so a
    // minimised game keeps no core busy making it.
    if (synth.framesSinceNews > freezeAfter && synth.master < 1e-4f && frames > 0) {
        synth.master = 0;
        std::fill(stereo, stereo + 2 * static_cast<std::ptrdiff_t>(frames), 0.0f);
        synth.framesSinceNews = std::min<uint32_t>(synth.framesSinceNews + static_cast<uint32_t>(frames), 0x7FFFFFFF);
        return;
    }
    const float loudness = std::isfinite(snapshot.volume) ? std::clamp(snapshot.volume, 0.0f, 1.0f) : 0.0f;
    for (int i = 0; i < frames; ++i) {
        const bool frozen = synth.framesSinceNews > freezeAfter;
        synth.framesSinceNews += synth.framesSinceNews < 0x7FFFFFFF ? 1 : 0;
        const float volume = frozen ? 0.0f : loudness;
        synth.master += (volume - synth.master) * (frozen ? fade : fast); // silent well within 0.25 s
        float left = 0, right = 0;
        for (int v = 0; v < soundVoices; ++v) {
            Synth::Voice& voice = synth.voices[v];
            const Target& target = targets[v];
            // Everything glides: a jump in the revolutions, the throttle or
            // the side bends the sound instead of clicking.
            voice.frequency += (target.frequency - voice.frequency) * slow;
            voice.engine += (target.engine - voice.engine) * slow;
            voice.scrub += (target.scrub - voice.scrub) * slow;
            voice.left += (target.left - voice.left) * slow;
            voice.right += (target.right - voice.right) * slow;

            voice.phase += voice.frequency / rate;
            voice.phase -= voice.phase >= 1 ? 1 : 0;
            const float* h = characters[v].harmonics;
            const double p = voice.phase;
            const float engine = h[0] * sine.at(p) + h[1] * sine.at(2 * p) + h[2] * sine.at(3 * p) +
                                 h[3] * sine.at(4 * p) + target.roughness * whiteNoise(synth.noise);

            // Scrub: noise through a band of roughly 500 Hz to 3 kHz.
            const float n = whiteNoise(synth.noise);
            const float before = voice.noiseLow;
            voice.noiseLow += (n - voice.noiseLow) * 0.32f;
            voice.noiseBand += (before - voice.noiseBand) * 0.065f;
            const float scrubSound = (voice.noiseLow - voice.noiseBand) * 1.6f;

            // Thump: a low note falling from 70 to 40 Hz as it dies away.
            voice.thumpPhase += (40.0f + 30.0f * voice.thump) / rate;
            voice.thumpPhase -= voice.thumpPhase >= 1 ? 1 : 0;
            const float thump = voice.thump * sine.at(voice.thumpPhase);
            voice.thump *= thumpDecay;

            const float mono = voice.engine * engine + voice.scrub * scrubSound + 0.9f * thump;
            left += mono * voice.left;
            right += mono * voice.right;
        }
        // The knock: a hollow note falling fast, with a crack of noise at its start.
        if (knock.level > 1e-5f) {
            knock.phase += knock.pitch / rate;
            knock.phase -= knock.phase >= 1 ? 1 : 0;
            knock.pitch *= knockFall;
            knock.noise += (whiteNoise(synth.noise) - knock.noise) * 0.5f;
            const float crack = knock.noise * knock.level * knock.level;
            const float sound = knock.level * (sine.at(knock.phase) + 0.6f * crack);
            knock.level *= knockDecay;
            left += sound * knock.left;
            right += sound * knock.right;
        }
        // A soft limiter: loud passages round off inside full scale, never clip.
        stereo[2 * i] = softLimit(left * synth.master);
        stereo[2 * i + 1] = softLimit(right * synth.master);
    }
}
