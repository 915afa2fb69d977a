// Watches a whole stage played through the game-play scene from outside:
// the WARNING, the boss's life states, the tally and the hand-over to the
// next stage, what was spawned and what was shot down. Shared by the
// whole-stage runs of every stage.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "game/play/determinism_harness.h"

namespace stage_run {

constexpr uint32_t kDown = 1, kLeft = 2, kRight = 4, kUp = 8, kShot = 16, kBomb = 32, kAuto = 64;

struct Milestones {
  int warning_frame = -1;
  int boss_frame = -1;
  int clear_frame = -1;
  int next_stage_frame = -1;
  int score_at_warning = -1;
  int score_at_clear = -1;
  std::vector<int> boss_life_states;  // in the order they were seen
  std::vector<int> boss_timed_out;    // its time-out mark when each was first seen
  int boss_present_at_clear = 0;
  std::set<int> serials;  // every enemy record spawned
  std::set<int> types;    // and their types
  int destroyed = 0;      // gone in a burst of explosions, on the field
  int longest_life = 0;   // frames, any enemy but the bosses and their parts
  std::string longest_life_type;
  int left_at_next_stage = -1;  // enemies in the pool when the tally hands over
};

// Fire held, sweeping left and right so the shots meet both sides; the
// player kept alive by the debug invincibility switch. `stage_select` as in
// HarnessScript (0: a new game from stage 1).
HarnessScript SweepScript(int difficulty, int frames, int stage_select = 0);

// A live script with moves, focus, full auto and a bomb every 1500 frames.
HarnessScript LiveMixScript(int difficulty, int frames, int stage_select = 0);

// Adds the milestone watch to a script; `m` must outlive the run. The boss
// is the enemy of `boss_type`; the hand-over is the first frame on which
// the stage number reads `next_stage`.
void Watch(HarnessScript& s, Milestones& m, int boss_type, int next_stage);

const char* ModeName(int mode);

}  // namespace stage_run
