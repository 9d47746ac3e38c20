// lan_messages.cpp -- the LAN race's messages as bytes, little-endian. One
// list of each message's fields serves both ways: written by a Writer, read by
// a Reader that refuses a short message, a long one and any number that is
// not finite, after which the limits are checked.
#include "net/lan_messages.h"
#include "common/game_limits.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "common/bytes.h"
#include "sim/world.h"

namespace {

constexpr char magics[][5] = {"", "MLQ1", "MLH1", "MLJ2", "MLW2", "MLR1", "MLB1", "MLK1", "MLN3", "MLL1", "MLF1", "MLD1"};
constexpr uint8_t noSeat = 0xFF;

struct Writer {
    std::string out;
    void bytes(uint64_t& value, int size) { putLittle(out, value, size); }
    template <class T> void whole(T& value, int size) {
        uint64_t wide = static_cast<uint64_t>(value);
        bytes(wide, size);
    }
    void real(float& value) {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        putLittle(out, bits, 4);
    }
    void real(double& value) {
        uint64_t bits;
        std::memcpy(&bits, &value, 8);
        putLittle(out, bits, 8);
    }
    void flag(bool& value) { out += static_cast<char>(value ? 1 : 0); }
    void text(char* chars, size_t capacity) { out.append(chars, capacity); }
};

struct Reader {
    const uint8_t* at;
    size_t left;
    bool ok = true;
    uint64_t take(int size) {
        if (!ok || left < static_cast<size_t>(size)) {
            ok = false;
            return 0;
        }
        const uint64_t value = getLittle(at, size);
        at += size;
        left -= static_cast<size_t>(size);
        return value;
    }
    template <class T> void whole(T& value, int size) {
        const uint64_t wide = take(size);
        // Signed fields come sign-extended from their bytes.
        if (static_cast<T>(-1) < static_cast<T>(0) && size < 8 && (wide >> (8 * size - 1) & 1u) != 0) {
            value = static_cast<T>(static_cast<int64_t>(wide | ~uint64_t{0} << (8 * size)));
        } else {
            value = static_cast<T>(wide);
        }
    }
    void real(float& value) {
        const uint32_t bits = static_cast<uint32_t>(take(4));
        std::memcpy(&value, &bits, 4);
        ok = ok && std::isfinite(value);
    }
    void real(double& value) {
        const uint64_t bits = take(8);
        std::memcpy(&value, &bits, 8);
        ok = ok && std::isfinite(value);
    }
    void flag(bool& value) {
        const uint64_t byte = take(1);
        ok = ok && byte <= 1;
        value = byte == 1;
    }
    // A fixed field of printable characters, then nothing but zeros.
    void text(char* chars, size_t capacity) {
        if (!ok || left < capacity) {
            ok = false;
            return;
        }
        std::memcpy(chars, at, capacity);
        const size_t length = strnlen(chars, capacity);
        ok = length < capacity && std::all_of(chars, chars + length, [](char c) { return c >= 0x20 && c < 0x7F; }) &&
             std::all_of(chars + length, chars + capacity, [](char c) { return c == 0; });
        at += capacity;
        left -= capacity;
    }
};

template <class Io> void seatsOf(Io& io, int32_t (&seats)[vehicleCount]) {
    for (int32_t& seat : seats) {
        uint8_t byte = seat == noMachine ? noSeat : static_cast<uint8_t>(seat);
        io.whole(byte, 1);
        seat = byte == noSeat ? noMachine : byte;
    }
}

template <class Io> void raceOf(Io& io, LanRace& race) {
    io.whole(race.track, 1);
    io.whole(race.laps, 1);
    io.whole(race.skill, 1);
    io.whole(race.delay, 1);
    seatsOf(io, race.seats);
    io.flag(race.idleComputer);
    io.flag(race.vehicleContact);
    io.flag(race.solidTrees);
    io.whole(race.hashes.heights, 4);
    io.whole(race.hashes.growth, 4);
    io.whole(race.hashes.gates, 4);
    io.whole(race.hashes.pictures, 4);
    io.whole(race.hashes.wheels, 4);
}

template <class Io> void vehicleOf(Io& io, VehicleSnapshot& v) {
    io.whole(v.frontSmokeTimer, 4);
    io.whole(v.rearSmokeTimer, 4);
    float* reals[] = {&v.position[0], &v.position[1], &v.position[2], &v.heading, &v.course, &v.steerAngle,
                      &v.yawRate, &v.speed, &v.driveSpeed, &v.rearWheelSpeed, &v.climb};
    for (float* real : reals) {
        io.real(*real);
    }
    for (int w = 0; w < 4; ++w) {
        io.real(v.wheelSpin[w]);
        io.real(v.wheelHeight[w]);
        io.real(v.wheelVerticalSpeed[w]);
    }
    io.whole(v.rescueHold, 1);
    io.whole(v.rescueHeld, 1);
}

template <class Io> void snapshotOf(Io& io, LanSnapshot& s) {
    io.whole(s.step, 4);
    for (VehicleSnapshot& vehicle : s.vehicles) {
        vehicleOf(io, vehicle);
    }
    Race& race = s.race;
    io.whole(race.phase, 1);
    io.whole(race.laps, 1);
    io.real(race.countdown);
    io.real(race.clock);
    io.real(race.firstFinish);
    for (int v = 0; v < vehicleCount; ++v) {
        RaceEntry& entry = race.entries[v];
        io.whole(entry.gatesPassed, 4);
        io.real(entry.lastCrossing);
        io.real(entry.lapStart);
        io.real(entry.lastLap);
        io.real(entry.bestLap);
        io.flag(entry.finished);
        io.real(entry.finishTime);
        io.real(entry.centre[0]);
        io.real(entry.centre[1]);
        io.whole(entry.vehicleContacts, 4);
        io.whole(entry.treeContacts, 4);
        io.whole(entry.rescues, 4);
        io.whole(race.places[v], 1);
        io.flag(race.computer[v]);
        io.flag(race.offCourse[v]);
        ComputerDriver& driver = s.drivers[v];
        io.flag(driver.seen);
        io.real(driver.lastCentre[0]);
        io.real(driver.lastCentre[1]);
        io.real(driver.lastHeading);
        io.whole(driver.gate, 1);
        io.real(driver.closest);
        io.real(driver.sinceCloser);
        io.real(driver.backingOff);
        io.real(driver.nearestYet);
        io.real(driver.sinceProgress);
        io.whole(s.trunk[v], 2);
        io.whole(s.trunkApart[v], 1);
    }
    io.flag(race.endless);
    for (int32_t& apart : s.pairApart) {
        io.whole(apart, 1);
    }
}

// What a packet carries beside its controls: an echo for each machine the
// sender has heard, and the host's words and the world's hash only while they
// are news. A reader finds the bits in the byte and the parts after it.
enum PacketPart : uint8_t {
    echoOf0 = 1, // echoOf0 << m: machine m's stamp echoed
    hashPart = 1 << maxMachines,
    resyncPart = hashPart << 1,
    dropPart = hashPart << 2,
    delayPart = hashPart << 3,
};

uint8_t partsOf(const LockstepPacket& p) {
    uint8_t parts = 0;
    for (int32_t m = 0; m < maxMachines; ++m) {
        parts |= p.held[m] != notHeard ? static_cast<uint8_t>(echoOf0 << m) : 0;
    }
    const bool drops = std::any_of(p.dropStep, p.dropStep + vehicleCount, [](uint32_t s) { return s != noStep; });
    return static_cast<uint8_t>(parts | (p.hashStep != noStep ? hashPart : 0) | (p.resyncStep != noStep ? resyncPart : 0) |
                                (drops ? dropPart : 0) | (p.delayStep != noStep ? delayPart : 0));
}

// Steps alike from this one on (the controls and which of them are carried).
uint32_t runFrom(const LockstepPacket& p, uint32_t step) {
    uint32_t end = step;
    while (end < p.count && end < maxPacketSteps && end - step < 255 && p.controls[end] == p.controls[step] &&
           p.known[end] == p.known[step]) {
        ++end;
    }
    return end - step;
}

template <class Io> void packetOf(Io& io, LockstepPacket& p) {
    io.whole(p.machine, 1);
    io.whole(p.round, 1);
    uint8_t parts = partsOf(p); // as written; a reader reads it over
    io.whole(parts, 1);
    io.whole(p.firstStep, 4);
    io.whole(p.count, 1);
    for (uint32_t& first : p.firstUnknown) {
        io.whole(first, 4);
    }
    io.whole(p.stamp, 2);
    // A part there is read or written; one not there is as none.
    const auto part = [&io, parts](int bit, auto& field, int size, auto none) {
        if ((parts & bit) != 0) {
            io.whole(field, size);
        } else {
            field = none;
        }
    };
    for (int32_t m = 0; m < maxMachines; ++m) {
        part(echoOf0 << m, p.echo[m], 2, uint16_t{0});
        part(echoOf0 << m, p.held[m], 2, notHeard);
    }
    part(hashPart, p.hashStep, 4, noStep);
    part(hashPart, p.hash, 4, 0u);
    part(resyncPart, p.resyncStep, 4, noStep);
    for (uint32_t& drop : p.dropStep) {
        part(dropPart, drop, 4, noStep);
    }
    part(delayPart, p.delayStep, 4, noStep);
    part(delayPart, p.delay, 1, uint8_t{0});
    // The steps in runs of alike ones: a key held is one run however long.
    uint8_t runs = 0;
    for (uint32_t step = 0; step < p.count && step < maxPacketSteps; step += runFrom(p, step)) {
        ++runs;
    }
    io.whole(runs, 1);
    uint32_t step = 0;
    bool written = true; // as this game writes it: one way only to write each packet
    for (uint8_t r = 0; r < runs; ++r) {
        uint32_t controls = step < maxPacketSteps ? p.controls[step] : 0;
        uint8_t known = step < maxPacketSteps ? p.known[step] : 0;
        uint8_t length = static_cast<uint8_t>(step < maxPacketSteps ? runFrom(p, step) : 0);
        io.whole(controls, 3);
        io.whole(known, 1);
        io.whole(length, 1);
        // A run of nothing, or one alike the run before it, is no packet of ours.
        written = written && length > 0 && (step == 0 || step > maxPacketSteps ||
                                              controls != p.controls[step - 1] || known != p.known[step - 1]);
        written = written && step + length <= maxPacketSteps;
        for (uint32_t i = 0; i < length; ++i, ++step) {
            if (step < maxPacketSteps) {
                p.controls[step] = controls;
                p.known[step] = known;
            }
        }
    }
    // Each part there only when it says something.
    written = written && partsOf(p) == parts;
    if (step != p.count || !written) {
        p.count = maxPacketSteps + 1; // refused
    }
}

// The fields as they would be written, hashed as they go.
struct Hasher {
    uint32_t hash = fnvBasis;
    template <class T> void whole(T& value, int size) {
        uint8_t bytes[8];
        for (int i = 0; i < size; ++i) {
            bytes[i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i) & 0xFF);
        }
        hash = fnvHash(hash, bytes, static_cast<size_t>(size));
    }
    template <class Real> void real(Real& value) {
        hash = fnvHash(hash, &value, sizeof value); // the bits themselves: -0 is not 0
    }
    template <class T, size_t n> void reals(T (&values)[n]) {
        for (T& value : values) {
            real(value);
        }
    }
    void real(bool& value) { whole(value, 1); }
    void flag(bool& value) { whole(value, 1); }
};

