// lockstep.cpp -- the controls of every step gathered from every machine.
#include "net/lockstep.h"

#include <algorithm>
#include <cstring>

#include "common/little_endian.h"

#include "replay/replay.h"
#include "sim/world.h"

namespace {

constexpr char magic[4] = {'M', 'L', 'N', '1'};

bool needed(const Lockstep& l, int32_t vehicle, uint32_t step) {
    return l.seats[vehicle] != noMachine && step < l.dropStep[vehicle];
}

// Whether the ring holds this step's place.
bool holds(const Lockstep& l, uint32_t step) { return l.slotStep[step % lockstepRing] == step; }

void store(Lockstep& l, uint32_t step, int32_t vehicle, uint16_t packed) {
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
    const uint16_t mask = static_cast<uint16_t>(31u << (5 * vehicle));
    uint16_t& held = l.controls[step % lockstepRing];
    held = static_cast<uint16_t>((held & ~mask) | (packed & mask));
    known = static_cast<uint8_t>(known | 1u << vehicle);
    // Every step before the first unknown one is here.
    uint32_t& first = l.firstUnknown[vehicle];
    while (first < l.next + lockstepRing / 2 &&
           (first < l.next || (holds(l, first) && (l.known[first % lockstepRing] >> vehicle & 1u) != 0))) {
        first = first < l.next ? l.next : first + 1;
    }
}



} // namespace

std::string encodePacket(const LockstepPacket& p) {
    std::string out(magic, magic + 4);
    putLittle(out, static_cast<uint32_t>(p.machine), 4);
    putLittle(out, p.firstStep, 4);
    putLittle(out, p.count, 1);
    for (int v = 0; v < vehicleCount; ++v) {
        putLittle(out, p.firstUnknown[v], 4);
    }
    for (int v = 0; v < vehicleCount; ++v) {
        putLittle(out, p.dropStep[v], 4);
    }
    putLittle(out, p.hashStep, 4);
    putLittle(out, p.hash, 4);
    for (uint32_t s = 0; s < p.count && s < maxPacketSteps; ++s) {
        putLittle(out, p.controls[s], 2);
        putLittle(out, p.known[s], 1);
    }
    return out;
}

bool decodePacket(const uint8_t* bytes, size_t size, LockstepPacket& p) {
    if (size < lockstepPacketMinimum || std::memcmp(bytes, magic, 4) != 0) {
        return false;
    }
    const uint32_t machine = static_cast<uint32_t>(getLittle(bytes + 4, 4)), count = bytes[12];
    if (machine >= static_cast<uint32_t>(maxMachines) || count > maxPacketSteps ||
        size != lockstepPacketMinimum + 3 * size_t{count}) {
        return false;
    }
    const uint32_t first = static_cast<uint32_t>(getLittle(bytes + 8, 4));
    if (count > 0 && first > noStep - count) {
        return false; // steps past the end of time
    }
    LockstepPacket read{};
    read.machine = static_cast<int32_t>(machine);
    read.firstStep = first;
    read.count = count;
    for (int v = 0; v < vehicleCount; ++v) {
        read.firstUnknown[v] = static_cast<uint32_t>(getLittle(bytes + 13 + 4 * v, 4));
        read.dropStep[v] = static_cast<uint32_t>(getLittle(bytes + 25 + 4 * v, 4));
    }
    read.hashStep = static_cast<uint32_t>(getLittle(bytes + 37, 4));
    read.hash = static_cast<uint32_t>(getLittle(bytes + 41, 4));
    for (uint32_t s = 0; s < count; ++s) {
        read.controls[s] = static_cast<uint16_t>(static_cast<uint32_t>(getLittle(bytes + lockstepPacketMinimum + 3 * s, 2)));
        read.known[s] = bytes[lockstepPacketMinimum + 3 * s + 2];
        if ((read.controls[s] & 0x8000u) != 0 || read.known[s] > 7) {
            return false; // no such control, no such vehicle
        }
    }
    p = read;
    return true;
}

