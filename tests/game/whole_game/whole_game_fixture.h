// Whole games through the scene loop, from the title to the ending and back,
// against the recording library: the program started from the saved files
// in a fresh folder, a scripted player, a watch on each game (its stages,
// bosses, stage clears and digests of the play state) and readers of the
// saved files that do not go through the game's own loaders.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "game/play/determinism_harness.h"
#include "game/screens/result_scenes_fixture.h"
#include "play/enemies.h"
#include "play/player.h"
#include "play/stage_clear.h"
#include "screens/config.h"
#include "screens/ranking.h"
#include "screens/replay.h"
#include "screens/save_data.h"
#include "shell/buttons.h"
#include "shell/frame.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/game_play.h"
#include "shell/image_tables.h"
#include "shell/menu.h"
#include "shell/program.h"
#include "support/kesto_fake/kesto_fake.h"
#include "whole_game_player.h"

namespace whole_game {

// What one game left, watched from the game-play scene's steps.
struct GameRecord {
  int playback = -1;
  int end_scene = -1;  // where the game was leaving for
  int end_stage = -1;  // StageNumber when it ended: 6 all clear, 7 after the hidden boss
  int score = 0;
  int misses = 0;
  int continues = 0;
  int input_frames = 0;
  int frames = 0;                   // game-play frames run
  std::vector<int> stages;          // StageNumber of each stage begun, in order
  std::vector<int> clear_frames;    // the frame each stage clear began
  std::map<int, uint64_t> digests;  // frame -> play-state digest after it
  uint64_t end_digest = 0;
  // Each boss type's life states in the order seen, and whether it was
  // timed out when it entered each.
  std::map<int, std::vector<int>> boss_states;
  std::map<int, std::vector<int>> boss_timed_out;
};

// The play state's digest, less what is not play: the credits, the shown
// high score and the replay's recorded score differ between a game and its
// replay (the game itself added a credit and entered the ranking), and the
// pools' free slots hold what the game before left in them.
inline uint64_t PlayDigest() {
  PlayerObject& p = g_player;
  const int32_t credits = p.credits, hi_score = p.shown_hi_score, replay_score = p.replay_score;
  p.credits = p.shown_hi_score = p.replay_score = 0;
  const uint64_t digest = DigestLivePlayState();
  p.credits = credits;
  p.shown_hi_score = hi_score;
  p.replay_score = replay_score;
  return digest;
}

inline bool IsBossType(int type) {
  return type == 100 || type == 110 || type == 120 ||
         (type >= 200 && type <= 250 && type % 10 == 0);
}

// The progress file read by hand: 47 masked lines.
struct Progress {
  int credits = 0;
  int secret_stage = 0;
  int reached[4] = {};
  int marks[4][10] = {};
};
inline std::optional<Progress> ReadProgressFile() {
  std::ifstream in(kSaveDataPath);
  std::vector<long long> v;
  for (long long x; in >> x;) v.push_back(x);
  if (v.size() != 47) return std::nullopt;
  const long long key = v[0] >> 8;
  auto value = [&](int line, int factor) {
    return static_cast<int>((v[line] >> 8) - factor * key);
  };
  Progress p;
  p.credits = value(1, 5);
  p.secret_stage = value(2, 8);
  for (int i = 0; i < 4; ++i) p.reached[i] = value(3 + i, i + 7);
  for (int j = 0; j < 40; ++j) p.marks[j / 10][j % 10] = value(7 + j, j + 5);
  return p;
}

// The ranking file read by hand: per mode and slot a name line and ten
// numbers.
struct Ranked {
  std::string name;
  int words[10] = {};  // score, fighter, variant, stage, mode, AUTO GUARD, ...
};
inline std::optional<std::vector<std::vector<Ranked>>> ReadScoreFile() {
  std::ifstream in(kScorePath);
  std::vector<std::vector<Ranked>> modes(4, std::vector<Ranked>(5));
  for (auto& mode : modes) {
    for (Ranked& r : mode) {
      if (!std::getline(in, r.name)) return std::nullopt;
      for (int& w : r.words) {
        std::string line;
        if (!std::getline(in, line)) return std::nullopt;
        w = std::stoi(line);
      }
    }
  }
  return modes;
}

class WholeGameTest : public result_scenes::ResultScenesTest {
 protected:
  void SetUp() override {
    ResultScenesTest::SetUp();
    // The base set-up wrote default files: the program starts without any.
    std::filesystem::remove_all("file");
    std::filesystem::create_directories("file");
    InvincibleMode = 1;
    SetFrameStepHook(&WholeGameTest::OnStep);
    current_ = this;
  }
  void TearDown() override {
    SetFrameStepHook(nullptr);
    current_ = nullptr;
    InvincibleMode = 0;
    ResultScenesTest::TearDown();
  }

