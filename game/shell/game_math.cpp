#include "shell/game_math.h"

#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "play/player.h"

static_assert(std::bit_cast<uint64_t>(kDegreeFactor) == 0x3F91DF46AAAAAAABull);
static_assert(std::bit_cast<uint64_t>(kPiSingle) == 0x400921FB60000000ull);

uint32_t RandomSeed = 0;

int32_t TruncToInt(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0))
    return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

double CosDeg(double degrees) { return std::cos(degrees * kDegreeFactor); }
double SinDeg(double degrees) { return std::sin(degrees * kDegreeFactor); }

static double RadiansToDegrees(double radians) { return radians * 180.0 / kPiSingle; }

double VectorAngleSigned(double x, double y) { return RadiansToDegrees(std::atan2(y, x)); }

double VectorAngle(double x, double y) {
  double a = VectorAngleSigned(x, y);
  if (a < 0.0) a += 360.0;
  if (a >= 360.0) a -= 360.0;
  return a;
}

double AngleBetweenPoints(double x1, double y1, double x2, double y2) {
  double a = RadiansToDegrees(std::atan2(y1 - y2, x1 - x2));
  if (a < 0.0) a += 360.0;
  return a;
}

double AngleToPlayer(double x, double y) {
  double cx = 0.0, cy = 0.0;
  GetPlayerCore(&cx, &cy);
  return RadiansToDegrees(std::atan2(cy - y, cx - x));
}

double AngleToPlayerInSteps(double x, double y, int32_t step) {
  int64_t s = step < 0 ? -int64_t{step} : int64_t{step};
  if (s == 0) s = 1;
  int64_t a = TruncToInt(AngleToPlayer(x, y));
  return static_cast<double>(a / s * s);
}

double AngleToPlayerCentre(double x, double y) {
  double cx = 0.0, cy = 0.0;
  GetPlayerCentre(&cx, &cy);
  double a = RadiansToDegrees(std::atan2(cy - y, cx - x));
  if (a < 0.0) a += 360.0;
  return a;
}

double Distance(double x1, double y1, double x2, double y2) {
  double dx = x2 - x1;
  double dy = y2 - y1;
  return std::sqrt(dx * dx + dy * dy);
}

double WrapAngleInt(double degrees) {
  int32_t r = TruncToInt(degrees) % 360;
  if (r < 0) r += 360;
  return r;
}

double TurnAngleToward(double current, double target, double step) {
  if (current < 0.0) current += 360.0;
  if (target < 0.0) target += 360.0;
  int32_t gap = TruncToInt(target - current);
  double result;
  if (std::abs(int64_t{gap}) < 180) {
    if (target < current) {
      result = current - step;
      if (!(result > target)) result = target;
    } else if (target > current) {
      result = current + step;
      if (!(result < target)) result = target;
    } else {
      result = current;
    }
  } else {
    result = (target - current > 0.0) ? current - step : current + step;
  }
  if (result >= 360.0) result -= 360.0;
  return result;
}

static int32_t NextSeedSigned() {
  RandomSeed = RandomSeed * 48828125u + 1u;
  return static_cast<int32_t>(RandomSeed);
}

int32_t RandomInt(int32_t n) {
  if (n <= 0) return 0;
  int32_t r = NextSeedSigned() % n;
  return r < 0 ? -r : r;
}

int32_t RandomIntSigned(int32_t n) {
  int32_t s = NextSeedSigned();
  // A count below 1 would divide by zero (or overflow INT_MIN % -1): the draw
  // still happens so the sequence stays in step, and the result is 0.
  if (n <= 0) return 0;
  return s % n;
}
