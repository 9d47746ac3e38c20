// game_math.h -- the simulation's own sine, cosine and arctangent: plain double
// sums (no fused multiply-adds, no library), so that every compiler and
// every C library steps a race to the same bits, accurate to within a few of
// a double's last bits (far finer than the floats a step keeps).
#pragma once

// Radians in, as std::sin and std::cos; a number of any size gives a number,
// one that is none gives none.
double gameSin(double x);
double gameCos(double x);
void gameSinCos(double x, double& sine, double& cosine); // both, for the cost of one

// The arctangent, in radians, of x (-pi/2 .. pi/2) and of y / x in the
// quadrant of (x, y) (-pi .. pi; 0 for the origin).
double gameAtan(double x);
double gameAtan2(double y, double x);

// The length of (x, y). The square root is rounded exactly on every IEEE
// machine; the library's hypot need not be.
double gameHypot(double x, double y);

// The remainder of x by y, as IEEE 754 defines it: exact, the same bits from
// every library.
double gameRemainder(double x, double y);
