// gamepads.cpp -- slots, thresholds and notices of the game controllers.
#include "core/gamepads.h"

#include <cmath>
#include <cstdio>
#include <cstring>


namespace {

// "pad 2" and what happened: ": red", " gone", ": waiting".
void notify(Gamepads& pads, int32_t vehicle, int32_t number, const char* news) {
    // The oldest notice makes room for the new one.
    int oldest = 0;
    for (int i = 1; i < padNoticeCapacity; ++i) {
        oldest = pads.notices[i].secondsLeft < pads.notices[oldest].secondsLeft ? i : oldest;
    }
    Gamepads::Notice& notice = pads.notices[oldest];
    std::snprintf(notice.text, sizeof notice.text, "pad %d%s", static_cast<int>(number), news);
    notice.vehicle = vehicle;
    notice.secondsLeft = padNoticeSeconds;
}

bool slotTaken(const Gamepads& pads, int32_t slot) {
    for (const Gamepads::Pad& pad : pads.pads) {
        if (pad.present && pad.slot == slot) {
            return true;
        }
    }
    return false;
}

// Its last vehicle if that is free, else the lowest free one, else none.
void assignSlot(Gamepads& pads, Gamepads::Pad& pad) {
    pad.slot = -1;
    for (int32_t slot = 0; slot < padVehicles; ++slot) {
        if (!slotTaken(pads, slot) && pad.identity != 0 && pads.lastIdentity[slot] == pad.identity) {
            pad.slot = slot;
        }
    }
    for (int32_t slot = 0; slot < padVehicles && pad.slot < 0; ++slot) {
        pad.slot = slotTaken(pads, slot) ? -1 : slot;
    }
    if (pad.slot >= 0) {
        pads.lastIdentity[pad.slot] = pad.identity;
        char news[16];
        std::snprintf(news, sizeof news, ": %s", vehicleNames[pad.slot]);
        notify(pads, pad.slot, pad.number, news);
    }
}

int32_t lowestFreeNumber(const Gamepads& pads) {
    for (int32_t number = 1;; ++number) {
        bool used = false;
        for (const Gamepads::Pad& pad : pads.pads) {
            used = used || (pad.present && pad.number == number);
        }
        if (!used) {
            return number;
        }
    }
}

bool sane(const PadReading& r) {
    return std::fabs(r.stickX) <= 1.0f && r.leftTrigger >= 0.0f && r.leftTrigger <= 1.0f && r.rightTrigger >= 0.0f &&
           r.rightTrigger <= 1.0f; // false for NaN too
}

void connect(Gamepads& pads, const PadReading& reading) {
    for (Gamepads::Pad& pad : pads.pads) {
        if (!pad.present) {
            pad = Gamepads::Pad{};
            pad.handle = reading.handle;
            pad.identity = reading.identity;
            pad.number = lowestFreeNumber(pads);
            // A worn stick rests off centre: that rest is the new centre. A
            // stick held far over as the pad comes is a player steering, not wear.
            pad.restX = sane(reading) && std::fabs(reading.stickX) < padStickOn ? reading.stickX : 0.0f;
            pad.buttons = sane(reading) ? reading.buttons & padKnownButtons : 0;
            pad.present = true;
            assignSlot(pads, pad);
            if (pad.slot < 0) {
                notify(pads, -1, pad.number, ": waiting");
            }
            return;
        }
    }
}

// The stick's side with hysteresis about the rest position.
int32_t steering(const Gamepads::Pad& pad, float stickX) {
    const float deflection = stickX - pad.restX;
    if ((pad.steering < 0 && deflection < -padStickOff) || (pad.steering > 0 && deflection > padStickOff)) {
        return pad.steering;
    }
    return deflection < -padStickOn ? -1 : deflection > padStickOn ? 1 : 0;
}

void read(Gamepads& pads, Gamepads::Pad& pad, const PadReading& given) {
    const PadReading atRest{given.handle, given.identity, pad.restX, 0, 0, 0};
    const PadReading& r = sane(given) ? given : atRest;
    const uint32_t buttons = r.buttons & padKnownButtons;
    const uint32_t pressed = buttons & ~pad.buttons;
    pad.buttons = buttons;
    pad.steering = steering(pad, r.stickX);
    pads.menuPresses |= pressed; // any pad works the menu, one waiting for a vehicle too
    if (pad.slot < 0) {
        return;
    }
    uint8_t* held = pads.held[pad.slot];
    held[padAccelerate] |= r.rightTrigger > padTriggerThreshold || (buttons & padSouth) != 0;
    held[padReverse] |= r.leftTrigger > padTriggerThreshold || (buttons & padWest) != 0;
    held[padBrake] |= (buttons & padEast) != 0;
    held[padLeft] |= pad.steering < 0 || (buttons & padDpadLeft) != 0;
    held[padRight] |= pad.steering > 0 || (buttons & padDpadRight) != 0;
    held[padRescue] |= (buttons & padRightStick) != 0;
    if (pressed & padBack) {
        pads.followRequest = pad.slot;
    }
    pads.layoutSteps += (pressed & padStart) != 0 ? 1 : 0;
    pads.raceStarts += (pressed & padNorth) != 0 ? 1 : 0;
    pads.trackChanges += (pressed & padRightShoulder) != 0 ? 1 : 0;
}

const PadReading* find(const PadReading* readings, int count, uint32_t handle) {
    for (int i = 0; i < count; ++i) {
        if (readings[i].handle == handle) {
            return &readings[i];
        }
    }
    return nullptr;
}

} // namespace

void resetGamepads(Gamepads& pads) {
    std::memset(&pads, 0, sizeof pads);
    pads.followRequest = -1;
}

void updateGamepads(Gamepads& pads, const PadReading* readings, int count, float frameSeconds) {
    for (Gamepads::Notice& notice : pads.notices) {
        const float left = notice.secondsLeft - frameSeconds; // a millisecond short of the end is the end
        notice.secondsLeft = left > 1e-3f ? left : 0.0f;
    }
    std::memset(pads.held, 0, sizeof pads.held);
    pads.followRequest = -1;
    pads.layoutSteps = 0;
    pads.raceStarts = 0;
    pads.trackChanges = 0;
    pads.menuPresses = 0;
    count = readings == nullptr || count < 0 ? 0 : count;
    bool slotFreed = false;
    for (Gamepads::Pad& pad : pads.pads) {
        if (pad.present && find(readings, count, pad.handle) == nullptr) {
            pad.present = false;
            slotFreed = slotFreed || pad.slot >= 0;
            notify(pads, pad.slot, pad.number, " gone");
        }
    }
    // Pads that were waiting take the freed vehicles.
    for (Gamepads::Pad& pad : pads.pads) {
        if (slotFreed && pad.present && pad.slot < 0) {
            assignSlot(pads, pad);
        }
    }
    for (int i = 0; i < count; ++i) {
        bool known = false;
        for (const Gamepads::Pad& pad : pads.pads) {
            known = known || (pad.present && pad.handle == readings[i].handle);
        }
        if (!known) {
            connect(pads, readings[i]);
        }
    }
    for (Gamepads::Pad& pad : pads.pads) {
        const PadReading* reading = pad.present ? find(readings, count, pad.handle) : nullptr;
        if (reading != nullptr) {
            read(pads, pad, *reading);
        }
    }
}

bool padHeld(const Gamepads& pads, int32_t vehicle, PadControl control) {
    return vehicle >= 0 && vehicle < padVehicles && control >= 0 && control < padControlCount &&
           pads.held[vehicle][control] != 0;
}
