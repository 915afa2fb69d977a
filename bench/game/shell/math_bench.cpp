// The angle helpers and the generator run for every bullet and enemy every
// frame; these keep an eye on their cost.
#include <benchmark/benchmark.h>

#include "shell/game_math.h"

static void BM_RandomInt(benchmark::State& state) {
  RandomSeed = 10;
  for (auto _ : state) benchmark::DoNotOptimize(RandomInt(360));
}
BENCHMARK(BM_RandomInt);

static void BM_SinCosDeg(benchmark::State& state) {
  double a = 0.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(CosDeg(a) + SinDeg(a));
    a += 7.5;
  }
}
BENCHMARK(BM_SinCosDeg);

static void BM_TurnAngleToward(benchmark::State& state) {
  double a = 0.0;
  for (auto _ : state) {
    a = TurnAngleToward(a, 200.0, 3.0);
    if (a == 200.0) a = 0.0;
    benchmark::DoNotOptimize(a);
  }
}
BENCHMARK(BM_TurnAngleToward);

static void BM_VectorAngle(benchmark::State& state) {
  double x = 1.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(VectorAngle(x, 3.0));
    x += 0.25;
  }
}
BENCHMARK(BM_VectorAngle);
