// sdl_pads.cpp -- game controllers through SDL's game-controller API: opened as
// they are plugged in, closed as they are pulled out, read once a frame.
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/platform.h"

namespace {

constexpr int openCapacity = 16;

struct OpenPad {
    SDL_GameController* controller;
    SDL_JoystickID instance;
    uint64_t identity;
};

// SDL's buttons and the game's.
constexpr struct {
    SDL_GameControllerButton button;
    uint32_t bit;
} buttonBits[] = {{SDL_CONTROLLER_BUTTON_A, padSouth},        {SDL_CONTROLLER_BUTTON_B, padEast},
                  {SDL_CONTROLLER_BUTTON_X, padWest},        {SDL_CONTROLLER_BUTTON_Y, padNorth},
                  {SDL_CONTROLLER_BUTTON_BACK, padBack},     {SDL_CONTROLLER_BUTTON_START, padStart},
                  {SDL_CONTROLLER_BUTTON_DPAD_LEFT, padDpadLeft}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, padDpadRight},
                  {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, padRightShoulder},
                  {SDL_CONTROLLER_BUTTON_DPAD_UP, padDpadUp},     {SDL_CONTROLLER_BUTTON_DPAD_DOWN, padDpadDown},
                  {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, padLeftShoulder},
                  {SDL_CONTROLLER_BUTTON_RIGHTSTICK, padRightStick}};

OpenPad openPads[openCapacity];
int openCount = 0;
bool started = false;

// The same pad after a replug: its GUID (maker, model, connection) and, where
// the driver knows it, its serial number.
uint64_t identityOf(SDL_GameController* controller) {
    const SDL_JoystickGUID guid = SDL_JoystickGetGUID(SDL_GameControllerGetJoystick(controller));
    uint64_t hash = 1469598103934665603ull;
    for (const uint8_t byte : guid.data) {
        hash = (hash ^ byte) * 1099511628211ull;
    }
    for (const char* serial = SDL_GameControllerGetSerial(controller); serial != nullptr && *serial != '\0'; ++serial) {
        hash = (hash ^ static_cast<uint8_t>(*serial)) * 1099511628211ull;
    }
    return hash == 0 ? 1 : hash;
}

float axis(SDL_GameController* controller, SDL_GameControllerAxis which) {
    return std::max(-1.0f, SDL_GameControllerGetAxis(controller, which) / 32767.0f);
}

// Pads pulled out are closed; game controllers not yet open are opened.
// True when one was opened.
bool followPlugs() {
    bool opened = false;
    for (int i = 0; i < openCount;) {
        if (SDL_GameControllerGetAttached(openPads[i].controller)) {
            ++i;
            continue;
        }
        SDL_GameControllerClose(openPads[i].controller);
        openPads[i] = openPads[--openCount];
    }
    const int devices = SDL_NumJoysticks();
    for (int index = 0; index < devices && openCount < openCapacity; ++index) {
        const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(index);
        const bool known = std::any_of(openPads, openPads + openCount,
                                       [&](const OpenPad& pad) { return pad.instance == instance; });
        if (known || !SDL_IsGameController(index)) {
            continue;
        }
        if (SDL_GameController* controller = SDL_GameControllerOpen(index)) {
            openPads[openCount++] = OpenPad{controller, instance, identityOf(controller)};
            opened = true;
        }
    }
    return opened;
}

} // namespace

bool platformOpenGamepads() {
    started = started || SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    return started;
}

int platformReadGamepads(PadReading* readings, int capacity) {
    if (!started) {
        return 0;
    }
    // Notices plugs too, with or without a window's events; a pad opened now is
    // read at once, not a frame late.
    SDL_GameControllerUpdate();
    if (followPlugs()) {
        SDL_GameControllerUpdate();
    }
    int count = 0;
    for (int i = 0; i < openCount && count < capacity; ++i) {
        SDL_GameController* c = openPads[i].controller;
        PadReading& r = readings[count++];
        r = PadReading{static_cast<uint32_t>(openPads[i].instance), openPads[i].identity,
                       axis(c, SDL_CONTROLLER_AXIS_LEFTX), axis(c, SDL_CONTROLLER_AXIS_TRIGGERLEFT),
                       axis(c, SDL_CONTROLLER_AXIS_TRIGGERRIGHT), 0};
        for (const auto& b : buttonBits) {
            r.buttons |= SDL_GameControllerGetButton(c, b.button) ? b.bit : 0;
        }
    }
    return count;
}

void platformCloseGamepads() {
    while (openCount > 0) {
        SDL_GameControllerClose(openPads[--openCount].controller);
    }
    if (started) {
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
        started = false;
    }
}
