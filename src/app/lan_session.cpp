// lan_session.cpp -- hosting, joining, the lobby and the lockstep's steps.
// The host is machine 0 and drives blue; the machines that join take red and
// green in turn, and the computer drives a seat nobody holds (on every
// machine alike: it is part of the world). All talk goes through the host.
#include "app/lan_session.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/bindings.h"
#include "app/race_session.h"
#include "app/replay_session.h"
#include "app/view_mode.h"
#include "common/gl_api.h"
#include "core/files.h"
#include "core/play_lines.h"
#include "net/lan_messages.h"
#include "net/lockstep.h"
#include "platform/platform.h"
#include "platform/win_messages.h"
#include "render/font.h"
#include "scene/scene.h"
#include "terrain/track.h"

namespace {

constexpr double lobbyEvery = 0.25;     // the host's word to each machine in the lobby
constexpr double askEvery = 0.5;        // a joiner's request, until answered (then its keep-alive)
constexpr double answerSeconds = 10;    // a host that never answers is given up
constexpr double snapshotSeconds = 2;   // the host repeats its world this long
constexpr double waitShown = 0.25;      // waiting this long is said
constexpr double joinsPerSecond = 5;    // the most joins a host answers in a second
constexpr int32_t extraSteps = 2;       // a machine behind real time takes up to this many more a frame

// "1:02.35": a race time as the views show it.
std::string raceTime(double seconds) {
    char text[32];
    const double shown = std::max(0.0, seconds);
    std::snprintf(text, sizeof text, "%d:%05.2f", static_cast<int>(shown / 60), shown - 60 * static_cast<int>(shown / 60));
    return text;
}

// The largest track file hashed: a track's pictures are a few megabytes.
constexpr size_t maxTrackFile = 64u << 20;

// The file's bytes hashed on from hash; 0 where it cannot be read whole.
uint32_t fileHash(const char* path, uint32_t hash) {
    std::vector<uint8_t> bytes;
    return readWholeFile(path, maxTrackFile, bytes) == WholeFile::read ? fnvHash(hash, bytes.data(), bytes.size()) : 0;
}

// What the race's world is made of on this machine: the track's files and the
// wheels the model sets the vehicles on.
TrackHashes hashTrack(int32_t track, const WheelLayout& layout) {
    const TrackFiles files = trackFiles(track);
    return TrackHashes{fileHash(files.heights, fnvBasis), fileHash(files.growth, fnvBasis),
                       fileHash(files.gates, fnvBasis), fileHash(files.overlay, fileHash(files.ground, fnvBasis)),
                       fnvHash(fnvBasis, &layout, sizeof layout)};
}

// What differs from the host's, in the player's words; "" when nothing.
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

void send(LanSession& lan, const LanAddress& to, const LanMessage& message) { lan.link.send(to, encodeLanMessage(message)); }

// The host's seats: blue its own, then each machine's in the order they came.
void assignSeats(LanSession& lan) {
    std::fill(lan.race.seats, lan.race.seats + vehicleCount, noMachine);
    int32_t next = 0;
    for (int32_t m = 0; m < maxMachines; ++m) {
        for (int32_t s = 0; s < lan.machines[m].seatsWanted && lan.machines[m].in && next < vehicleCount; ++s) {
            lan.race.seats[next++] = m;
        }
    }
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
    m.race = lan.race;
    return m;
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

void end(LanSession& lan) {
    lan.link.close();
    static_cast<LanState&>(lan) = LanState{}; // the port closed, all else as new
}

// Every machine's race starts alike: the vehicles at rest, on the grid.
void startRound(LanSession& lan, RaceSession& raceSession, ViewState& view, World& world, const Settings& settings,
                PlayLines& said, const LanRace& race, uint8_t round) {
    if (world.track != race.track) {
        switchTrack(world, said, race.track, settings.textureFilter);
    }
    returnToStart(world);
    bool computer[vehicleCount];
    for (int32_t v = 0; v < vehicleCount; ++v) {
        computer[v] = race.seats[v] == noMachine || race.idleComputer;
    }
    startRaceOf(raceSession, world, said, race.laps, race.skill, computer, race.vehicleContact, race.solidTrees); // the host's rules
    startLockstep(lan.lockstep, lan.me, race.seats, race.delay);
    lan.round = round;
    lan.racing = true;
    lan.hasPending = false;
    lan.waited = 0;
    lan.saidResync = noStep;
    // Each machine follows the first vehicle it drives.
    const int32_t* mine = std::find(race.seats, race.seats + vehicleCount, lan.me);
    view.followedVehicle = mine != race.seats + vehicleCount ? static_cast<uint32_t>(mine - race.seats) : view.followedVehicle;
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
        answer.machines = static_cast<uint8_t>(std::count_if(std::begin(lan.machines), std::end(lan.machines),
                                                             [](const LanMachine& k) { return k.in; }));
        answer.race = lan.race;
        send(lan, from, answer);
    } else if (m.kind == LanKind::join && machine != noMachine) {
        send(lan, from, welcomeFor(lan, machine)); // asked again: the answer was lost
    } else if (m.kind == LanKind::join && lan.joinBudget >= 1) { // more joins in a second than any race has: let go
        lan.joinBudget -= 1;
        LanMessage answer{};
        answer.kind = LanKind::refuse;
        const bool coded = raceCodeGiven(lan.code), given = raceCodeGiven(m.code);
        int32_t free = noMachine;
        for (int32_t k = maxMachines - 1; k >= 1; --k) {
            free = lan.machines[k].in ? free : k;
        }
        if (std::strcmp(m.version, MUDLARK_VERSION) != 0 || m.simulation != simulationVersion) {
            std::snprintf(answer.text, sizeof answer.text, "the host runs Mudlark %s (simulation %u), yours is %s (simulation %u)",
                          MUDLARK_VERSION, simulationVersion, m.version, static_cast<unsigned>(m.simulation));
        } else if (coded && std::memcmp(m.code, lan.code, raceCodeLength) != 0) {
            std::snprintf(answer.text, sizeof answer.text, "%s",
                          given ? "the race code is wrong" : "this race asks for its race code (--code, or the Join page)");
        } else if (free == noMachine || seatsTaken(lan) + m.seatsWanted > vehicleCount) {
            std::snprintf(answer.text, sizeof answer.text, "%s", "the race is full");
        } else {
            lan.machines[free] = LanMachine{true, from, m.seatsWanted, 0, lan.round};
            if (!lan.racing) {
                assignSeats(lan);
            }
            showPlayLine(said, addressText(from) + " joined", 4);
            send(lan, from, welcomeFor(lan, free));
            return;
        }
        send(lan, from, answer);
    } else if (m.kind == LanKind::leave && machine != noMachine) {
        lan.lockstep.silent[machine] = silentSeconds; // dropped at the next tick
        lan.machines[machine].silent = silentSeconds;
    } else if (m.kind == LanKind::lockstep && machine != noMachine && m.packet.machine == machine && lan.racing &&
               m.packet.round == lan.round) {
        receivePacket(lan.lockstep, m.packet);
    }
}

// The race goes on here alone: the computer drives the others' vehicles.
void hostGone(LanSession& lan, World& world, PlayLines& said, const std::string& why) {
    showPlayLine(said, why + (lan.racing ? ": the race goes on here, the computer drives the others" : ""), 10);
    for (int32_t v = 0; v < vehicleCount && lan.racing; ++v) {
        world.race.computer[v] = world.race.computer[v] || lan.lockstep.seats[v] != lan.me;
    }
    end(lan);
}

void joinerHears(LanSession& lan, RaceSession& raceSession, ViewState& view, World& world, const Settings& settings,
                 PlayLines& said, const LanMessage& m) {
    lan.silent = 0;
    if (m.kind == LanKind::refuse) {
        showPlayLine(said, "the host refused: " + std::string(m.text), 10);
        end(lan);
        return;
    }
    if (m.kind == LanKind::leave) {
        hostGone(lan, world, said, "the host left the race");
        return;
    }
    if (m.kind == LanKind::welcome) {
        if (!lan.welcomed) {
            lan.welcomed = true;
            lan.me = m.machine;
            showPlayLine(said, "joined the race: F5 on the host starts it", 4);
        }
        lan.race = m.race;
        if (m.race.track != lan.checkedTrack) {
            TrackProblems problems;
            const std::string which = !findTrackProblems(m.race.track, problems)
                                          ? trackDifference(hashTrack(m.race.track, world.vehicles[0].layout), m.race.hashes)
                                          : "files";
            if (!which.empty()) {
                char text[160];
                const bool one = which == "growth" || which == "wheel layout";
                std::snprintf(text, sizeof text, "cannot race with the host: this machine's %s of track %d %s",
                              which.c_str(), static_cast<int>(m.race.track),
                              which == "files" ? "are missing" : one ? "differs from the host's" : "differ from the host's");
                showPlayLine(said, text, 10);
                LanMessage leave{};
                leave.kind = LanKind::leave;
                leave.machine = static_cast<uint8_t>(lan.me);
                send(lan, lan.host, leave);
                end(lan);
                return;
            }
            lan.checkedTrack = m.race.track;
            if (!lan.racing && world.race.phase == RacePhase::off && world.track != m.race.track) {
                switchTrack(world, said, m.race.track, settings.textureFilter);
            }
        }
        const bool seated = std::find(m.race.seats, m.race.seats + vehicleCount, lan.me) != m.race.seats + vehicleCount;
        // A race this machine has not yet begun (a late copy of an older
        // welcome starts nothing again).
        if (roundAfter(m.round, lan.round)) {
            if (seated) {
                startRound(lan, raceSession, view, world, settings, said, m.race, m.round);
            }
            lan.round = m.round;
        }
    } else if (m.kind == LanKind::lockstep && lan.racing && m.packet.machine == 0 && m.packet.round == lan.round) {
        receivePacket(lan.lockstep, m.packet);
    } else if (m.kind == LanKind::snapshot && lan.racing && m.snapshot.step >= lan.lockstep.next) {
        lan.pending = m.snapshot;
        lan.hasPending = true;
    }
}

void readMessages(LanSession& lan, RaceSession& raceSession, ViewState& view, World& world, const Settings& settings,
                  PlayLines& said) {
    uint8_t bytes[lanMessageCapacity + 1];
    LanAddress from{};
    for (int count = 0; count < 256 && lan.link.isOpen(); ++count) {
        const size_t size = lan.link.receive(from, bytes, sizeof bytes);
        if (size == 0) {
            break;
        }
        LanMessage m;
        if (decodeLanMessage(bytes, size, m) == LanKind::none) {
            continue;
        }
        if (lan.role == LanRole::host) {
            hostHears(lan, said, from, m);
        } else if (lan.role == LanRole::joiner && from == lan.host) {
            joinerHears(lan, raceSession, view, world, settings, said, m); // only the host's word counts
        } else if (lan.finding && m.kind == LanKind::hostHere && lan.foundCount < lanHostCapacity) {
            const bool known = std::any_of(lan.found, lan.found + lan.foundCount,
                                           [&from](const LanHost& h) { return h.address == from; });
            if (!known) {
                lan.found[lan.foundCount++] = LanHost{from, m.race.track, m.machines};
            }
        }
    }
}

// The host's lobby word, its drops and its world when two disagreed.
void hostTalks(LanSession& lan, const World& world, PlayLines& said, double seconds) {
    lan.sendIn -= seconds;
    for (int32_t k = 1; k < maxMachines; ++k) {
        LanMachine& machine = lan.machines[k];
        machine.silent += seconds;
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
            send(lan, machine.address, welcomeFor(lan, k));
        }
    }
    lan.sendIn = lan.sendIn <= 0 ? lobbyEvery : lan.sendIn;
    lan.joinBudget = std::min(joinsPerSecond, lan.joinBudget + joinsPerSecond * seconds);
    if (lan.racing && planResync(lan.lockstep) != noStep) {
        showPlayLine(said, "the machines disagree at " + raceTime(world.race.clock) + ": all take the host's world", 6);
        lan.saidResync = lan.lockstep.resyncStep;
    }
    lan.resendSeconds -= seconds;
    for (int32_t k = 1; k < maxMachines && lan.resendSeconds > 0; ++k) {
        if (lan.machines[k].in) {
            LanMessage m{};
            m.kind = LanKind::snapshot;
            m.snapshot = lan.sent;
            send(lan, lan.machines[k].address, m);
        }
    }
}