// What a snapshot leaves to be worked out again from the ground, and what no
// step changes but every step reads.
void restOfVehicle(Hasher& h, Vehicle& v) {
    bool* controls[] = {&v.controls.accelerate, &v.controls.reverse, &v.controls.left,
                        &v.controls.right,      &v.controls.brake,   &v.controls.rescue};
    for (bool* control : controls) {
        h.flag(*control);
    }
    h.flag(v.ownMath);
    h.reals(v.layout.wheelX);
    h.reals(v.layout.wheelZ);
    float* reals[] = {&v.layout.wheelWidth, &v.layout.wheelRadius, &v.pitch, &v.roll, &v.topSpeed,
                      &v.topReverseSpeed, &v.maxSteer, &v.acceleration, &v.brakeDeceleration, &v.steerRate,
                      &v.rollingDrag, &v.grip, &v.mass};
    for (float* real : reals) {
        h.real(*real);
    }
    h.reals(v.wheelSteer);
    for (float(&contact)[3] : v.wheelContact) {
        h.reals(contact);
    }
    h.flag(v.rearOnGround);
    h.flag(v.frontOnGround);
}

// Every field of a message of this kind, in order.
template <class Io> void fieldsOf(Io& io, LanMessage& m) {
    switch (m.kind) {
    case LanKind::query:
        io.text(m.version, versionCapacity);
        io.whole(m.simulation, 2);
        io.whole(m.seatsWanted, 1);
        break;
    case LanKind::join:
        io.text(m.version, versionCapacity);
        io.whole(m.simulation, 2);
        io.whole(m.seatsWanted, 1);
        for (char& letter : m.code) { // four letters, no end mark
            io.whole(letter, 1);
        }
        break;
    case LanKind::hostHere:
        io.text(m.version, versionCapacity);
        io.whole(m.simulation, 2);
        io.whole(m.machines, 1);
        raceOf(io, m.race);
        break;
    case LanKind::welcome:
        io.whole(m.machine, 1);
        io.whole(m.round, 1);
        io.whole(m.leader, 1);
        raceOf(io, m.race);
        break;
    case LanKind::refuse:
        io.text(m.text, sizeof m.text);
        break;
    case LanKind::leave:
        io.whole(m.machine, 1);
        break;
    case LanKind::snapshot:
        snapshotOf(io, m.snapshot);
        break;
    case LanKind::lockstep:
        packetOf(io, m.packet);
        break;
    case LanKind::lead:
        io.whole(m.action, 1);
        io.whole(m.value, 1);
        break;
    case LanKind::fetch:
        io.whole(m.value, 1);
        io.whole(m.file, 1);
        io.whole(m.chunk, 4);
        io.whole(m.chunks, 1);
        break;
    case LanKind::fileData:
        io.whole(m.value, 1);
        io.whole(m.file, 1);
        io.whole(m.targa, 1);
        io.whole(m.fileSize, 4);
        io.whole(m.chunk, 4);
        io.whole(m.length, 2);
        for (size_t i = 0; i < m.length && i < chunkBytes; ++i) {
            io.whole(m.data[i], 1);
        }
        break;
    case LanKind::none:
        break;
    }
}

