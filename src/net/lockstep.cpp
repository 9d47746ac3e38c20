// lockstep.cpp -- the controls of every step gathered from every machine.
#include "net/lockstep.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "replay/replay.h"
#include "sim/world.h"

namespace {

bool needed(const Lockstep& l, int32_t vehicle, uint32_t step) {
    return l.seats[vehicle] != noMachine && step < l.dropStep[vehicle];
}

// Whether the ring holds this step's place.
bool holds(const Lockstep& l, uint32_t step) { return l.slotStep[step % lockstepRing] == step; }

void store(Lockstep& l, uint32_t step, int32_t vehicle, uint32_t packed) {
    if (step < l.next || step >= l.next + lockstepRing / 2) {
        return; // already taken, or too far ahead to hold
    }
    const uint32_t slot = step % lockstepRing;
    if (l.slotStep[slot] != step) { // a place last used half a ring of steps ago
        l.slotStep[slot] = step;
        l.controls[slot] = 0;
        l.known[slot] = 0;
    }
    uint8_t& known = l.known[slot];
    if ((known >> vehicle & 1u) != 0) {
        return;
    }
    const uint32_t mask = controlMask << (controlBits * static_cast<uint32_t>(vehicle));
    uint32_t& held = l.controls[step % lockstepRing];
    held = (held & ~mask) | (packed & mask);
    known = static_cast<uint8_t>(known | 1u << vehicle);
    // Every step before the first unknown one is here.
    uint32_t& first = l.firstUnknown[vehicle];
    while (first < l.next + lockstepRing / 2 &&
           (first < l.next || (holds(l, first) && (l.known[first % lockstepRing] >> vehicle & 1u) != 0))) {
        first = first < l.next ? l.next : first + 1;
    }
}



// The host's newest delay in force once the world reaches its step.
void applyDelay(Lockstep& l) {
    if (l.next >= l.delayStep) {
        l.delay = l.nextDelay;
    }
}

uint16_t millisecondsOf(double seconds) { return static_cast<uint16_t>(static_cast<uint64_t>(seconds * 1000.0) & 0xFFFF); }

} // namespace

void startLockstep(Lockstep& l, int32_t me, const int32_t (&seats)[vehicleCount], uint32_t delay) {
    std::memset(&l, 0, sizeof l);
    l.me = me;
    std::copy(seats, seats + vehicleCount, l.seats);
    l.delay = l.delayFloor = l.nextDelay = std::clamp(delay, 1u, maxDelay);
    l.delayStep = 0;
    l.lowerSince = l.higherSince = -1;
    std::fill(std::begin(l.heardAt), std::end(l.heardAt), -1.0);
    std::fill(std::begin(l.dropStep), std::end(l.dropStep), noStep);
    std::fill(std::begin(l.hashSteps), std::end(l.hashSteps), noStep);
    std::fill(std::begin(l.slotStep), std::end(l.slotStep), noStep);
    l.disagreeStep = noStep;
    l.resyncStep = l.resyncedTo = noStep;
    for (int32_t v = 0; v < vehicleCount; ++v) {
        l.present[std::max(0, seats[v])] = seats[v] != noMachine || l.present[std::max(0, seats[v])];
    }
    l.present[0] = l.present[me] = true;
    // The first `delay` steps of this machine's vehicles: no controls.
    const VehicleControls none[vehicleCount] = {};
    while (l.localNext < l.delay) {
        addLocalControls(l, none);
    }
}

void addLocalControls(Lockstep& l, const VehicleControls (&controls)[vehicleCount]) {
    const uint32_t packed = packControls(controls);
    for (int32_t v = 0; v < vehicleCount; ++v) {
        if (l.seats[v] == l.me) {
            store(l, l.localNext, v, packed);
        }
    }
    ++l.localNext;
}

uint32_t lockstepClockStep(const Lockstep& l) { return static_cast<uint32_t>(l.clock * stepsPerSecond + 1e-9); }

uint32_t localControlsDue(const Lockstep& l) {
    const uint32_t wanted = lockstepClockStep(l) + l.delay, least = l.next + l.delay;
    const uint32_t most = l.next + lockstepRing / 4;
    const uint32_t due = std::min(wanted, most) > l.localNext ? std::min(wanted, most) - l.localNext : 0;
    return std::max(due, least > l.localNext ? least - l.localNext : 0);
}

int32_t missingVehicle(const Lockstep& l) {
    if (l.resyncStep != noStep && l.next == l.resyncStep && l.resyncedTo != l.resyncStep) {
        return -2; // the host's world first
    }
    for (int32_t v = 0; v < vehicleCount; ++v) {
        if (needed(l, v, l.next) && (!holds(l, l.next) || (l.known[l.next % lockstepRing] >> v & 1u) == 0)) {
            return v;
        }
    }
    return -1;
}

bool readyToStep(const Lockstep& l) { return missingVehicle(l) == -1; }

