#include "screens/replay_list.h"

#include <cstdio>
#include <cstring>

#include "kesto/kesto.h"
#include "screens/menu_scene.h"
#include "screens/hud.h"
#include "screens/name_entry.h"
#include "screens/overlays.h"
#include "screens/result_panel.h"
#include "screens/scenes.h"
#include "shell/buttons.h"
#include "shell/draw.h"
#include "shell/frame.h"
#include "shell/game_flags.h"
#include "shell/image_tables.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

namespace {

constexpr int kShotGuardFrames = 30;
constexpr int kDemoFirstFile = 100;
constexpr int kRowSpacing = 24;

// The lists are large (99 headers): kept out of the stack.
ReplaySlotList g_list;

int DigitCount(int value) {
  char text[16];
  return std::snprintf(text, sizeof text, "%d", value);
}

void DrawNumber(int value, int x, int y, int align) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  DrawText(text, x, y, 255, align, 0);
}

struct ListScreen {
  ReplayListCursor cursor;
  int32_t frames;
};

void DrawListScreen(const ListScreen& s) {
  DrawText("REPLAY MODE", 114, 28, 255, 1, 0);
  DrawSprite(180, 240, 1.0, 0.0, SheetCell(kSheetReplayBack, 0), 255);
  int index = s.cursor.index;
  if (index != kReplayListReturn) {
    const ReplayListEntry& chosen = g_list.entries[index];
    if (chosen.valid == 1) {
      DrawReplayDetails(chosen);
    } else {
      DrawText("NO DATA", 138, 308, 255, 1, 0);
    }
  }
  DrawMenuHighlight(&g_menu_highlight_pulse, 180, 103 + kRowSpacing * s.cursor.row);
  DrawReplayListHeads(kReplayListBaseY);
  for (int i = s.cursor.top; i < s.cursor.top + kReplayListRows; ++i)
    DrawReplayListRow(g_list, i, s.cursor.top, kReplayListBaseY);
}

// The attract demo: the next demo replay starts at once. -1 when its file is
// missing or damaged (back to the title). A damaged file passes its turn to
// the next demo, or the title would pick it again every time and the other
// demos would never show.
int StartDemoReplay() {
  int file_slot = g_flags.DemoReplayIndex + kDemoFirstFile - 1;
  static ReplayListEntry demo;
  if (ReadReplayHeader(&demo, file_slot) != 0 || StartReplayPlayback(demo, file_slot) != 0) {
    if (ReplayFileExists(file_slot + 1) >= 0) g_flags.DemoReplayIndex += 1;
    g_flags.CurrentScene = kSceneBoot;
    return -1;
  }
  g_flags.CurrentScene = kSceneGamePlay;
  g_flags.DemoReplayIndex += 1;
  return 0;
}

}  // namespace

void ReadReplaySlotList(ReplaySlotList& list) {
  for (int i = 0; i < kReplaySlots; ++i) {
    list.entries[i] = ReplayListEntry{};
    ReadReplayHeader(&list.entries[i], i);
  }
}

void DrawReplayListHeads(int base_y) {
  DrawText("SCORE", 200, base_y - 34, 255, 1, 0);
  DrawText("MODE", 60, base_y - 34, 255, 1, 0);
  DrawText("STAGE", 292, base_y - 34, 255, 1, 0);
}

void DrawReplayListRow(const ReplaySlotList& list, int i, int top, int base_y) {
  if (i < 0 || i > kReplayListReturn || i < top || i >= top + kReplayListRows) return;
  int y = base_y + kRowSpacing * (i - top);
  if (i == kReplayListReturn) {
    DrawText("        RETURN          ", 40, y, 255, 1, 0);
    return;
  }
  DrawNumber(i + 1, 32 - 10 * DigitCount(i + 1), y, 1);
  const ReplayListEntry& e = list.entries[i];
  if (e.valid != 1) {
    DrawText("........NO DATA........", 42, y, 255, 1, 0);
    return;
  }
  const int32_t* w = e.header.words;
  DrawNumber(w[kReplayWordScore], 260, y, 0);
  DrawText(ModeName(w[kReplayWordMode]), 40, y, 255, 1, 0);
  int stage = w[kReplayWordStage];
  if (w[kReplayWordStageSelect] == 0) {
    if (stage == 6 || stage == 7) {
      DrawText(stage == 6 ? "ALL" : "ALL!", 304, y, 255, 1, 0);
    } else {
      DrawNumber(stage, 316, y, 1);
    }
  } else {
    char text[8];
    StageSelectStageText(stage, text, sizeof text);
    DrawText(text, 304, y, 255, 1, 0);
  }
}