bool validRace(const LanRace& r) {
    return r.track >= minTrackNumber && r.track <= maxTrackNumber && r.laps >= minLaps && r.laps <= maxLaps &&
           r.skill >= minSkill && r.skill <= maxSkill &&
           r.delay >= 1 && r.delay <= 30 &&
           std::all_of(r.seats, r.seats + vehicleCount, [](int32_t s) { return s >= noMachine && s < maxMachines; });
}

bool validLanSnapshot(const LanSnapshot& s) {
    const Race& race = s.race;
    bool placed[vehicleCount] = {};
    for (int v = 0; v < vehicleCount; ++v) {
        const int32_t place = race.places[v];
        const RaceEntry& entry = race.entries[v];
        const bool counts = entry.vehicleContacts >= 0 && entry.treeContacts >= 0 && entry.rescues >= 0;
        const bool trunk = (s.trunk[v] == -1 || (s.trunk[v] >= 0 && s.trunk[v] < growthCells * growthCells)) &&
                           s.trunkApart[v] >= 0 && s.trunkApart[v] <= contactOver;
        if (!validSnapshot(s.vehicles[v]) || !counts || !trunk || place < 0 || place >= vehicleCount || placed[place] ||
            entry.gatesPassed < 0 || entry.gatesPassed > (1 << 24) || s.drivers[v].gate < 0 ||
            s.drivers[v].gate >= maxGates) {
            return false;
        }
        placed[place] = true;
    }
    return static_cast<int32_t>(race.phase) >= 0 && race.phase <= RacePhase::results && race.laps >= minLaps &&
           race.laps <= maxLaps &&
           std::all_of(s.pairApart, s.pairApart + vehiclePairs, [](int32_t a) { return a >= 0 && a <= contactOver; });
}

