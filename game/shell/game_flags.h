// The flags the scenes use to talk to each other, and the scene numbers.
#pragma once

#include <cstdint>

enum SceneId : int32_t {
  kSceneBoot = 0,
  kSceneTitle = 1,
  kSceneMainMenu = 2,
  kSceneStageSelect = 3,
  kSceneReplayList = 4,
  kSceneConfig = 5,
  kSceneModeSelect = 6,
  kSceneGamePlay = 8,
  kSceneEnding = 9,
  kSceneGameOver = 10,
  kSceneReplaySave = 11,
  kSceneRanking = 12,
  kSceneNameEntry = 13,
  kSceneFighterSelect = 14,
};

// Global for the whole run; all zero at program start.
struct GameFlags {
  int32_t CurrentScene;
  int32_t GamePaused;
  int32_t ReplayPlayback;
  int32_t PausedThisGame;
  int32_t ReturnToReplayList;
  int32_t ReplayListPosition[3];
  int32_t RankingModeShown;
  int32_t RankingAfterGame;
  int32_t MainMenuChoice;
  int32_t DifficultyMode;
  int32_t StageNumber;
  int32_t sel_flag;
  int32_t RetryRequested;
  int32_t DemoMode;
  int32_t DemoReplayIndex;
};

extern GameFlags g_flags;
