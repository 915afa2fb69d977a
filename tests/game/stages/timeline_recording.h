// What a timeline did, recorded in a form both the running timelines and the
// table reader produce, so the two can be compared event by event.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "play/stage.h"
#include "stages/timeline.h"

struct RecordedEvent {
  int frame = 0;
  std::string what;  // spawn, spawn_args, title, warning, scroll, midboss_flag
  int type = 0;      // or the value of scroll / midboss_flag
  int variant = 0;
  double x = 0.0;
  double y = 0.0;
  std::array<uint32_t, 4> args{};

  bool operator==(const RecordedEvent&) const = default;
  bool IsSpawn() const { return what == "spawn" || what == "spawn_args"; }
};

inline void PrintTo(const RecordedEvent& e, std::ostream* os) {
  *os << "{" << e.frame << " " << e.what << " " << e.type << "/" << e.variant << " (" << e.x << ", "
      << e.y << ") " << e.args[0] << "," << e.args[1] << "," << e.args[2] << "," << e.args[3]
      << "}";
}

// A sink that records everything; the mid-boss flag is also passed on to the
// stage object so that a stage clearing it shuts its own gate as in the game.
class RecordingTimelineSink : public TimelineSink {
 public:
  RecordingTimelineSink() { previous_ = SetTimelineSinkForTesting(this); }
  ~RecordingTimelineSink() override { SetTimelineSinkForTesting(previous_); }

  int frame = 0;  // stamped on each event
  std::vector<RecordedEvent> events;

  void Spawn(double x, double y, int type, int variant) override {
    events.push_back({frame, "spawn", type, variant, x, y, {}});
  }
  void SpawnWithArgs(double x, double y, int type, int variant, uint32_t a0, uint32_t a1,
                     uint32_t a2, uint32_t a3) override {
    events.push_back({frame, "spawn_args", type, variant, x, y, {a0, a1, a2, a3}});
  }
  void StartStageTitle() override { events.push_back({frame, "title"}); }
  void StartBossWarning() override { events.push_back({frame, "warning"}); }
  void SetScrollMode(int mode) override { events.push_back({frame, "scroll", mode}); }
  void SetMidBossDownFlag(int value) override {
    events.push_back({frame, "midboss_flag", value});
    ::SetMidBossDownFlag(value);
  }

 private:
  TimelineSink* previous_;
};
