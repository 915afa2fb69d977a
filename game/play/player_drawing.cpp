#include "play/player_drawing.h"

#include "play/player.h"
#include "play/player_movement.h"
#include "screens/hud.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"
#include "shell/sheet_layout.h"

namespace {

PlayerObject& P() { return g_player; }

// Cells of fighter 4's sheet after its 52 bank images.
constexpr int kFighter4LevelForm = 52;
constexpr int kFighter4BombForms = 53;

int32_t Body(int index) { return FighterCell(P().fighter + 1, index); }
int32_t Option(int index) { return FighterOptionCell(P().fighter + 1, index); }
int32_t Flash(int index) {
  return SheetCell(P().fighter >= 3 ? kSheetEffect8 : kSheetEffect4, index);
}

void Sprite(double x, double y, double scale, double angle, int32_t cell, double alpha = 255.0) {
  DrawSpriteScreen(x, y, scale, angle, cell, alpha);
}

void DrawAura() {
  PlayerObject& p = P();
  if (p.bomb_active == 1) {
    if (p.aura_scale < 3.0) p.aura_scale += 0.2;
  } else if (p.aura_scale > 1.0) {
    p.aura_scale -= 0.2;
  } else {
    p.aura_scale = 1.0;
  }
  Sprite(p.centre_x, p.centre_y + 32.0, p.aura_scale, 0.0,
         SheetCell(kSheetEffect15, (p.aura_counter / 4) % 32));
  ++p.aura_counter;
}

void UpdateBank() {
  PlayerObject& p = P();
  const int n = p.fighter == 4 ? 6 : 3;
  if (p.control == 1) {
    if (p.in_left == 1 || p.in_right == 1) {
      if (p.in_left == 1 && p.bank_frame > -n) --p.bank_counter;
      if (p.in_right == 1 && p.bank_frame < n) ++p.bank_counter;
    } else if (p.bank_counter > 0) {
      --p.bank_counter;
    } else if (p.bank_counter < 0) {
      ++p.bank_counter;
    }
  }
  if (p.respawn_countdown > 0) p.bank_counter = 0;
  ++p.anim_counter;
  p.bank_frame = p.fighter == 4 ? (p.bank_counter / 4) % 7 : (p.bank_counter / 5) % 4;
}

void DrawNormal() {
  PlayerObject& p = P();
  int32_t cell;
  if (p.fighter <= 2) cell = Body(p.bank_frame + 3 + 7 * ((p.anim_counter / 6) % 2));
  else if (p.fighter == 3) cell = Body(p.bank_frame + 3);  // images 0-6 bank left to right
  else cell = Body(p.bank_frame + 6 + 13 * ((p.anim_counter / 6) % 4));
  Sprite(p.centre_x, p.centre_y, 1.0, 0.0, cell);
  if (p.focus == 1 && p.control == 1)
    Sprite(p.core_x, p.core_y, 1.0, 0.0, SheetCell(kSheetAtari, (p.anim_counter / 4) % 4));
}

void DrawReappearing() {
  PlayerObject& p = P();
  if (p.reappear_counter == 0) {
    p.reappear_scale = 3.0;
    if (p.fighter == 4) {
      p.form_scale = 0.0;
      p.form_scale2 = 12.0;
    }
  }
  if (p.reappear_scale > 1.0) p.reappear_scale -= 0.1;
  if (p.fighter == 4) {
    if (p.form_scale < 1.0) p.form_scale += 0.04;
    if (p.form_scale2 > 1.0) p.form_scale2 -= 0.6;
    DrawSpriteQuad(p.centre_x, p.centre_y, 48.0, 56.0, Body(kFighter4LevelForm), 255, p.form_scale,
                   p.form_scale2);
  } else {
    Sprite(p.centre_x, p.centre_y, p.reappear_scale, 0.0, Body(3));
  }
  ++p.reappear_counter;
  if (p.reappear_scale <= 1.0) {
    p.reappear_counter = 0;
    p.reappear_scale = 1.0;
    p.appear_state = 0;
    p.bank_frame = p.bank_counter = p.anim_counter = 0;
    ResetPlayerOptions();
  }
}

void DrawBombForm() {
  PlayerObject& p = P();
  if (p.form_step == 0) {
    p.form_frame = (p.form_counter / 4) % 3;
    ++p.form_counter;
    if (p.form_frame == 2) p.form_step = 1;
  } else {
    p.form_frame = 2 + (p.form_counter / 4) % 2;
    ++p.form_counter;
  }
  if (p.form_step == 1)
    Sprite(p.centre_x, p.centre_y - 40.0, 1.0, 0.0, SheetCell(kSheetEffect19, (p.form_counter / 3) % 2));
  Sprite(p.centre_x, p.centre_y, 1.0, 0.0, Body(kFighter4BombForms + p.form_frame));
}

void FlashAt(double x, double y, double angle, int32_t cell) { Sprite(x, y, 1.0, angle, cell); }

}  // namespace

