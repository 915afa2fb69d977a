// Watches a whole stage played through the game-play scene from outside:
// the WARNING, the boss's life states, the tally and the hand-over to the
// next stage, what was spawned and what was shot down. Shared by the
// whole-stage runs of every stage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
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

// No input at all: nothing is shot, so the bosses' phases run out on their
// time limits.
HarnessScript UnshotScript(int difficulty, int frames, int stage_select);

// A live script with moves, focus, full auto and a bomb every 1500 frames.
HarnessScript LiveMixScript(int difficulty, int frames, int stage_select = 0);

// Adds the milestone watch to a script; `m` must outlive the run. The boss
// is the enemy of `boss_type`; the hand-over is the first frame on which
// the stage number reads `next_stage`.
void Watch(HarnessScript& s, Milestones& m, int boss_type, int next_stage);

const char* ModeName(int mode);

// ---- Checks shared by the stage runs ----------------------------------------
// A fatal failure inside one of these ends only the helper: call them
// through ASSERT_NO_FATAL_FAILURE.

// The WARNING, then the boss through `boss_states`, then the tally with the
// boss gone.
void ExpectWarningBossTally(const Milestones& m, const std::vector<int>& boss_states);

// A stage shot through whole: more than `min_spawns` enemies came and some
// fell to the fire, there was score before the WARNING, the fight went as
// ExpectWarningBossTally says, and the tally paid out and handed over to the
// next stage with the field empty; nothing hung about and nothing hit the
// player.
void ExpectStageShotThrough(const Milestones& m, const HarnessResult& r, size_t min_spawns,
                            const std::vector<int>& boss_states);

// An unshot boss: `boss_states` in order, each ended timed out or not as
// `timed_out` says, the fight longer than `min_fight_frames`; the tally still
// handed over with the field empty, and nothing hit the player.
void ExpectBossTimedOut(const Milestones& m, const HarnessResult& r,
                        const std::vector<int>& boss_states, const std::vector<int>& timed_out,
                        int min_fight_frames);

// Boss practice: the WARNING within the first 100 frames, the fight as
// ExpectWarningBossTally says, and after the tally the game over on the
// practice stage number instead of the next stage.
void ExpectBossPractice(const Milestones& m, const std::vector<int>& boss_states,
                        int practice_stage);

// Plays back the recording `played` made of `live`, with `watch` adding fresh
// watches to the playback, and checks the playback reaches the live run's
// state after every digested frame and its score, and that the live run
// used its bombs.
void ExpectPlaybackMatches(const HarnessScript& live, const HarnessResult& played,
                           const std::function<void(HarnessScript&)>& watch);

// Drops the stage-select flag after the first frame, so a stage-select run
// plays on as an arcade game that has got this far: its tally hands over to
// the next stage instead of ending the game.
void PlayOnAsArcade(HarnessScript& s);

}  // namespace stage_run
