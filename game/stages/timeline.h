// The timeline engine: stage events held as folded table rows, expanded once
// into a frame-sorted list and looked up by the current stage frame.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Which frames a row covers, and the k that its formulas see on each.
struct TimelineFrames {
  enum Kind : uint8_t { kAt, kEvery, kAtOnce, kSame };
  Kind kind;
  int32_t first;
  int32_t last;  // kEvery only
  int32_t step;  // kEvery: frame step; kAtOnce: how many spawns
};

constexpr TimelineFrames At(int32_t frame) { return {TimelineFrames::kAt, frame, frame, 0}; }
// first, first + step, ..., last
constexpr TimelineFrames Every(int32_t first, int32_t last, int32_t step) {
  return {TimelineFrames::kEvery, first, last, step};
}
constexpr TimelineFrames AtOnce(int32_t frame, int32_t count) {
  return {TimelineFrames::kAtOnce, frame, frame, count};
}
// The frames (and k) of the row above; on each, this row's event follows it.
constexpr TimelineFrames Same() { return {TimelineFrames::kSame, 0, 0, 0}; }

// A coordinate as a function of k.
struct TimelineCoord {
  enum Kind : uint8_t { kLinear, kAlternate, kInTurn, kRingX, kRingY };
  Kind kind;
  double a;
  double b;
  double c;
  // A plain number.
  constexpr TimelineCoord(double v) : kind(kLinear), a(v), b(0.0), c(0.0) {}  // NOLINT
  constexpr TimelineCoord(Kind k, double a_, double b_, double c_) : kind(k), a(a_), b(b_), c(c_) {}
};

// a + b·k
constexpr TimelineCoord Lin(double a, double b) { return {TimelineCoord::kLinear, a, b, 0.0}; }
// a for even k, b for odd k
constexpr TimelineCoord Alt(double a, double b) { return {TimelineCoord::kAlternate, a, b, 0.0}; }
// a, b, c, a, b, c, ...
constexpr TimelineCoord Turn(double a, double b, double c) {
  return {TimelineCoord::kInTurn, a, b, c};
}
// Six points on a ring around x = centre, at a = 60k degrees.
constexpr TimelineCoord RingX(double centre) { return {TimelineCoord::kRingX, centre, 0.0, 0.0}; }
constexpr TimelineCoord RingY() { return {TimelineCoord::kRingY, 0.0, 0.0, 0.0}; }

enum class TimelineAction : uint8_t {
  kSpawn,
  kSpawnWithArgs,
  kStageTitle,
  kBossWarning,
  kScrollMode,
  kMidBossFlag,
};

// One row of a stage table.
struct TimelineRow {
  TimelineFrames frames;
  TimelineAction action;
  int32_t type;  // spawns; the value for scroll mode and mid-boss flag
  int32_t variant;
  TimelineCoord x;
  TimelineCoord y;
  double arg0;  // spawn with arguments
  double arg1;
  bool gated;
};

constexpr TimelineRow Spawn(TimelineFrames f, int32_t type, int32_t variant, TimelineCoord x,
                            TimelineCoord y) {
  return {f, TimelineAction::kSpawn, type, variant, x, y, 0.0, 0.0, false};
}
constexpr TimelineRow SpawnArgs(TimelineFrames f, int32_t type, int32_t variant, TimelineCoord x,
                                TimelineCoord y, double arg0, double arg1) {
  return {f, TimelineAction::kSpawnWithArgs, type, variant, x, y, arg0, arg1, false};
}
constexpr TimelineRow StageTitle(TimelineFrames f) {
  return {f, TimelineAction::kStageTitle, 0, 0, 0.0, 0.0, 0.0, 0.0, false};
}
constexpr TimelineRow BossWarning(TimelineFrames f) {
  return {f, TimelineAction::kBossWarning, 0, 0, 0.0, 0.0, 0.0, 0.0, false};
}
constexpr TimelineRow ScrollMode(TimelineFrames f, int32_t mode) {
  return {f, TimelineAction::kScrollMode, mode, 0, 0.0, 0.0, 0.0, 0.0, false};
}
constexpr TimelineRow MidBossFlag(TimelineFrames f, int32_t value) {
  return {f, TimelineAction::kMidBossFlag, value, 0, 0.0, 0.0, 0.0, 0.0, false};
}
// The row fires only while the mid-boss flag is 1.
constexpr TimelineRow Gated(TimelineRow row) {
  row.gated = true;
  return row;
}

// One expanded event.
struct TimelineEvent {
  int32_t frame;
  TimelineAction action;
  int32_t type;  // or the value of a scroll-mode / mid-boss-flag event
  int32_t variant;
  double x;
  double y;
  uint32_t args[4];  // two doubles, low word first
  bool gated;
};

// Expands folded rows into events sorted by frame, table order kept within a
// frame. A malformed row (a "same" with nothing above it, a step below 1)
// yields nothing.
std::vector<TimelineEvent> ExpandTimeline(std::span<const TimelineRow> rows);

// Fires the events of `frame` (none while the game is paused; gated ones only
// while the mid-boss flag is 1). Returns 0.
int RunTimeline(const std::vector<TimelineEvent>& events, int frame);

// Where the events go. The game's sink calls the enemy pool, the banners and
// the stage object.
class TimelineSink {
 public:
  virtual ~TimelineSink() = default;
  virtual void Spawn(double x, double y, int type, int variant) = 0;
  virtual void SpawnWithArgs(double x, double y, int type, int variant, uint32_t a0, uint32_t a1,
                             uint32_t a2, uint32_t a3) = 0;
  virtual void StartStageTitle() = 0;
  virtual void StartBossWarning() = 0;
  virtual void SetScrollMode(int mode) = 0;
  virtual void SetMidBossDownFlag(int value) = 0;
};

// nullptr restores the game's sink. Returns the previous test sink.
TimelineSink* SetTimelineSinkForTesting(TimelineSink* sink);