int DrawOptions() {
  PlayerObject& p = P();
  if (p.appear_state != 0 || p.respawn_countdown >= 1 || p.control != 1) return 0;
  const int a = p.anim_counter;
  switch (p.fighter) {
    case 0:
    case 1:
      for (int i = 0; i < 2; ++i)
        Sprite(p.opt_x[i], p.opt_y[i], p.fighter == 0 ? 0.8 : 1.0, p.opt_angle[i], Option((a / 2) % 12));
      break;
    case 2:
      for (int i = 0; i < 2; ++i) Sprite(p.opt_x[i], p.opt_y[i], 1.0, p.opt_angle[i], Option((a / 2) % 9));
      break;
    case 3:
      for (int i = 0; i < 4; ++i) Sprite(p.opt_x[i], p.opt_y[i], 1.0, p.opt_angle[i % 2], Option((a / 2) % 9));
      break;
    case 4:
      for (int i = 0; i < 4; ++i) Sprite(p.opt_x[i], p.opt_y[i], 1.0, 0.0, Option((a / 6) % 4));
      break;
    default:
      break;
  }
  return 0;
}

int DrawMuzzleFlashes() {
  PlayerObject& p = P();
  if (p.appear_state != 0 || p.control != 1 || p.respawn_countdown >= 1 || p.firing != 1) return 0;
  const double cx = p.centre_x, cy = p.centre_y;
  const int32_t flash = Flash((p.flash_counter / 2) % 2);
  const int32_t laser = SheetCell(kSheetEffect9, (p.flash_counter / 2) % 2);
  auto option_flashes = [&] {
    for (int i = 0; i < 2; ++i) FlashAt(p.muzzle_x[8 + i], p.muzzle_y[8 + i], p.opt_angle[i] + 90.0, flash);
  };
  switch (p.fighter) {
    case 0:
      FlashAt(cx - 14, cy - 12, 0, flash);
      FlashAt(cx + 14, cy - 12, 0, flash);
      option_flashes();
      break;
    case 1:
      if (p.bomb_active == 1 && p.focused_bomb == 1 && p.bomb_frame >= 30) {
        for (int i = 0; i < 2; ++i) FlashAt(p.opt_x[i], p.opt_y[i] - 32, p.opt_angle[i] + 90.0, laser);
      } else {
        FlashAt(cx - 14, cy - 16, 0, flash);
        FlashAt(cx + 14, cy - 16, 0, flash);
        if (p.focus == 0) option_flashes();
        else
          for (int i = 0; i < 2; ++i) FlashAt(p.opt_x[i], p.opt_y[i] - 28, p.opt_angle[i] + 90.0, laser);
      }
      break;
    case 2:
      FlashAt(cx - 14, cy - 24, 0, flash);
      FlashAt(cx + 14, cy - 24, 0, flash);
      option_flashes();
      break;
    case 3:
      FlashAt(cx - 10, cy - 24, 0, flash);
      FlashAt(cx + 10, cy - 24, 0, flash);
      break;
    case 4:
      FlashAt(cx - 12, cy - 12, 0, flash);
      FlashAt(cx + 12, cy - 12, 0, flash);
      break;
    default:
      break;
  }
  if (g_flags.GamePaused == 0) {
    ++p.flash_counter;
    if (p.flash_counter % 6 == 0) p.firing = 0;
  }
  return 0;
}

int DrawGuardShield() {
  PlayerObject& p = P();
  if (p.control != 1 || p.guard == 0) return 0;
  const double alpha = p.guard <= 150 ? p.guard : 150;
  if (p.fighter <= 2) Sprite(p.centre_x, p.centre_y, 2.0, 0.0, SheetCell(kSheetShield1, 0), alpha);
  else Sprite(p.centre_x, p.centre_y, 1.0, 0.0, SheetCell(kSheetShield2, (p.guard / 2) % 9), alpha);
  return 0;
}

int DrawPlayer() {
  PlayerObject& p = P();
  if (p.active == 0) return 0;
  if (p.fighter == 4) DrawAura();
  DrawOptions();
  DrawMuzzleFlashes();
  UpdateBank();
  DrawGuardShield();
  switch (p.appear_state) {
    case 0: DrawNormal(); break;
    case 2: DrawReappearing(); break;
    case 3: DrawBombForm(); break;
    default: break;
  }
  return 0;
}

int DrawPlayerHud() {
  PlayerObject& p = P();
  if (g_flags.CurrentScene != kSceneGamePlay) return 0;
  if (g_flags.sel_flag == 1 && g_flags.DemoMode == 0)
    DrawText("TRAINING", 132, 0, TruncToInt(SinDeg(p.hud_frames * 4 + 180) * 100.0) + 155, 1, 0);
  if (g_flags.ReplayPlayback == 1 && g_flags.DemoMode == 0)
    DrawText("REPLAY MODE", 114, 64, TruncToInt(SinDeg(p.hud_frames * 4) * 100.0) + 155, 1, 0);
  const int near_bottom = (p.active == 1 && p.centre_y < 480.0 - p.height) ? 1 : 0;
  DrawModeName();
  DrawScore(p.score);
  DrawLifeIcons(p.lives);
  DrawBombIcons(p.bombs, near_bottom);
  DrawItemCounter(p.item_gauge);
  ++p.hud_frames;
  return 0;
}
