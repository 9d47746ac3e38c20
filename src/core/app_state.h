// app_state.h -- the GL names every part of the drawing shares: one per
// process, as the context they belong to.
#pragma once

#include <cstdint>

struct GLUquadric;

extern uint32_t fontBase;         // first of the font's 96 display lists
extern GLUquadric* quadric;       // shared by the vehicle wheels

// Lets the quadric go and forgets the font's lists (for tests).
void resetAppState();
