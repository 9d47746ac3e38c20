// mode_change.h -- the changes of mode a key, a pad's button, a menu line or a
// file dropped on the window asks for. The rooms that read the keys say which
// change was asked; the game's mode (game_mode.h) makes it, in one place.
#pragma once

#include <cstdint>

enum class ModeChange : uint8_t {
    none,
    startRace,    // F5, a pad's Y, the menu's "Start race" (during one: again; in a LAN session: the host's)
    endResults,   // a layout key or a pad's Start while the results show
    nextTrack,    // F7, a pad's right shoulder (not while a race runs)
    toggleTrial,  // F8: a time trial, or the end of the one on
    startTrial,   // the menu's "Time trial"
    replayKey,    // F6: the newest replay, or the end of the one playing
    playFile,     // a replay file: dropped on the window, named on the command line, chosen in the menu
    hostLan,      // --host, the menu's "Host a LAN race"
    joinLan,      // --join, the menu's "Join"
};