void startLockstep(Lockstep& l, int32_t me, const int32_t (&seats)[vehicleCount], uint32_t delay) {
    std::memset(&l, 0, sizeof l);
    l.me = me;
    std::copy(seats, seats + vehicleCount, l.seats);
    l.delay = std::min(delay, lockstepRing / 4);
    std::fill(std::begin(l.dropStep), std::end(l.dropStep), noStep);
    std::fill(std::begin(l.hashSteps), std::end(l.hashSteps), noStep);
    std::fill(std::begin(l.slotStep), std::end(l.slotStep), noStep);
    l.disagreeStep = noStep;
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
    const uint16_t packed = packControls(controls);
    for (int32_t v = 0; v < vehicleCount; ++v) {
        if (l.seats[v] == l.me) {
            store(l, l.localNext, v, packed);
        }
    }
    ++l.localNext;
}

bool readyToStep(const Lockstep& l) {
    for (int32_t v = 0; v < vehicleCount; ++v) {
        if (needed(l, v, l.next) && (!holds(l, l.next) || (l.known[l.next % lockstepRing] >> v & 1u) == 0)) {
            return false;
        }
    }
    return true;
}

void takeStep(Lockstep& l, VehicleControls (&controls)[vehicleCount], bool (&computer)[vehicleCount]) {
    const uint32_t slot = l.next % lockstepRing;
    uint16_t packed = 0;
    for (int32_t v = 0; v < vehicleCount; ++v) {
        computer[v] = !needed(l, v, l.next);
        packed = static_cast<uint16_t>(packed | (computer[v] ? 0u : l.controls[slot] & 31u << (5 * v)));
    }
    unpackControls(packed, controls);
    ++l.next;
    for (uint32_t& first : l.firstUnknown) {
        first = std::max(first, l.next);
    }
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
    p.hashStep = l.hashSteps[0];
    p.hash = l.hashes[0];
    // From the first step some machine taking part lacks of a vehicle this one holds.
    uint32_t from = noStep;
    for (int32_t m = 0; m < maxMachines; ++m) {
        for (int32_t v = 0; v < vehicleCount && m != l.me && l.present[m]; ++v) {
            if (l.seats[v] != noMachine && l.theirs[m][v] < l.firstUnknown[v]) {
                from = std::min(from, l.theirs[m][v]); // taken steps stay half a ring for those behind
            }
        }
    }
    from = from != noStep && from + lockstepRing / 2 < l.next ? l.next - lockstepRing / 2 : from;
    for (uint32_t step = from; from != noStep && step < l.next + lockstepRing / 2 && p.count < maxPacketSteps; ++step) {
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
    for (int i = 0; i < 8 && p.hashStep != noStep; ++i) {
        if (l.hashSteps[i] == p.hashStep && l.hashes[i] != p.hash) {
            l.disagreeStep = std::min(l.disagreeStep, p.hashStep);
        }
    }
}

void tickLockstep(Lockstep& l, double seconds) {
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

uint32_t worldHash(const World& world) {
    uint32_t hash = 2166136261u;
    const auto mix = [&hash](const void* bytes, size_t size) {
        for (size_t i = 0; i < size; ++i) {
            hash = (hash ^ static_cast<const uint8_t*>(bytes)[i]) * 16777619u;
        }
    };
    for (const Vehicle& vehicle : world.vehicles) {
        VehicleSnapshot snapshot;
        takeSnapshot(vehicle, snapshot);
        mix(&snapshot, sizeof snapshot);
    }
    for (const RaceEntry& entry : world.race.entries) {
        mix(&entry.gatesPassed, sizeof entry.gatesPassed);
        mix(&entry.lastCrossing, sizeof entry.lastCrossing);
    }
    mix(&world.race.clock, sizeof world.race.clock);
    return hash;
}
