#include "screens/fighter_select.h"

#include "kesto/kesto.h"
#include "play/player.h"
#include "screens/save_data.h"
#include "screens/scenes.h"
#include "screens/screen_frame.h"
#include "shell/buttons.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/image_tables.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

namespace {

constexpr int kShotGuardFrames = 30;
constexpr int kIntro = 1;
constexpr int kActive = 2;
constexpr int kLeaving = 3;
constexpr int kIntroFrames = 20;
constexpr int kMarkedFighters = 4;  // fighter slots of the clear-mark table
constexpr int kStripeRow = 1;
constexpr int kBottomPlateRun = 4;   // 360x48 at (0, 48) of bmp/start.dat
constexpr int kTitlePlateRun = 7;    // 360x48 at (0, 112)
constexpr int kMarkOneRun = 14;      // per mode, 160x16 from (160, 176)
constexpr int kMarkTwoRun = 15;      // per mode, 160x16 from (0, 400)
constexpr int kIconOfFighter[kMarkedFighters] = {0, 1, 4, 5};  // char1, char2, char3, char4

// The fighter whose marks, plate and portrait the hidden fighter borrows.
int MarkedFighter(int fighter) { return fighter >= kMarkedFighters - 1 ? kMarkedFighters - 1 : fighter; }

bool HasMark(int fighter) {
  for (int mode = 0; mode < kProgressModes; ++mode)
    if (g_save_data.ClearMarkTable[mode][fighter] > 0) return true;
  return false;
}

struct Point {
  double x;
  double y;
};

// Where fighter i's icon and the cursor ring stand, for `count` fighters.
Point RingPosition(int count, int i) {
  if (count <= 2) return {204.0, 180.0 + 120.0 * i};
  if (count == 3) return {196.0 + 40.0 * (i % 2), 140.0 + 100.0 * i};
  return {196.0 + 40.0 * (i % 2), 120.0 + 80.0 * i};
}

void DrawPortrait(const FighterSelectState& f) {
  double widen = RampFactor(f.portrait);
  if (f.cursor == kHiddenFighter) {
    DrawSpriteQuad(420, 260, 240, 400, SheetCell(kSheetCharB4_2, 0), 255, widen, 1.0);
    return;
  }
  const SheetLayout* portraits[kMarkedFighters] = {&kSheetCharB1, &kSheetCharB2, &kSheetCharB3,
                                                   &kSheetCharB4};
  DrawSpriteQuad(440, 240, 360, 480, SheetCell(*portraits[MarkedFighter(f.cursor)], 0), 255, widen,
                 1.0);
}

void DrawClearMarks(const FighterSelectState& f) {
  int marked = MarkedFighter(f.cursor);
  for (int mode = 0; mode < kProgressModes; ++mode) {
    int mark = g_save_data.ClearMarkTable[mode][marked];
    if (mark != 1 && mark != 2) continue;
    int run = mark == 1 ? kMarkOneRun : kMarkTwoRun;
    DrawSpriteScreen(380, 316 + 20 * mode, 1.0, 0.0, SheetRunCell(kSheetStart, run, mode), 255);
  }
}

void DrawShips(const FighterSelectState& f) {
  int fighter = f.cursor;
  int t = f.frames;
  if (fighter <= 2) {
    int frame = (t / 2) % (fighter == 2 ? 9 : 12);
    double scale = fighter == 0 ? 0.8 : 1.0;
    int32_t ship = FighterOptionCell(fighter + 1, frame);
    DrawSpriteScreen(180, 420, scale, 270, ship, 255);
    DrawSpriteScreen(228, 420, scale, 270, ship, 255);
    return;
  }
  const Point places[4] = {{180, 404}, {228, 404}, {156, 436}, {252, 436}};
  bool hidden = fighter == kHiddenFighter;
  int frame = hidden ? (t / 6) % 4 : (t / 2) % 9;
  int32_t ship = FighterOptionCell(hidden ? 5 : 4, frame);
  for (const Point& p : places) DrawSpriteScreen(p.x, p.y, 1.0, hidden ? 0 : 270, ship, 255);
}

void DrawFighterSelect(const FighterSelectState& f) {
  DrawSpriteQuad(212, 240, 144, 288, SheetCell(kSheetPSel, 0), 200, 1.0, RampFactor(f.panel_y));
  DrawSpriteQuad(320, 60, 360, 48, SheetRunCell(kSheetStart, kTitlePlateRun, 0), 255,
                 RampFactor(f.plate_x), RampFactor(f.plate_y));
  if (f.cursor != kHiddenFighter) {
    Point ring = RingPosition(f.count, f.cursor);
    DrawSpriteScreen(ring.x, ring.y, 1.0, 2.0 * f.frames, SheetCell(kSheetCursor2, 0), 255);
  }
  DrawPortrait(f);
  DrawClearMarks(f);
  DrawSpriteQuad(320, 420, 360, 48, SheetRunCell(kSheetStart, kBottomPlateRun, 0), 255, 1.0,
                 RampFactor(f.portrait));
  DrawShips(f);
  for (int i = 0; i < f.count && i < kMarkedFighters; ++i) {
    Point icon = RingPosition(f.count, i);
    DrawSpriteScreen(icon.x + f.slide, icon.y, 1.0, 0.0, FighterIconCell(kIconOfFighter[i]), 255);
  }
  // The hidden fighter has no plate of its own: it shows fighter 3's.
  const SheetLayout* plates[kMarkedFighters] = {&kSheetCharF1, &kSheetCharF2, &kSheetCharF3,
                                                &kSheetCharF4};
  DrawSpriteScreen(380, 420, 1.0, 0.0, SheetCell(*plates[MarkedFighter(f.cursor)], 0), 255);
}

void StepActive(FighterSelectState& f) {
  if (f.frames < INT32_MAX) ++f.frames;
  StepRamp(f.portrait, 1, 10);
  f.cursor = MoveMenuCursor(f.cursor, f.count - 1);
  // Both read every frame, so that a press held over from the last screen is no press.
  int shot = ShotButtonState();
  int bomb = BombButtonState();
  if (f.frames <= kShotGuardFrames) return;
  if (shot == 1) {
    f.variant = 0;
    PlaySoundEffect(1);
    f.phase = kLeaving;
  } else if (bomb == 1) {
    if (f.cursor == kMarkedFighters - 1) {
      f.cursor = kHiddenFighter;
      f.variant = 0;
      PlaySoundEffect(27);
    } else {
      f.variant = 1;
      PlaySoundEffect(1);
    }
    f.phase = kLeaving;
  }
}

}  // namespace

