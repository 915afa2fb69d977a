#include <cstdio>

#include "kesto/kesto.h"
#include "play/enemies.h"
#include "play/player.h"
#include "screens/hud.h"
#include "screens/hud_cells.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"

HudState g_hud{};

namespace {

constexpr int kScoreSlideMax = 16;
constexpr int kBombSlideMax = 12;
constexpr int kItemCounterMax = 99999;
constexpr int kLifeFrames = 12;
constexpr int kItemFrames = 12;
constexpr int kGaugeSlices = 16;
// Far more than the field can show; bounds the loops for absurd counts.
constexpr int kMaxIcons = 64;

constexpr int kPlateEnd = 300;
constexpr int kGaugeStep = 10;

// start.dat run 0: the AUTO GUARD mark; etc1.dat runs.
constexpr int kStartRunAutoGuard = 0;
constexpr int kEtc1RunBombIcon = 6;
constexpr int kEtc1RunGaugePlate = 9;
constexpr int kEtc1RunPhaseMark = 10;
constexpr int kEtc1RunGaugeSlices = 11;

bool InDemo() { return g_flags.DemoMode == 1; }

int StepToward(int value, int target) {
  if (value < target) return value + 1;
  if (value > target) return value - 1;
  return value;
}

void Advance(int32_t& counter) {
  counter = static_cast<int32_t>(static_cast<uint32_t>(counter) + 1u);
}

// Text of a number; '-' has no glyph and shows as a gap.
struct Number {
  char text[16];
  explicit Number(int n) { std::snprintf(text, sizeof text, "%d", n); }
};

// A gauge whose boss went away without emptying it (a mid-boss that flew off
// when its time ran out) starts over with the next boss instead of showing
// it at once without sliding in.
void ForgetGaugeWhenNotWanted() {
  if (BossGaugeShown == 1) return;
  g_hud.gauge_phase = 0;
  g_hud.gauge_plate_offset = 0;
  g_hud.gauge_bar_length = 0;
}

int GaugeTarget(int hp, int max_hp) {
  if (hp <= 0) return 0;
  const int64_t per_pixel = int64_t{max_hp} * 1000 / kBossGaugeLength;
  if (per_pixel <= 0) return kBossGaugeLength;
  const int64_t target = int64_t{hp} * 1000 / per_pixel;
  return target > kBossGaugeLength ? kBossGaugeLength : static_cast<int>(target);
}

void StepGauge(int hp, int target) {
  HudState& h = g_hud;
  switch (h.gauge_phase) {
    case 0:
      h.gauge_plate_offset += kGaugeStep;
      if (h.gauge_plate_offset >= kPlateEnd) {
        h.gauge_plate_offset = kPlateEnd;
        h.gauge_phase = 1;
      }
      break;
    case 1:
      if (h.gauge_bar_length < target - kGaugeStep) {
        h.gauge_bar_length += kGaugeStep;
      } else if (h.gauge_bar_length > target + kGaugeStep) {
        h.gauge_bar_length -= kGaugeStep;
      } else {
        h.gauge_bar_length = target;
        h.gauge_phase = 2;
      }
      break;
    case 2:
      h.gauge_bar_length = target;
      if (hp <= 0) h.gauge_phase = 3;
      break;
    default:
      h.gauge_plate_offset -= kGaugeStep;
      if (h.gauge_plate_offset <= 0) {
        h.gauge_plate_offset = 0;
        h.gauge_phase = 0;
        BossGaugeShown = 0;
      }
      break;
  }
}

void DrawPhaseMarks(int type) {
  static constexpr struct {
    int type;
    int xs[3];
    int count;
  } kMarks[] = {{110, {152}, 1},          {120, {122}, 1},          {200, {146}, 1},
                {210, {141}, 1},          {220, {197, 104}, 2},     {230, {203, 105}, 2},
                {240, {244, 113}, 2},     {250, {260, 179, 98}, 3}};
  const int32_t mark = RunCell(kSheetEtc1, kEtc1RunPhaseMark, 0);
  for (const auto& m : kMarks) {
    if (m.type != type) continue;
    for (int i = 0; i < m.count; ++i) DrawSprite(m.xs[i], 28, 1.0, 0.0, mark, 255);
  }
}

}  // namespace

