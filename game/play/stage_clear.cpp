#include "play/stage_clear.h"

#include <cstdio>

#include "kesto/kesto.h"
#include "play/player.h"
#include "play/stage.h"
#include "screens/overlays.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"
#include "shell/sound_bank.h"

StageClearSequence g_stage_clear;

namespace {

constexpr int kTitleCell = 1;  // the 224x32 piece of start.dat at (0, 336)
constexpr int kLines = 5;

int StageIndex() {
  int n = g_flags.StageNumber;
  return n >= 1 && n <= 5 ? n : n - 15;
}

void FixBonuses() {
  StageClearSequence& s = g_stage_clear;
  StageClearBonuses b = ComputeStageClearBonuses(StageIndex(), GetPlayerStageMisses(),
                                                 GetPlayerBombs(), GetPlayerItemGauge());
  s.shield_bonus = b.shield;
  s.bomb_unit = b.bomb_unit;
  s.bomb_bonus = b.bomb;
  s.item_bonus = b.item;
  s.stage_bonus = b.stage;
  s.remaining_total = b.total;
}

void Move(int amount) {
  g_stage_clear.remaining_total -= amount;
  g_stage_clear.shown_total += amount;
}

void StepFlash() {
  StageClearSequence& s = g_stage_clear;
  ChooseBlendMode(1, s.flash_alpha);
  PaintRectangle(140, 0, 640, 480, PackRgbColor(255, 255, 255), 1);
  ChooseBlendMode(1, 255);
  s.flash_alpha -= 3;
  if (s.flash_alpha <= 0) s.flash_alpha = 0;
  if (s.panel_y_scale < 1.0) {
    if (s.flash_alpha < 150) s.panel_y_scale += 0.1;
    return;
  }
  s.panel_y_scale = 1.0;
  s.step = 2;
}

void StepTitle() {
  StageClearSequence& s = g_stage_clear;
  if (s.title_x_scale < 1.0) s.title_x_scale += 0.1;
  if (s.title_x_scale >= 1.0) s.title_x_scale = 1.0;
  if (s.title_y_scale > 1.0) s.title_y_scale -= 0.5;
  if (s.title_y_scale <= 1.0) s.title_y_scale = 1.0;
  if (s.title_x_scale == 1.0 && s.title_y_scale == 1.0) s.step = 3;
}

void SlideLine(int i) {
  int32_t& offset = g_stage_clear.line_offsets[i];
  if (offset < 30) offset += 20;
  if (offset >= 30) offset = 30;
}

void StepCountUp() {
  StageClearSequence& s = g_stage_clear;
  s.counter += 1;
  if (s.remaining_total > 0) Move(1);
  if (s.remaining_total > 10) Move(10);
  if (s.remaining_total > 100) Move(100);
  if (s.remaining_total > 1000) Move(1000);
  if (s.remaining_total > 10000) Move(10000);
  if (s.remaining_total > 100000 && s.counter > 180) Move(100000);
  if (s.remaining_total == 0) {
    s.counter = 0;
    s.step = 7;
  }
}

void StepNextStage() {
  StageClearSequence& s = g_stage_clear;
  if (g_flags.sel_flag == 0) {
    g_flags.StageNumber += 1;
    if (g_flags.DifficultyMode == 2 && SecretBossFlag(-1) == 1) g_flags.StageNumber = 7;
  }
  s.step = g_flags.StageNumber < 6 ? 20 : 11;
  StartFade(1);
}

void StepEndOfGame() {
  if (g_flags.ReplayPlayback == 1 || g_flags.sel_flag == 1)
    g_flags.CurrentScene = kSceneGameOver;
  else if (GetPlayerContinues() < 1)
    g_flags.CurrentScene = kSceneEnding;
  else
    g_flags.CurrentScene = kSceneGameOver;
  g_stage_clear.step = 50;
}

void DrawNumber(int value, int right, int y) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  DrawText(text, right, y, 255, 0, 0);
}

}  // namespace

StageClearBonuses ComputeStageClearBonuses(int stage_index, int misses, int bombs, int gauge) {
  StageClearBonuses b{};
  int k = stage_index - 1;
  b.shield = misses >= 4 ? 0 : TruncToInt((300000 + 50000 * k) * (1.0 - 0.25 * misses));
  b.bomb_unit = 50000 + 5000 * k;
  b.bomb = b.bomb_unit * bombs;
  b.item = gauge * 100;
  b.stage = 100000 + 100000 * k;
  b.total = b.shield + b.bomb + b.item + b.stage;
  return b;
}

