#include "play/input_record.h"

#include <vector>

#include "play/player.h"
#include "player_fixture.h"
#include "screens/replay.h"

namespace {

using InputRecordTest = PlayerTest;

TEST_F(InputRecordTest, LiveWordsAreRecordedRawAndReadThroughTheConfigMasks) {
  g_config.shot_mask = 32;
  g_config.bomb_mask = 16;
  // Down, left, button bits 16 and 32, and an unassigned bit 0x800.
  HoldPad(1u | 2u | 16u | 32u | 0x800u);
  ReadPlayerInput();
  EXPECT_EQ(g_player.in_down, 1);
  EXPECT_EQ(g_player.in_left, 1);
  EXPECT_EQ(g_player.in_up, 0);
  EXPECT_EQ(g_player.in_right, 0);
  EXPECT_EQ(g_player.in_shot, 1);
  EXPECT_EQ(g_player.in_bomb, 1);
  EXPECT_EQ(g_player.in_full_auto, 0);
  EXPECT_EQ(g_player.input_record[0], 1u | 2u | 16u | 32u | 0x800u);
  EXPECT_EQ(g_player.frame_index, 1);
}

TEST_F(InputRecordTest, PlaybackUsesTheReplaysMasksWhateverTheConfigSays) {
  g_flags.ReplayPlayback = 1;
  g_config.shot_mask = 16;
  g_player.pb_shot_mask = 32;
  g_player.pb_bomb_mask = 64;
  g_player.pb_full_auto_mask = 128;
  g_player.input_record[0] = 32u | 8u;
  g_player.input_record[1] = 16u | 64u;
  HoldPad(0xFFFu);  // the live pad is not read
  ReadPlayerInput();
  EXPECT_EQ(g_player.in_shot, 1);
  EXPECT_EQ(g_player.in_up, 1);
  EXPECT_EQ(g_player.in_bomb, 0);
  ReadPlayerInput();
  EXPECT_EQ(g_player.in_shot, 0);
  EXPECT_EQ(g_player.in_bomb, 1);
  EXPECT_EQ(g_player.in_up, 0);
  // Playback records nothing.
  EXPECT_EQ(g_player.input_record[1], 16u | 64u);
  EXPECT_EQ(g_player.frame_index, 2);
}

TEST_F(InputRecordTest, TheRecordEndsAt200000Words) {
  HoldPad(4u);
  g_player.frame_index = kInputRecordWords - 1;
  ReadPlayerInput();
  ReadPlayerInput();  // not stored, but the index counts on
  EXPECT_EQ(g_player.input_record[kInputRecordWords - 1], 4u);
  EXPECT_EQ(g_player.frame_index, kInputRecordWords + 1);

  // Playing back past the end reads no input rather than memory past it.
  g_flags.ReplayPlayback = 1;
  g_player.pb_shot_mask = 0xFFFFFFFFu;
  ReadPlayerInput();
  EXPECT_EQ(g_player.in_right, 0);
  EXPECT_EQ(g_player.in_shot, 0);
}

ReplayListEntry Entry(int fighter, int variant) {
  ReplayListEntry e{};
  e.valid = 1;
  e.header.words[1] = fighter;
  e.header.words[2] = 123450;
  e.header.words[5] = 1;
  e.header.words[7] = variant;
  e.header.words[20] = 32;
  e.header.words[21] = 16;
  e.header.words[22] = 128;
  e.name[0] = 'A';
  e.name[1] = 'B';
  e.name[2] = 'C';
  e.name[3] = 'D';
  return e;
}

TEST_F(InputRecordTest, LoadingAReplayTakesItsHeaderFields) {
  g_player.frame_index = 77;
  ASSERT_EQ(LoadReplayIntoPlayer(Entry(4, 1), 0), 0);
  EXPECT_EQ(g_player.frame_index, 0);
  EXPECT_EQ(GetPlayerFighter(), 4);
  EXPECT_EQ(GetPlayerVariant(), 1);
  EXPECT_EQ(g_player.pb_shot_mask, 32u);
  EXPECT_EQ(g_player.pb_bomb_mask, 16u);
  EXPECT_EQ(g_player.pb_full_auto_mask, 128u);
  EXPECT_EQ(g_player.pb_auto_guard, 1);
  EXPECT_EQ(GetReplayRecordedScore(), 123450);
  char name[4];
  GetReplayName(name);
  EXPECT_EQ(std::string(name, 4), "ABCD");
}

TEST_F(InputRecordTest, ADamagedHeaderIsRefused) {
  for (auto [fighter, variant] : {std::pair{5, 0}, {-1, 0}, {0, 2}, {2, -7}}) {
    g_player.fighter = 1;
    EXPECT_EQ(LoadReplayIntoPlayer(Entry(fighter, variant), 0), -1);
    EXPECT_EQ(GetPlayerFighter(), 1);
  }
}

TEST_F(InputRecordTest, OnlyControlledFramesTakeAWord) {
  SetPlayerFighter(1, 0);
  ResetPlayerForStage();
  HoldPad(8u);
  for (int i = 0; i < 61; ++i) UpdatePlayer();  // the fly-in
  EXPECT_EQ(g_player.frame_index, 0);
  UpdatePlayer();  // control comes, and this frame already reads
  EXPECT_EQ(g_player.frame_index, 1);
  for (int i = 0; i < 2; ++i) UpdatePlayer();
  EXPECT_EQ(g_player.frame_index, 3);
  std::vector<uint32_t> out(kInputRecordWords);
  CopyReplayInput(out.data());
  EXPECT_EQ(out[2], 8u);
  EXPECT_EQ(out[3], 0u);
}

}  // namespace