void sendControls(LanSession& lan) {
    LanMessage m{};
    m.kind = LanKind::lockstep;
    m.packet = makePacket(lan.lockstep);
    m.packet.round = lan.round;
    if (lan.role == LanRole::joiner) {
        send(lan, lan.host, m);
        return;
    }
    for (int32_t k = 1; k < maxMachines; ++k) {
        if (lan.machines[k].in && lan.lockstep.present[k]) {
            send(lan, lan.machines[k].address, m);
        }
    }
}

// This machine's controls of its vehicles. A machine with one seat drives it
// by any of the three vehicles' keys and pads (a laptop has no number pad); one
// with two drives the first by blue's or red's, the second by green's.
void addMyControls(LanSession& lan, InputState& input, const Gamepads& gamepads, const Bindings* keys) {
    VehicleControls controls[vehicleCount] = {};
    const int32_t mine = static_cast<int32_t>(std::count(lan.lockstep.seats, lan.lockstep.seats + vehicleCount, lan.me));
    int32_t seat = 0;
    for (int32_t v = 0; v < vehicleCount && keys != nullptr; ++v) {
        if (lan.lockstep.seats[v] != lan.me) {
            continue;
        }
        for (int32_t from = 0; from < vehicleCount; ++from) {
            if (mine == 1 || (from == 2) == (seat == 1)) {
                const VehicleControls given = playerControls(*keys, input, gamepads, from);
                VehicleControls& c = controls[v];
                c = VehicleControls{c.accelerate || given.accelerate, c.reverse || given.reverse, c.left || given.left,
                                    c.right || given.right,           c.brake || given.brake,     c.rescue || given.rescue,
                                    false};
            }
        }
        ++seat;
    }
    addLocalControls(lan.lockstep, controls);
    input.clearStepPresses();
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

// Opens the socket on this port (0: any), the datagrams it sends going
// through the network "netsim:" asks for (said at start-up, and in the
// host's and the joiner's first line).
bool openLink(LanSession& lan, const Settings& settings, uint16_t port, std::string& why) {
    if (!lan.link.open(port, why)) {
        return false;
    }
    lan.link.simulate(netSimOf(settings), platformProcessId());
    return true;
}

// "\nnetsim: ...", or "" when the network is the real one.
std::string simulatedLine(const Settings& settings) {
    return netSimOn(netSimOf(settings)) ? "\nnetsim: what this machine sends goes through " + netSimText(netSimOf(settings))
                                        : "";
}

} // namespace

