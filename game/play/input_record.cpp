#include "play/input_record.h"

#include <algorithm>
#include <cstdio>

#include "kesto/kesto.h"
#include "play/player.h"
#include "screens/config.h"
#include "screens/replay.h"
#include "shell/buttons.h"
#include "shell/game_flags.h"

int ReadPlayerInput() {
  PlayerObject& p = g_player;
  const bool playback = g_flags.ReplayPlayback != 0;
  uint32_t word;
  if (playback) {
    // Past the end of the record a replay holds no more input.
    word = (p.frame_index >= 0 && p.frame_index < kInputRecordWords) ? p.input_record[p.frame_index]
                                                                     : 0u;
  } else {
    word = static_cast<uint32_t>(ReadPadBits(kPadSelector));
  }
  p.in_up = (word & 8u) ? 1 : 0;
  p.in_down = (word & 1u) ? 1 : 0;
  p.in_left = (word & 2u) ? 1 : 0;
  p.in_right = (word & 4u) ? 1 : 0;
  uint32_t shot = playback ? p.pb_shot_mask : static_cast<uint32_t>(g_config.shot_mask);
  uint32_t bomb = playback ? p.pb_bomb_mask : static_cast<uint32_t>(g_config.bomb_mask);
  uint32_t full = playback ? p.pb_full_auto_mask : static_cast<uint32_t>(g_config.full_auto_mask);
  p.in_shot = (word & shot) ? 1 : 0;
  p.in_bomb = (word & bomb) ? 1 : 0;
  p.in_full_auto = (word & full) ? 1 : 0;
  if (!playback) RecordInputWord(word, p.frame_index);
  if (p.frame_index < INT32_MAX) ++p.frame_index;
  return 0;
}

int RecordInputWord(uint32_t word, int index) {
  if (index >= 0 && index < kInputRecordWords) g_player.input_record[index] = word;
  return 0;
}

int LoadReplayIntoPlayer(const ReplayListEntry& entry, int index) {
  const int32_t* h = entry.header.words;
  // The header comes from a file: a fighter or variant outside the game's
  // would index the per-fighter tables out of range.
  if (h[1] < 0 || h[1] > 4 || h[7] < 0 || h[7] > 1) {
    std::fprintf(stderr, "replay %d: fighter %d / variant %d out of range, not played\n",
                 index + 1, h[1], h[7]);
    return -1;
  }
  PlayerObject& p = g_player;
  ReadReplayFile(p.input_record, index);
  p.frame_index = 0;
  p.fighter = h[1];
  p.variant = h[7];
  p.pb_shot_mask = static_cast<uint32_t>(h[20]);
  p.pb_bomb_mask = static_cast<uint32_t>(h[21]);
  p.pb_full_auto_mask = static_cast<uint32_t>(h[22]);
  p.pb_auto_guard = h[5];
  p.replay_score = h[2];
  std::copy(entry.name, entry.name + 4, p.replay_name.begin());
  return 0;
}

int CopyReplayInput(uint32_t* out) {
  std::copy(std::begin(g_player.input_record), std::end(g_player.input_record), out);
  return 0;
}

int GetReplayRecordedScore() { return g_player.replay_score; }

void GetReplayName(char out[4]) { std::copy(g_player.replay_name.begin(), g_player.replay_name.end(), out); }
