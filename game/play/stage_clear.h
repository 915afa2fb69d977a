// The stage-clear sequence after a boss's destruction: bonus panel, tally,
// then the next stage, the ending or game over.
#pragma once

#include <cstdint>

struct StageClearSequence {
  int32_t active;
  int32_t line_offsets[10];
  double title_x_scale;
  double panel_y_scale;
  double title_y_scale;
  int32_t counter;
  int32_t flash_alpha;
  int32_t shield_bonus;
  int32_t bomb_bonus;
  int32_t bomb_unit;
  int32_t item_bonus;
  int32_t stage_bonus;
  int32_t shown_total;
  int32_t remaining_total;
  int32_t step;
  int32_t item_count;
};

extern StageClearSequence g_stage_clear;

struct StageClearBonuses {
  int32_t shield;
  int32_t bomb_unit;
  int32_t bomb;
  int32_t item;
  int32_t stage;
  int32_t total;
};
// Stage index 1-6 (boss practice and the extra stage count as their stage).
StageClearBonuses ComputeStageClearBonuses(int stage_index, int misses, int bombs, int gauge);

int StartStageClear();  // 1 when started, 0 when already running
int IsStageClearSequenceActive();
int GetStageClearStep();
int UpdateStageClear();  // per game-play frame, after the draw pass
int DrawStageClearPanel();
int ResetStageClearSequence();
