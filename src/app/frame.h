// frame.h -- one complete frame: timer, keys, the world's steps, views, overlays.
#pragma once

#include "app/step_clock.h"
#include "scene/scene.h"
#include "sim/world.h"

struct Game;

// The frame's part of the game: real time not yet stepped, the world's
// vehicles a step ago, which the views draw between, and what they drew.
struct FrameState {
    StepClock stepClock;
    Vehicle stepBefore[vehicleCount];
    double drawnFraction; // where between them the last frame drew them
    double clockFraction; // the step clock's part of a step after the last frame
    ShownWorld shown;     // what the views drew last
    uint32_t holdAtStep;  // a held demo's step: the world takes no steps past it (0: none)
};

// Called by the main loop on every idle poll while the window is active; the
// loop presents the frame afterwards. Steps the world as many times as the
// real time since the last frame holds (at most six) and draws it.
void drawFrame(Game& game, World& world);

// A frame while the window is minimised, in a LAN session: what came in, the
// world's steps real time owes (this machine's vehicles without controls) and
// what goes out, so that the others' race goes on; nothing drawn.
void stepUnseenFrame(Game& game, World& world);

// No real time owed to the world, and its vehicles drawn where they stand (a
// new game, or a test's).
void resetFrameSteps(FrameState& frame, const World& world);

// The pads as they are now, read through the platform (when the settings let
// them): their controls join the keys in this frame's steps, their
// Back and Start buttons change the view. Part of every frame.
void readPads(Game& game);

// How far toward its next step the world was when the last frame was drawn,
// 0 to 1: where the views drew its vehicles between its last two steps.
double lastStepFraction(const FrameState& frame);
