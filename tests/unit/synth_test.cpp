// synth_test.cpp -- the sound from snapshots alone: the engine's pitch measured
// from its samples, the voices told apart, scrub, thumps, knocks, the limiter,
// volume, no click on a jump, silence when the frames stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/synth.h"
#include "support/sound_analysis.h"

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

// A fresh synthesiser playing one voice alone.
std::vector<float> voice(int which, float rpm, float throttle, float scrub, float seconds, Synth* synth = nullptr) {
    Synth fresh;
    Synth& s = synth != nullptr ? *synth : fresh;
    resetSynth(s, rate);
    SoundSnapshot snapshot{};
    snapshot.volume = 1;
    snapshot.voices[which] = VoiceState{rpm, throttle, scrub, 0, 0, 1, -1};
    return play(s, snapshot, seconds);
}

// The largest sample-to-sample change (a click's mark), and the sum of their squares (a hiss's).
std::pair<float, double> steps(const std::vector<float>& x) {
    std::pair<float, double> result{0, 0};
    for (size_t i = 1; i < x.size(); ++i) {
        result = {std::max(result.first, std::fabs(x[i] - x[i - 1])), result.second + (x[i] - x[i - 1]) * (x[i] - x[i - 1])};
    }
    return result;
}

TEST(Synth, EngineFundamentalTracksTheRevolutionsAndTheVoicesDiffer) {
    std::vector<double> secondHarmonic;
    for (int v = 0; v < soundVoices; ++v) {
        for (const float rpm : {0.0f, 800.0f, 2500.0f, 6944.0f}) { // 0 on the readout: the engine idles
            const std::vector<float> x = voice(v, rpm, 1, 0, 1.3f);
            const double expected = std::max(rpm, 800.0f) / 60 * 2, f = strongest(x, 15, 700);
            EXPECT_NEAR(f, expected, expected * 0.03) << v << " at " << rpm;
            if (rpm == 2500) {
                secondHarmonic.push_back(strength(x, 2 * f) / strength(x, f));
            }
        }
    }
    std::sort(secondHarmonic.begin(), secondHarmonic.end());
    EXPECT_GT(secondHarmonic[1] / secondHarmonic[0], 1.3);
    EXPECT_GT(secondHarmonic[2] / secondHarmonic[1], 1.3);
}

TEST(Synth, ScrubRisesWithTheSlideAndLandingsWithTheirSpeed) {
    double last = 0;
    for (const float scrub : {0.0f, 0.3f, 1.0f}) {
        const double hiss = steps(voice(0, 800, 0, scrub, 0.5f)).second;
        EXPECT_GT(hiss, last * 1.5) << scrub;
        last = hiss;
    }
    // What an event adds to an idling engine: each sample's difference from the
    // engine alone over the seconds.
    const auto added = [](SoundSnapshot event, float seconds) {
        Synth synth;
        const std::vector<float> without = voice(0, 800, 0, 0, seconds);
        voice(0, 800, 0, 0, 0, &synth);
        event.volume = 1;
        const std::vector<float> with = play(synth, event, seconds);
        std::vector<double> difference;
        for (size_t i = 0; i < with.size(); ++i) {
            difference.push_back(std::fabs(with[i] - without[i]));
        }
        return difference;
    };
    // A landing: the difference is the thump.
    double thumps[2] = {0, 0};
    for (int hard = 0; hard < 2; ++hard) {
        SoundSnapshot landed{};
        landed.voices[0] = VoiceState{800, 0, 0, 1, hard ? 6.0f : 3.0f, 1, -1};
        const std::vector<double> thump = added(landed, 0.3f);
        thumps[hard] = *std::max_element(thump.begin(), thump.end());
    }
    EXPECT_GT(thumps[0], 0.05);
    EXPECT_GT(thumps[1], thumps[0] * 1.6);
    // A knock: heard once when its count moves on, as hard as the bodies
    // closed, and gone within a fifth of a second while the count stands.
    double knocks[2] = {0, 0}, after = 0;
    for (int hard = 0; hard < 2; ++hard) {
        SoundSnapshot knocked{};
        knocked.voices[0] = VoiceState{800, 0, 0, 0, 0, 1, -1};
        knocked.knock = KnockState{1, hard ? 20.0f : 3.0f, 1, 0};
        const std::vector<double> knock = added(knocked, 0.5f);
        for (size_t i = 0; i < knock.size(); ++i) { // the first quarter second, then the second
            double& loudest = i < knock.size() / 2 ? knocks[hard] : after;
            loudest = std::max(loudest, knock[i]);
        }
    }
    EXPECT_GT(knocks[0], 0.05);
    EXPECT_GT(knocks[1], knocks[0] * 2);
    EXPECT_LT(after, 0.01);
}

TEST(Synth, LimiterVolumeNoClickAndSilenceWhenTheFramesStop) {
    SoundSnapshot loud{};
    loud.volume = 1;
    for (VoiceState& v : loud.voices) {
        v = VoiceState{7000, 1, 1, 1, 30, 1, -1}; // flat out, sliding, just landed hard, all in one ear
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
    const float steady = steps(voice(1, 7000, 1, 0, 0.5f, &synth)).first;
    x.clear();
    for (int frame = 0; frame < 30; ++frame) {
        SoundSnapshot s{};
        s.volume = 1;
        s.voices[1] = frame % 2 ? VoiceState{7000, 1, 0, 0, 0, 1, -1} : VoiceState{800, 0, 0, 0, 0, 1, 1};
        s.sequence = 1000 + frame;
        const std::vector<float> part = play(synth, s, 1 / 60.0f, true);
        x.insert(x.end(), part.begin(), part.end());
    }
    EXPECT_LE(steps(x).first, steady * 1.25f);
    // The snapshot no longer changes (no frames): silent within a quarter second.
    loud.volume = 1;
    x = play(synth, loud, 0.25f, true);
    EXPECT_LT(std::fabs(x.back()) + std::fabs(x[x.size() - 2]), 1e-3f);
    EXPECT_GT(steps(play(synth, loud, 0.1f)).first, steady / 2); // frames again: sound again
}

} // namespace