NetSim netSimOf(const Settings& settings) {
    const uint32_t* n = settings.netSim;
    return NetSim{n[0], n[1], n[2], n[3]};
}

bool hostLanRace(LanSession& lan, ReplaySession& replay, World& world, const Settings& settings, PlayLines& said) {
    leaveLanRace(lan);
    endReplaySession(replay, world, settings);
    std::string why;
    if (!openLink(lan, settings, static_cast<uint16_t>(settings.netPort), why)) {
        showPlayLine(said, "cannot host a LAN race: " + why, 8);
        return false;
    }
    lan.role = LanRole::host;
    lan.me = 0;
    lan.joinBudget = joinsPerSecond;
    lan.machines[0] = LanMachine{true, LanAddress{}, static_cast<int32_t>(settings.netSeats), 0, 0};
    setRaceFrom(lan, world, settings);
    assignSeats(lan);
    const bool coded = raceCodeGiven(lan.code);
    showPlayLine(said, "hosting a LAN race on port " + std::to_string(lan.link.port()) +
                           (coded ? ", race code " + std::string(lan.code, raceCodeLength) : std::string()) +
                           ": F5 starts it for all" + simulatedLine(settings), 6);
    return true;
}

bool joinLanRace(LanSession& lan, ReplaySession& replay, World& world, const Settings& settings, PlayLines& said,
                 const std::string& address) {
    leaveLanRace(lan);
    endReplaySession(replay, world, settings);
    LanAddress host{};
    std::string why;
    if (!resolveLanAddress(address, static_cast<uint16_t>(settings.netPort), host, why) || !openLink(lan, settings, 0, why)) {
        showPlayLine(said, "cannot join " + address + ": " + why, 8);
        return false;
    }
    if (!isIpv4(host) && !lan.link.reachesIpv6()) {
        showPlayLine(said, "cannot join " + address + ": this machine cannot use IPv6", 8);
        lan.link.close();
        return false;
    }
    lan.role = LanRole::joiner;
    lan.host = host;
    lan.me = noMachine;
    showPlayLine(said, "asking " + addressText(host) + " for a seat" + simulatedLine(settings), 4);
    return true;
}

