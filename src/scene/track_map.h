// track_map.h -- the track seen from straight above, for the quarter the
// two-driver layout leaves free: the ground's heights shaded as by a sun in
// the north-west (one texture, made when the track loads), the course's gates
// while a race runs, and each vehicle an arrow of its colour turned as it
// heads, a few quads a frame.
#pragma once

#include "scene/scene.h"

#include "terrain/terrain.h"

// The picture of this ground (which must stay where it is): once a track is
// loaded, again at each change; made when the map is next drawn.
void buildTrackMap(const TerrainMap& ground);

// The map in the current viewport (of this many pixels): the square of the
// ground as large as fits, centred, and the shown world on it.
void drawTrackMap(const ShownWorld& shown, float viewportWidth, float viewportHeight);