void takeStep(Lockstep& l, VehicleControls (&controls)[vehicleCount], bool (&computer)[vehicleCount]) {
    const uint32_t slot = l.next % lockstepRing;
    uint32_t packed = 0;
    for (int32_t v = 0; v < vehicleCount; ++v) {
        computer[v] = !needed(l, v, l.next);
        packed |= computer[v] ? 0u : l.controls[slot] & controlMask << (controlBits * static_cast<uint32_t>(v));
    }
    unpackControls(packed, controls);
    ++l.next;
    for (uint32_t& first : l.firstUnknown) {
        first = std::max(first, l.next);
    }
    applyDelay(l);
}

uint32_t planDelay(Lockstep& l) {
    if (l.me != 0) {
        return noStep;
    }
    double worst = -1;
    for (int32_t m = 1; m < maxMachines; ++m) {
        worst = l.present[m] && l.roundTrip[m] > 0 ? std::max(worst, l.roundTrip[m] + 2 * l.jitter[m]) : worst;
    }
    if (worst < 0) {
        return noStep; // nothing measured yet: the floor stands
    }
    const uint32_t steps = static_cast<uint32_t>(std::ceil(worst * stepsPerSecond)) + 2;
    const uint32_t want = std::clamp(steps, l.delayFloor, maxDelay);
    // Up at once by two steps or more, by one once it has asked for half a
    // second; down only when three steps fewer would have done for a second
    // and a half, to one more than would do: a jittery line keeps one delay.
    const bool lower = want + 3 <= l.nextDelay, higher = want == l.nextDelay + 1;
    l.lowerSince = !lower ? -1 : l.lowerSince < 0 ? l.clock : l.lowerSince;
    l.higherSince = !higher ? -1 : l.higherSince < 0 ? l.clock : l.higherSince;
    const bool change = want >= l.nextDelay + 2 || (higher && l.clock - l.higherSince >= 0.5) ||
                        (lower && l.clock - l.lowerSince >= 1.5);
    if (!change || l.localNext <= l.delayStep) {
        return noStep; // as it is, or a choice still to reach its step
    }
    // No machine has this machine's controls of its next step yet, so none has taken it.
    l.nextDelay = want > l.nextDelay ? want : want + 1;
    l.delayStep = l.localNext;
    l.lowerSince = l.higherSince = -1;
    applyDelay(l);
    return l.delayStep;
}

double roundTripTo(const Lockstep& l, int32_t machine) {
    return machine >= 0 && machine < maxMachines ? l.roundTrip[machine] : 0;
}

uint32_t planResync(Lockstep& l) {
    const bool coming = l.resyncStep != noStep && l.resyncedTo != l.resyncStep;
    if (l.me != 0 || l.disagreeStep == noStep || coming) {
        return noStep;
    }
    // No machine holds this machine's controls of this step yet, so none has taken it.
    l.resyncStep = l.localNext;
    l.disagreeStep = noStep;
    return l.resyncStep;
}

void noteResynced(Lockstep& l) {
    l.resyncedTo = l.resyncStep;
    l.disagreeStep = noStep;
    std::fill(std::begin(l.hashSteps), std::end(l.hashSteps), noStep); // the old sums are of another world
}

void noteHash(Lockstep& l, uint32_t step, uint32_t hash) {
    std::copy_backward(l.hashSteps, l.hashSteps + 7, l.hashSteps + 8);
    std::copy_backward(l.hashes, l.hashes + 7, l.hashes + 8);
    l.hashSteps[0] = step;
    l.hashes[0] = hash;
}

LockstepPacket makePacket(const Lockstep& l) {
    LockstepPacket p{};
    p.machine = l.me;
    std::copy(l.firstUnknown, l.firstUnknown + vehicleCount, p.firstUnknown);
    std::copy(l.dropStep, l.dropStep + vehicleCount, p.dropStep);
    // The last hash in every fourth packet or so: a machine up to a second
    // behind still finds its own of that step to set it against.
    p.hashStep = l.next % 4 == 0 ? l.hashSteps[0] : noStep;
    p.hash = l.hashes[0];
    p.resyncStep = l.me == 0 ? l.resyncStep : noStep;
    p.stamp = millisecondsOf(l.clock);
    for (int32_t m = 0; m < maxMachines; ++m) {
        p.echo[m] = l.heardStamp[m];
        p.held[m] = l.heardAt[m] < 0 || m == l.me ? notHeard
                                      : static_cast<uint16_t>(std::min(65534.0, (l.clock - l.heardAt[m]) * 1000.0));
    }
    // The host's delay for two seconds after its choice (every machine has it by then).
    p.delayStep = l.me == 0 && l.next < l.delayStep + 2 * stepsPerSecond ? l.delayStep : noStep;
    p.delay = static_cast<uint8_t>(l.nextDelay);
    // From the first step some machine taking part lacks of a vehicle this one
    // holds. All talk goes through the host: the others send to it alone.
    uint32_t from = noStep;
    for (int32_t m = 0; m < maxMachines; ++m) {
        const bool listens = m != l.me && l.present[m] && (l.me == 0 || m == 0);
        for (int32_t v = 0; v < vehicleCount && listens; ++v) {
            if (l.seats[v] != noMachine && l.theirs[m][v] < l.firstUnknown[v]) {
                from = std::min(from, l.theirs[m][v]); // taken steps stay half a ring for those behind
            }
        }
    }
    from = from != noStep && from + lockstepRing / 2 < l.next ? l.next - lockstepRing / 2 : from;
    // Up to the last step it holds every control of some vehicle up to.
    uint32_t end = l.next;
    for (int32_t v = 0; v < vehicleCount; ++v) {
        end = l.seats[v] != noMachine ? std::max(end, l.firstUnknown[v]) : end;
    }
    for (uint32_t step = from; from != noStep && step < end && p.count < maxPacketSteps; ++step) {
        const uint32_t slot = step % lockstepRing;
        p.controls[p.count] = holds(l, step) ? l.controls[slot] : 0;
        p.known[p.count++] = holds(l, step) ? l.known[slot] : 0;
    }
    p.firstStep = from == noStep ? l.next : from;
    return p;
}