void leaveLanRace(LanSession& lan) {
    if (lan.role != LanRole::none) {
        LanMessage m{};
        m.kind = LanKind::leave;
        m.machine = static_cast<uint8_t>(std::max(0, lan.me));
        for (int32_t k = 0; k < maxMachines; ++k) {
            const bool to = lan.role == LanRole::joiner ? k == 0 : k > 0 && lan.machines[k].in;
            if (to) {
                send(lan, lan.role == LanRole::joiner ? lan.host : lan.machines[k].address, m);
            }
        }
    }
    end(lan);
}

bool lanOn(const LanSession& lan) { return lan.role != LanRole::none; }

bool lanWorldShared(const LanSession& lan) { return lan.racing; }

int32_t findLanHosts(LanSession& lan, const Settings& settings, LanHost (&hosts)[lanHostCapacity]) {
    std::string why;
    if (lan.role == LanRole::none && !lan.link.isOpen() && !openLink(lan, settings, 0, why)) {
        return 0;
    }
    lan.finding = lan.role == LanRole::none;
    // Asked once a second; the answers come in with the frames.
    if (lan.queryIn <= 0 && lan.finding) {
        LanMessage m{};
        m.kind = LanKind::query;
        std::snprintf(m.version, sizeof m.version, "%s", MUDLARK_VERSION);
        m.simulation = simulationVersion;
        m.seatsWanted = 1;
        lan.link.broadcast(static_cast<uint16_t>(settings.netPort), encodeLanMessage(m));
        lan.queryIn = 1;
    }
    std::copy(lan.found, lan.found + lan.foundCount, hosts);
    return lan.foundCount;
}

