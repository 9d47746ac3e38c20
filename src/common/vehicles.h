// vehicles.h -- how many vehicles the game has and their names, for every floor.
#pragma once

constexpr int vehicleCount = 3;
// The vehicles by their colours, as the views, the notices and the results name them.
constexpr const char* vehicleNames[vehicleCount] = {"blue", "red", "green"};
