// menu_session.h -- the menu as the game runs it: F1 (a pad's LB) opens and
// closes it; while it is open the world stands still and the sound fades
// out; what it changes is applied at once and kept in the settings file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "menu/menu.h"
#include "sim/world.h"

struct Game;

// The menu's part of the game: the menu as it stands (its page and the line
// chosen) and what it shows, the files and addresses behind its lines, the
// hint's time, the sound's fade.
struct MenuSession {
    Menu menu;
    MenuFacts facts;
    std::vector<std::string> replays; // the files of facts.replays
    std::vector<std::string> hostAddresses; // the addresses of facts.hosts
    bool finding;                     // the join page asked for hosts
    float seconds;                    // since the game started, while the hint shows
    float soundLevel = 1;
    bool escapeHeld;                  // the Escape that cancelled a new key, until let go
    bool soundAsked;                  // the sound was turned on here and its device asked for
    bool clickWasDown;
    int32_t sizeShown;                // the size the Screen page showed when the menu opened
};

// Once a frame, before every other key: F1 and a pad's LB, and while the menu
// is open its keys, the pads' d-pad, A and B, and the mouse. A frame lasting
// 1 / frameRate seconds moves the sound's fade and the hint's time on. What
// it chooses reaches the game's other parts.
void readMenuKeys(Game& game, World& world, uint32_t frameRate);

bool menuOpen(const MenuSession& session);

// Whether Escape is the menu's now (it cancels a new key being chosen, and
// quits nothing until it is let go).
bool menuTakesEscape(const MenuSession& session);

// How loud the game is heard: 1, fading to 0 while the menu is open.
float menuSoundLevel(const MenuSession& session);

// Over the whole window, last: the menu over a darkened picture, or in the
// first five seconds the hint "F1: menu" in the top right corner.
void drawMenu(const Game& game);