  // The program as it starts: every global as a fresh process has it, then
  // the boot loads from the files in the folder and the first demo pick.
  void StartProgram() {
    ClearSaveGuardsForTesting();
    kesto_fake::Reset();
    g_flags = GameFlags{};
    g_input = InputState{};
    g_menu_repeat = MenuRepeatDelay{};
    g_frame_clock = FrameClock{};
    g_config = GameConfig{};
    g_save_data = SaveData{};
    g_ranking = RankingTable{};
    ForgetLoadedImagesForTesting();
    ClearReplayBuffer();
    RandomSeed = 0;
    LoadBootData();
    g_flags.DemoReplayIndex = RandomInt(3);
    g_flags.CurrentScene = kSceneBoot;

    player_ = Player{};
    texts_.clear();
    shown_base_ = ShownFrameCount();
    int last_pump = -1;
    uint32_t word = 0;
    fake().pad_script = [this, last_pump, word](int pump) mutable {
      // The pad holds one word a frame, as a real pad does, however often
      // the frame reads it.
      if (pump == last_pump) return word;
      // One frame's calls at a time: a whole game logs millions. The texts
      // of the screens the test reads are kept first.
      if (last_scene_ == kSceneEnding || last_scene_ == kSceneStageSelect)
        for (const std::string& t : DrawnTexts()) texts_[last_scene_].insert(t);
      fake().calls.clear();
      last_pump = pump;
      last_scene_ = g_flags.CurrentScene;
      word = player_.Word(pump);
      if (words_) words_->push_back({ShownFrameCount() - shown_base_, word});
      return word;
    };
    fake().quit_after_pumps = kMaxPumps;
    fake().calls.clear();
  }

  // Passes of the scene loop until `until` holds after one, or the pump
  // budget is spent; `scenes_` gets the scene after each pass.
  template <typename Until>
  bool RunUntil(Until until) {
    while (fake().pumps < kMaxPumps) {
      RunCurrentScene();
      scenes_.push_back(g_flags.CurrentScene);
      if (until()) return true;
    }
    return false;
  }

  bool Drew(int scene, const std::string& text) const {
    auto it = texts_.find(scene);
    return it != texts_.end() && it->second.count(text) != 0;
  }

  static constexpr int kMaxPumps = 400000;
  static constexpr int kDigestEvery = 250;

  Player player_;
  std::vector<int> scenes_;
  std::vector<GameRecord> games_;               // every game begun, the last one running
  std::map<int, std::set<std::string>> texts_;  // by scene
  // When set, gets each frame's pad word with the frames shown before it.
  std::vector<std::pair<uint64_t, uint32_t>>* words_ = nullptr;

 private:
  static void OnStep(const char* step) { current_->Watch(step); }

  void Watch(const std::string& step) {
    if (step == "RunStageScript") {
      if (!in_game_) {
        in_game_ = true;
        games_.emplace_back();
        games_.back().playback = g_flags.ReplayPlayback;
        clear_was_active_ = false;
      }
      GameRecord& g = games_.back();
      ++g.frames;
      if (g.stages.empty() || g.stages.back() != g_flags.StageNumber)
        g.stages.push_back(g_flags.StageNumber);
      return;
    }
    if (!in_game_) return;
    GameRecord& g = games_.back();
    if (step == "EndFrame") {
      const bool active = g_stage_clear.active == 1;
      if (active && !clear_was_active_) {
        g.clear_frames.push_back(g.frames);
        g.digests[g.frames] = PlayDigest();
      }
      clear_was_active_ = active;
      if (g.frames % kDigestEvery == 0) g.digests[g.frames] = PlayDigest();
      for (const EnemyObject& e : g_enemies) {
        if (e.in_use != 1 || !IsBossType(e.type)) continue;
        std::vector<int>& states = g.boss_states[e.type];
        if (states.empty() || states.back() != e.life_state) {
          states.push_back(e.life_state);
          g.boss_timed_out[e.type].push_back(e.timed_out);
        }
      }
    } else if (step == "ResetStageObject") {
      // The tidy-up after the game, before the pools are reset.
      in_game_ = false;
      g.end_scene = g_flags.CurrentScene;
      g.end_stage = g_flags.StageNumber;
      g.score = GetPlayerScore();
      g.misses = GetPlayerTotalMisses();
      g.continues = GetPlayerContinues();
      g.input_frames = g_player.frame_index;
      g.end_digest = PlayDigest();
    }
  }

  static inline WholeGameTest* current_ = nullptr;
  bool in_game_ = false;
  bool clear_was_active_ = false;
  int last_scene_ = -1;
  uint64_t shown_base_ = 0;
};

}  // namespace whole_game
