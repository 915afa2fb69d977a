#include "kesto/kesto.h"
#include "play/stage.h"
#include "screens/hud_cells.h"
#include "screens/overlays.h"
#include "shell/draw.h"
#include "shell/sound_bank.h"

namespace {

// The WARNING's rows start staggered and fully opaque: a zeroed record would
// leave the text invisible.
BossWarningBanner FreshBossWarning() {
  BossWarningBanner b{};
  for (int r = 0; r < kBannerRows; ++r) {
    b.row_offset[r] = -2 * r;
    b.row_alpha[r] = 255;
  }
  return b;
}

// ---- stage title ----
constexpr int kTitleHoldFrames = 40;
constexpr int kColumnStep = 10;
constexpr int kTitleFadeStep = 5;
// start.dat runs
constexpr int kStartRunTitleColumns = 3;
constexpr int kStartRunTitlePlate = 4;
constexpr int kStartRunStageDigits = 6;

double& PlateFactor() { return g_stage_title.factor[0]; }
double& DigitXFactor() { return g_stage_title.factor[1]; }
double& DigitYFactor() { return g_stage_title.factor[2]; }

void GrowTitle() {
  StageTitleBanner& t = g_stage_title;
  if (PlateFactor() < 1.0) PlateFactor() += 0.05;
  for (int i = 0; i < kTitleColumns; ++i) {
    if (t.alpha[i] < 255) t.alpha[i] += kColumnStep;
    if (t.alpha[i] > 255) t.alpha[i] = 255;
  }
  if (t.alpha[1] == 255) {
    if (DigitXFactor() < 1.0) DigitXFactor() += 0.05;
    if (DigitXFactor() >= 1.0) DigitXFactor() = 1.0;
    if (DigitYFactor() > 1.0) DigitYFactor() -= 0.3;
    if (DigitYFactor() <= 1.0) DigitYFactor() = 1.0;
  }
  if (DigitXFactor() == 1.0 && DigitYFactor() == 1.0 && t.alpha[kTitleColumns - 1] == 255)
    t.phase = 2;
}

// ---- WARNING ----
constexpr int kWarningSoundEvery = 60;
constexpr int kWarningSound = 82;
constexpr int kBossMusic = 7;
constexpr int kBarStep = 10;
constexpr int kBarEnd = 180;
constexpr int kRowStep = 10;
constexpr int kRowEnd = 360;
constexpr int kRowFadeStep = 15;
constexpr int kWarningHoldFrames = 180;
constexpr int kStripes = 25;
// warning2.dat runs
constexpr int kWarning2RunBar = 0;
constexpr int kWarning2RunStripes = 1;

double& StripeFactor() { return g_boss_warning.factor[0]; }

void StepWarningPhase() {
  BossWarningBanner& w = g_boss_warning;
  const int last = kBannerRows - 1;
  switch (w.phase) {
    case 0:
      w.bar_offset[0] = w.bar_offset[1] = 0;
      w.phase = 1;
      break;
    case 1:
      for (int32_t& b : w.bar_offset)
        if (b < kBarEnd) b += kBarStep;
      if (w.bar_offset[0] >= kBarEnd) w.phase = 2;
      break;
    case 2:
      StripeFactor() += 0.1;
      if (StripeFactor() >= 1.0) {
        StripeFactor() = 1.0;
        w.phase = 3;
      }
      break;
    case 3:
      for (int32_t& r : w.row_offset) {
        r += kRowStep;
        if (r > kRowEnd) r = kRowEnd;
      }
      if (w.row_offset[last] >= kRowEnd) ++w.hold_counter;
      if (w.hold_counter > kWarningHoldFrames) w.phase = 4;
      break;
    case 4:
      for (int32_t& r : w.row_offset) {
        r -= kRowStep;
        if (r < 0) r = 0;
      }
      for (int32_t& a : w.row_alpha) {
        if (a > 0) a -= kRowFadeStep;
        if (a < 0) a = 0;
      }
      if (w.row_offset[last] <= 0) w.phase = 5;
      break;
    case 5:
      if (StripeFactor() > 0.0) StripeFactor() -= 0.1;
      if (StripeFactor() <= 0.0) {
        StripeFactor() = 0.0;
        w.phase = 6;
      }
      break;
    case 6:
      for (int32_t& b : w.bar_offset)
        if (b > 0) b -= kBarStep;
      if (w.bar_offset[0] < 1) w.phase = 7;
      break;
    default: {
      // Stage 5 and its boss practice start their boss's music from the boss.
      const int stage = GetStageNumber();
      if (stage != 5 && stage != 20) PlayBgm(kBossMusic);
      ResetBossWarning();
      break;
    }
  }
}

}  // namespace

