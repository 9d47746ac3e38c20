// menu_session.h -- the menu as the game runs it: F1 (a pad's LB) opens and
// closes it; while it is open the world stands still and the sound fades
// out; what it changes is applied at once and kept in the settings file.
#pragma once

#include <cstdint>

#include "sim/world.h"

// Once a frame, before every other key: F1 and a pad's LB, and while the menu
// is open its keys, the pads' d-pad, A and B, and the mouse. A frame lasting
// 1 / frameRate seconds moves the sound's fade and the hint's time on.
void readMenuKeys(World& world, uint32_t frameRate);

bool menuOpen();

// The menu as it stands (its page and the line chosen), and what it shows.
const struct Menu& gameMenu();
const struct MenuFacts& gameMenuFacts();

// Whether Escape is the menu's now (it cancels a new key being chosen, and
// quits nothing until it is let go).
bool menuTakesEscape();

// How loud the game is heard: 1, fading to 0 while the menu is open.
float menuSoundLevel();

// Over the whole window, last: the menu over a darkened picture, or in the
// first five seconds the hint "F1: menu" in the top right corner.
void drawMenu();

// The menu closed, nothing remembered (for tests).
void resetMenuSession();