void DrawReplayDetails(const ReplayListEntry& entry) {
  const int32_t* w = entry.header.words;
  DrawText("NAME", 48, 300, 255, 1, 0);
  DrawText("DATE", 48, 324, 255, 1, 0);
  DrawText("MISS ", 48, 348, 255, 1, 0);
  DrawText("FIGHTER", 48, 372, 255, 1, 0);
  DrawText("AUTO GUARD", 48, 396, 255, 1, 0);
  char name[4];
  CopyNameForDrawing(entry.name, name);
  DrawText(name, 221, 300, 255, 1, 0);
  DrawNumber(w[kReplayWordDate], 220, 324, 0);
  DrawText("/", 220, 324, 255, 1, 0);
  DrawNumber(w[kReplayWordDate + 1], 256, 324, 0);
  DrawText("/", 256, 324, 255, 1, 0);
  DrawNumber(w[kReplayWordDate + 2], 292, 324, 0);
  int misses = w[kReplayWordMisses];
  if (misses == 0) {
    DrawText("NO MISS!", 196, 348, 255, 1, 0);
  } else {
    DrawNumber(misses, 236 - 6 * DigitCount(misses), 348, 1);
  }
  static const char* const kPaddedFighterNames[5] = {"SOLM ", "HOPE ", "PEACE", "EDEN ", "EDEN "};
  int fighter = w[kReplayWordFighter];
  if (fighter >= 0 && fighter <= 4) DrawText(kPaddedFighterNames[fighter], 206, 372, 255, 1, 0);
  int guard = w[kReplayWordAutoGuard];
  if (guard == 0) {
    DrawText("OFF", 218, 396, 255, 1, 0);
  } else if (guard == 1) {
    DrawText("ON", 224, 396, 255, 1, 0);
  } else {
    DrawText("NO DATA", 201, 396, 255, 1, 0);
  }
}

void DrawStageScorePanel(const ReplayHeader& header) {
  for (int k = 0; k < 5; ++k) {
    char label[8];
    std::snprintf(label, sizeof label, "STAGE%d", k + 1);
    int y = 64 + 72 * k;
    DrawText(label, 414, y, 255, 1, 0);
    DrawNumber(header.words[kReplayWordStageScore1 + k], 486, y + 24, 0);
  }
}

int RunReplayListScene() {
  ListScreen s{};
  if (g_flags.ReturnToReplayList == 1) {
    s.cursor.index = g_flags.ReplayListPosition[0];
    s.cursor.row = g_flags.ReplayListPosition[1];
    s.cursor.top = g_flags.ReplayListPosition[2];
    g_flags.ReturnToReplayList = 0;
  } else {
    std::memset(g_flags.ReplayListPosition, 0, sizeof g_flags.ReplayListPosition);
  }
  // The saved position may come from anywhere: bring it into range.
  ApplyReplayListMove(s.cursor, ReplayListMove::kNone);
  ReadReplaySlotList(g_list);
  HaltMusic();
  ResetFade();
  if (g_flags.DemoMode == 1 && StartDemoReplay() != 0) return -1;

  while (PumpFrameMessages() == 0) {
    DrawMenuBackground(100);
    DrawListScreen(s);
    if (s.frames >= kShotGuardFrames) MoveReplayListCursor(s.cursor);
    ++s.frames;
    if (ShotButtonState() == 1 && s.frames > kShotGuardFrames &&
        g_flags.CurrentScene == kSceneReplayList) {
      int index = s.cursor.index;
      if (index == kReplayListReturn) {
        PlaySoundEffect(1);
        g_flags.CurrentScene = kSceneMainMenu;
      } else if (g_list.entries[index].valid == 1) {
        g_flags.ReplayListPosition[0] = s.cursor.index;
        g_flags.ReplayListPosition[1] = s.cursor.row;
        g_flags.ReplayListPosition[2] = s.cursor.top;
        PlaySoundEffect(1);
        StartReplayPlayback(g_list.entries[index], index);
      }
    }
    DrawWallOverlay();
    const ReplayListEntry* chosen =
        s.cursor.index < kReplaySlots ? &g_list.entries[s.cursor.index] : nullptr;
    if (chosen != nullptr && chosen->valid == 1 && chosen->header.words[kReplayWordStageSelect] == 0)
      DrawStageScorePanel(chosen->header);
    // The side panel is drawn over the wall, so the frame end is spelled out
    // here rather than left to FinishScreenFrame.
    HandleSystemKeys();
    if (g_flags.CurrentScene != kSceneReplayList) break;
    DrawDebugCounters();
    EndFrame(g_frame_clock);
  }
  return 0;
}
