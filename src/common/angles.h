// angles.h -- degrees and radians with the game's own pi (3.141592654).
#pragma once

constexpr double gamePi = 3.141592654;
constexpr double gameTwoPi = 6.283185307;

constexpr double radians(double degrees) { return degrees / 180 * gamePi; }
constexpr double degrees(double radians) { return radians * 180 / gamePi; }
