// sound_mix_test.cpp -- what is heard from where the player looks, which slides
// scrub, and when a landing or a knock is heard.
#include <gtest/gtest.h>

#include "app/sound_mix.h"
#include "scene/scene.h"
#include "support/vehicle_fixture.h"

namespace {

class SoundMix : public ::testing::Test {
protected:
    void SetUp() override {
        world = flatWorld();
        world->vehicles[1].position[0] = 15;  // to the right of vehicle 0, facing -z
        world->vehicles[2].position[0] = -45; // far to its left
    }
    SoundSnapshot frameSound() { return ::frameSound(mix, view, *world, 80); }
    ::SoundMix mix{};
    ViewState view{};
    std::unique_ptr<World> world;
};

TEST_F(SoundMix, HeardFromTheSeatTheCameraOrEvenlyInTheSplitLayouts) {
    SoundSnapshot s = frameSound();
    EXPECT_EQ(s.volume, 0.8f);
    EXPECT_EQ(std::pair(s.voices[0].gain, s.voices[0].pan), std::pair(1.0f, 0.0f)); // the driver's own engine
    EXPECT_NEAR(s.voices[1].gain, 0.5f, 1e-6f); // 15 away: half as loud, on the right
    EXPECT_NEAR(s.voices[1].pan, 0.8f, 1e-6f);
    EXPECT_TRUE(s.voices[2].gain < 0.3f && s.voices[2].pan < -0.7f);   // far away on the left
    world->vehicles[0].heading = 180; // turned round, the sides swap
    EXPECT_LT(frameSound().voices[1].pan, -0.7f);
    view.worldView = true; // from the world camera above the start: 1 and 2 on opposite sides
    view.camera.yaw = 0;
    s = frameSound();
    EXPECT_LT(s.voices[1].pan * s.voices[2].pan, 0.0f);
    view.worldView = false;
    view.splitLayout = 3;
    s = frameSound();
    EXPECT_EQ(std::vector<float>({s.voices[0].gain, s.voices[1].gain, s.voices[2].gain}),
              std::vector<float>({0.8f, 0.8f, 0.8f}));
    EXPECT_EQ(s.voices[2].pan - s.voices[1].pan, s.voices[1].pan - s.voices[0].pan);
}

TEST_F(SoundMix, EnginesThrottleScrubAndLandings) {
    Vehicle& v = world->vehicles[0];
    v.driveSpeed = 10;
    v.controls.accelerate = true;
    SoundSnapshot s = frameSound();
    EXPECT_EQ(std::pair(s.voices[0].rpm, s.voices[0].throttle), std::pair(2000.0f, 1.0f)); // the readout's rpm
    EXPECT_EQ(s.voices[0].scrub, 0.0f); // spinning under power smokes, but does not scrub
    v.course = 20; // sliding 20 degrees, then 40
    const float sliding = frameSound().voices[0].scrub;
    v.course = 40;
    EXPECT_TRUE(sliding > 0 && frameSound().voices[0].scrub > sliding);
    v.frontOnGround = v.rearOnGround = false; // sliding in the air: no tyre touches
    EXPECT_EQ(frameSound().voices[0].scrub, 0.0f);
    v.climb = -0.2f; // falling at 12 a second (0.2 a step), then down
    frameSound();
    v.frontOnGround = true;
    s = frameSound();
    EXPECT_EQ(s.voices[0].landings, 1u);
    EXPECT_FLOAT_EQ(s.voices[0].landingSpeed, 12.0f);
    EXPECT_EQ(frameSound().voices[0].landings, 1u); // heard once
    // Two contacts begun since the last frame, the newest to the right: one
    // knock, from there; a world set up anew knocks nothing.
    world->contact.knocks = 2;
    world->contact.knockSpeed = 9;
    world->contact.knockAt[0] = 15;
    s = frameSound();
    EXPECT_EQ(std::tuple(s.knock.count, s.knock.speed), std::tuple(1u, 9.0f));
    EXPECT_GT(s.knock.pan, 0.7f);
    EXPECT_EQ(frameSound().knock.count, 1u);
    world->contact.knocks = 0;
    EXPECT_EQ(frameSound().knock.count, 1u);
}

} // namespace