bool validPacket(const LockstepPacket& p) {
    if (p.machine < 0 || p.machine >= maxMachines || p.count > maxPacketSteps ||
        (p.count > 0 && p.firstStep > noStep - p.count) || (p.delayStep != noStep && (p.delay < 1 || p.delay > maxDelay))) {
        return false; // no such machine, steps past the end of time, or no delay a race can have
    }
    for (uint32_t s = 0; s < p.count; ++s) {
        if ((p.controls[s] & ~packedControlsMask) != 0 || p.known[s] > 7) {
            return false; // no such control, no such vehicle
        }
    }
    return true;
}

} // namespace

std::string encodeLanMessage(const LanMessage& message) {
    Writer writer;
    writer.out.assign(magics[static_cast<int>(message.kind)], 4);
    LanMessage copy = message;
    fieldsOf(writer, copy);
    return writer.out;
}

LanKind decodeLanMessage(const uint8_t* bytes, size_t size, LanMessage& message) {
    if (size < 4 || size > lanMessageCapacity) {
        return LanKind::none;
    }
    LanKind kind = LanKind::none;
    for (int k = 1; k <= static_cast<int>(LanKind::fileData); ++k) {
        kind = std::memcmp(bytes, magics[k], 4) == 0 ? static_cast<LanKind>(k) : kind;
    }
    LanMessage read{};
    read.kind = kind;
    Reader reader{bytes + 4, size - 4};
    fieldsOf(reader, read);
    bool valid = kind != LanKind::none && reader.ok && reader.left == 0;
    valid = valid && (kind != LanKind::join || (read.seatsWanted >= 1 && read.seatsWanted <= 2));
    // A code of four capitals, or none at all.
    const bool anyCode = raceCodeGiven(read.code);
    valid = valid && (!anyCode || std::all_of(read.code, read.code + raceCodeLength, [](char c) { return c >= 'A' && c <= 'Z'; }));
    valid = valid && (kind != LanKind::welcome || (read.machine < maxMachines && validRace(read.race) &&
                                                   (read.leader < maxMachines || read.leader == noLeader)));
    valid = valid && (kind != LanKind::lead || (read.action == LeadAction::start && read.value >= minLaps && read.value <= maxLaps) ||
                      ((read.action == LeadAction::nextTrack || read.action == LeadAction::track) && read.value >= minTrackNumber && read.value <= maxTrackNumber));
    valid = valid && (kind != LanKind::hostHere || (read.machines <= maxMachines && validRace(read.race)));
    valid = valid && (kind != LanKind::leave || read.machine < maxMachines);
    const bool trackNumber = read.value >= minTrackNumber && read.value <= maxTrackNumber;
    valid = valid && (kind != LanKind::fetch || (trackNumber && read.file < trackFileCount && read.chunks >= 1 &&
                                                 read.chunks <= maxFetchChunks && read.chunk < maxPassedFile / chunkBytes));
    // A chunk of a file within the bound, as long as the file has left from
    // it; a picture's kind only on a picture.
    const uint64_t from = uint64_t{read.chunk} * chunkBytes;
    valid = valid && (kind != LanKind::fileData ||
                      (trackNumber && read.file < trackFileCount && read.fileSize <= maxPassedFile && from < read.fileSize &&
                       read.length == std::min<uint64_t>(chunkBytes, read.fileSize - from) &&
                       (read.targa == 0 || (read.targa == 1 && read.file >= groundFile))));
    valid = valid && (kind != LanKind::snapshot || validLanSnapshot(read.snapshot));
    valid = valid && (kind != LanKind::lockstep || validPacket(read.packet));
    if (!valid) {
        return LanKind::none;
    }
    message = read;
    return kind;
}

