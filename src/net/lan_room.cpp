// lan_room.cpp -- the host's room and the lockstep's steps. The host is
// machine 0; the machines that join take the seats in turn, and the computer
// drives a seat nobody holds (on every machine alike: it is part of the
// world). All talk goes through the host.
#include "net/lan_room.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/files.h"
#include "platform/platform.h"
#include "terrain/track.h"

namespace {

constexpr double lobbyEvery = 0.25;     // the host's word to each machine in the lobby
constexpr double snapshotSeconds = 2;   // the host repeats its world this long
constexpr int32_t extraSteps = 2;       // a machine behind real time takes up to this many more a frame
constexpr double chunksPerSecond = 512; // track files a machine is sent: half a megabyte a second
constexpr double fetchQuiet = 1.5;      // a machine that asked for none this long is not fetching

// The largest track file hashed: a track's pictures are a few megabytes.
constexpr size_t maxTrackFile = 64u << 20;

// The file's bytes hashed on from hash; 0 where it cannot be read whole.
uint32_t fileHash(const char* path, uint32_t hash) {
    std::vector<uint8_t> bytes;
    return readWholeFile(path, maxTrackFile, bytes) == WholeFile::read ? fnvHash(hash, bytes.data(), bytes.size()) : 0;
}

int32_t seatsTaken(const LanSession& lan) {
    return static_cast<int32_t>(std::count_if(lan.race.seats, lan.race.seats + vehicleCount,
                                              [](int32_t s) { return s != noMachine; }));
}

LanMessage welcomeFor(const LanSession& lan, int32_t machine) {
    LanMessage m{};
    m.kind = LanKind::welcome;
    m.machine = static_cast<uint8_t>(machine);
    m.round = lan.round;
    m.leader = lan.server && lanLeader(lan) != noMachine ? static_cast<uint8_t>(lanLeader(lan)) : noLeader;
    m.race = lan.race;
    return m;
}

// A join's answer: the machine seated, or the reason it is not (counted).
int32_t seatJoiner(LanSession& lan, PlayLines& said, const LanAddress& from, const LanMessage& m, std::string& why) {
    int32_t free = noMachine;
    for (int32_t k = maxMachines - 1; k >= 1; --k) {
        free = lan.machines[k].in ? free : k;
    }
    if (std::strcmp(m.version, MUDLARK_VERSION) != 0 || m.simulation != simulationVersion) {
        char text[128];
        std::snprintf(text, sizeof text, "the host runs Mudlark %s (simulation %u), yours is %s (simulation %u)",
                      MUDLARK_VERSION, simulationVersion, m.version, static_cast<unsigned>(m.simulation));
        why = text;
        ++lan.refused.version;
    } else if (raceCodeGiven(lan.code) && std::memcmp(m.code, lan.code, raceCodeLength) != 0) {
        why = raceCodeGiven(m.code) ? "the race code is wrong" : "this race asks for its race code (--code, or the Join page)";
        ++lan.refused.code;
    } else if (free == noMachine || seatsTaken(lan) + m.seatsWanted > vehicleCount) {
        why = "the race is full";
        ++lan.refused.full;
    } else {
        lan.machines[free] = LanMachine{true, from, m.seatsWanted, 0, lan.round, chunksPerSecond, fetchQuiet};
        if (!lan.racing) {
            assignSeats(lan);
        }
        showPlayLine(said, addressText(from) + " joined", 4);
        return free;
    }
    return noMachine;
}

} // namespace

TrackHashes hashTrack(int32_t track, const WheelLayout& layout) {
    const TrackFiles files = trackFiles(track);
    return TrackHashes{fileHash(files.heights, fnvBasis), fileHash(files.growth, fnvBasis),
                       fileHash(files.gates, fnvBasis), fileHash(files.overlay, fileHash(files.ground, fnvBasis)),
                       fnvHash(fnvBasis, &layout, sizeof layout)};
}

