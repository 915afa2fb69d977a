// A player at the pad for whole-game flows through the scene loop: a
// script per scene, counted in frames from the scene's first, so the flow
// does not hang on exact timing. It plays an arcade game (or stage 1's boss
// practice) to game over without continuing, enters "BCD", saves the replay
// to slot 5, and then plays that replay back from the list.
#pragma once

#include <cstdint>
#include <map>

#include "result_scenes_fixture.h"
#include "screens/overlays.h"
#include "screens/scenes.h"
#include "shell/game_flags.h"

namespace result_scenes {

inline constexpr uint32_t kPause = 128;

class Player {
 public:
  static constexpr int kPauseAt = 1500;

  // Game play: weave left and right while firing, and never continue.
  static uint32_t PlayWord(int frame) {
    uint32_t word = kShot;
    word |= (frame / 90) % 2 == 0 ? kLeft : kRight;
    if ((frame / 45) % 4 == 1) word |= kUp;
    return word;
  }

  uint32_t Word(int pump) {
    const int scene = g_flags.CurrentScene;
    if (scene != scene_) {
      scene_ = scene;
      scene_start_ = pump;
      ++visits_[scene];
    }
    const int f = pump - scene_start_;  // 0 on the scene's first frame
    switch (scene) {
      case kSceneGamePlay:
        return GamePlayWord(f);
      case kSceneMainMenu: {
        // ARCADE or STAGE SELECT (one down) first, then REPLAY (three down).
        const int down = visits_[scene] >= 2 ? 3 : boss_practice ? 1 : 0;
        if (f >= 40 && f < 40 + 10 * down) return Steps(f - 40, kDown, down);
        return TapShotFrom(f, 50 + 10 * down);
      }
      case kSceneStageSelect:
        // STAGE 1 BOSS (five down), and back after the game: RETURN (one up).
        if (visits_[scene] == 1 && f >= 40 && f < 90) return Steps(f - 40, kDown, 5);
        if (visits_[scene] >= 2 && f >= 40 && f < 50) return Steps(f - 40, kUp, 1);
        return TapShotFrom(f, 100);
      case kSceneNameEntry:
        // B, C and D, one step right before each; the cursor then rests on END.
        if (f < 90) return f % 30 < 2 ? kRight : f % 30 == 20 ? kShot : 0;
        return TapShotFrom(f, 100);
      case kSceneReplayList:
        // Back from a replay the list is still on slot 5: play it again,
        // first holding shot to fast-forward, then with a pause.
        if (visits_[scene] == 2) return f >= 40 ? kShot : 0;
        if (visits_[scene] >= 3) return TapShotFrom(f, 40);
        [[fallthrough]];
      case kSceneReplaySave:
        // Slot 5 in both: four rows down.
        if (f >= 40 && f < 80) return Steps(f - 40, kDown, 4);
        return TapShotFrom(f, 90);
      default:
        return TapShotFrom(f, 40);
    }
  }

  bool boss_practice = false;  // stage select's boss practice instead of arcade

  int visits(int scene) const {
    auto it = visits_.find(scene);
    return it == visits_.end() ? 0 : it->second;
  }

 private:
  // A shot press every tenth frame from `first` on.
  static uint32_t TapShotFrom(int f, int first) { return f >= first && f % 10 == 0 ? kShot : 0; }
  // `count` one-step moves, each a two-frame hold and eight released frames.
  static uint32_t Steps(int f, uint32_t direction, int count) {
    return f / 10 < count && f % 10 < 2 ? direction : 0;
  }

  uint32_t GamePlayWord(int f) {
    if (g_flags.ReplayPlayback == 1) {
      if (visits_[kSceneReplayList] == 2) return kShot;
      // A pause halfway, left by RETURN once the menu takes a choice.
      if (visits_[kSceneReplayList] >= 3 && (f == kPauseAt || f == kPauseAt + 60)) {
        return f == kPauseAt ? kPause : kShot;
      }
      return 0;
    }
    const ContinueScreenState& c = g_continue_screen;
    if (c.active == 1 && c.phase == 1) {
      // CONTINUE? down to NO, then shot once the guard is over.
      if (menu_start_ < 0) menu_start_ = f;
      const int m = f - menu_start_;
      if (m < 2) return kDown;
      return TapShotFrom(m, 40);
    }
    menu_start_ = -1;
    return PlayWord(f);
  }

  int scene_ = -1;
  int scene_start_ = 0;
  int menu_start_ = -1;
  std::map<int, int> visits_;
};

}  // namespace result_scenes
