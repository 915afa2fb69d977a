#include "shell/sound_bank.h"

#include "shell_fixture.h"

class SoundBankTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    LoadSoundEffects();
    LoadBgmTable();
    fake().calls.clear();
  }
  std::vector<std::string> Names() { return kesto_fake::CallNames(); }
};

TEST_F(SoundBankTest, LoadsThirtyEightFilesInAscendingNumber) {
  kesto_fake::Reset();
  for (int& h : g_sound_bank) h = 0;
  LoadSoundEffects();
  auto loads = kesto_fake::CallsNamed("LoadSoundFileToHandle");
  ASSERT_EQ(loads.size(), 38u);
  EXPECT_EQ(loads.front().text, "se/cursor.wav");
  EXPECT_EQ(loads[22].text, "se/hit05.wav");
  EXPECT_EQ(loads.back().text, "se/l_bonus.wav");
  int loaded = 0;
  for (int n = 0; n < kSoundBankSize; ++n) {
    if (SoundEffectPath(n) == nullptr) {
      EXPECT_EQ(g_sound_bank[n], 0) << n;
    } else {
      ++loaded;
      EXPECT_GT(g_sound_bank[n], 0) << n;
    }
  }
  EXPECT_EQ(loaded, 38);
}

TEST_F(SoundBankTest, EffectRules) {
  struct Case {
    int n;
    int se_volume, enemy_shot_se, beat_se;
    bool plays;
  };
  const Case cases[] = {
      {0, 100, 1, 1, true},   {15, 100, 1, 1, false}, {81, 100, 0, 1, false},
      {81, 100, 1, 0, true},  {51, 100, 1, 0, false}, {51, 100, 0, 1, true},
      {0, 0, 1, 1, true},     {-1, 100, 1, 1, false}, {100, 100, 1, 1, false},
      {3, 50, 1, 1, true},  // unused number: Kesto refuses handle 0
  };
  for (const Case& c : cases) {
    fake().calls.clear();
    g_config.se_volume = c.se_volume;
    g_config.enemy_shot_se = c.enemy_shot_se;
    g_config.beat_se = c.beat_se;
    EXPECT_EQ(PlaySoundEffect(c.n), 0);
    if (!c.plays) {
      EXPECT_TRUE(fake().calls.empty()) << c.n;
      continue;
    }
    ASSERT_EQ(Names(), (std::vector<std::string>{"AdjustSoundHandleVolume", "StartSoundHandle"}))
        << c.n;
    const auto& vol = fake().calls[0];
    const auto& start = fake().calls[1];
    EXPECT_EQ(vol.iarg(0), c.se_volume * 100);  // volume first, then the handle
    EXPECT_EQ(vol.iarg(1), g_sound_bank[c.n]);
    EXPECT_EQ(start.args, (std::vector<double>{double(g_sound_bank[c.n]), 1, 1}));
  }
}

TEST_F(SoundBankTest, AbsurdVolumeFromTheFileDoesNotOverflow) {
  g_config.se_volume = 2000000000;
  PlaySoundEffect(0);
  EXPECT_EQ(fake().calls[0].iarg(0), 2147483647);
}

TEST_F(SoundBankTest, MusicRestartsLoopedAndIsRefusedWhenItMustNotPlay) {
  EXPECT_EQ(PlayBgm(4), 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"IsMusicRunning", "IsMusicRunning",
                                               "StartMusicFile"}));
  EXPECT_EQ(fake().calls.back().text, "bgm/air fortress 4th.mp3");
  EXPECT_EQ(fake().calls.back().iarg(0), 3);

  // The same track again: halted, then started from its beginning.
  fake().calls.clear();
  EXPECT_EQ(PlayBgm(4), 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"IsMusicRunning", "HaltMusic", "IsMusicRunning",
                                               "StartMusicFile"}));

  // Refusals leave the running track alone.
  struct Refusal {
    int n, demo, bgm;
  };
  for (Refusal r : {Refusal{-1, 0, 1}, Refusal{2, 1, 1}, Refusal{2, 0, 0}, Refusal{0, 0, 1},
                    Refusal{12, 0, 1}}) {
    fake().calls.clear();
    g_flags.DemoMode = r.demo;
    g_config.bgm = r.bgm;
    EXPECT_EQ(PlayBgm(r.n), -1) << r.n;
    EXPECT_TRUE(fake().calls.empty()) << r.n;
    EXPECT_TRUE(fake().music_running);
  }
}

TEST_F(SoundBankTest, MusicThatCannotStopOrStartIsReported) {
  g_flags.DemoMode = 0;
  fake().music_running = true;
  fake().halt_stops_music = false;
  EXPECT_EQ(PlayBgm(2), 0);  // still running: nothing started
  EXPECT_TRUE(kesto_fake::CallsNamed("StartMusicFile").empty());
  fake().music_running = false;
  fake().music_start_result = -1;
  EXPECT_EQ(PlayBgm(11), -1);
  EXPECT_EQ(fake().calls.back().text, "bgm/mp3_north_structure.mp3");
}