std::string trackDifference(const TrackHashes& mine, const TrackHashes& host) {
    const char* names[] = {"heights", "growth", "gates", "pictures", "wheel layout"};
    const uint32_t a[] = {mine.heights, mine.growth, mine.gates, mine.pictures, mine.wheels};
    const uint32_t b[] = {host.heights, host.growth, host.gates, host.pictures, host.wheels};
    std::string which;
    for (int i = 0; i < 5; ++i) {
        if (a[i] != b[i]) {
            which += (which.empty() ? "" : ", ") + std::string(names[i]);
        }
    }
    return which;
}

std::string lanRaceTime(double seconds) {
    char text[16];
    formatRaceTime(std::max(0.0, seconds), text);
    return text;
}

void sendLan(LanSession& lan, const LanAddress& to, const LanMessage& message) {
    lan.link.send(to, encodeLanMessage(message));
}

NetSim netSimOf(const Settings& settings) {
    const uint32_t* n = settings.netSim;
    return NetSim{n[0], n[1], n[2], n[3]};
}

bool openLanLink(LanSession& lan, const Settings& settings, uint16_t port, std::string& why) {
    if (!lan.link.open(port, why)) {
        return false;
    }
    lan.link.simulate(netSimOf(settings), platformProcessId());
    return true;
}

std::string simulatedLine(const Settings& settings) {
    return netSimOn(netSimOf(settings)) ? "\nnetsim: what this machine sends goes through " + netSimText(netSimOf(settings))
                                        : "";
}

void endLan(LanSession& lan) {
    lan.link.close();
    preferDownloadedTrack(0); // the tracks are this machine's own again
    static_cast<LanState&>(lan) = LanState{}; // the port closed, all else as new
}

void leaveLanRace(LanSession& lan) {
    if (lan.role != LanRole::none) {
        LanMessage m{};
        m.kind = LanKind::leave;
        m.machine = static_cast<uint8_t>(std::max(0, lan.me));
        for (int32_t k = 0; k < maxMachines; ++k) {
            const bool to = lan.role == LanRole::joiner ? k == 0 : k > 0 && lan.machines[k].in;
            if (to) {
                sendLan(lan, lan.role == LanRole::joiner ? lan.host : lan.machines[k].address, m);
            }
        }
    }
    endLan(lan);
}

void openLanRoom(LanSession& lan, const World& world, const Settings& settings, int32_t seats) {
    lan.role = LanRole::host;
    lan.me = 0;
    lan.server = seats == 0;
    lan.joinBudget = joinsPerSecond;
    lan.machines[0] = LanMachine{true, LanAddress{}, seats, 0, 0, 0, fetchQuiet};
    setRaceFrom(lan, world, settings);
    assignSeats(lan);
}

void setRaceFrom(LanSession& lan, const World& world, const Settings& settings) {
    lan.race.track = world.track;
    lan.race.laps = static_cast<int32_t>(settings.laps);
    lan.race.skill = static_cast<int32_t>(settings.computerSkill);
    lan.race.delay = settings.netDelay;
    lan.race.idleComputer = settings.computerDrivers;
    lan.race.vehicleContact = settings.vehicleContact;
    lan.race.solidTrees = settings.solidTrees;
    lan.race.hashes = hashTrack(world.track, world.vehicles[0].layout);
}

void assignSeats(LanSession& lan) {
    std::fill(lan.race.seats, lan.race.seats + vehicleCount, noMachine);
    int32_t next = 0;
    for (int32_t m = 0; m < maxMachines; ++m) {
        for (int32_t s = 0; s < lan.machines[m].seatsWanted && lan.machines[m].in && next < vehicleCount; ++s) {
            lan.race.seats[next++] = m;
        }
    }
}

int32_t machinesIn(const LanSession& lan) {
    return static_cast<int32_t>(std::count_if(std::begin(lan.machines), std::end(lan.machines),
                                              [](const LanMachine& k) { return k.in; }));
}

int32_t fetchingMachine(const LanSession& lan) {
    for (int32_t k = 1; k < maxMachines; ++k) {
        if (lan.machines[k].in && lan.machines[k].sinceFetch < fetchQuiet) {
            return k;
        }
    }
    return noMachine;
}

int32_t lanLeader(const LanSession& lan) {
    for (int32_t k = 1; k < maxMachines; ++k) {
        if (lan.machines[k].in) {
            return k;
        }
    }
    return noMachine;
}

