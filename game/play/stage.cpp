#include "play/stage.h"

#include <span>

#include "play/enemies.h"
#include "play/enemy_bullets.h"
#include "play/player.h"
#include "play/player_shots.h"
#include "shell/draw.h"
#include "shell/frame.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"
#include "shell/sound_bank.h"
#include "stages/timelines.h"

StageObject g_stage;

namespace {

struct MapPiece {
  const SheetLayout* sheet;
  int cell;
};

constexpr MapPiece kStage1Map[] = {
    {&kSheetStage11, 0}, {&kSheetStage11, 1}, {&kSheetStage11, 2}, {&kSheetStage11, 3},
    {&kSheetStage11, 4}, {&kSheetStage11, 5}, {&kSheetStage11, 6}, {&kSheetStage11, 7},
    {&kSheetStage11, 8}, {&kSheetStage11, 9}};
constexpr MapPiece kStage2Map[] = {
    {&kSheetStage21, 0}, {&kSheetStage21, 1}, {&kSheetStage21, 2}, {&kSheetStage21, 3},
    {&kSheetStage21, 4}, {&kSheetStage21, 5}, {&kSheetStage21, 6}, {&kSheetStage21, 7},
    {&kSheetStage22, 0}, {&kSheetStage22, 1}};
constexpr MapPiece kStage3Map[] = {
    {&kSheetStage31, 0}, {&kSheetStage31, 1}, {&kSheetStage31, 2}, {&kSheetStage31, 3},
    {&kSheetStage31, 4}, {&kSheetStage31, 5}, {&kSheetStage31, 6}, {&kSheetStage31, 7},
    {&kSheetStage32, 0}, {&kSheetStage32, 1}, {&kSheetStage32, 2}};
constexpr MapPiece kStage4Map[] = {
    {&kSheetStage41, 0}, {&kSheetStage41, 1}, {&kSheetStage41, 2}, {&kSheetStage41, 3},
    {&kSheetStage41, 4}, {&kSheetStage41, 5}, {&kSheetStage41, 6}, {&kSheetStage41, 7},
    {&kSheetStage42, 0}, {&kSheetStage42, 1}, {&kSheetStage42, 2}, {&kSheetStage42, 3},
    {&kSheetStage42, 4}, {&kSheetStage42, 5}, {&kSheetStage42, 6}};
constexpr MapPiece kStage5Map[] = {
    {&kSheetStage51, 0}, {&kSheetStage51, 1}, {&kSheetStage51, 2}, {&kSheetStage51, 3},
    {&kSheetStage51, 4}, {&kSheetStage51, 5}, {&kSheetStage51, 6}, {&kSheetStage51, 7},
    {&kSheetStage52, 0}, {&kSheetStage52, 1}, {&kSheetStage52, 2}, {&kSheetStage52, 3},
    {&kSheetStage52, 4}, {&kSheetStage52, 5}, {&kSheetStage52, 6}, {&kSheetStage53, 0},
    {&kSheetStage53, 1}, {&kSheetStage53, 2}, {&kSheetStage53, 3}, {&kSheetStage53, 4}};

struct StageScenery {
  const SheetLayout* tile;
  std::span<const MapPiece> map;
  double map_limit;
};

const StageScenery kScenery[] = {
    {&kSheetStage10, kStage1Map, 4320.0}, {&kSheetStage20, kStage2Map, 4800.0},
    {&kSheetStage30, kStage3Map, 5280.0}, {&kSheetStage40, kStage4Map, 8160.0},
    {&kSheetStage50, kStage5Map, 10080.0}};

bool Paused() { return g_flags.GamePaused != 0; }

void DrawTileLayer(const SheetLayout& tile) {
  int32_t graphic = SheetCell(tile, 0);
  DrawSprite(180.0, 240.0 + g_stage.layer0_offset, 1.0, 0.0, graphic, 255);
  DrawSprite(180.0, -240.0 + g_stage.layer0_offset, 1.0, 0.0, graphic, 255);
  if (!Paused()) g_stage.layer0_offset += g_stage.layer0_speed;
  if (g_stage.layer0_offset >= 480.0) g_stage.layer0_offset -= 480.0;
}

void DrawMapPiece(std::span<const MapPiece> map, int k, double y) {
  if (k < 0 || static_cast<size_t>(k) >= map.size()) return;
  DrawSprite(180.0, y, 1.0, 0.0, SheetCell(*map[k].sheet, map[k].cell), 255);
}

void DrawMapLayer(const StageScenery& scenery, int32_t position_frames) {
  g_stage.map_position = static_cast<double>(position_frames) * 0.8;
  if (!(g_stage.map_position < scenery.map_limit)) return;
  int32_t i = TruncToInt(g_stage.map_position);
  int k = i / 480;
  DrawMapPiece(scenery.map, k, static_cast<double>(i % 480 + 240));
  DrawMapPiece(scenery.map, k + 1, static_cast<double>(i % 480 - 240));
}

void StepStage1Scroll() {
  switch (g_stage.scroll_mode) {
    case 0:
      g_stage.layer0_speed = 16.0;
      g_stage.layer1_speed = 0.8;
      g_stage.scroll_mode = 1;
      break;
    case 1:
      if (g_stage.layer0_speed <= 0.5) {
        g_stage.layer0_speed = 0.5;
        g_stage.scroll_mode = 2;
      } else {
        g_stage.layer0_speed -= 0.05;
      }
      break;
    case 2:
      g_stage.layer0_speed = 0.5;
      break;
    default:
      break;
  }
}

// Stages 2 and 3 differ only in their cruising speed.
void StepStage2Or3Scroll(double cruise) {
  switch (g_stage.scroll_mode) {
    case 0:
      g_stage.layer0_speed = cruise;
      g_stage.layer1_speed = 0.8;
      g_stage.scroll_mode = 1;
      break;
    case 1:
      g_stage.layer0_speed = cruise;
      g_stage.scroll_mode = 2;
      break;
    case 3:
      if (g_stage.layer0_speed < 6.0) {
        g_stage.layer0_speed += 0.1;
      } else {
        g_stage.layer0_speed = 6.0;
        g_stage.scroll_mode = 2;
      }
      break;
    default:
      break;
  }
}

void StepStage4Scroll() {
  switch (g_stage.scroll_mode) {
    case 0:
      g_stage.layer0_speed = 0.5;
      g_stage.layer1_speed = 0.8;
      g_stage.scroll_mode = 1;
      break;
    case 1:
      if (g_stage.layer0_speed < 8.0) {
        g_stage.layer0_speed += 0.2;
      } else {
        g_stage.layer0_speed = 8.0;
        g_stage.scroll_mode = 2;
      }
      break;
    default:
      break;
  }
}

void RampTo8(double& speed) {
  if (speed < 8.0)
    speed += 0.1;
  else
    speed = 8.0;
}

// Stage 5 and the extra stage share modes 1-5; mode 0 differs.
void StepStage5Scroll(bool extra, int frame) {
  switch (g_stage.scroll_mode) {
    case 0:
      if (extra) {
        g_stage.layer0_speed = 8.0;
      } else {
        g_stage.background_counter = frame;
        g_stage.layer0_speed = 0.5;
        g_stage.layer1_speed = 0.8;
        g_stage.scroll_mode = 20;
      }
      break;
    case 1:
      g_stage.layer0_speed = 0.0;
      g_stage.layer1_speed = 0.0;
      break;
    case 2:
      RampTo8(g_stage.layer0_speed);
      RampTo8(g_stage.layer1_speed);
      break;
    case 3:
      g_stage.layer0_speed = 0.5;
      g_stage.layer1_speed = 0.8;
      break;
    case 4:
      g_stage.extra_tile = 1;
      break;
    case 5:
      g_stage.extra_tile = 0;
      break;
    default:
      break;
  }
  if (g_stage.scroll_mode != 1 && !Paused()) g_stage.background_counter += 1;
}

void RunBackground(int stage, int frame) {
  const StageScenery& scenery = kScenery[stage == 21 ? 4 : stage - 1];
  switch (stage) {
    case 1: StepStage1Scroll(); break;
    case 2: StepStage2Or3Scroll(0.5); break;
    case 3: StepStage2Or3Scroll(0.8); break;
    case 4: StepStage4Scroll(); break;
    default: StepStage5Scroll(stage == 21, frame); break;
  }
  const SheetLayout& tile =
      (stage >= 5 && g_stage.extra_tile == 1) ? kSheetStage60 : *scenery.tile;
  DrawTileLayer(tile);
  if (stage == 21) return;
  DrawMapLayer(scenery, stage == 5 ? g_stage.background_counter : frame);
}

}  // namespace

