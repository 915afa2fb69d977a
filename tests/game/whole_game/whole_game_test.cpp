// One whole arcade game on each difficulty, through the real scenes: the
// title, the menus, stages 1 to 5 (on HELL, without a continue, the hidden
// boss too), the ending, game over, name entry, the replay save and the
// ranking back to the title. Then the saved replay played from the list to
// the same play state, and the program started again from the files the
// game left, which must offer what the clear unlocked.
//
// The four cases form a chain: each starts from the progress the ones
// before it leave, so together they unlock the third fighter, the fourth
// and the extra stage the way a player would.
#include <algorithm>
#include <string>
#include <vector>

#include "whole_game_fixture.h"

namespace whole_game {
namespace {

struct Case {
  const char* name;
  int mode;
  int mode_moves;  // from ORIGINAL on mode select
  int auto_guard;
  // On fighter select: moves from the first fighter, which wrap round the
  // fighters offered, and shot or bomb. What that picks proves how many
  // were offered.
  int fighter_moves;
  bool fighter_bomb;
  int fighter;
  int variant;
  int mark;           // the clear mark the game leaves for its fighter
  int end_stage;      // 6 all clear, 7 after the hidden boss
  int offered_after;  // fighters offered once the program starts again
};

constexpr Case kCases[] = {
    // Nothing cleared: two fighters, so one step up wraps to HOPE.
    {"Heaven", 0, -1, 1, -1, false, 1, 0, 1, 6, 3},
    // HOPE cleared: three fighters, one step up is PEACE; bomb takes its
    // second colours.
    {"Original", 1, 0, 1, -1, true, 2, 1, 1, 6, 3},
    // HOPE and PEACE cleared, SOLM not: still three, so three steps down
    // come back to SOLM. AUTO GUARD off earns the higher mark.
    {"Hell", 2, 1, 0, 3, false, 0, 0, 2, 7, 4},
    // SOLM, HOPE and PEACE cleared: four, one step up is EDEN, and bomb on
    // EDEN takes the hidden fighter, whose clear counts as EDEN's.
    {"Accel", 3, 2, 1, -1, true, 4, 0, 1, 6, 4},
};

// The progress the first `n` cases leave.
Progress ProgressAfter(int n) {
  Progress p;
  p.credits = 3 + n;  // every arcade game over adds one
  for (int m = 0; m < 4; ++m) p.reached[m] = 1;
  for (int i = 0; i < n; ++i) {
    const Case& c = kCases[i];
    p.reached[c.mode] = 5;
    p.marks[c.mode][std::min(c.fighter, 3)] = c.mark;
    if (c.end_stage == 7) p.secret_stage = 1;
  }
  return p;
}

void ExpectProgress(const Progress& got, const Progress& want) {
  EXPECT_EQ(got.credits, want.credits);
  EXPECT_EQ(got.secret_stage, want.secret_stage);
  for (int m = 0; m < 4; ++m) {
    SCOPED_TRACE("mode " + std::to_string(m));
    EXPECT_EQ(got.reached[m], want.reached[m]);
    for (int f = 0; f < 10; ++f) EXPECT_EQ(got.marks[m][f], want.marks[m][f]) << "fighter " << f;
  }
}

// What a game went through, for the failure messages: a "t" marks a boss
// state entered on a time limit.
std::string Trace(const GameRecord& g) {
  std::string out;
  auto add = [&out](const char* label, int value) {
    out += label;
    out += std::to_string(value);
  };
  add("frames ", g.frames);
  add(" score ", g.score);
  out += " stages";
  for (int s : g.stages) add(" ", s);
  out += " clears";
  for (int f : g.clear_frames) add(" ", f);
  for (const auto& [type, states] : g.boss_states) {
    add(" | ", type);
    out += ':';
    for (size_t i = 0; i < states.size(); ++i) {
      add(" ", states[i]);
      if (g.boss_timed_out.at(type)[i] != 0) out += 't';
    }
  }
  return out;
}

class WholeGameRunTest : public WholeGameTest, public ::testing::WithParamInterface<int> {
 protected:
  const Case& TheCase() const { return kCases[GetParam()]; }