void hostHears(LanSession& lan, PlayLines& said, const LanAddress& from, const LanMessage& m) {
    int32_t machine = noMachine;
    for (int32_t k = 1; k < maxMachines; ++k) {
        machine = lan.machines[k].in && lan.machines[k].address == from ? k : machine;
    }
    if (machine != noMachine) {
        lan.machines[machine].silent = 0;
    }
    if (m.kind == LanKind::query) {
        LanMessage answer{};
        answer.kind = LanKind::hostHere;
        std::snprintf(answer.version, sizeof answer.version, "%s", MUDLARK_VERSION);
        answer.simulation = simulationVersion;
        answer.machines = static_cast<uint8_t>(machinesIn(lan));
        answer.race = lan.race;
        sendLan(lan, from, answer);
    } else if (m.kind == LanKind::join && machine != noMachine) {
        sendLan(lan, from, welcomeFor(lan, machine)); // asked again: the answer was lost
    } else if (m.kind == LanKind::join && lan.joinBudget < 1) {
        ++lan.refused.flood; // more joins in a second than any race has: let go
    } else if (m.kind == LanKind::join) {
        lan.joinBudget -= 1;
        std::string why;
        const int32_t seated = seatJoiner(lan, said, from, m, why);
        LanMessage refusal{};
        refusal.kind = LanKind::refuse;
        std::snprintf(refusal.text, sizeof refusal.text, "%s", why.c_str());
        sendLan(lan, from, seated != noMachine ? welcomeFor(lan, seated) : refusal);
    } else if (machine == noMachine) {
        ++lan.refused.strangers;
    } else if (m.kind == LanKind::leave) {
        lan.lockstep.silent[machine] = silentSeconds; // dropped at the next tick
        lan.machines[machine].silent = silentSeconds;
    } else if (m.kind == LanKind::lockstep && m.packet.machine == machine && lan.racing && m.packet.round == lan.round) {
        receivePacket(lan.lockstep, m.packet);
    } else if (m.kind == LanKind::fetch && m.value == lan.race.track && lan.machines[machine].chunkBudget >= m.chunks) {
        lan.machines[machine].chunkBudget -= m.chunks;
        lan.machines[machine].sinceFetch = 0;
        for (const LanMessage& data : answerFetch(lan.offer, m)) {
            sendLan(lan, from, data);
        }
    } else if (m.kind == LanKind::fetch) {
        ++lan.refused.fetches;
    } else if (m.kind == LanKind::lead && lan.server && machine == lanLeader(lan)) {
        lan.asked.start = lan.asked.start || m.action == LeadAction::start;
        lan.asked.laps = m.action == LeadAction::start ? m.value : lan.asked.laps;
        lan.asked.from = m.action == LeadAction::nextTrack ? m.value : lan.asked.from;
        lan.asked.track = m.action == LeadAction::track ? m.value : lan.asked.track;
    }
}

void hostTalks(LanSession& lan, const World& world, PlayLines& said, double seconds) {
    lan.sendIn -= seconds;
    for (int32_t k = 1; k < maxMachines; ++k) {
        LanMachine& machine = lan.machines[k];
        machine.silent += seconds;
        machine.chunkBudget = std::min(chunksPerSecond, machine.chunkBudget + chunksPerSecond * seconds);
        machine.sinceFetch += seconds;
        const bool dropped = lan.racing && machine.in && machine.since != lan.round && !lan.lockstep.present[k] &&
                             std::find(lan.lockstep.seats, lan.lockstep.seats + vehicleCount, k) !=
                                 lan.lockstep.seats + vehicleCount;
        if (machine.in && (dropped || machine.silent >= silentSeconds)) {
            machine.in = false;
            showPlayLine(said, addressText(machine.address) + " left the race", 4);
            if (!lan.racing) {
                assignSeats(lan);
            }
        }
        if (machine.in && lan.sendIn <= 0) {
            sendLan(lan, machine.address, welcomeFor(lan, k));
        }
    }
    lan.sendIn = lan.sendIn <= 0 ? lobbyEvery : lan.sendIn;
    lan.joinBudget = std::min(joinsPerSecond, lan.joinBudget + joinsPerSecond * seconds);
    if (lan.racing && planResync(lan.lockstep) != noStep) {
        showPlayLine(said, "the machines disagree at " + lanRaceTime(world.race.clock) + ": all take the host's world", 6);
        lan.saidResync = lan.lockstep.resyncStep;
    }
    lan.resendSeconds -= seconds;
    for (int32_t k = 1; k < maxMachines && lan.resendSeconds > 0; ++k) {
        if (lan.machines[k].in) {
            LanMessage m{};
            m.kind = LanKind::snapshot;
            m.snapshot = lan.sent;
            sendLan(lan, lan.machines[k].address, m);
        }
    }
}