void takeLanSnapshot(const World& world, uint32_t step, LanSnapshot& snapshot) {
    snapshot.step = step;
    for (int v = 0; v < vehicleCount; ++v) {
        takeSnapshot(world.vehicles[v], snapshot.vehicles[v]);
        snapshot.drivers[v] = world.drivers[v];
        snapshot.trunk[v] = world.contact.trunk[v];
        snapshot.trunkApart[v] = world.contact.trunkApart[v];
    }
    std::copy(world.contact.pairApart, world.contact.pairApart + vehiclePairs, snapshot.pairApart);
    snapshot.race = world.race;
}

void applyLanSnapshot(World& world, const LanSnapshot& snapshot) {
    for (int v = 0; v < vehicleCount; ++v) {
        restoreSnapshot(world.vehicles[v], world.ground, snapshot.vehicles[v]);
        world.drivers[v] = snapshot.drivers[v];
        // A gate this world's course does not have is its first.
        world.drivers[v].gate = world.drivers[v].gate < world.course.count ? world.drivers[v].gate : 0;
        world.contact.trunk[v] = snapshot.trunk[v];
        world.contact.trunkApart[v] = snapshot.trunkApart[v];
    }
    std::copy(snapshot.pairApart, snapshot.pairApart + vehiclePairs, world.contact.pairApart);
    world.race = snapshot.race;
}

