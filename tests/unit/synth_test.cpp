// synth_test.cpp -- the sound from snapshots alone: the engine's pitch measured
// from its samples, the voices told apart, scrub, thumps, the limiter, volume,
// no click on a jump, silence when the frames stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/synth.h"

namespace {

constexpr float rate = 48000.0f;

// Seconds of sound for this snapshot, published anew every 1/60 s as the frames
// do (frozen: never anew), as the left channel.
std::vector<float> play(Synth& synth, SoundSnapshot snapshot, float seconds, bool frozen = false) {
    std::vector<float> left, stereo(1600);
    for (int frame = 0; frame < static_cast<int>(seconds * 60); ++frame) {
        snapshot.sequence += frozen ? 0 : 1;
        synthesise(synth, snapshot, stereo.data(), 800);
        for (size_t i = 0; i < stereo.size(); i += 2) {
            left.push_back(stereo[i]);
        }
    }
    return left;
}

SoundSnapshot one(int voice, float rpm, float throttle = 1, float scrub = 0) {
    SoundSnapshot s{};
    s.volume = 1;
    s.sequence = 1;
    s.voices[voice] = VoiceState{rpm, throttle, scrub, 0, 0, 1, 0};
    return s;
}

// The strength of one frequency in the samples (Goertzel).
double strength(const std::vector<float>& x, double frequency) {
    const double w = 2 * 3.14159265358979 * frequency / rate, c = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (float v : x) {
        const double s0 = v + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - c * s1 * s2;
}

// The strongest frequency between from and to: to the nearest hertz, then to a tenth.
double strongest(const std::vector<float>& x, double from, double to) {
    double best = from, bestStrength = 0;
    for (double step : {1.0, 0.1}) {
        const double low = step < 1 ? best - 1 : from, high = step < 1 ? best + 1 : to;
        for (double f = low; f <= high; f += step) {
            const double s = strength(x, f);
            best = s > bestStrength ? f : best;
            bestStrength = std::max(s, bestStrength);
        }
    }
    return best;
}

TEST(Synth, EngineFundamentalTracksTheRevolutionsFromIdleToTopSpeed) {
    for (int voice = 0; voice < soundVoices; ++voice) {
        for (const float rpm : {0.0f, 800.0f, 2500.0f, 6944.0f}) { // 0 on the readout: the engine idles
            Synth synth;
            resetSynth(synth, rate);
            play(synth, one(voice, rpm), 0.3f); // glide to the note
            const std::vector<float> x = play(synth, one(voice, rpm), 1.0f);
            const double expected = std::max(rpm, 800.0f) / 60 * 2;
            EXPECT_NEAR(strongest(x, 15, 700), expected, expected * 0.03) << voice << " at " << rpm;
        }
    }
}

TEST(Synth, TheThreeVoicesSoundDifferent) {
    std::vector<double> secondHarmonic;
    for (int voice = 0; voice < soundVoices; ++voice) {
        Synth synth;
        resetSynth(synth, rate);
        const std::vector<float> x = play(synth, one(voice, 3000), 1.0f);
        const double f = strongest(x, 90, 110);
        secondHarmonic.push_back(strength(x, 2 * f) / strength(x, f));
    }
    std::sort(secondHarmonic.begin(), secondHarmonic.end());
    EXPECT_GT(secondHarmonic[1] / secondHarmonic[0], 1.3);
    EXPECT_GT(secondHarmonic[2] / secondHarmonic[1], 1.3);
}

// The sample-to-sample change at its largest: what a scrub of high noise or a click raises.
float largestStep(const std::vector<float>& x, size_t from = 1) {
    float step = 0;
    for (size_t i = std::max<size_t>(from, 1); i < x.size(); ++i) {
        step = std::max(step, std::fabs(x[i] - x[i - 1]));
    }
    return step;
}

double roughness(const std::vector<float>& x) {
    double sum = 0;
    for (size_t i = 1; i < x.size(); ++i) {
        sum += (x[i] - x[i - 1]) * (x[i] - x[i - 1]);
    }
    return sum;
}

TEST(Synth, ScrubRisesWithTheSlideAndLandingsWithTheirSpeed) {
    double last = 0;
    for (const float scrub : {0.0f, 0.3f, 1.0f}) {
        Synth synth;
        resetSynth(synth, rate);
        const double now = roughness(play(synth, one(0, 800, 0, scrub), 0.5f));
        EXPECT_GT(now, last * 1.5) << scrub;
        last = now;
    }
    // The same engine with and without a landing: the difference is the thump.
    double thumps[2];
    for (int hard = 0; hard < 2; ++hard) {
        Synth quiet, landed;
        resetSynth(quiet, rate);
        resetSynth(landed, rate);
        SoundSnapshot s = one(0, 800, 0);
        const std::vector<float> without = play(quiet, s, 0.3f);
        s.voices[0].landings = 1;
        s.voices[0].landingSpeed = hard ? 6.0f : 3.0f;
        const std::vector<float> with = play(landed, s, 0.3f);
        thumps[hard] = 0;
        for (size_t i = 0; i < with.size(); ++i) {
            thumps[hard] = std::max(thumps[hard], static_cast<double>(std::fabs(with[i] - without[i])));
        }
    }
    EXPECT_GT(thumps[0], 0.05);
    EXPECT_GT(thumps[1], thumps[0] * 1.6);
}

TEST(Synth, LimiterVolumeNoClickAndSilenceWhenTheFramesStop) {
    SoundSnapshot loud{};
    loud.volume = 1;
    for (VoiceState& v : loud.voices) {
        v = VoiceState{7000, 1, 1, 1, 30, 1, 0}; // flat out, sliding, just landed hard, all in one ear
    }
    Synth synth;
    resetSynth(synth, rate);
    std::vector<float> x = play(synth, loud, 1.0f);
    EXPECT_LT(*std::max_element(x.begin(), x.end(), [](float a, float b) { return std::fabs(a) < std::fabs(b); }), 1.0f);
    loud.volume = 0;
    resetSynth(synth, rate);
    x = play(synth, loud, 0.2f);
    EXPECT_TRUE(std::all_of(x.begin(), x.end(), [](float v) { return v == 0; }));
    // Every frame a jump between idle, coasting, in the right ear and flat out
    // in the left: no step larger than the engine's own, flat out in the left.
    SoundSnapshot jump = one(1, 7000, 1);
    jump.voices[1].pan = -1;
    resetSynth(synth, rate);
    const float steady = largestStep(play(synth, jump, 0.5f));
    x.clear();
    for (int frame = 0; frame < 30; ++frame) {
        SoundSnapshot s = frame % 2 ? jump : one(1, 800, 0);
        s.voices[1].pan = frame % 2 ? -1.0f : 1.0f;
        s.sequence = 1000 + frame;
        const std::vector<float> part = play(synth, s, 1 / 60.0f, true);
        x.insert(x.end(), part.begin(), part.end());
    }
    EXPECT_LE(largestStep(x), steady * 1.25f);
    // The snapshot no longer changes (no frames): silent within a quarter second.
    x = play(synth, jump, 0.25f, true);
    EXPECT_LT(std::fabs(x.back()) + std::fabs(x[x.size() - 2]), 1e-3f);
    EXPECT_GT(largestStep(play(synth, jump, 0.1f)), steady / 2); // frames again: sound again
}

} // namespace