int RunStageScript() {
  int stage_number = g_flags.StageNumber;
  if (g_stage.frame == 0 && stage_number >= 1 && stage_number <= 5) PlayBgm(stage_number + 1);
  int frame = g_stage.frame;
  switch (stage_number) {
    case 1:
    case 16:
      if (stage_number == 16) g_stage.scroll_mode = 2;
      RunStage1Timeline(frame);
      RunBackground(1, frame);
      break;
    case 2:
    case 17:
      RunStage2Timeline(frame);
      RunBackground(2, frame);
      break;
    case 3:
    case 18:
      RunStage3Timeline(frame);
      RunBackground(3, frame);
      break;
    case 4:
    case 19:
      RunStage4Timeline(frame);
      RunBackground(4, frame);
      break;
    case 5:
    case 20:
      RunStage5Timeline(frame);
      RunBackground(5, frame);
      break;
    case 21:
      RunExtraStageTimeline(frame);
      RunBackground(21, frame);
      break;
    default:
      break;
  }
  if (!Paused()) g_stage.frame += 1;
  if (g_stage.items_alive >= 200) StartSlowMotion(30);
  return 0;
}

int StartStage() {
  g_stage.mid_boss_down = 0;
  g_stage.frame = 0;
  ResetPlayerForStage();
  ResetAllPlayerShots();
  ResetAllEnemyBullets();
  return 0;
}