void stopFindingLanHosts(LanSession& lan) {
    if (lan.role == LanRole::none) {
        lan.link.close();
    }
    lan.finding = false;
    lan.foundCount = 0;
}

void readLanKeys(LanSession& lan, RaceSession& raceSession, ViewState& view, World& world, const Settings& settings,
                 PlayLines& said, const InputState& input, double frameSeconds) {
    lan.queryIn -= frameSeconds;
    if (lan.finding) {
        readMessages(lan, raceSession, view, world, settings, said);
    }
    if (lan.role == LanRole::none) {
        return;
    }
    readMessages(lan, raceSession, view, world, settings, said);
    if (lan.role == LanRole::none) {
        return; // refused, or the host left
    }
    if (lan.racing) {
        tickLockstep(lan.lockstep, frameSeconds);
        planDelay(lan.lockstep); // the host's: the delay the worst line asks for
    }
    if (lan.role == LanRole::host) {
        // The host's F7 in the lobby; its F5 is the game's start (startLanRound).
        const bool f7 = input.isDown(VK_F7);
        if (f7 && !lan.f7WasDown && !lan.racing) {
            const int32_t next = nextCompleteTrack(world.track);
            switchTrack(world, said, next, settings.textureFilter);
            setRaceFrom(lan, world, settings);
        }
        lan.f7WasDown = f7;
        hostTalks(lan, world, said, frameSeconds);
    } else {
        lan.silent += frameSeconds;
        lan.sendIn -= frameSeconds;
        if (!lan.welcomed && lan.silent >= answerSeconds) {
            showPlayLine(said, "no answer from " + addressText(lan.host), 10);
            end(lan);
            return;
        }
        if (lan.welcomed && lan.silent >= silentSeconds) {
            hostGone(lan, world, said, "the host is silent");
            return;
        }
        if (lan.sendIn <= 0 && !lan.racing) {
            LanMessage m{};
            m.kind = LanKind::join;
            std::snprintf(m.version, sizeof m.version, "%s", MUDLARK_VERSION);
            m.simulation = simulationVersion;
            m.seatsWanted = static_cast<uint8_t>(settings.netSeats);
            std::memcpy(m.code, lan.code, raceCodeLength);
            send(lan, lan.host, m);
            lan.sendIn = askEvery;
        }
        if (lan.racing && lan.lockstep.resyncStep != noStep && lan.lockstep.resyncStep != lan.saidResync) {
            showPlayLine(said, "the machines disagree at " + raceTime(world.race.clock) + ": all take the host's world", 6);
            lan.saidResync = lan.lockstep.resyncStep;
        }
    }
}