StageTitleBanner g_stage_title{};
BossWarningBanner g_boss_warning = FreshBossWarning();

int StartStageTitle() {
  g_stage_title.active = 1;
  return 0;
}

int UpdateStageTitle() {
  StageTitleBanner& t = g_stage_title;
  if (t.active != 1) return 0;
  switch (t.phase) {
    case 0:
      for (int i = 0; i < kTitleColumns; ++i) t.alpha[i] = -2 * i;
      DigitXFactor() = 0.0;
      DigitYFactor() = 6.0;
      t.alpha[kTitlePlateAlphaSlot] = 255;
      t.alpha[kTitleDigitAlphaSlot] = 255;
      t.phase = 1;
      break;
    case 1:
      GrowTitle();
      break;
    case 2:
      if (++t.hold_counter >= kTitleHoldFrames) t.phase = 3;
      break;
    case 3:
      for (int32_t& a : t.alpha) {
        a -= kTitleFadeStep;
        if (a < 1) a = 0;
      }
      if (t.alpha[0] == 0) t.phase = 4;
      break;
    default:
      ResetStageTitle();
      break;
  }
  return 0;
}

int DrawStageTitle() {
  const StageTitleBanner& t = g_stage_title;
  if (t.active != 1) return 0;
  DrawSpriteQuad(320, 160, 360, 48, RunCell(kSheetStart, kStartRunTitlePlate, 0),
                 t.alpha[kTitlePlateAlphaSlot], 1.0, PlateFactor());
  // A wipe from left to right; columns not yet faded in are skipped.
  for (int i = 0; i < kTitleColumns; ++i) {
    if (t.alpha[i] < 1) continue;
    DrawSprite(84 + i, 160, 1.0, 0.0, RunCell(kSheetStart, kStartRunTitleColumns, i), t.alpha[i]);
  }
  // Only stages 1-5 have a digit.
  const int stage = GetStageNumber();
  if (stage >= 1 && stage <= 5)
    DrawSpriteQuad(396, 160, 32, 48, RunCell(kSheetStart, kStartRunStageDigits, stage - 1),
                   t.alpha[kTitleDigitAlphaSlot], DigitXFactor(), DigitYFactor());
  return 0;
}

int ResetStageTitle() {
  g_stage_title = StageTitleBanner{};
  return 0;
}

int StartBossWarning() {
  g_boss_warning.active = 1;
  return 0;
}

int UpdateBossWarning() {
  BossWarningBanner& w = g_boss_warning;
  if (w.active != 1) return 0;
  HaltMusic();
  if (w.sound_counter % kWarningSoundEvery == 0) PlaySoundEffect(kWarningSound);
  if (w.sound_counter < INT32_MAX) ++w.sound_counter;
  StepWarningPhase();
  return 0;
}

int DrawBossWarning() {
  BossWarningBanner& w = g_boss_warning;
  if (w.active != 1) return 0;
  if (w.anim_counter < INT32_MAX) ++w.anim_counter;
  const int counter = w.anim_counter;
  if (StripeFactor() > 0.0) {
    for (int i = 0; i < kStripes; ++i)
      DrawSprite(180, 122 + 4 * i, StripeFactor(), 0.0,
                 RunCell(kSheetWarning2, kWarning2RunStripes, (counter / 2 + i) % kStripes), 255);
  }
  const int32_t bar = RunCell(kSheetWarning2, kWarning2RunBar, 0);
  DrawSprite(w.bar_offset[0] - 90, 170, 1.0, 0.0, bar, 255);
  DrawSprite(450 - w.bar_offset[1], 170, 1.0, 180.0, bar, 255);
  const int frame = (counter / 4) % 4;
  for (int r = 0; r < kBannerRows; ++r) {
    if (w.row_alpha[r] < 1) continue;
    const int32_t row = RunCell(kSheetWarning, frame, r);
    DrawSprite(w.row_offset[r] - 180, 140 + r, 1.0, 0.0, row, w.row_alpha[r]);
    DrawSprite(540 - w.row_offset[r], 140 + r, 1.0, 0.0, row, w.row_alpha[r]);
  }
  return 0;
}

int ResetBossWarning() {
  g_boss_warning = FreshBossWarning();
  return 0;
}
