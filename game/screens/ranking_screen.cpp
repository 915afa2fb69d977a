#include "screens/ranking_screen.h"

#include <algorithm>
#include <cstdio>

#include "kesto/kesto.h"
#include "screens/name_entry.h"
#include "screens/ranking.h"
#include "screens/result_panel.h"
#include "screens/scenes.h"
#include "screens/screen_frame.h"
#include "shell/buttons.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/image_tables.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

namespace {

constexpr int kRows = 5;
constexpr int kSlideStep = 15;
constexpr int kSlideEnd = 360;
constexpr int kFadeStep = 5;
constexpr int kShotGuardFrames = 20;
constexpr int kDemoFrames = 560;
const char* const kRankLabels[kRows] = {"1ST", "2ND", "3RD", "4TH", "5TH"};
const int kModeNameX[4] = {144, 132, 156, 150};

void RestartFadeIn(RankingScreen& s) {
  for (int r = 0; r < kRows; ++r) s.alpha[r] = -40 * r;
  s.skipped_fade = 0;
}

int ClampAlpha(int a) { return std::clamp(a, 0, 255); }

void DrawRankingRow(const RankingRecord& rec, int r, int offset, int alpha) {
  int a = ClampAlpha(alpha);
  DrawSprite(offset - 180, 120 + 80 * r, 1.0, 0.0, SheetCell(kSheetEtc1, kRankingRowPlateCell), a);
  DrawText(kRankLabels[r], 20, 112 + 80 * r, a, 1, 0);
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(rec.score));
  DrawText(text, 200, 104 + 80 * r, a, 0, 1);
  char name[4];
  CopyNameForDrawing(rec.name, name);
  DrawText(name, 280, 114 + 80 * r, a, 1, 0);
  DrawText("STAGE", 80, 128 + 80 * r, a, 1, 0);
  if (rec.stage == 6 || rec.stage == 7) {
    DrawText(rec.stage == 6 ? "ALL" : "ALL!", 152, 128 + 80 * r, a, 1, 0);
  } else if (rec.stage < 6) {
    std::snprintf(text, sizeof text, "%d", static_cast<int>(rec.stage));
    DrawText(text, 166, 128 + 80 * r, a, 1, 0);
  }
  if (rec.fighter >= 0 && rec.fighter <= 4) {
    DrawSprite(238, 116 + 80 * r, 1.0, 0.0, FighterIconCell(FighterIconForRecord(rec.fighter)), a);
    DrawText(FighterName(rec.fighter), 214, 128 + 80 * r, a, 1, 0);
  }
  if (rec.auto_guard == 1) {
    DrawSprite(272, 104 + 80 * r, 1.0, 0.0, SheetCell(kSheetStart, kAutoGuardMarkCell),
               ClampAlpha(alpha - 100));
  }
}

}  // namespace

RankingScreen EnterRankingScreen() {
  RankingScreen s{};
  // The attract demo hands over the mode it played, as a finished game does.
  bool after_game = g_flags.RankingAfterGame == 1 || g_flags.DemoMode == 1;
  s.mode = after_game ? g_flags.RankingModeShown : 1;
  if (s.mode < 0 || s.mode > 3) s.mode = 1;
  for (int r = 0; r < kRows; ++r) s.offset[r] = -40 * r;
  RestartFadeIn(s);
  s.plate_x_scale = 0.0;
  s.plate_y_scale = 9.0;
  return s;
}

void StepRankingScreen(RankingScreen& s) {
  ++s.frames;
  DrawText(ModeName(s.mode), kModeNameX[s.mode], 56, 255, 1, 0);

  for (int r = 0; r < kRows; ++r) s.offset[r] = std::min(s.offset[r] + kSlideStep, kSlideEnd);
  if (s.offset[0] >= kSlideEnd)
    for (int r = 0; r < kRows; ++r) s.alpha[r] = std::min(s.alpha[r] + kFadeStep, 255);

  for (int r = 0; r < kRows; ++r)
    DrawRankingRow(g_ranking.records[s.mode][r], r, s.offset[r], s.alpha[r]);

  // A press steps the mode once; holding does not repeat.
  int left = LeftButtonState();
  int right = RightButtonState();
  if (left == 1 || right == 1) {
    PlaySoundEffect(0);
    s.mode = (s.mode + (left == 1 ? 3 : 1)) % 4;
    s.frames = 0;
    RestartFadeIn(s);
  }

  if (ShotButtonState() == 1 && s.frames > kShotGuardFrames) {
    if (s.skipped_fade == 1) {
      PlaySoundEffect(1);
      g_flags.CurrentScene = g_flags.RankingAfterGame == 1 ? kSceneBoot : kSceneMainMenu;
    } else {
      for (int r = 0; r < kRows; ++r) s.alpha[r] = 255;
      s.skipped_fade = 1;
    }
  }

  if (g_flags.DemoMode == 1 && s.frames > kDemoFrames) g_flags.CurrentScene = kSceneBoot;

  DrawSpriteQuad(320, 32, 256, 32, SheetCell(kSheetStart, kRankingTitlePlateCell), 255,
                 s.plate_x_scale, s.plate_y_scale);
  // Whole tenths, so that the ramps stop exactly on 1.0.
  s.plate_x_scale = std::min(1.0, (static_cast<int>(s.plate_x_scale * 10.0 + 0.5) + 1) / 10.0);
  s.plate_y_scale = std::max(1.0, (static_cast<int>(s.plate_y_scale * 10.0 + 0.5) - 8) / 10.0);
}

int RunRankingScene() {
  RankingScreen s = EnterRankingScreen();
  while (PumpFrameMessages() == 0) {
    DrawMenuBackground(100);
    StepRankingScreen(s);
    if (FinishScreenFrame(kSceneRanking, 1) != 0) break;
  }
  return 0;
}
