// track.h -- the tracks there are to drive: numbered sets of files in Tracks/
// (heights, growth, the ground's two pictures, the course's gates), which one
// the terrain holds, and what keeps a track from being driven.
#pragma once

#include <cstdint>

#include "common/game_limits.h"

// The files of track N (NN: its number in two digits), in the game's Tracks/
// folder, or where its heights are not there but in the player's own Tracks/
// (in the user's data folder), there: a player can add tracks to a game
// installed where they cannot write, but not hide the game's own.
constexpr int trackPathCapacity = 512;
struct TrackFiles {
    char heights[trackPathCapacity]; // Terrain_NN.raw, 512 x 512 bytes
    char growth[trackPathCapacity];  // Growth_NN.raw, 32 x 32 bytes
    char ground[trackPathCapacity];  // Texture_NN.bmp, or .tga where only that is there
    char overlay[trackPathCapacity]; // TextureOverlay_NN.bmp, or .tga likewise
    char gates[trackPathCapacity];   // Gates_NN.txt
    bool groundIsTarga;
    bool overlayIsTarga;
};

// The folder of the user's data folder that keeps the tracks a race's host
// passed on; the game's "Tracks" and the player's own come first.
constexpr const char* downloadedTracks = "downloaded-tracks";

// A LAN race's track taken from its host: while set, track N's files are the
// downloaded ones even where the game or the player has a track N of its own
// (0: none). The LAN session sets it for the race's track and clears it at its end.
void preferDownloadedTrack(int32_t number);

TrackFiles trackFiles(int32_t number);

// What keeps track N from being driven, in the player's words ("Tracks/
// Terrain_04.raw is missing."), a sentence a line; empty when every file is
// there and the heights and growth have their sizes. The pictures and the
// gates are judged when they are read.
struct TrackProblems {
    char text[4096];
};
bool findTrackProblems(int32_t number, TrackProblems& problems);

// The next track after `current` (counting on from 99 to 1) whose files are
// all there; `current` itself when there is no other.
int32_t nextCompleteTrack(int32_t current);

// The track to start on when the player asked for `requested`: that one if it
// can be driven, else track 1, after one box saying what is wrong with it.
int32_t chooseStartTrack(uint32_t requested);

