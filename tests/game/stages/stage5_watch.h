// What the stage 5 and extra-stage runs watch beyond the shared milestones:
// the mid-boss and its gate, the scroll stop and the boss music, and the
// hidden boss. Also drops the recording library's call log every frame, as
// nothing reads it and these runs are long.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "play/enemies.h"
#include "play/stage.h"
#include "play/stage_clear.h"
#include "shell/sound_bank.h"
#include "stage_run_watch.h"
#include "support/kesto_fake/kesto_fake.h"

namespace stage_run {

struct Stage5Seen {
  std::vector<int> mid_states;  // type 120's life states in order
  int mid_frame = -1;           // first seen
  int mid_gone = -1;            // first frame without it
  int mid_down = -1;            // the frame the gate flag went up
  int mid_down_stage_frame = -1;
  int gated_spawns = 0;          // regular enemies placed on stage frames 4400-5540
  int scroll_stop = -1;          // first frame with layer 1 still, the boss out
  int boss_hittable = -1;        // first frame with type 240 in class 0
  int music8 = -1, music9 = -1;  // the frames the boss tunes started
  int music_halts = 0;
  int mid_halts = 0;               // while the mid-boss was about, its death included
  std::vector<int> hidden_states;  // type 250's
  std::vector<int> hidden_timed_out;
  int hidden_frame = -1;
  int left_at_fade = -1;  // enemies in the pool when the tally fades out
};

inline constexpr const char* kStage5BossMusic = "bgm/mp3_end_point.mp3";
inline constexpr const char* kHiddenBossMusic = "bgm/mp3_energy.mp3";

// Adds the stage 5 watch on top of whatever the script already watches.
inline void WatchStage5(HarnessScript& s, Stage5Seen& w) {
  LoadBgmTable();  // the harness plays with music on
  auto serials = std::make_shared<std::set<int>>();
  auto inner = s.on_frame;
  s.on_frame = [inner, serials, &w](int f) {
    if (inner) inner(f);
    const bool mid_about = w.mid_frame >= 0 && w.mid_gone < 0;
    for (const auto& c : kesto_fake::state().calls) {
      if (c.name == "HaltMusic") {
        ++w.music_halts;
        if (mid_about) ++w.mid_halts;
      }
      if (c.name != "StartMusicFile") continue;
      if (c.text == kStage5BossMusic && w.music8 < 0) w.music8 = f;
      if (c.text == kHiddenBossMusic && w.music9 < 0) w.music9 = f;
    }
    kesto_fake::state().calls.clear();

    bool mid = false;
    const int stage_frame = GetStageFrame() - 1;  // counted at the end of the stage step
    for (const EnemyObject& e : g_enemies) {
      if (e.in_use != 1) continue;
      const bool fresh = serials->insert(e.serial).second;
      const bool gated_type = e.type == 0 || e.type == 12 || e.type == 16 || e.type == 28;
      if (fresh && gated_type && stage_frame >= 4400 && stage_frame <= 5540) ++w.gated_spawns;
      if (e.type == 120) {
        mid = true;
        if (w.mid_frame < 0) w.mid_frame = f;
        if (w.mid_states.empty() || w.mid_states.back() != e.life_state)
          w.mid_states.push_back(e.life_state);
      }
      if (e.type == 240) {
        if (w.scroll_stop < 0 && GetScrollSpeed(1) == 0.0) w.scroll_stop = f;
        if (w.boss_hittable < 0 && e.collision_class == 0) w.boss_hittable = f;
      }
      if (e.type == 250) {
        if (w.hidden_frame < 0) w.hidden_frame = f;
        if (w.hidden_states.empty() || w.hidden_states.back() != e.life_state) {
          w.hidden_states.push_back(e.life_state);
          w.hidden_timed_out.push_back(e.timed_out);
        }
      }
    }
    if (!mid && w.mid_frame >= 0 && w.mid_gone < 0) w.mid_gone = f;
    if (w.mid_down < 0 && GetMidBossDownFlag() == 1) {
      w.mid_down = f;
      w.mid_down_stage_frame = stage_frame;
    }
    if (w.left_at_fade < 0 && g_stage_clear.active == 1 && g_stage_clear.step >= 9) {
      w.left_at_fade = 0;
      for (const EnemyObject& e : g_enemies) w.left_at_fade += e.in_use == 1;
    }
  };
}

}  // namespace stage_run
