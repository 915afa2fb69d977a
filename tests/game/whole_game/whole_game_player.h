// A player at the pad for whole games through the scene loop. Each screen
// has its own script, counted in frames from the screen's first, and what is
// chosen on the menus comes from a plan the test changes between rounds
// (an arcade game, the replay of it, a visit to stage select).
#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "game/screens/result_scenes_fixture.h"
#include "screens/scenes.h"
#include "shell/game_flags.h"

namespace whole_game {

using result_scenes::kBomb;
using result_scenes::kDown;
using result_scenes::kLeft;
using result_scenes::kRight;
using result_scenes::kShot;
using result_scenes::kUp;
inline constexpr uint32_t kFullAuto = 64;

struct MenuPlan {
  int main_menu_item = 0;  // 0 ARCADE, 1 STAGE SELECT, 3 REPLAY
  int mode_moves = 0;      // from ORIGINAL: -1 HEAVEN, +1 HELL, +2 ACCEL
  int stage_moves = 0;     // from STAGE 1; negative moves wrap round from the bottom
  int fighter_moves = 0;   // from the first fighter; negative moves wrap round
  bool fighter_bomb =
      false;  // take the fighter with bomb: variant 1, or the hidden fighter on EDEN
  bool leave_replay_list = false;  // the list's RETURN instead of playing slot 5
};

class Player {
 public:
  // Game play, live: fire held while sweeping left and right, with a
  // stretch of full auto now and then and a bomb every 3000 frames, so the
  // recording holds every kind of input. The player is kept alive by the
  // debug invincibility switch and never sees the continue screen.
  static uint32_t PlayWord(int f) {
    const uint32_t side = (f / 90) % 2 == 0 ? kLeft : kRight;
    if (f % 3000 == 1500) return kBomb;
    if (f % 2400 >= 1200 && f % 2400 < 1260) return kFullAuto | side;
    const int rise = (f / 45) % 8;
    return kShot | side | (rise == 3 ? kUp : rise == 7 ? kDown : 0u);
  }

  uint32_t Word(int pump) {
    const int scene = g_flags.CurrentScene;
    if (scene != scene_) {
      scene_ = scene;
      scene_start_ = pump;
      ++visits_[scene];
    }
    const int f = pump - scene_start_;  // 0 on the screen's first frame
    switch (scene) {
      case kSceneGamePlay:
        if (g_flags.ReplayPlayback == 1) return 0;
        return pilot ? pilot(f) : PlayWord(f);
      case kSceneEnding:
        return 0;  // the whole roll and the texts, unskipped
      case kSceneMainMenu:
        return MovesThenShot(f, plan.main_menu_item);
      case kSceneModeSelect:
        return MovesThenShot(f, plan.mode_moves);
      case kSceneStageSelect:
        return MovesThenShot(f, plan.stage_moves);
      case kSceneFighterSelect:
        // The intro takes 20 frames and the guard 30 more.
        if (f >= 60 && f < 60 + 10 * Count(plan.fighter_moves))
          return Steps(f - 60, Direction(plan.fighter_moves), Count(plan.fighter_moves));
        return f >= 60 + 10 * Count(plan.fighter_moves) + 10 && f % 10 == 0
                   ? (plan.fighter_bomb ? kBomb : kShot)
                   : 0u;
      case kSceneNameEntry:
        // B, C and D, one step right before each; the cursor then rests on
        // END. Nothing on the first frames: the frame before them is the
        // last of game over, which the program never shows, so a pad script
        // keyed by shown frames cannot tell them apart.
        if (f < 30) return 0;
        if (f < 120) return (f - 30) % 30 < 2 ? kRight : (f - 30) % 30 == 20 ? kShot : 0;
        return TapShotFrom(f, 130);
      case kSceneReplayList:
        if (plan.leave_replay_list) return f == 40 ? kBomb : TapShotFrom(f, 60);
        [[fallthrough]];
      case kSceneReplaySave:
        return MovesThenShot(f, kReplaySlotRows);  // slot 5
      default:
        return TapShotFrom(f, 40);
    }
  }

  int visits(int scene) const {
    auto it = visits_.find(scene);
    return it == visits_.end() ? 0 : it->second;
  }

  MenuPlan plan;
  // Plays live games in place of PlayWord when set.
  std::function<uint32_t(int f)> pilot;
  static constexpr int kReplaySlotRows = 4;

 private:
  static int Count(int moves) { return moves < 0 ? -moves : moves; }
  static uint32_t Direction(int moves) { return moves < 0 ? kUp : kDown; }
  // A shot press every tenth frame from `first` on.
  static uint32_t TapShotFrom(int f, int first) { return f >= first && f % 10 == 0 ? kShot : 0; }
  // `count` one-step moves, each a two-frame hold and eight released frames.
  static uint32_t Steps(int f, uint32_t direction, int count) {
    return f / 10 < count && f % 10 < 2 ? direction : 0;
  }
  // From frame 40: the moves, then shot presses until the screen leaves.
  static uint32_t MovesThenShot(int f, int moves) {
    const int n = Count(moves);
    if (f >= 40 && f < 40 + 10 * n) return Steps(f - 40, Direction(moves), n);
    return TapShotFrom(f, 50 + 10 * n);
  }

  int scene_ = -1;
  int scene_start_ = 0;
  std::map<int, int> visits_;
};

}  // namespace whole_game