int CountOfferedFighters() {
  int count = 2;
  if (HasMark(0) || HasMark(1)) count = 3;
  if ((HasMark(0) && HasMark(1) && HasMark(2)) || g_save_data.FighterUnlockFlag == 1) count = 4;
  return count;
}

void EnterFighterSelect(FighterSelectState& fighter) {
  fighter = FighterSelectState{};
  fighter.phase = kIntro;
  fighter.count = CountOfferedFighters();
  fighter.slide = -150;
  fighter.plate_y.tenths = 60;
  LoadCharacterImages(0);
}

void StepFighterSelect(FighterSelectState& f) {
  DrawMenuBackground(100);
  DrawMenuStripes(f.stripes, kStripeRow);
  if (f.phase == kLeaving) {
    SetPlayerFighter(f.cursor, f.variant);
    HaltMusic();
    g_flags.CurrentScene = kSceneGamePlay;
  } else if (f.phase == kIntro) {
    StepRamp(f.panel_y, 1, 10);
    StepRamp(f.plate_x, 1, 10);
    StepRamp(f.plate_y, 5, 10);
    f.slide = f.slide + 10 > 0 ? 0 : f.slide + 10;
    if (++f.intro_frames >= kIntroFrames) f.phase = kActive;
  } else {
    StepActive(f);
  }
  DrawFighterSelect(f);
}

int RunFighterSelectScene() {
  FighterSelectState fighter;
  EnterFighterSelect(fighter);
  while (PumpFrameMessages() == 0) {
    StepFighterSelect(fighter);
    if (FinishScreenFrame(kSceneFighterSelect, 1) != 0) break;
  }
  return 0;
}
