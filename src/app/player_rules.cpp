// player_rules.cpp -- the player's rules from the settings.
#include "app/player_rules.h"


void applyPlayerRules(World& world, const Settings& settings) {
    setWorldRules(world, simulationVersion, settings.vehicleContact, settings.solidTrees);
}

bool recordsCount(const World& world) {
    return world.simulation == simulationVersion && world.vehicleContact && world.solidTrees;
}
