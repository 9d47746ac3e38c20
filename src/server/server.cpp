// server.cpp -- the dedicated server's room, races and log.
#include "server/server.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>

#include "common/game_limits.h"
#include "core/files.h"
#include "core/places.h"
#include "core/safe_file.h"
#include "replay/replay_folder.h"
#include "scene/scene.h"
#include "terrain/track.h"

namespace {

constexpr size_t logBound = 5000;       // lines of the log kept
constexpr double logEvery = 2;          // seconds between writes of a log that changed
constexpr double refusalsEvery = 60;    // the messages let go are counted this often
constexpr double firstStartAfter = 1;   // --players: the room full this long, a race starts
constexpr double nextStartAfter = 15;   // after a race: its results shown this long first

// "N" read whole as a number within [low, high].
bool readNumber(const char* text, uint32_t low, uint32_t high, uint32_t& value) {
    char* end = nullptr;
    const unsigned long read = std::strtoul(text, &end, 10);
    if (text[0] < '0' || text[0] > '9' || *end != '\0' || read < low || read > high) {
        return false;
    }
    value = static_cast<uint32_t>(read);
    return true;
}

bool raceOn(const Server& server) {
    const RacePhase phase = server.world->race.phase;
    return server.lan.racing && (phase == RacePhase::countdown || phase == RacePhase::racing);
}

// Who drives each vehicle, for the log: "blue 127.0.0.1:40112, red the computer, ...".
std::string seatsText(const LanSession& lan) {
    std::string text;
    for (int32_t v = 0; v < vehicleCount; ++v) {
        const int32_t seat = lan.race.seats[v];
        text += std::string(v > 0 ? ", " : "") + vehicleNames[v] + " " +
                (seat == noMachine ? "the computer" : addressText(lan.machines[seat].address));
    }
    return text;
}

// A race on the chosen track for every machine in; false, said in the log,
// when the track has no course.
bool startServerRace(Server& server, uint32_t laps) {
    World& world = *server.world;
    LanSession& lan = server.lan;
    if (world.track != lan.race.track) {
        loadWorldTrack(world, server.said, lan.race.track); // the track chosen since the last race
    }
    if (world.course.count < minGates) {
        logLine(server, "no race: " + trackName(world) + " has no course");
        return false;
    }
    server.settings.laps = laps;
    setRaceFrom(lan, world, server.settings);
    assignSeats(lan);
    returnToStart(world);
    bool computer[vehicleCount];
    lanRaceComputers(lan.race, computer);
    world.computerSkill = lan.race.skill;
    setWorldRules(world, simulationVersion, lan.race.vehicleContact, lan.race.solidTrees);
    startWorldRace(world, lan.race.laps, computer);
    startLanLockstep(lan, lan.race, nextRound(lan.round));
    lan.sendIn = 0; // every machine hears of it now
    server.idle = 0;
    server.sentAtStart = lanBytesSent(lan);
    logLine(server, "race " + std::to_string(lan.round) + " started: " + trackName(world) + ", " +
                        std::to_string(lan.race.laps) + (lan.race.laps == 1 ? " lap; " : " laps; ") + seatsText(lan));
    return true;
}

// The leader's choice of track: the one after `from` (while the race is still
// set on it), or `track`. The machines hear of it at once (those without it
// fetch it); the world goes there at the next start, with every machine's, as
// a race's results may still be stepping on the old one.
void changeTrack(Server& server, int32_t from, int32_t track) {
    LanRace& race = server.lan.race;
    const int32_t next = from == race.track ? nextCompleteTrack(race.track) : track;
    TrackProblems problems;
    if (next == 0 || next == race.track || raceOn(server)) {
        return; // a copy of a word already done, or a race is on
    }
    if (findTrackProblems(next, problems)) {
        logLine(server, "track " + std::to_string(next) + " cannot be raced: " + problems.text);
        return;
    }
    race.track = next;
    race.hashes = hashTrack(next, server.world->vehicles[0].layout);
    logLine(server, "track " + std::to_string(next) + " for the next race");
}

// The leader's word, and --players.
void startWhenAsked(Server& server) {
    LanSession& lan = server.lan;
    const LanAsked asked = lan.asked;
    lan.asked = LanAsked{};
    if (asked.from != 0 || asked.track != 0) {
        changeTrack(server, asked.from, asked.track);
    }
    const int32_t joiners = machinesIn(lan) - 1;
    const bool full = server.options.players > 0 && joiners >= server.options.players &&
                      server.idle >= (lan.round == 0 ? firstStartAfter : nextStartAfter);
    if (raceOn(server) || joiners == 0 || (!asked.start && !full)) {
        return;
    }
    if (fetchingMachine(lan) != noMachine) {
        lan.asked.start = asked.start; // started once the track is there
        lan.asked.laps = asked.laps;
        return;
    }
    if (!startServerRace(server, asked.start ? static_cast<uint32_t>(asked.laps) : server.options.laps)) {
        server.idle = 0; // --players: not again at once
    }
}

void finishRace(Server& server) {
    const Race& race = server.world->race;
    // What went out since the start, a second and a machine.
    const double seconds = std::max(1.0, server.lan.lockstep.clock);
    const double sent = static_cast<double>(lanBytesSent(server.lan) - server.sentAtStart);
    char rate[96];
    std::snprintf(rate, sizeof rate, " (%.0f kB sent, %.2f kB/s to each machine)", sent / 1000,
                  sent / 1000 / seconds / std::max(1, machinesIn(server.lan) - 1));
    logLine(server, "race " + std::to_string(server.lan.round) + " finished" + rate + ":");
    for (int32_t place = 0; place < vehicleCount; ++place) {
        if (!race.offCourse[race.places[place]]) {
            char text[96];
            formatResultLine(race, place, false, false, text);
            logLine(server, std::string("  ") + text);
        }
    }
    const std::filesystem::path folder = replaysFolder("server-replays");
    if (folder.empty()) {
        return;
    }
    const std::shared_ptr<Replay> kept(new Replay);
    copyReplay(*kept, *server.replay);
    server.writes.start([folder, kept] { return writeReplayInto(folder, *kept); });
}

void readMessages(Server& server) {
    LanSession& lan = server.lan;
    uint8_t bytes[lanMessageCapacity + 1];
    LanAddress from{};
    for (int count = 0; count < 1024; ++count) {
        const size_t size = lan.link.receive(from, bytes, sizeof bytes);
        if (size == 0) {
            break;
        }
        LanMessage m;
        if (decodeLanMessage(bytes, size, m) == LanKind::none) {
            ++lan.refused.damaged;
        } else {
            hostHears(lan, server.said, from, m);
        }
    }
}

void steps(Server& server) {
    LanSession& lan = server.lan;
    Lockstep& l = lan.lockstep;
    const VehicleControls none[vehicleCount] = {};
    for (uint32_t add = localControlsDue(l); add > 0; --add) {
        addLocalControls(l, none);
    }
    const uint32_t now = lockstepClockStep(l);
    const int32_t owed = now > l.next ? static_cast<int32_t>(std::min<uint32_t>(now - l.next, stepsPerSecond)) : 0;
    VehicleControls controls[vehicleCount];
    for (int32_t taken = 0; nextLanStep(lan, *server.world, server.said, owed, taken, controls); ++taken) {
        const RacePhase before = server.world->race.phase;
        stepWorld(*server.world, controls);
        afterLanStep(lan, *server.world);
        if (recordRace(*server.replay, server.recording, *server.world, before)) {
            finishRace(server);
        }
    }
    // One packet to each machine a step, as the game sends one a frame.
    if (now != server.sentStep) {
        endLanSteps(lan, owed);
        server.sentStep = now;
    }
}

// What the room said, and the messages let go, into the log.
void takeLines(Server& server, double seconds) {
    for (const PlayLine& line : server.said.lines) {
        logLine(server, line.text);
    }
    server.said.lines.clear();
    for (const std::string& failed : server.writes.takeFailures()) {
        logLine(server, failed);
    }
    server.refusalsIn -= seconds;
    const LanRefusals& now = server.lan.refused;
    LanRefusals& said = server.saidRefused;
    if (server.refusalsIn > 0) {
        return;
    }
    server.refusalsIn = refusalsEvery;
    const struct {
        uint32_t now, said;
        const char* what;
    } counts[] = {{now.damaged, said.damaged, "damaged or foreign"}, {now.strangers, said.strangers, "from strangers"},
                  {now.version, said.version, "joins of another version"},
                  {now.code, said.code, "joins without the right race code"}, {now.full, said.full, "joins to a full race"},
                  {now.flood, said.flood, "joins past five a second"},
                  {now.fetches, said.fetches, "asks for track files past half a megabyte a second"}};
    std::string text;
    for (const auto& count : counts) {
        if (count.now != count.said) {
            text += (text.empty() ? "" : ", ") + std::to_string(count.now - count.said) + " " + count.what;
        }
    }
    if (!text.empty()) {
        logLine(server, "messages let go: " + text);
    }
    said = now;
}

void writeLog(Server& server) {
    if (server.logPath.empty() || !server.logChanged) {
        return;
    }
    std::string text;
    for (const std::string& line : server.log) {
        text += line + "\n";
    }
    server.logChanged = false;
    server.writes.start([path = server.logPath, text] {
        std::string why;
        return writeFileSafely(path, text, why) ? std::string() : "the log could not be written: " + why;
    });
}

} // namespace

