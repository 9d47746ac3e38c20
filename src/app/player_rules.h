// player_rules.h -- the rules the player's own driving steps by, and which
// driving counts for records.
#pragma once

#include "core/settings.h"
#include "sim/world.h"

// The world steps by the player's rules from now on: this simulation, with
// vehicle contact and solid trees as the settings have them.
void applyPlayerRules(World& world, const Settings& settings);

// Whether the world's races and laps count for records: this simulation's,
// with vehicle contact and solid trees on.
bool recordsCount(const World& world);
