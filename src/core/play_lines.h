// play_lines.h -- what the game has to tell the players while they play: a
// line across the views for a few seconds (and on standard error), never a box
// that stops all three. Before the first frame is on screen, a problem is
// still a box: there is no game yet to keep going.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

struct PlayLine {
    std::string text;
    double seconds; // left on screen
};

// The lines showing now, oldest first, and whether play has begun.
struct PlayLines {
    std::vector<PlayLine> lines;
    bool playing = false;
};

// A line across the views for this long, and on standard error.
void showPlayLine(PlayLines& said, const std::string& text, double seconds = 6);

// A problem the players must hear of: before play began a box with this
// caption and icon, from then on a line.
void tellPlayer(PlayLines& said, const std::string& text, const char* caption, MessageIcon icon);

// A frame of this many seconds passed: the lines whose time is up go.
void agePlayLines(PlayLines& said, double seconds);
