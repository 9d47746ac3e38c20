// files.h -- the game's file names: UTF-8 text everywhere in the game, turned
// into the system's own names only where a file is opened, listed, renamed or
// removed, so that no letter of a player's folder is lost on the way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/bytes.h"

// A path from its UTF-8 name, and a path's UTF-8 name.
std::filesystem::path pathOf(const std::string& name);
std::string nameOf(const std::filesystem::path& path);

// The file's name alone ("race-3.mlr" of ".../replays/race-3.mlr").
std::string fileNameOf(const std::string& name);

// The file named as a whole, at most cap bytes of it (see readWholeFile).
WholeFile readWholeFile(const std::string& name, size_t cap, std::vector<uint8_t>& bytes);