const char* const serverUsage =
    "usage: mudlark-server [--port N] [--track N] [--laps N] [--skill N] [--players N]\n"
    "                      [--code ABCD] [--netsim DELAY JITTER LOSS DUPLICATES]\n";

const char* const serverHelp =
    "mudlark-server: hosts Mudlark races for machines that join it, with no window.\n"
    "  --port N        the UDP port, IPv4 and IPv6 (27777)\n"
    "  --track N       the track of the first race (1)\n"
    "  --laps N        laps of a race the server starts by itself (3)\n"
    "  --skill N       the computer drivers' skill, 1 to 3 (2)\n"
    "  --players N     start a race by itself once N machines are in (0: only\n"
    "                  the first machine to join starts races, by F5)\n"
    "  --code ABCD     the race code joiners give; without it one is made and said\n"
    "  --netsim D J L U  send through a simulated line: D ms delay, J ms jitter,\n"
    "                  L % lost, U % duplicated\n"
    "  --version, --help\n"
    "The first machine to join leads: its F5 starts a race for all and its F7\n"
    "moves to the next track. Each race's replay is kept in the data folder's\n"
    "server-replays, and the log in server.log beside it.\n";

ServerArgs readServerArgs(int argc, const char* const* argv, ServerOptions& options, std::string& why) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const int left = argc - i - 1;
        uint32_t number = 0;
        const auto numbers = [&](uint32_t low, uint32_t high, uint32_t& value) {
            if (left < 1 || !readNumber(argv[i + 1], low, high, value)) {
                why = word + " takes a number from " + std::to_string(low) + " to " + std::to_string(high);
                return false;
            }
            ++i;
            return true;
        };
        if (word == "--help" || word == "-h") {
            return ServerArgs::help;
        } else if (word == "--version") {
            return ServerArgs::version;
        } else if (word == "--port") {
            if (!numbers(1, 65535, options.port)) {
                return ServerArgs::bad;
            }
        } else if (word == "--track") {
            if (!numbers(minTrackNumber, maxTrackNumber, number)) {
                return ServerArgs::bad;
            }
            options.track = static_cast<int32_t>(number);
        } else if (word == "--laps") {
            if (!numbers(minLaps, maxLaps, options.laps)) {
                return ServerArgs::bad;
            }
        } else if (word == "--skill") {
            if (!numbers(minSkill, maxSkill, options.skill)) {
                return ServerArgs::bad;
            }
        } else if (word == "--players") {
            if (!numbers(1, vehicleCount, number)) {
                return ServerArgs::bad;
            }
            options.players = static_cast<int32_t>(number);
        } else if (word == "--code") {
            if (left < 1 || !readRaceCode(argv[i + 1], options.code)) {
                why = "--code takes a race code of four letters";
                return ServerArgs::bad;
            }
            ++i;
        } else if (word == "--netsim") {
            const uint32_t highs[4] = {5000, 5000, 100, 100};
            for (int k = 0; k < 4; ++k) {
                if (left < 4 || !readNumber(argv[i + 1 + k], 0, highs[k], options.netSim[k])) {
                    why = "--netsim takes four numbers: delay and jitter in ms (0 to 5000), loss and duplicates in % (0 to 100)";
                    return ServerArgs::bad;
                }
            }
            i += 4;
        } else {
            why = "\"" + word + "\" is not an option of mudlark-server";
            return ServerArgs::bad;
        }
    }
    return ServerArgs::run;
}

