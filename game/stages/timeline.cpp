#include "stages/timeline.h"

#include <algorithm>
#include <bit>

#include "play/enemies.h"
#include "play/stage.h"
#include "screens/overlays.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"

namespace {

class GameSink final : public TimelineSink {
 public:
  // Spawn results are ignored: a full slot range simply drops the enemy.
  void Spawn(double x, double y, int type, int variant) override {
    SpawnEnemy(x, y, type, variant);
  }
  void SpawnWithArgs(double x, double y, int type, int variant, uint32_t a0, uint32_t a1,
                     uint32_t a2, uint32_t a3) override {
    SpawnEnemyWithArgs(x, y, type, variant, a0, a1, a2, a3);
  }
  void StartStageTitle() override { ::StartStageTitle(); }
  void StartBossWarning() override { ::StartBossWarning(); }
  void SetScrollMode(int mode) override { ::SetScrollMode(mode); }
  void SetMidBossDownFlag(int value) override { ::SetMidBossDownFlag(value); }
};

GameSink g_game_sink;
TimelineSink* g_test_sink = nullptr;

TimelineSink& Sink() { return g_test_sink != nullptr ? *g_test_sink : g_game_sink; }

double Evaluate(const TimelineCoord& c, int k) {
  switch (c.kind) {
    case TimelineCoord::kLinear:
      return c.a + c.b * k;
    case TimelineCoord::kAlternate:
      return k % 2 == 0 ? c.a : c.b;
    case TimelineCoord::kInTurn:
      return k % 3 == 0 ? c.a : (k % 3 == 1 ? c.b : c.c);
    case TimelineCoord::kRingX:
      return c.a + 60.0 * CosDeg(60.0 * k);
    case TimelineCoord::kRingY:
      return (50.0 * SinDeg(60.0 * k) - 28.0) - 50.0;
  }
  return 0.0;
}

void PackDouble(double v, uint32_t* words) {
  uint64_t bits = std::bit_cast<uint64_t>(v);
  words[0] = static_cast<uint32_t>(bits);
  words[1] = static_cast<uint32_t>(bits >> 32);
}

// The (frame, k) pairs a row's frame rule stands for ("same" has none of its own).
bool FramesOf(const TimelineFrames& f, std::vector<std::pair<int32_t, int>>& out) {
  out.clear();
  switch (f.kind) {
    case TimelineFrames::kAt:
      out.emplace_back(f.first, 0);
      return true;
    case TimelineFrames::kEvery: {
      if (f.step < 1) return false;
      int k = 0;
      for (int64_t frame = f.first; frame <= f.last; frame += f.step) {
        out.emplace_back(static_cast<int32_t>(frame), k++);
      }
      return true;
    }
    case TimelineFrames::kAtOnce:
      for (int k = 0; k < f.step; ++k) out.emplace_back(f.first, k);
      return true;
    case TimelineFrames::kSame:
      return false;
  }
  return false;
}

}  // namespace

std::vector<TimelineEvent> ExpandTimeline(std::span<const TimelineRow> rows) {
  std::vector<TimelineEvent> events;
  std::vector<std::pair<int32_t, int>> frames;
  bool have_frames = false;
  for (const TimelineRow& row : rows) {
    if (row.frames.kind != TimelineFrames::kSame) {
      have_frames = FramesOf(row.frames, frames);
    }
    if (!have_frames) continue;
    for (auto [frame, k] : frames) {
      TimelineEvent e{};
      e.frame = frame;
      e.action = row.action;
      e.type = row.type;
      e.variant = row.variant;
      e.gated = row.gated;
      if (row.action == TimelineAction::kSpawn || row.action == TimelineAction::kSpawnWithArgs) {
        e.x = Evaluate(row.x, k);
        e.y = Evaluate(row.y, k);
      }
      if (row.action == TimelineAction::kSpawnWithArgs) {
        PackDouble(row.arg0, &e.args[0]);
        PackDouble(row.arg1, &e.args[2]);
      }
      events.push_back(e);
    }
  }
  std::stable_sort(
      events.begin(), events.end(),
      [](const TimelineEvent& a, const TimelineEvent& b) { return a.frame < b.frame; });
  return events;
}

int RunTimeline(const std::vector<TimelineEvent>& events, int frame) {
  if (g_flags.GamePaused != 0) return 0;
  auto begin = std::lower_bound(events.begin(), events.end(), frame,
                                [](const TimelineEvent& e, int f) { return e.frame < f; });
  auto end = std::upper_bound(begin, events.end(), frame,
                              [](int f, const TimelineEvent& e) { return f < e.frame; });
  // The flag as it stands on this frame decides for all of the frame's gated events.
  bool gate_open = GetMidBossDownFlag() == 1;
  TimelineSink& sink = Sink();
  for (auto it = begin; it != end; ++it) {
    const TimelineEvent& e = *it;
    if (e.gated && !gate_open) continue;
    switch (e.action) {
      case TimelineAction::kSpawn:
        sink.Spawn(e.x, e.y, e.type, e.variant);
        break;
      case TimelineAction::kSpawnWithArgs:
        sink.SpawnWithArgs(e.x, e.y, e.type, e.variant, e.args[0], e.args[1], e.args[2], e.args[3]);
        break;
      case TimelineAction::kStageTitle:
        sink.StartStageTitle();
        break;
      case TimelineAction::kBossWarning:
        sink.StartBossWarning();
        break;
      case TimelineAction::kScrollMode:
        sink.SetScrollMode(e.type);
        break;
      case TimelineAction::kMidBossFlag:
        sink.SetMidBossDownFlag(e.type);
        break;
    }
  }
  return 0;
}

TimelineSink* SetTimelineSinkForTesting(TimelineSink* sink) {
  TimelineSink* previous = g_test_sink;
  g_test_sink = sink;
  return previous;
}