int ResetStageObject() {
  // The live bullet and item counts are zeroed too, even when bullets or
  // items survive into the next stage; replays depend on the counts as kept.
  g_stage = StageObject{};
  EnemySerialCounter = 0;
  return 0;
}

int GetStageFrame() { return g_stage.frame; }
int SetStageFrame(int frame) {
  g_stage.frame = frame;
  return 0;
}
int GetStageNumber() { return g_flags.StageNumber; }

double GetScrollSpeed(int layer) {
  if (layer == 0) return g_stage.layer0_speed;
  if (layer == 1) return g_stage.layer1_speed;
  return 0.0;
}

int SetScrollMode(int mode) {
  g_stage.scroll_mode = mode;
  return 0;
}
int SetMidBossDownFlag(int value) {
  g_stage.mid_boss_down = value;
  return 0;
}
int GetMidBossDownFlag() { return g_stage.mid_boss_down; }
int AddStageEventCount(int n) {
  g_stage.event_count += n;
  return g_stage.event_count;
}
int GetStageEventCount() { return g_stage.event_count; }
int AddEnemyBulletCount(int n) {
  g_stage.enemy_bullets_alive += n;
  return 0;
}
int GetEnemyBulletsOnScreen() { return g_stage.enemy_bullets_alive; }
int AddItemCount(int n) {
  g_stage.items_alive += n;
  return 0;
}
int GetItemsOnScreen() { return g_stage.items_alive; }

int BossFightFlag(int value) {
  if (value == 0) g_stage.boss_fight = 0;
  if (value == 1) g_stage.boss_fight = 1;
  return g_stage.boss_fight;
}

int SecretBossFlag(int value) {
  if (value == 0) g_stage.secret_boss = 0;
  if (value == 1) g_stage.secret_boss = 1;
  return g_stage.secret_boss;
}