  // The files the earlier cases would have left (none before the first).
  void SeedFiles() {
    const Case& c = TheCase();
    if (GetParam() > 0) {
      const Progress p = ProgressAfter(GetParam());
      g_save_data = SaveData{};
      g_save_data.credits = p.credits;
      g_save_data.secret_stage_flag = p.secret_stage;
      for (int m = 0; m < 4; ++m) {
        g_save_data.StageReachedTable[m] = p.reached[m];
        for (int f = 0; f < 10; ++f) g_save_data.ClearMarkTable[m][f] = p.marks[m][f];
      }
      ASSERT_EQ(WriteSaveData(), 0);
    }
    if (c.auto_guard != 1) {
      g_config = DefaultConfig();
      g_config.auto_guard = c.auto_guard;
      ASSERT_EQ(SaveConfig(), 0);
    }
  }
};

TEST_P(WholeGameRunTest, FromTheTitleToTheEndingThenItsReplayAndWhatTheClearLeft) {
  const Case& c = TheCase();
  SeedFiles();
  StartProgram();
  player_.plan = MenuPlan{0, c.mode_moves, 0, c.fighter_moves, c.fighter_bomb, false};

  // ---- The live game, to the ending.
  ASSERT_TRUE(RunUntil([this] { return !games_.empty() && games_[0].end_scene >= 0; }))
      << "the live game never ended";
  const GameRecord live = games_[0];
  SCOPED_TRACE(Trace(live));
  EXPECT_EQ(scenes_, (std::vector<int>{kSceneMainMenu, kSceneModeSelect, kSceneFighterSelect,
                                       kSceneGamePlay, kSceneEnding}));
  EXPECT_EQ(live.playback, 0);
  EXPECT_EQ(live.end_scene, kSceneEnding);
  // The frame after the last tally runs with the number it left, before
  // the scene leaves for the ending.
  EXPECT_EQ(live.stages, (std::vector<int>{1, 2, 3, 4, 5, c.end_stage}));
  EXPECT_EQ(live.end_stage, c.end_stage);
  ASSERT_EQ(live.clear_frames.size(), 5u);
  EXPECT_TRUE(std::is_sorted(live.clear_frames.begin(), live.clear_frames.end()));
  EXPECT_EQ(live.misses, 0);
  EXPECT_EQ(live.continues, 0);
  // Every stage's boss died; the hidden one came only on HELL.
  for (int type : {200, 210, 220, 230, 240}) {
    ASSERT_EQ(live.boss_states.count(type), 1u) << "boss " << type << " never came";
    EXPECT_EQ(live.boss_states.at(type).back(), 8) << "boss " << type;
  }
  for (int type : {100, 110, 120}) EXPECT_EQ(live.boss_states.count(type), 1u) << type;
  EXPECT_EQ(live.boss_states.count(250), c.mode == 2 ? 1u : 0u);
  if (c.mode == 2) {
    EXPECT_EQ(live.boss_states.at(250).back(), 8);
  }

  const ReplayHeader& h = g_replay_buffer.header;
  EXPECT_EQ(h.words[kReplayWordMode], c.mode);
  EXPECT_EQ(h.words[kReplayWordFighter], c.fighter);
  EXPECT_EQ(h.words[kReplayWordVariant], c.variant);
  EXPECT_EQ(h.words[kReplayWordAutoGuard], c.auto_guard);
  EXPECT_EQ(h.words[kReplayWordStage], c.end_stage);
  EXPECT_EQ(h.words[kReplayWordScore], live.score);
  EXPECT_EQ(h.words[kReplayWordStageSelect], 0);
  EXPECT_EQ(h.words[kReplayWordContinues], 0);
  int staged = 0;
  for (int s = 0; s < 5; ++s) {
    EXPECT_GT(h.words[kReplayWordStageScore1 + s], 0) << "stage " << s + 1;
    staged += h.words[kReplayWordStageScore1 + s];
  }
  EXPECT_LE(staged, live.score);

  // ---- The ending, game over, name entry, replay save, ranking, title.
  ASSERT_TRUE(RunUntil([this] { return player_.visits(kSceneTitle) == 2; }));
  EXPECT_EQ(std::vector<int>(scenes_.begin() + 5, scenes_.end()),
            (std::vector<int>{kSceneGameOver, kSceneNameEntry, kSceneReplaySave, kSceneRanking,
                              kSceneBoot, kSceneMainMenu}));
  EXPECT_TRUE(Drew(kSceneEnding, "CONGRATULATIONS!"));
  EXPECT_TRUE(Drew(kSceneEnding, "PRESENTED BY ORNEK"));
  EXPECT_EQ(Drew(kSceneEnding, "YOU ARE GREAT PLAYER!"), c.end_stage == 7);
  EXPECT_EQ(Drew(kSceneEnding, "THANK YOU FOR PLAYING."), c.end_stage != 7);

  // What the replay-save screen wrote, read back from the files.
  const std::optional<Progress> progress = ReadProgressFile();
  ASSERT_TRUE(progress.has_value()) << "file/data.dat is not 47 lines";
  ExpectProgress(*progress, ProgressAfter(GetParam() + 1));

  const auto ranking = ReadScoreFile();
  ASSERT_TRUE(ranking.has_value()) << "file/score.dat does not read";
  for (int m = 0; m < 4; ++m) {
    for (int s = 0; s < 5; ++s) {
      SCOPED_TRACE("mode " + std::to_string(m) + " slot " + std::to_string(s));
      const Ranked& r = (*ranking)[m][s];
      if (m == c.mode && s == 0) {
        EXPECT_EQ(r.name, "BCD");
        EXPECT_EQ(r.words[0], live.score);
        EXPECT_EQ(r.words[1], c.fighter);
        EXPECT_EQ(r.words[2], c.variant);
        EXPECT_EQ(r.words[3], c.end_stage);
        EXPECT_EQ(r.words[5], c.auto_guard);
      } else {
        // The defaults, those of the game's mode one place down.
        const int d = m == c.mode ? s - 1 : s;
        EXPECT_EQ(r.name, "HLX");
        EXPECT_EQ(r.words[0], 100000 - 10000 * d);
      }
    }
  }

  ReplayListEntry saved{};
  ASSERT_EQ(ReadReplayHeader(&saved, Player::kReplaySlotRows), 0) << "slot 5 was not written";
  EXPECT_EQ(saved.valid, 1);
  EXPECT_STREQ(saved.name, "BCD");
  EXPECT_EQ(saved.header.words[kReplayWordScore], live.score);
  EXPECT_EQ(saved.header.words[kReplayWordStage], c.end_stage);
  EXPECT_EQ(saved.header.words[kReplayWordMode], c.mode);
  EXPECT_EQ(saved.header.words[kReplayWordFighter], c.fighter);

  // ---- The replay, from the main menu's REPLAY: the same game, frame for
  // frame, which ends in game over rather than the ending.
  player_.plan = MenuPlan{3, 0, 0, 0, false, false};
  ASSERT_TRUE(RunUntil([this] { return games_.size() == 2 && games_[1].end_scene >= 0; }))
      << "the replay never ended";
  const GameRecord& played = games_[1];
  EXPECT_EQ(played.playback, 1);
  EXPECT_EQ(played.end_scene, kSceneGameOver);
  EXPECT_EQ(played.end_stage, live.end_stage);
  EXPECT_EQ(played.score, live.score);
  EXPECT_EQ(played.misses, live.misses);
  EXPECT_EQ(played.input_frames, live.input_frames);
  EXPECT_EQ(played.frames, live.frames);
  EXPECT_EQ(played.stages, live.stages);
  EXPECT_EQ(played.clear_frames, live.clear_frames);
  EXPECT_EQ(played.boss_states, live.boss_states);
  ASSERT_EQ(played.digests.size(), live.digests.size());
  for (const auto& [frame, digest] : live.digests)
    ASSERT_EQ(played.digests.at(frame), digest) << "first difference after frame " << frame;
  EXPECT_EQ(played.end_digest, live.end_digest);
  RunCurrentScene();  // game over hands the replay back to its list
  EXPECT_EQ(g_flags.CurrentScene, kSceneReplayList);

  // ---- The program started again from the files: the clear's stages (on
  // HELL the extra stage) and fighters are offered, and the ranking holds it.
  StartProgram();
  scenes_.clear();
  EXPECT_EQ(GetTopScore(c.mode), live.score);
  const bool extra = c.mode == 2;
  // The extra stage sits two up from STAGE 1, past RETURN; STAGE 5 four down.
  player_.plan = MenuPlan{1, c.mode_moves, extra ? -2 : 4, -1, false, false};
  ASSERT_TRUE(RunUntil([] { return g_flags.CurrentScene == kSceneGamePlay; }));
  EXPECT_EQ(scenes_, (std::vector<int>{kSceneMainMenu, kSceneModeSelect, kSceneStageSelect,
                                       kSceneFighterSelect, kSceneGamePlay}));
  EXPECT_EQ(Drew(kSceneStageSelect, "???????"), extra);
  EXPECT_EQ(g_flags.sel_flag, 1);
  EXPECT_EQ(g_flags.StageNumber, extra ? 21 : 5);
  EXPECT_EQ(GetPlayerFighter(), c.offered_after - 1);
}

INSTANTIATE_TEST_SUITE_P(EachDifficulty, WholeGameRunTest, ::testing::Range(0, 4),
                         [](const auto& info) { return std::string(kCases[info.param].name); });

}  // namespace
}  // namespace whole_game