void logLine(Server& server, const std::string& text) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
    server.log.push_back(std::string(stamp) + " " + text);
    std::fprintf(stderr, "%s\n", server.log.back().c_str());
    if (server.log.size() > logBound) {
        server.log.erase(server.log.begin(), server.log.begin() + static_cast<long>(server.log.size() - logBound));
    }
    server.logChanged = true;
}

bool openServer(Server& server, const ServerOptions& options, std::string& why) {
    server.options = options;
    readSettingsStream(server.settings, nullptr); // the game's defaults
    Settings& s = server.settings;
    s.netPort = options.port;
    s.laps = options.laps;
    s.computerSkill = options.skill;
    std::copy(options.netSim, options.netSim + 4, s.netSim);
    TrackProblems problems;
    if (findTrackProblems(options.track, problems)) {
        why = "track " + std::to_string(options.track) + " cannot be raced:\n" + problems.text;
        return false;
    }
    server.world.reset(new World());
    setUpWorld(*server.world, server.said, options.track, readWheelLayout());
    if (server.world->course.count < minGates) {
        why = "track " + std::to_string(options.track) + " has no course to race on";
        return false;
    }
    server.replay.reset(new Replay);
    std::memcpy(server.lan.code, options.code, raceCodeLength);
    if (!raceCodeGiven(server.lan.code)) {
        std::random_device random;
        for (char& letter : server.lan.code) {
            letter = static_cast<char>('A' + random() % 26);
        }
    }
    if (!openLanLink(server.lan, s, static_cast<uint16_t>(s.netPort), why)) {
        return false;
    }
    openLanRoom(server.lan, *server.world, s, 0);
    const std::string folder = userDataFolder();
    server.logPath = folder.empty() ? "" : nameOf(pathOf(folder) / "server.log");
    server.said.lines.clear();
    logLine(server, "mudlark-server " MUDLARK_VERSION " on port " + std::to_string(server.lan.link.port()) +
                        ", race code " + std::string(server.lan.code, raceCodeLength) + ", " + trackName(*server.world) +
                        (options.players > 0 ? ", a race once " + std::to_string(options.players) + " in" : "") +
                        simulatedLine(s));
    server.refusalsIn = refusalsEvery;
    return true;
}

void serverFrame(Server& server, double seconds) {
    LanSession& lan = server.lan;
    readMessages(server);
    if (lan.racing) {
        tickLockstep(lan.lockstep, seconds);
        planDelay(lan.lockstep);
    }
    server.idle = raceOn(server) ? 0 : server.idle + seconds;
    startWhenAsked(server);
    hostTalks(lan, *server.world, server.said, seconds);
    if (lan.racing) {
        steps(server);
    }
    takeLines(server, seconds);
    server.logIn -= seconds;
    if (server.logIn <= 0) {
        writeLog(server);
        server.logIn = logEvery;
    }
}

void closeServer(Server& server) {
    server.refusalsIn = 0; // the counts since the last, before the room goes
    takeLines(server, 0);
    leaveLanRace(server.lan);
    takeLines(server, 0);
    logLine(server, "the server stops");
    writeLog(server);
    server.writes.finish();
}
