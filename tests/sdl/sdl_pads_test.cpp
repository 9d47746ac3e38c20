// sdl_pads_test.cpp -- the SDL backend's pads in-process, with SDL's virtual
// game controllers plugged in and pulled out between frames: the frame's pad
// step, then the world's step that sees it; in a real window, the notice in
// its vehicle's quarter.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <memory>

#include "app/bindings.h"
#include "app/game.h"
#include "app/window.h"
#include "common/gl_api.h"
#include "render/render.h"
#include "core/gamepads.h"
#include "platform/platform.h"
#include "render/font.h"
#include "scene/scene.h"
#include "support/temp_dir.h"
#include "support/vehicle_fixture.h"

namespace {

// A virtual pad with every standard button and axis, opened to be moved.
SDL_Joystick* plug() {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
    return SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
}

void unplug(SDL_Joystick* pad) {
    const SDL_JoystickID id = SDL_JoystickInstanceID(pad);
    SDL_JoystickClose(pad);
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) == id) {
            SDL_JoystickDetachVirtual(index);
        }
    }
}

std::unique_ptr<World> game;
std::unique_ptr<Game> made; // the game above it, made anew by each test: its menu, view and frame

// A frame's pads, then a step of the world with what the players hold.
void tick() {
    readPads(*made);
    VehicleControls controls[vehicleCount];
    for (int v = 0; v < vehicleCount; ++v) {
        controls[v] = playerControls(made->bindings, made->input, made->pads, v);
    }
    stepWorld(*game, controls);
}

TEST(SdlPads, TriggersSticksStartAFourthPadWaitingAndAPulledPadLettingGoAtOnce) {
    closeRenderer();
    game = flatWorld();
    Vehicle (&vehicles)[vehicleCount] = game->vehicles;
    made = std::make_unique<Game>();
    made->settings.gamepads = true;
    made->padsOpen = platformOpenGamepads();
    ASSERT_TRUE(made->padsOpen) << SDL_GetError();
    std::vector<SDL_Joystick*> pads = {plug()};
    ASSERT_NE(pads[0], nullptr) << SDL_GetError();
    tick();
    EXPECT_EQ(vehicles[0].driveSpeed, 0.0f); // a pad at rest does nothing
    SDL_JoystickSetVirtualAxis(pads[0], SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    SDL_JoystickSetVirtualAxis(pads[0], SDL_CONTROLLER_AXIS_LEFTX, 9830); // 30 %: no steering
    tick();
    EXPECT_GT(vehicles[0].driveSpeed, 0.0f);
    EXPECT_EQ(vehicles[0].steerAngle, 0.0f);
    SDL_JoystickSetVirtualAxis(pads[0], SDL_CONTROLLER_AXIS_LEFTX, 13107); // 40 %: right
    tick();
    EXPECT_GT(vehicles[0].steerAngle, 0.0f);
    for (int i = 0; i < 3; ++i) {
        pads.push_back(plug());
    }
    SDL_JoystickSetVirtualAxis(pads[1], SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    tick();
    EXPECT_GT(vehicles[1].driveSpeed, 0.0f);
    EXPECT_EQ(made->pads.pads[3].slot, -1); // the fourth waits
    unplug(pads[1]); // with its trigger held
    const float red = vehicles[1].driveSpeed;
    tick();
    EXPECT_LT(vehicles[1].driveSpeed, red);
    EXPECT_EQ(made->pads.pads[3].slot, 1); // the waiting pad drives red now
    SDL_JoystickSetVirtualButton(pads[0], SDL_CONTROLLER_BUTTON_START, 1);
    tick();
    EXPECT_EQ(made->view.splitLayout, 2u); // Start: two drivers
    for (SDL_Joystick* pad : {pads[0], pads[2], pads[3]}) {
        unplug(pad);
    }
    platformCloseGamepads();
}

// Near-white pixels in a band of the back buffer after a frame (GL rows, bottom up).
long textAfterAFrame(int x, int y) {
    drawFrame(*made, *game);
    std::vector<uint8_t> rgb(160 * 22 * 3);
    glReadPixels(x, y, 160, 22, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    long white = 0;
    for (size_t i = 0; i < rgb.size(); i += 3) {
        white += rgb[i] > 200 && rgb[i + 1] > 200 && rgb[i + 2] > 200 ? 1 : 0;
    }
    return white;
}

TEST(SdlWindow, PadNoticeUnderTheReadoutOfItsVehiclesQuarter) {
    closeRenderer();
    game = std::make_unique<World>();
    made = std::make_unique<Game>();
    made->settings = Settings{320, 240, 32, 100, filterMipmap, false, false, false, false, true, false, 0, 3, true, 2, true, true, 1, 27777, 3, 1, {}, 320, 240, {}, {}, {}, {}, false};
    ASSERT_TRUE(openWindow(*made)) << SDL_GetError();
    buildFont();
    initFrameTimer(made->frameTimer, 100);
    {
        WorkingDirectory run(MUDLARK_RUN_DIR);
        setUpScene(*game, made->said, made->startup, 2);
    }
    made->padsOpen = platformOpenGamepads();
    ASSERT_TRUE(made->padsOpen);
    made->view.splitLayout = 3; // vehicle 0 bottom right, vehicle 1 top left
    EXPECT_EQ(textAfterAFrame(160, 60) + textAfterAFrame(0, 180), 0);
    SDL_Joystick* pad = plug();
    EXPECT_GT(textAfterAFrame(160, 60), 20); // "pad 1: blue"
    EXPECT_EQ(textAfterAFrame(0, 180), 0);
    unplug(pad);
    EXPECT_GT(textAfterAFrame(160, 60), 20); // "pad 1 gone"
    platformCloseGamepads();
    deleteFont();
    closeWindow(*made);
}

} // namespace
