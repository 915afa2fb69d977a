// The stage object: scrolling backgrounds, the stage frame and stage flags.
#pragma once

#include <cstdint>

struct StageObject {
  int32_t scroll_mode;
  int32_t frame;
  int32_t background_counter;  // stage 5: positions the map layer, stops with the scroll
  double layer0_speed;         // tiled picture layer
  double layer1_speed;         // reported for the map layer; ground objects move with it
  double layer0_offset;        // 0 to below 480
  double map_position;
  int32_t extra_tile;  // 1: the extra boss's picture in the tiled layer
  int32_t mid_boss_down;
  int32_t event_count;
  int32_t enemy_bullets_alive;
  int32_t items_alive;
  int32_t secret_boss;
  int32_t boss_fight;
};

extern StageObject g_stage;

int RunStageScript();  // per game-play frame, before the enemy pass
int StartStage();
int ResetStageObject();  // also restarts enemy serial numbers
int GetStageFrame();
int SetStageFrame(int frame);
int GetStageNumber();
double GetScrollSpeed(int layer);  // 0.0 for layers other than 0 and 1
int SetScrollMode(int mode);
int SetMidBossDownFlag(int value);
int GetMidBossDownFlag();
int AddStageEventCount(int n);  // returns the new count
int GetStageEventCount();
int AddEnemyBulletCount(int n);
int GetEnemyBulletsOnScreen();
int AddItemCount(int n);
int GetItemsOnScreen();
// 0 clears, 1 sets, anything else only reads; returns the flag.
int BossFightFlag(int value);
int SecretBossFlag(int value);
