// game_mode.h -- what the game is doing, as one value, and which of the
// game's own keys act in each: the one question a key, a menu line or a
// message asks. The menu lies over any of them (menuOpen) and has every key
// while it is open.
#pragma once

#include <cstdint>

#include <string>

#include "app/mode_change.h"
#include "sim/world.h"

struct Game;

enum class GameMode : uint8_t {
    driving,   // the vehicles on the track, no race
    race,      // from the countdown to the results
    timeTrial, // laps against the ghost
    replay,    // a recorded race playing
    lanLobby,  // hosting or joining, no race started yet
    lanRace,   // the lockstep steps the world: every machine's race
};
constexpr int32_t gameModeCount = 6;

// The mode as it stands: a LAN session before all (its lobby, then its
// races), then a replay playing, then the world's trial or race.
GameMode gameMode(const Game& game, const World& world);

// The game's own keys (and their pad buttons), apart from the layouts, the
// followed vehicle, the menu and Escape, which act in every mode.
enum class GameKey : uint8_t {
    startRace,  // F5, a pad's Y
    replay,     // F6, Space, Right, Left, a file dropped on the window
    nextTrack,  // F7, a pad's right shoulder
    timeTrial,  // F8
    lanSession, // the LAN host's F5 and F7
};

// Whether the key acts in the mode; where it does not, it is let go.
bool keyActs(GameKey key, GameMode mode);

// The one place the game changes mode: each change a key, a menu line, a
// dropped file or the command line asks for is made where the mode has its
// key (keyActs) and let go where it has not; whatever the mode being left
// needs ended (a replay when a LAN session begins, the results when the track
// changes) ends here too. text: the replay file to play, the address to join.
void changeMode(Game& game, World& world, ModeChange change, const std::string& text = "");

// Whether a LAN session has the world: the lobby or its race.
inline bool lanMode(GameMode mode) { return mode == GameMode::lanLobby || mode == GameMode::lanRace; }

// Whether the world is this machine's to change apart from its steps (a
// track chosen, the rules set): neither a replay's nor a LAN race's.
bool worldIsOwn(GameMode mode);
