// Angles in degrees and the game's random generator. Both feed replays, which
// store only input: every result must come out bit-identical on every run.
#pragma once

#include <cstdint>

// Single-precision pi and pi/180 as the game's arithmetic uses them; the
// double-precision values would change every aimed pattern.
inline constexpr double kPiSingle = 3.1415927410125732;
inline constexpr double kDegreeFactor = kPiSingle / 180.0;

// Double to int, truncating toward zero. NaN and values outside int32 give
// INT32_MIN (what the x86 conversion gives), never undefined behaviour.
int32_t TruncToInt(double value);

double CosDeg(double degrees);
double SinDeg(double degrees);
double VectorAngleSigned(double x, double y);  // -180..180
double VectorAngle(double x, double y);        // 0..<360
// Direction from (x2, y2) to (x1, y1), 0..<360 for in-range results.
double AngleBetweenPoints(double x1, double y1, double x2, double y2);
double AngleToPlayer(double x, double y);  // to the player's core, -180..180
double AngleToPlayerInSteps(double x, double y, int32_t step);
double AngleToPlayerCentre(double x, double y);
double Distance(double x1, double y1, double x2, double y2);
double WrapAngleInt(double degrees);
double TurnAngleToward(double current, double target, double step);

// The game's generator: seed = seed * 48828125 + 1 (mod 2^32). Set to 10 at
// the start of every game. Calls with several random arguments must draw into
// locals, last argument first: C++ leaves argument order unspecified.
extern uint32_t RandomSeed;
int32_t RandomInt(int32_t n);        // 0..n-1; n < 1 gives 0 without a draw
int32_t RandomIntSigned(int32_t n);  // -(n-1)..n-1; always draws
