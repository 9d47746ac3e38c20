// sdl_pads_test.cpp -- the SDL backend's pads in-process, with SDL's virtual
// game controllers plugged in and pulled out between frames: the frame's pad
// step, then the simulation tick that sees it.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include "app/frame.h"
#include "core/app_state.h"
#include "scene/scene.h"
#include "support/vehicle_fixture.h"

namespace {

class SdlPads : public ::testing::Test {
protected:
    void SetUp() override {
        resetWorld();
        settings.gamepads = true;
        for (int i = 0; i < vehicleCount; ++i) {
            freshVehicle(vehicles[i]).driver = i;
        }
        ASSERT_TRUE(platformOpenGamepads()) << SDL_GetError();
    }
    void TearDown() override {
        while (!pads.empty()) {
            unplug(0);
        }
        platformCloseGamepads();
    }
    // A virtual pad with every standard button and axis; its place in pads.
    int plug() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        desc.name = "virtual pad";
        SDL_Joystick* joystick = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
        EXPECT_NE(joystick, nullptr) << SDL_GetError();
        pads.push_back(joystick);
        return static_cast<int>(pads.size()) - 1;
    }
    void unplug(int which) {
        const SDL_JoystickID id = SDL_JoystickInstanceID(pads[which]);
        SDL_JoystickClose(pads[which]);
        pads.erase(pads.begin() + which);
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == id) {
                SDL_JoystickDetachVirtual(index);
            }
        }
    }
    void axis(int which, SDL_GameControllerAxis a, float share) {
        SDL_JoystickSetVirtualAxis(pads[which], a, static_cast<Sint16>(share * 32767));
    }
    static void tick() {
        readPads();
        advanceSimulation(50);
    }
    std::vector<SDL_Joystick*> pads;
};

TEST_F(SdlPads, TriggerDrivesAFourthPadWaitsAndAPulledPadLetsGoAtOnce) {
    const int first = plug();
    tick();
    EXPECT_EQ(vehicles[0].driveSpeed, 0.0f); // a pad at rest does nothing
    axis(first, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1.0f);
    tick();
    EXPECT_GT(vehicles[0].driveSpeed, 0.0f);
    for (int i = 0; i < 3; ++i) {
        plug();
    }
    axis(1, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1.0f);
    tick();
    EXPECT_GT(vehicles[1].driveSpeed, 0.0f);
    EXPECT_EQ(gamepads.pads[3].slot, -1); // the fourth waits
    unplug(1); // with its trigger held
    const float red = vehicles[1].driveSpeed;
    tick();
    EXPECT_FALSE(padHeld(gamepads, 1, padAccelerate));
    EXPECT_LT(vehicles[1].driveSpeed, red);
    EXPECT_EQ(gamepads.pads[3].slot, 1); // the waiting pad drives red now
}

TEST_F(SdlPads, StickSteersBeyondAThirdAndStartStepsTheLayouts) {
    const int pad = plug();
    tick();
    axis(pad, SDL_CONTROLLER_AXIS_LEFTX, 0.3f);
    tick();
    EXPECT_EQ(vehicles[0].steerAngle, 0.0f);
    axis(pad, SDL_CONTROLLER_AXIS_LEFTX, 0.4f);
    tick();
    EXPECT_GT(vehicles[0].steerAngle, 0.0f);
    SDL_JoystickSetVirtualButton(pads[pad], SDL_CONTROLLER_BUTTON_START, 1);
    tick();
    SDL_JoystickSetVirtualButton(pads[pad], SDL_CONTROLLER_BUTTON_START, 0);
    tick();
    EXPECT_EQ(splitLayout, 2u);
}

} // namespace