void lanRaceComputers(const LanRace& race, bool (&computer)[vehicleCount]) {
    for (int32_t v = 0; v < vehicleCount; ++v) {
        computer[v] = race.seats[v] == noMachine || race.idleComputer;
    }
}

void startLanLockstep(LanSession& lan, const LanRace& race, uint8_t round) {
    startLockstep(lan.lockstep, lan.me, race.seats, race.delay);
    lan.round = round;
    lan.racing = true;
    lan.hasPending = false;
    lan.waited = 0;
    lan.saidResync = noStep;
}

namespace {

void sendControls(LanSession& lan) {
    LanMessage m{};
    m.kind = LanKind::lockstep;
    m.packet = makePacket(lan.lockstep);
    m.packet.round = lan.round;
    if (lan.role == LanRole::joiner) {
        sendLan(lan, lan.host, m);
        return;
    }
    for (int32_t k = 1; k < maxMachines; ++k) {
        if (lan.machines[k].in && lan.lockstep.present[k]) {
            sendLan(lan, lan.machines[k].address, m);
        }
    }
}

// At the step the host set every world at: its own taken and sent, the
// others' put in place.
void settleResync(LanSession& lan, World& world) {
    Lockstep& l = lan.lockstep;
    if (l.resyncStep == noStep || l.next != l.resyncStep || l.resyncedTo == l.resyncStep) {
        return;
    }
    if (lan.role == LanRole::host) {
        takeLanSnapshot(world, l.next, lan.sent);
        lan.resendSeconds = snapshotSeconds;
        noteResynced(l);
    } else if (lan.hasPending && lan.pending.step == l.next) {
        applyLanSnapshot(world, lan.pending);
        lan.hasPending = false;
        noteResynced(l);
    }
}

} // namespace

bool nextLanStep(LanSession& lan, World& world, PlayLines& said, int32_t owed, int32_t taken,
                 VehicleControls (&controls)[vehicleCount]) {
    Lockstep& l = lan.lockstep;
    settleResync(lan, world);
    // Never ahead of real time; beyond what the frame owes only to catch up
    // with it after a wait.
    const uint32_t now = lockstepClockStep(l);
    const bool behind = l.next + 1 < now, ahead = l.next > now + 1;
    if (ahead || taken >= owed + extraSteps || (taken >= owed && !behind) || !readyToStep(l)) {
        return false;
    }
    bool computer[vehicleCount];
    const uint32_t at = l.next;
    takeStep(l, controls, computer);
    for (int32_t v = 0; v < vehicleCount; ++v) {
        if (l.dropStep[v] == at) {
            world.race.computer[v] = true; // its machine was dropped: on every machine from this step
            showPlayLine(said, std::string(vehicleNames[v]) + "'s machine went silent: the computer drives " + vehicleNames[v] +
                    " from " + lanRaceTime(at / static_cast<double>(stepsPerSecond) - countdownSeconds), 6);
        }
    }
    return true;
}

void afterLanStep(LanSession& lan, World& world) {
    if (lan.lockstep.next % stepsPerSecond == 0) {
        noteHash(lan.lockstep, lan.lockstep.next, worldHash(world, WorldParts::shared));
    }
    settleResync(lan, world);
}

void endLanSteps(LanSession& lan, int32_t owed) {
    const bool waiting = owed > 0 && !readyToStep(lan.lockstep);
    lan.waited = waiting ? lan.waited + owed / static_cast<double>(stepsPerSecond) : 0;
    sendControls(lan);
}

uint64_t lanBytesSent(const LanSession& lan) { return lan.link.bytesSent(); }
