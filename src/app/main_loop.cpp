// main_loop.cpp -- start-up, the message loop and shutdown.
#include "app/main_loop.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/places.h"
#include "core/play_lines.h"
#include "core/startup_trace.h"

#include "core/files.h"
#include "platform/win_messages.h"
#include "app/window.h"
#include "platform/platform.h"
#include "render/font.h"
#include "render/render.h"
#include "app/bindings.h"
#include "app/frame.h"
#include "app/game.h"
#include "app/game_mode.h"
#include "app/lan_session.h"
#include "app/menu_session.h"
#include "app/player_rules.h"
#include "app/race_session.h"
#include "app/replay_session.h"
#include "app/trial_session.h"
#include "audio/sound.h"
#include "render/overlays.h"
#include "scene/scene.h"
#include "terrain/track.h"

namespace {

constexpr const char* usage =
    "usage: mudlark [REPLAY.mlr] | mudlark --check-replay REPLAY.mlr | mudlark --ghost-from REPLAY.mlr\n"
    "       mudlark --host [--code ABCD] | mudlark --join HOST[:PORT] [--code ABCD]\n"
    "       mudlark --demo [STEP]\n";
constexpr const char* help =
    "Mudlark: three buggies racing over hills, on one keyboard or game controllers.\n"
    "  REPLAY.mlr                   start the game and watch this replay\n"
    "  --check-replay REPLAY.mlr    play a replay without a window and print its\n"
    "                               places, times and the keyframes corrected\n"
    "  --ghost-from REPLAY.mlr      make the replay's fastest lap the ghost of its\n"
    "                               track for time trials (F8)\n"
    "  --host                       host a LAN race: the others join, F5 starts it\n"
    "  --join HOST[:PORT]           join the race hosted at HOST: a machine's name,\n"
    "                               192.168.1.20 or an IPv6 address ([::1]:27777);\n"
    "                               the port of settings.cfg if none\n"
    "  --code ABCD                  beside --host: joiners must give this race code;\n"
    "                               beside --join: the race code to give\n"
    "  --demo [STEP]                the computer races all three, three drivers'\n"
    "                               views; with STEP the race stops at that step\n"
    "                               (60 a second) and holds the picture\n"
    "  --help                       this text\n"
    "  --version                    the game's version\n"
    "The keys, settings.cfg and making a track: the manual page (man 6 mudlark) or\n"
    "the README.\n";

// A demo's step: a whole number from 1 to maxDemoStep, nothing after it.
constexpr uint32_t maxDemoStep = 60u * 60 * 60; // an hour
bool readDemoStep(const char* text, uint32_t& step) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (text[0] < '0' || text[0] > '9' || *end != '\0' || value < 1 || value > maxDemoStep) {
        return false;
    }
    step = static_cast<uint32_t>(value);
    return true;
}

} // namespace