void startLanRound(LanSession& lan, RaceSession& raceSession, ViewState& view, World& world, const Settings& settings,
                   PlayLines& said) {
    if (lan.role != LanRole::host) {
        showPlayLine(said, "the host starts the race", 3);
    } else if (world.course.count < minGates) {
        showPlayLine(said, "no race: this track has no course to race on", 4);
    } else {
        // The seats of the machines still here; a new race for all.
        setRaceFrom(lan, world, settings);
        assignSeats(lan);
        startRound(lan, raceSession, view, world, settings, said, lan.race, nextRound(lan.round));
        lan.sendIn = 0;
    }
}

bool beginLanSteps(LanSession& lan, InputState& input, const Gamepads& gamepads, const Bindings* keys) {
    if (!lan.racing) {
        return false;
    }
    for (uint32_t add = localControlsDue(lan.lockstep); add > 0; --add) {
        addMyControls(lan, input, gamepads, keys);
    }
    return true;
}

bool nextLanStep(LanSession& lan, World& world, PlayLines& said, int32_t owed, int32_t taken, VehicleControls (&controls)[vehicleCount]) {
    Lockstep& l = lan.lockstep;
    settleResync(lan, world);
    // Beyond what real time owes only to catch up with machines ahead.
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
                    " from " + raceTime(at / static_cast<double>(stepsPerSecond) - countdownSeconds), 6);
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

void drawLanOverlays(const LanSession& lan, const World& world, WindowSize window, uint32_t y) {
    glColor3f(1, 1, 1);
    if (lan.racing && lan.waited >= waitShown) {
        const int32_t missing = missingVehicle(lan.lockstep);
        printText(window, 16, y, "%s", missing >= 0 ? (std::string("waiting for ") + vehicleNames[missing] + "...").c_str()
                                            : "waiting for the host's world...");
        return;
    }
    if (lan.role == LanRole::none || world.race.phase != RacePhase::off) {
        return;
    }
    // The lobby: who drives what, and who starts.
    for (int32_t v = 0; v < vehicleCount; ++v) {
        const int32_t seat = lan.race.seats[v];
        std::string who = seat == noMachine ? "the computer" : seat == lan.me ? "this machine"
                                                                    : seat == 0   ? "the host"
                                                                                  : "machine " + std::to_string(seat + 1);
        if (lan.role == LanRole::host && seat > 0) {
            who += " (" + addressText(lan.machines[seat].address) + ")";
        }
        printText(window, 16, y, "%s: %s", vehicleNames[v], who.c_str());
        y += 24;
    }
    const std::string last = lan.role == LanRole::host ? "LAN race, track " + std::to_string(lan.race.track) +
                                                          ": F5 starts it for all"
                              : lan.welcomed ? "waiting for the host's F5" : "asking the host for a seat";
    printText(window, 16, y, "%s", last.c_str());
}

uint64_t lanBytesSent(const LanSession& lan) { return lan.link.bytesSent(); }
