// lan_session.cpp -- a LAN race in the game: hosting and joining, a joiner's
// side of the talk, the races started in the world the views show, this
// machine's keys as its controls, and the lobby over the views. The host's
// room and the lockstep's steps are lan_room's.
#include "app/lan_session.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/bindings.h"
#include "app/race_session.h"
#include "app/replay_session.h"
#include "app/view_mode.h"
#include "render/render.h"
#include "core/play_lines.h"
#include "net/lan_messages.h"
#include "net/lockstep.h"
#include "platform/platform.h"
#include "platform/win_messages.h"
#include "render/font.h"
#include "scene/scene.h"
#include "terrain/track.h"

namespace {

constexpr double askEvery = 0.5;        // a joiner's request, until answered (then its keep-alive)
constexpr double answerSeconds = 10;    // a host that never answers is given up
constexpr double waitShown = 0.25;      // waiting this long is said

// Every machine's race starts alike: the vehicles at rest, on the grid.
void startRound(LanSession& lan, RaceSession& raceSession, ViewState& view, World& world, const Settings& settings,
                PlayLines& said, const LanRace& race, uint8_t round) {
    if (world.track != race.track || lan.reload) {
        switchTrack(world, said, race.track, settings.textureFilter);
        lan.reload = false;
    }
    returnToStart(world);
    bool computer[vehicleCount];
    lanRaceComputers(race, computer);
    startRaceOf(raceSession, world, said, race.laps, race.skill, computer, race.vehicleContact, race.solidTrees); // the host's rules
    startLanLockstep(lan, race, round);
    // Each machine follows the first vehicle it drives.
    const int32_t* mine = std::find(race.seats, race.seats + vehicleCount, lan.me);
    view.followedVehicle = mine != race.seats + vehicleCount ? static_cast<uint32_t>(mine - race.seats) : view.followedVehicle;
}

// The race goes on here alone: the computer drives the others' vehicles.
void hostGone(LanSession& lan, World& world, PlayLines& said, const std::string& why) {
    showPlayLine(said, why + (lan.racing ? ": the race goes on here, the computer drives the others" : ""), 10);
    for (int32_t v = 0; v < vehicleCount && lan.racing; ++v) {
        world.race.computer[v] = world.race.computer[v] || lan.lockstep.seats[v] != lan.me;
    }
    endLan(lan);
}

// What of this machine's track differs from the host's race: "" when nothing,
// "files" when it cannot be raced at all.
std::string trackDifferenceFromHost(const LanRace& race, const World& world) {
    TrackProblems problems;
    return findTrackProblems(race.track, problems) ? "files"
                                                   : trackDifference(hashTrack(race.track, world.vehicles[0].layout), race.hashes);
}

// This machine cannot race with the host: it says why and leaves.
void leaveHost(LanSession& lan, PlayLines& said, const std::string& why) {
    showPlayLine(said, "cannot race with the host: " + why, 10);
    LanMessage leave{};
    leave.kind = LanKind::leave;
    leave.machine = static_cast<uint8_t>(lan.me);
    sendLan(lan, lan.host, leave);
    endLan(lan);
}

void joinerHears(LanSession& lan, RaceSession& raceSession, ViewState& view, World& world, const Settings& settings,
                 PlayLines& said, const LanMessage& m) {
    lan.silent = 0;
    if (m.kind == LanKind::refuse) {
        showPlayLine(said, "the host refused: " + std::string(m.text), 10);
        endLan(lan);
        return;
    }
    if (m.kind == LanKind::leave) {
        hostGone(lan, world, said, "the host left the race");
        return;
    }
    if (m.kind == LanKind::welcome) {
        const bool first = !lan.welcomed;
        lan.welcomed = true;
        lan.me = first ? m.machine : lan.me;
        if (first || lan.leads != (m.leader == lan.me)) {
            showPlayLine(said, m.leader == lan.me     ? "this machine leads the race: F5 starts it for all, F7 the next track"
                               : m.leader == noLeader ? "joined the race: F5 on the host starts it"
                                                      : "joined the race: F5 on the leading machine starts it", 4);
        }
        lan.leads = m.leader == lan.me;
        lan.server = m.leader != noLeader;
        lan.race = m.race;
        if (lan.fetch.on && lan.fetch.track != m.race.track) {
            lan.fetch.on = false; // the host moved on to another track
        }
        if (m.race.track != lan.checkedTrack && !lan.fetch.on) {
            // This machine's track as the host's, else the host's copy kept
            // from an earlier race, else the host's fetched now (but a wheel
            // layout of another model is no track's to mend).
            std::string which = trackDifferenceFromHost(m.race, world);
            if (!which.empty() && which.find("wheel layout") == std::string::npos) {
                preferDownloadedTrack(m.race.track);
                const std::string before = which;
                which = trackDifferenceFromHost(m.race, world);
                lan.reload = true; // the world's ground is read again from the host's files
                if (!which.empty()) {
                    startFetch(lan.fetch, m.race.track, m.race.hashes);
                    showPlayLine(said, (before == "files" ? "this machine has no track " + std::to_string(m.race.track) + " it can race"
                                                          : "this machine's " + before + " of track " +
                                                                std::to_string(m.race.track) + " differ from the host's") +
                                           ": fetching the host's", 6);
                    return;
                }
            }
            if (!which.empty()) {
                char text[160];
                std::snprintf(text, sizeof text, "this machine's %s of track %d differs from the host's", which.c_str(),
                              static_cast<int>(m.race.track));
                leaveHost(lan, said, text);
                return;
            }
            lan.checkedTrack = m.race.track;
            if (!lan.racing && world.race.phase == RacePhase::off && (world.track != m.race.track || lan.reload)) {
                switchTrack(world, said, m.race.track, settings.textureFilter);
                lan.reload = false;
            }
        }
        if (lan.fetch.on) {
            return; // no race here until the track is
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
    } else if (m.kind == LanKind::fileData && !takeChunk(lan.fetch, m)) {
        leaveHost(lan, said, "the host's files of track " + std::to_string(lan.fetch.track) + " changed while they came");
    }
}

// The track coming from the host: what is still missing asked for, and once
// all is here, checked and kept (the next welcome finds it and races on it).
void fetchTrack(LanSession& lan, PlayLines& said, double seconds) {
    for (const LanMessage& ask : fetchRequests(lan.fetch, seconds)) {
        sendLan(lan, lan.host, ask);
    }
    std::string why;
    if (!fetchDone(lan.fetch)) {
        return;
    }
    lan.fetch.on = false;
    const std::string track = "track " + std::to_string(lan.fetch.track);
    if (!keepFetchedTrack(lan.fetch, why)) {
        leaveHost(lan, said, "the host's " + track + " cannot be kept: " + why);
        return;
    }
    lan.reload = true;
    showPlayLine(said, track + " came from the host: kept in the data folder's " + downloadedTracks, 6);
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

// The leading machine's word to its server. Each means the same however
// often it comes (a start while a race is on, or a move from a track the
// server has left, is let go), so it goes twice: one may be lost.
void askServer(LanSession& lan, LeadAction action, int32_t value) {
    LanMessage m{};
    m.kind = LanKind::lead;
    m.action = action;
    m.value = static_cast<uint8_t>(value);
    sendLan(lan, lan.host, m);
    sendLan(lan, lan.host, m);
}

} // namespace

bool hostLanRace(LanSession& lan, ReplaySession& replay, World& world, const Settings& settings, PlayLines& said) {
    leaveLanRace(lan);
    endReplaySession(replay, world, settings);
    std::string why;
    if (!openLanLink(lan, settings, static_cast<uint16_t>(settings.netPort), why)) {
        showPlayLine(said, "cannot host a LAN race: " + why, 8);
        return false;
    }
    openLanRoom(lan, world, settings, static_cast<int32_t>(settings.netSeats));
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
    if (!resolveLanAddress(address, static_cast<uint16_t>(settings.netPort), host, why) || !openLanLink(lan, settings, 0, why)) {
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

bool lanOn(const LanSession& lan) { return lan.role != LanRole::none; }

bool chooseLanTrack(LanSession& lan, int32_t track) {
    if (lan.role != LanRole::joiner) {
        return true; // its own world
    }
    if (lan.leads && track != lan.race.track) {
        askServer(lan, LeadAction::track, track);
    }
    return false;
}

bool lanWorldShared(const LanSession& lan) { return lan.racing; }

int32_t findLanHosts(LanSession& lan, const Settings& settings, LanHost (&hosts)[lanHostCapacity]) {
    std::string why;
    if (lan.role == LanRole::none && !lan.link.isOpen() && !openLanLink(lan, settings, 0, why)) {
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
            endLan(lan);
            return;
        }
        if (lan.welcomed && lan.silent >= silentSeconds) {
            hostGone(lan, world, said, "the host is silent");
            return;
        }
        if (lan.fetch.on) {
            fetchTrack(lan, said, frameSeconds);
            if (lan.role == LanRole::none) {
                return; // the track could not be kept
            }
        }
        if (lan.sendIn <= 0 && !lan.racing) {
            LanMessage m{};
            m.kind = LanKind::join;
            std::snprintf(m.version, sizeof m.version, "%s", MUDLARK_VERSION);
            m.simulation = simulationVersion;
            m.seatsWanted = static_cast<uint8_t>(settings.netSeats);
            std::memcpy(m.code, lan.code, raceCodeLength);
            sendLan(lan, lan.host, m);
            lan.sendIn = askEvery;
        }
        // The leading machine's F7: the server's next track.
        const bool f7 = input.isDown(VK_F7);
        if (f7 && !lan.f7WasDown && lan.leads) {
            askServer(lan, LeadAction::nextTrack, lan.race.track);
        }
        lan.f7WasDown = f7;
        if (lan.racing && lan.lockstep.resyncStep != noStep && lan.lockstep.resyncStep != lan.saidResync) {
            showPlayLine(said, "the machines disagree at " + lanRaceTime(world.race.clock) + ": all take the host's world", 6);
            lan.saidResync = lan.lockstep.resyncStep;
        }
    }
}

void startLanRound(LanSession& lan, RaceSession& raceSession, ViewState& view, World& world, const Settings& settings,
                   PlayLines& said) {
    if (lan.role != LanRole::host && lan.leads) {
        askServer(lan, LeadAction::start, static_cast<int32_t>(settings.laps));
    } else if (lan.role != LanRole::host) {
        showPlayLine(said, lan.server ? "the leading machine starts the race" : "the host starts the race", 3);
    } else if (world.course.count < minGates) {
        showPlayLine(said, "no race: this track has no course to race on", 4);
    } else if (fetchingMachine(lan) != noMachine) {
        showPlayLine(said, "not yet: " + addressText(lan.machines[fetchingMachine(lan)].address) + " is fetching the track", 4);
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

void drawLanOverlays(const LanSession& lan, const World& world, WindowSize window, uint32_t y) {
    colour(1, 1, 1);
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
                                                                                  : "machine " + std::to_string(seat + (lan.server ? 0 : 1));
        if (lan.role == LanRole::host && seat > 0) {
            who += " (" + addressText(lan.machines[seat].address) + ")";
        }
        printText(window, 16, y, "%s: %s", vehicleNames[v], who.c_str());
        y += 24;
    }
    const std::string last = lan.role == LanRole::host ? "LAN race, track " + std::to_string(lan.race.track) +
                                                          ": F5 starts it for all"
                              : !lan.welcomed ? "asking the host for a seat"
                              : lan.fetch.on  ? "fetching track " + std::to_string(lan.fetch.track) + " from the host: " +
                                                    std::to_string(fetchPercent(lan.fetch)) + " %"
                              : lan.leads     ? "server race, track " + std::to_string(lan.race.track) +
                                                    ": F5 starts it for all, F7 the next track"
                              : lan.server    ? "waiting for the leading machine's F5"
                                              : "waiting for the host's F5";
    printText(window, 16, y, "%s", last.c_str());
}