int startGame(Game& game, World& world, int argc, char** argv) {
    // "--check-replay FILE": the replay played without a window. A FILE alone
    // is played once the game is up. Named from the folder it was started in.
    // --help and --version answer without a window; any other word starting
    // with "-", or a word too many, is answered with the usage.
    const char* const first = argc >= 2 ? argv[1] : "";
    const bool ghost = std::strcmp(first, "--ghost-from") == 0;
    const bool check = std::strcmp(first, "--check-replay") == 0 || ghost;
    if (std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0) {
        std::printf("%s%s", usage, help);
        return 0;
    }
    if (std::strcmp(first, "--version") == 0) {
        std::printf("Mudlark %s\n", MUDLARK_VERSION);
        return 0;
    }
    const bool host = std::strcmp(first, "--host") == 0, join = std::strcmp(first, "--join") == 0;
    const bool demo = std::strcmp(first, "--demo") == 0;
    uint32_t holdAtStep = 0;
    if (host || join) {
        // --host [--code ABCD], --join HOST[:PORT] [--code ABCD]
        const int words = join ? 3 : 2;
        if (argc != words && !(argc == words + 2 && std::strcmp(argv[words], "--code") == 0)) {
            std::fprintf(stderr, "%s", usage);
            return 2;
        }
        if (argc == words + 2 && !readRaceCode(argv[words + 1], game.lan.code)) {
            std::fprintf(stderr, "mudlark: a race code is four letters (A to Z), not \"%s\"\n", argv[words + 1]);
            return 2;
        }
    } else if (demo) {
        if (argc > 3) {
            std::fprintf(stderr, "%s", usage);
            return 2;
        }
        if (argc == 3 && !readDemoStep(argv[2], holdAtStep)) {
            std::fprintf(stderr, "mudlark: --demo takes a step from 1 to %u, not \"%s\"\n", maxDemoStep, argv[2]);
            return 2;
        }
    } else if (check ? argc != 3 : argc > 2 || first[0] == '-') {
        if (!check && first[0] == '-') {
            std::fprintf(stderr, "mudlark: there is no option %s\n", first);
        }
        std::fprintf(stderr, "%s", usage);
        return 2;
    }
    std::error_code failed;
    const std::string replayFile =
        argc >= 2 && !host && !join && !demo ? nameOf(std::filesystem::absolute(pathOf(argv[check ? 2 : 1]), failed)) : std::string();
    if (check) {
        platformQuietMessages();
        if (!goToData()) {
            return 1;
        }
        setUpWorld(world, game.said, 1, readWheelLayout());
        return ghost ? ghostFromReplay(world, game.said, replayFile) : checkReplay(game.replay, world, game.said, replayFile.c_str());
    }

    Settings& settings = game.settings;
    readSettings(settings);
    traceStartup(game.startup, "settings");
    if (netSimOn(netSimOf(settings))) {
        std::fprintf(stderr, "mudlark: netsim: the datagrams this machine sends go through %s\n",
                     netSimText(netSimOf(settings)).c_str());
    }
    const std::string clamped = clampWindowSize(settings);
    if (!clamped.empty()) {
        std::fprintf(stderr, "mudlark: %s\n", clamped.c_str());
    }
    if (!openWindow(game)) {
        return 0;
    }
    traceStartup(game.startup, "the window and its GL context");
    if (!goToData()) {
        closeWindow(game);
        return 1;
    }
    initFrameTimer(game.frameTimer, settings.maxFps);
    collectSystemInfo(game.systemInfo);
    traceStartup(game.startup, "the data's folder, timer, system");
    buildFont();
    traceStartup(game.startup, "the font");
    setUpScene(world, game.said, game.startup, settings.textureFilter, chooseStartTrack(settings.track));
    applyPlayerRules(world, settings);
    resetFrameSteps(game.frame, world);
    // The vehicles' keys: a line that cannot be used is said once, and its
    // vehicle keeps its own keys.
    const std::string keyFaults = applyKeySettings(game.bindings, settings);
    if (!keyFaults.empty()) {
        const std::string text = fileNameOf(settings.readFrom) +
                                 ": some keys cannot be used.\n" + keyFaults;
        platformShowMessage(text.c_str(), "Error", MessageIcon::exclamation);
    }
    if (!replayFile.empty()) {
        changeMode(game, world, ModeChange::playFile, replayFile);
    }
    if (demo) {
        // The attract mode, and a picture that is the same on every machine:
        // the three drivers' views of a race nobody drives.
        game.view.worldView = false;
        game.view.splitLayout = 3;
        game.frame.holdAtStep = holdAtStep;
        startRaceNow(game.race, world, settings, game.said, true);
    }
    if (host) {
        changeMode(game, world, ModeChange::hostLan);
    } else if (join) {
        changeMode(game, world, ModeChange::joinLan, argv[2]);
    }
    // The sound device and the game controllers open once the first frame is
    // on screen: finding them can take a tenth of a second (longer still where
    // there is no sound), and the start line should not wait for them. Pads
    // are read only when their support started; without it, keys alone.
    game.loop = GameLoop{};
    game.loop.soundPending = settings.sound;
    game.loop.padsPending = settings.gamepads;
    game.padsOpen = false;
    game.loop.trackShown = world.track;
    game.loop.phaseShown = world.race.phase;
    return -1;
}

GamePass runGamePass(Game& game, World& world) {
    GameLoop& loop = game.loop;
    if (platformPeekMessage(loop.message)) {
        if (loop.message.message == WM_QUIT) {
            return GamePass::ended;
        }
        platformDispatchMessage(loop.message);
        return GamePass::message;
    }
    if (game.active) {
        // Escape is looked at only between messages, while frames are drawn;
        // a tap that went down and up since the last frame counts too.
        if (game.input.isDown(VK_ESCAPE) && !menuTakesEscape(game.menu)) {
            return GamePass::ended;
        }
        drawFrame(game, world);
        traceStartup(game.startup, "the first frame's drawing");
        platformSwapBuffers();
        endStartupTrace(game.startup);
        if (loop.soundPending) {
            startSound();
            loop.soundPending = false;
        }
        if (loop.padsPending) {
            game.padsOpen = platformOpenGamepads();
            loop.padsPending = false;
        }
        game.said.playing = true; // from now on a problem is a line across the views, not a box
        // A track loaded or a race over: the heap's free pages go back then.
        if (world.track != loop.trackShown || (world.race.phase == RacePhase::results && loop.phaseShown != RacePhase::results)) {
            platformReleaseFreeMemory();
        }
        loop.trackShown = world.track;
        loop.phaseShown = world.race.phase;
        return GamePass::frame;
    }
    if (lanMode(gameMode(game, world))) {
        // Minimised in a LAN session: no frames, but the others' race
        // waits for this machine's steps and words.
        platformWaitMessage(1000 / stepsPerSecond);
        stepUnseenFrame(game, world);
    } else {
        // Minimised: no frames, so nothing to do until a message comes
        // (looked at again four times a second).
        platformWaitMessage(250);
    }
    return GamePass::waited;
}

int endGame(Game& game, World& world) {
    endReplaySession(game.replay, world, game.settings);
    leaveLanRace(game.lan);
    for (BackgroundWrites* writes : {&game.race.writes, &game.replay.writes, &game.trial.writes}) {
        writes->finish(); // nothing the player keeps is left half done
    }
    if (game.padsOpen) {
        platformCloseGamepads();
    }
    stopSound();
    deleteFont();
    closeWindow(game);
    return static_cast<int>(game.loop.message.wParam);
}

int runGame(Game& game, World& world, int argc, char** argv) {
    const int started = startGame(game, world, argc, argv);
    if (started >= 0) {
        return started;
    }
    while (runGamePass(game, world) != GamePass::ended) {
    }
    return endGame(game, world);
}