uint32_t worldHash(const World& world, WorldParts parts) {
    const bool all = parts == WorldParts::all;
    Hasher h;
    LanSnapshot snapshot{};
    takeLanSnapshot(world, all ? world.steps : 0, snapshot);
    snapshotOf(h, snapshot);
    for (Vehicle vehicle : world.vehicles) {
        restOfVehicle(h, vehicle);
    }
    uint32_t simulation = world.simulation;
    int32_t track = world.track, skill = world.computerSkill;
    bool rules[] = {world.computersDrive, world.vehicleContact, world.solidTrees};
    h.whole(simulation, 4);
    h.whole(track, 4);
    h.whole(skill, 4);
    h.reals(rules);
    if (!all) {
        return h.hash;
    }
    ContactMemory contact = world.contact;
    h.whole(contact.knocks, 4);
    h.real(contact.knockSpeed);
    h.reals(contact.knockAt);
    for (SmokeParticle puff : world.smoke.particles) {
        float fields[] = {puff.x, puff.y, puff.z, puff.vx, puff.vy, puff.vz, puff.life};
        h.reals(fields);
    }
    return h.hash;
}

std::string encodePacket(const LockstepPacket& packet) {
    LanMessage message{};
    message.kind = LanKind::lockstep;
    message.packet = packet;
    return encodeLanMessage(message);
}

bool decodePacket(const uint8_t* bytes, size_t size, LockstepPacket& packet) {
    LanMessage message;
    if (decodeLanMessage(bytes, size, message) != LanKind::lockstep) {
        return false;
    }
    packet = message.packet;
    return true;
}

bool readRaceCode(const std::string& text, char (&code)[raceCodeLength]) {
    if (text.size() != raceCodeLength ||
        !std::all_of(text.begin(), text.end(), [](char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; })) {
        return false;
    }
    for (size_t i = 0; i < raceCodeLength; ++i) {
        code[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    }
    return true;
}

uint8_t nextRound(uint8_t round) { return static_cast<uint8_t>(round == 255 ? 1 : round + 1); }

bool roundAfter(uint8_t a, uint8_t b) {
    const int32_t ahead = (static_cast<int32_t>(a) - b + 255) % 255;
    return a != 0 && b != 0 ? ahead > 0 && ahead < 128 : a != 0 && b == 0;
}