int ResetHud() {
  g_hud = HudState{};
  BossGaugeShown = 0;
  return 0;
}

int DrawModeName() {
  if (InDemo()) return 0;
  static constexpr const char* kNames[] = {"HEAVEN   ", "ORIGINAL ", "HELL     ", "ACCEL    "};
  const int mode = g_flags.DifficultyMode;
  if (mode < 0 || mode > 3) return 0;
  DrawText(kNames[mode], 243, 0, 255, 1, 0);
  return 0;
}

int DrawScore(int score) {
  ForgetGaugeWhenNotWanted();
  if (InDemo()) return 0;
  HudState& h = g_hud;
  h.score_slide = StepToward(h.score_slide, BossGaugeShown == 1 ? kScoreSlideMax : 0);
  DrawText("SCORE", 52, -h.score_slide, 255, 1, 0);
  DrawText(Number(score).text, 112, 16 - h.score_slide, 255, 0, 0);
  return 0;
}

int DrawLifeIcons(int lives) {
  if (InDemo()) return 0;
  HudState& h = g_hud;
  const int32_t icon = RunCell(kSheetLife, 0, (h.life_counter / 4) % kLifeFrames);
  for (int i = 0; i < lives && i < kMaxIcons; ++i) DrawSprite(12 + 32 * i, 48, 1.0, 0.0, icon, 255);
  if (GetAutoBombOption() == 1 && GetPlayerBombs() > 0) {
    const int alpha = TruncToInt(SinDeg(5.0 * h.life_counter) * 100.0) + 155;
    DrawSprite(32, 48, 1.0, 0.0, RunCell(kSheetStart, kStartRunAutoGuard, 0), alpha);
  }
  Advance(h.life_counter);
  return 0;
}

int DrawBombIcons(int bombs, int near_bottom) {
  if (InDemo()) return 0;
  HudState& h = g_hud;
  const int32_t icon = RunCell(kSheetEtc1, kEtc1RunBombIcon, 0);
  for (int i = 0; i < bombs && i < kMaxIcons; ++i)
    DrawSprite(12 + 24 * i, 468 + h.bomb_slide, 1.0, 0.0, icon, 255);
  h.bomb_slide = StepToward(h.bomb_slide, near_bottom == 1 ? kBombSlideMax : 0);
  return 0;
}

int DrawItemCounter(int gauge) {
  if (InDemo()) return 0;
  HudState& h = g_hud;
  DrawSprite(328, 64, 1.0, 0.0, RunCell(kSheetItemScore2, 0, (h.item_counter / 6) % kItemFrames),
             255);
  DrawText(Number(gauge > kItemCounterMax ? kItemCounterMax : gauge).text, 340, 72, 255, 0, 0);
  Advance(h.item_counter);
  return 0;
}

int DrawBossGauge(int hp, int max_hp, int type) {
  if (InDemo() || max_hp <= 0) return 0;
  HudState& h = g_hud;
  StepGauge(hp, GaugeTarget(hp, max_hp));
  const int32_t slice =
      RunCell(kSheetEtc1, kEtc1RunGaugeSlices, (h.gauge_counter / 6) % kGaugeSlices);
  for (int i = 0; i < h.gauge_bar_length; ++i) BlitGraphicAt(158 + i, 20, slice, 1);
  DrawSprite(480 - h.gauge_plate_offset, 28, 1.0, 0.0, RunCell(kSheetEtc1, kEtc1RunGaugePlate, 0),
             255);
  if (h.gauge_phase == 2) DrawPhaseMarks(type);
  Advance(h.gauge_counter);
  return 0;
}
