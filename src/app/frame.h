// frame.h -- one complete frame: timer, keys, simulation, views, overlays.
#pragma once

// Called by the main loop on every idle poll while the window is active; the
// loop presents the frame afterwards.
void drawFrame();

// The pads as they are now, read through the platform (when the settings let
// them): their controls join the keys in this frame's simulation step, their
// Back and Start buttons change the view. Part of every frame.
void readPads();