int ResetStageClearSequence() {
  g_stage_clear = StageClearSequence{};
  g_stage_clear.flash_alpha = 255;
  for (int i = 0; i < kLines; ++i) g_stage_clear.line_offsets[i] = -(200 + 50 * i);
  return 0;
}

int StartStageClear() {
  if (g_stage_clear.active == 1) return 0;
  g_stage_clear.active = 1;
  return 1;
}

int IsStageClearSequenceActive() { return g_stage_clear.active; }
int GetStageClearStep() { return g_stage_clear.step; }

int UpdateStageClear() {
  StageClearSequence& s = g_stage_clear;
  if (s.active != 1) return 0;
  switch (s.step) {
    case 0:
      s.counter += 1;
      if (s.counter == 180) {
        PlayBgm(10);
        s.counter = 0;
        s.step = 1;
        s.title_x_scale = 0.0;
        s.title_y_scale = 6.0;
        FixBonuses();
      }
      break;
    case 1:
      StepFlash();
      break;
    case 2:
      StepTitle();
      break;
    case 3:
      for (int i = 0; i < 4; ++i) SlideLine(i);
      if (s.line_offsets[3] == 30) s.step = 4;
      break;
    case 4:
      if (TallyItemGauge(&s.item_count) == 1) s.step = 5;
      break;
    case 5:
      SlideLine(4);
      if (s.line_offsets[4] == 30) s.step = 6;
      break;
    case 6:
      StepCountUp();
      break;
    case 7:
      s.counter += 1;
      if (s.counter == 60) {
        AddScore(s.shown_total);
        s.shown_total = 0;
      }
      if (s.counter == 120) {
        s.counter = 0;
        s.step = 8;
      }
      break;
    case 8:
      if (g_flags.StageNumber + 1 == 6 && g_flags.sel_flag == 0) {
        g_player.no_extend = 1;
        if (AwardLifeBonus() > 0) s.step = 9;
      } else {
        s.step = 9;
      }
      break;
    case 9:
      if (s.counter == 0) StartFade(0);
      s.counter += 1;
      if (s.counter == 120) {
        s.counter = 0;
        s.step = 10;
      }
      break;
    case 10:
      StepNextStage();
      break;
    case 11:
      StepEndOfGame();
      break;
    case 20:
      if (g_flags.sel_flag == 1) g_flags.CurrentScene = kSceneGameOver;
      s.step = 50;
      break;
    case 50:
      ResetStageObject();
      ResetPlayerForStage();
      ResetStageClearSequence();
      break;
    default:
      break;
  }
  return 1;
}

int DrawStageClearPanel() {
  const StageClearSequence& s = g_stage_clear;
  if (s.active != 1) return 0;
  if (s.step >= 1) {
    DrawSprite(180.0, 240.0, 1.0, 0.0, SheetCell(kSheetStClearBack, 0), 255);
    DrawSpriteQuad(320.0, 240.0, 360.0, 480.0, SheetCell(kSheetStClearWaku, 0), 255, 1.0,
                   s.panel_y_scale);
  }
  DrawSpriteQuad(320.0, 120.0, 224.0, 32.0, SheetCell(kSheetStart, kTitleCell), 255,
                 s.title_x_scale, s.title_y_scale);
  const int* l = s.line_offsets;
  DrawText("SHIELD BONUS", l[0], 160, 255, 1, 0);
  DrawNumber(s.shield_bonus, 360 - l[0], 160);
  DrawText("BOMB BONUS", l[1], 210, 255, 1, 0);
  DrawNumber(GetPlayerBombs(), 264 - l[1], 210);
  DrawText("*", 276 - l[1], 210, 255, 1, 0);
  DrawNumber(s.bomb_unit, 360 - l[1], 210);
  DrawText("ITEM BONUS", l[2], 260, 255, 1, 0);
  DrawNumber(s.item_count, 360 - l[2] - 72, 260);
  DrawText("*", 300 - l[2], 260, 255, 1, 0);
  DrawText("100", 360 - l[2], 260, 255, 0, 0);
  DrawText("STAGE BONUS", l[3], 310, 255, 1, 0);
  DrawNumber(s.stage_bonus, 360 - l[3], 310);
  DrawText("TOTAL BONUS", l[4], 380, 255, 1, 0);
  DrawNumber(s.shown_total, 360 - l[4], 380);
  return 0;
}
