#include "screens/replay_save.h"

#include <algorithm>
#include <cstring>

#include "kesto/kesto.h"
#include "screens/menu_scene.h"
#include "screens/hud.h"
#include "screens/overlays.h"
#include "screens/ranking.h"
#include "screens/replay.h"
#include "screens/replay_list.h"
#include "screens/result_panel.h"
#include "screens/save_data.h"
#include "screens/scenes.h"
#include "shell/buttons.h"
#include "shell/draw.h"
#include "shell/frame.h"
#include "shell/game_flags.h"
#include "shell/menu.h"
#include "shell/program.h"
#include "shell/sound_bank.h"

namespace {

constexpr int kShotGuardFrames = 30;
constexpr int kMessageFrames = 90;
constexpr int kRowSpacing = 24;

enum SaveState : int32_t { kChoosing = 0, kSaved = 1, kLeaving = 2, kSaveFailed = 3 };

ReplaySlotList g_slots;

struct SaveScreen {
  GameResultRecord result;
  ReplayListCursor cursor;
  int32_t frames;
  int32_t state;
};

bool ReplayBarred(const SaveScreen& s) {
  return s.result.continued != 0 || g_flags.PausedThisGame != 0;
}

void StepChoosing(SaveScreen& s) {
  if (ReplayBarred(s)) {
    DrawText("PRESS SHOT BUTTON", 78, 240, 255, 1, 0);
  } else {
    DrawMenuHighlight(&g_menu_highlight_pulse, 180, 252 + kRowSpacing * s.cursor.row);
    DrawReplayListHeads(kReplaySaveListBaseY);
    for (int i = s.cursor.top; i < s.cursor.top + kReplayListRows; ++i)
      DrawReplayListRow(g_slots, i, s.cursor.top, kReplaySaveListBaseY);
    MoveReplayListCursor(s.cursor);
  }
  ++s.frames;
  if (ShotButtonState() != 1 || s.frames <= kShotGuardFrames) return;
  PlaySoundEffect(1);
  if (s.cursor.index == kReplayListReturn || ReplayBarred(s)) {
    s.state = kLeaving;
    return;
  }
  // The write goes to the slot under the highlight; a failed write keeps the
  // old file and says so, and the player may pick again.
  s.state = WriteReplayFile(g_replay_buffer, s.cursor.index) == 0 ? kSaved : kSaveFailed;
  s.frames = 0;
}

void StepMessage(SaveScreen& s) {
  if (s.state == kSaved) {
    DrawText("SAVED", 150, 260, 255, 1, 0);
  } else {
    DrawText("SAVE FAILED", 114, 260, 255, 1, 0);
  }
  if (++s.frames < kMessageFrames) return;
  s.frames = 0;
  s.state = s.state == kSaved ? kLeaving : kChoosing;
}

void Leave(int mode) {
  if (g_flags.sel_flag == 0) {
    g_flags.RankingModeShown = mode;
    g_flags.RankingAfterGame = 1;
    g_flags.CurrentScene = kSceneRanking;
  } else {
    ResetGameObjects();
    g_flags.CurrentScene = kSceneStageSelect;
  }
}

}  // namespace

GameResultRecord RecordGameResult() {
  const int32_t* w = g_replay_buffer.header.words;
  GameResultRecord r{};
  r.continued = w[kReplayWordContinues] > 0 ? 1 : 0;
  r.rank = kRankNotEntered;
  int mode = g_flags.DifficultyMode;
  if (mode < 0 || mode >= kProgressModes) return r;
  int stage = w[kReplayWordStage];

  if (g_flags.sel_flag == 0) {
    int reached = std::min(stage, 5);
    if (g_save_data.StageReachedTable[mode] < reached) g_save_data.StageReachedTable[mode] = reached;
  }
  if (g_flags.sel_flag == 0 && r.continued == 0 && stage > 5) {
    int fighter = std::clamp(static_cast<int>(w[kReplayWordFighter]), 0, 3);
    int32_t& mark = g_save_data.ClearMarkTable[mode][fighter];
    int guard = w[kReplayWordAutoGuard];
    if (mark == 0) {
      mark = guard == 1 ? 1 : 2;
    } else if (mark == 1 && guard == 0) {
      mark = 2;
    }
  }

  RankingRecord& entry = g_ranking.records[mode][kRankingNewSlot];
  std::memcpy(entry.name, g_replay_buffer.name, sizeof entry.name);
  entry.name[3] = '\0';
  entry.score = w[kReplayWordScore];
  entry.fighter = w[kReplayWordFighter];
  entry.variant = w[kReplayWordVariant];
  entry.stage = stage;
  entry.auto_guard = w[kReplayWordAutoGuard];
  if (g_flags.sel_flag == 0) r.rank = SortRanking(g_ranking, mode);
  return r;
}

int RunReplaySaveScene() {
  SaveScreen s{};
  s.result = RecordGameResult();
  int mode = g_flags.DifficultyMode;
  ReadReplaySlotList(g_slots);
  if (IsMusicRunning() == 1) HaltMusic();
  // Written before anything is chosen, so that leaving by Space keeps them.
  SaveScores();
  WriteSaveData();
  ResetFade();

  while (PumpFrameMessages() == 0) {
    DrawMenuBackground(100);
    DrawResultPanel(g_replay_buffer, s.result.rank);
    if (s.state == kChoosing) {
      StepChoosing(s);
    } else if (s.state == kSaved || s.state == kSaveFailed) {
      StepMessage(s);
    }
    if (s.state == kLeaving) Leave(mode);
    DrawWallOverlay();
    if (g_flags.sel_flag == 0) DrawStageScorePanel(g_replay_buffer.header);
    // The side panel is drawn over the wall: the frame end is spelled out.
    HandleSystemKeys();
    if (g_flags.CurrentScene != kSceneReplaySave) break;
    DrawDebugCounters();
    EndFrame(g_frame_clock);
  }
  HaltMusic();
  return 0;
}