void receivePacket(Lockstep& l, const LockstepPacket& p) {
    if (p.machine < 0 || p.machine >= maxMachines || p.machine == l.me || !l.present[p.machine]) {
        return; // no machine of this race
    }
    l.silent[p.machine] = 0;
    // The round trip: now, less the stamp it echoes and the time it held it;
    // measured on the newest packet only (one overtaken on the way says how
    // the line was, not how it is), whose stamp is the one to echo.
    const int32_t m = p.machine;
    const bool newest = l.heardAt[m] < 0 || static_cast<int16_t>(static_cast<uint16_t>(p.stamp - l.heardStamp[m])) > 0;
    if (newest && p.held[l.me] != notHeard) {
        const uint16_t trip = static_cast<uint16_t>(millisecondsOf(l.clock) - p.echo[l.me] - p.held[l.me]);
        if (trip < 30000) { // anything longer is a stamp of another race
            // Smoothed, and the jitter from one trip to the next (so that a
            // line that changes is followed, not taken for a jittery one).
            const double sample = trip / 1000.0;
            const bool first = l.roundTrip[m] <= 0;
            l.jitter[m] = first ? 0 : l.jitter[m] + (std::fabs(sample - l.lastTrip[m]) - l.jitter[m]) / 8;
            l.roundTrip[m] = first ? std::max(sample, 1e-3) : std::max(1e-3, 0.875 * l.roundTrip[m] + 0.125 * sample);
            l.lastTrip[m] = sample;
        }
    }
    if (newest) {
        l.heardStamp[m] = p.stamp;
        l.heardAt[m] = l.clock;
    }
    if (m == 0 && p.delayStep != noStep && p.delayStep > l.delayStep && p.delay >= 1 && p.delay <= maxDelay) {
        l.nextDelay = p.delay; // the host's word, from its step on
        l.delayStep = p.delayStep;
        applyDelay(l);
    }
    for (int32_t v = 0; v < vehicleCount; ++v) {
        l.theirs[p.machine][v] = std::max(l.theirs[p.machine][v], p.firstUnknown[v]);
        if (p.machine == 0 && p.dropStep[v] != noStep && l.dropStep[v] == noStep && l.seats[v] != noMachine) {
            l.dropStep[v] = p.dropStep[v]; // the host's word
            l.present[l.seats[v]] = false;
        }
    }
    for (uint32_t s = 0; s < p.count; ++s) {
        for (int32_t v = 0; v < vehicleCount; ++v) {
            if ((p.known[s] >> v & 1u) != 0 && l.seats[v] != noMachine) {
                store(l, p.firstStep + s, v, p.controls[s]);
            }
        }
    }
    if (p.machine == 0 && p.resyncStep != noStep && (l.resyncStep == noStep || p.resyncStep > l.resyncStep) &&
        p.resyncStep >= l.next) {
        l.resyncStep = p.resyncStep; // stop there for the host's world
    }
    const bool settled = l.resyncedTo == noStep || p.hashStep > l.resyncedTo;
    for (int i = 0; i < 8 && p.hashStep != noStep && settled; ++i) {
        if (l.hashSteps[i] == p.hashStep && l.hashes[i] != p.hash) {
            l.disagreeStep = std::min(l.disagreeStep, p.hashStep);
        }
    }
}

void tickLockstep(Lockstep& l, double seconds) {
    l.clock += seconds;
    for (int32_t m = 0; m < maxMachines; ++m) {
        l.silent[m] = m == l.me ? 0 : l.silent[m] + seconds;
        if (l.me != 0 || m == 0 || !l.present[m] || l.silent[m] < silentSeconds) {
            continue;
        }
        // The host drops a silent machine: its vehicles are the computer's from
        // the first step that no machine still talking holds its controls for.
        l.present[m] = false;
        for (int32_t v = 0; v < vehicleCount; ++v) {
            if (l.seats[v] != m || l.dropStep[v] != noStep) {
                continue;
            }
            uint32_t from = l.firstUnknown[v];
            for (int32_t other = 0; other < maxMachines; ++other) {
                from = other != l.me && l.present[other] ? std::max(from, l.theirs[other][v]) : from;
            }
            l.dropStep[v] = from;
        }
    }
}
