// frame.h -- one complete frame: timer, keys, simulation, views, overlays.
#pragma once

// Called by the main loop on every idle poll while the window is active; the
// loop presents the frame afterwards.
void drawFrame();
