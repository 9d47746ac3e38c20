// server.h -- the dedicated server: the LAN host without a window, GL, sound
// or keys. It is machine 0 of every race and drives no vehicle; the first
// machine to join leads (its F5 starts a race, its F7 moves to the next
// track), or the server starts one by itself once enough machines are in. It
// keeps each race's replay and a log of joins, leaves, starts, results and
// the messages it let go.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/background_writes.h"
#include "core/play_lines.h"
#include "core/settings.h"
#include "net/lan_room.h"
#include "replay/replay.h"
#include "sim/world.h"

// What the command line asks for.
struct ServerOptions {
    uint32_t port = 27777;
    int32_t track = 1;
    uint32_t laps = 3;
    uint32_t skill = 2;
    int32_t players = 0;           // 0: only the leader starts races
    char code[raceCodeLength] = {}; // none given: the server makes one
    uint32_t netSim[4] = {};
};

enum class ServerArgs { run, help, version, bad };

// The command line read: run, or what to print instead; bad with the reason in why.
ServerArgs readServerArgs(int argc, const char* const* argv, ServerOptions& options, std::string& why);

extern const char* const serverUsage;
extern const char* const serverHelp;

struct Server {
    ServerOptions options;
    Settings settings{};            // the game's defaults, and the options
    std::unique_ptr<World> world;
    LanSession lan{};               // as new: no machine in, no race
    PlayLines said;                 // the room's lines, taken into the log each frame
    std::unique_ptr<Replay> replay;
    bool recording = false;
    uint32_t sentStep = noStep;     // the clock's step when the server last sent its controls
    uint64_t sentAtStart = 0;       // bytes sent before this race
    BackgroundWrites writes;
    std::vector<std::string> log;   // this run's log, newest last (the oldest go past a bound)
    std::string logPath;            // "" where the system names no data folder
    double logIn = 0;               // seconds to the next write of the log, when it changed
    bool logChanged = false;
    double idle = 0;                // seconds without a race on
    double refusalsIn = 0;          // seconds to the next count of messages let go
    LanRefusals saidRefused{};      // the counts as last logged
};

// The server set up: the world on its track, the port open, the race code
// made when none was given; false with the reason when it cannot run.
bool openServer(Server& server, const ServerOptions& options, std::string& why);

// One pass of the server's loop, this many seconds after the last: what came
// in, the leader's word, the room's talk and the steps real time owes.
void serverFrame(Server& server, double seconds);

// The machines told it goes, the log and the last replay written.
void closeServer(Server& server);

// A line in the log (and on standard error), with the time of day.
void logLine(Server& server, const std::string& text);
