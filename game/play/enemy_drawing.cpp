#include <cstdint>
#include <cstdlib>

#include "play/enemies.h"
#include "shell/draw.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"

namespace {

constexpr int kNoCell = -1;

// Index `i` of a run of `count` cells, with the flash run `count` cells on
// when f is 1. Out of range (a heading outside 0-359 kept by a script, a
// negative remainder) picks no cell, which draws nothing.
int Pick(int64_t i, int count, int f = 0) {
  if (i < 0 || i >= count) return kNoCell;
  return static_cast<int>(i) + count * f;
}

int Mod(int64_t a, int m) { return static_cast<int>(a % m); }

void Sprite(const SheetLayout& sheet, int cell, double x, double y, double scale = 1.0,
            double angle = 0.0, int alpha = 255) {
  if (cell < 0) return;
  int32_t graphic = SheetCell(sheet, cell);
  if (graphic < 0) return;
  DrawSpriteScreen(x, y, scale, angle, graphic, alpha);
}

void At(const EnemyObject& e, const SheetLayout& sheet, int cell, double scale = 1.0,
        double angle = 0.0, int alpha = 255) {
  Sprite(sheet, cell, e.x, e.y, scale, angle, alpha);
}

void FlamesF4(const EnemyObject& e, double dx, double dy, double scale) {
  int cell = Mod(e.anim_counter, 4);
  Sprite(kSheetEffect12, cell, e.x - dx, e.y - dy, scale, 0.0, 155);
  Sprite(kSheetEffect12, cell, e.x + dx, e.y - dy, scale, 0.0, 155);
}

void FlamesF2(const EnemyObject& e, double dx, double dy, double scale, double angle = 0.0) {
  int cell = Mod(e.anim_counter / 2, 2);
  Sprite(kSheetEffect13, cell, e.x - dx, e.y - dy, scale, angle, 155);
  Sprite(kSheetEffect13, cell, e.x + dx, e.y - dy, scale, angle, 155);
}

void StepAim(EnemyObject& e) {
  int32_t& t0 = e.turn_angles[0];
  if (e.anim_counter == 0) t0 = 90;
  t0 = TruncToInt(TurnAngleToward(t0, AngleToPlayer(e.x, e.y), 2.0));
  if (t0 > 180) t0 -= 360;
}

void StepHatch(EnemyObject& e) {
  int32_t& w0 = e.script_words[0];
  int32_t& d = e.drawing_counter;
  if (w0 == 1) {
    e.form = Mod(d / 3, 3);
    d += 1;
    if (e.form == 2) {
      w0 = -1;
      d = 0;
    }
  } else if (w0 == 2) {
    e.form = 2 - Mod(d / 3, 3);
    d += 1;
    if (e.form == 0) {
      w0 = -2;
      d = 0;
    }
  }
}

void DrawType250(EnemyObject& e) {
  int64_t a = e.anim_counter;
  for (int i = 0; i < 40; ++i) {
    double y1 = e.y - 8.0 + SinDeg(static_cast<double>(10 * a + 2 * i)) * ((80 - 2 * i) / 5);
    Sprite(kSheetEmy250_4, i, e.x + 2 * i - 80, y1);
    double y2 = e.y - 8.0 + SinDeg(static_cast<double>(90 - 10 * a + 2 * i)) * ((2 * i) / 5);
    Sprite(kSheetEmy250_4, 40 + i, e.x + 2 * i, y2);
  }
  int d = e.drawing_counter;
  int f = e.anim_frame;
  if (e.script_words[1] == 0) At(e, kSheetEmy250, Pick(Mod(d / 4, 12), 12, f));
  if (e.script_words[1] == 1) At(e, kSheetEmy250_2, Pick(Mod(d / 4, 12), 12));
  if (e.script_words[2] == 1)
    Sprite(kSheetEmy250, Pick(Mod(d / 4, 12), 12, f), e.pod_x[0], e.pod_y[0], 1.0, 0.0, 155);
  e.drawing_counter += 1;
}

void DrawBody(EnemyObject& e) {
  const int f = e.anim_frame;
  const int t0 = e.turn_angles[0];
  const int t1 = e.turn_angles[1];
  const int t2 = e.turn_angles[2];
  const int64_t a = e.anim_counter;
  int32_t& d = e.drawing_counter;
  switch (e.type) {
    case 0: At(e, kSheetEmy0, Pick(t0 / 15, 24, f)); break;
    case 1:
    case 15:
      StepAim(e);
      At(e, e.type == 1 ? kSheetEmy1 : kSheetEmy15,
         Pick(std::llabs(static_cast<int64_t>(e.turn_angles[0])) / 14, 13, f));
      break;
    case 2: At(e, kSheetEmy2, Pick(Mod(a / 4, 2), 2, f)); break;
    case 3: At(e, kSheetEmy3, Pick(Mod(a / 4, 2), 2, f)); break;
    case 4:
      FlamesF4(e, 40, 60, 2.0);
      e.turn_angles[0] = TruncToInt(AngleToPlayerCentre(e.x, e.y));
      At(e, kSheetEmy5_1, f);
      At(e, kSheetEmy5_2, f, 1.0, e.turn_angles[0]);
      break;
    case 5: {
      int i = Pick(t1, 13);
      Sprite(kSheetEmy6, i < 0 ? kNoCell : 26 + i, e.x + 12, e.y + 12, 1.0, 0.0, 155);
      At(e, kSheetEmy6, Pick(t1, 13, f));
      break;
    }
    case 6: FlamesF4(e, 40, 60, 2.5); At(e, kSheetEmy7, f); break;
    case 7: {
      int i = Pick(Mod(t0 / 15, 24), 24);
      Sprite(kSheetEmy8, i < 0 ? kNoCell : 96 + i, e.x + 4, e.y + 4, 1.0, 0.0, 155);
      At(e, kSheetEmy8, Pick(Mod(t0 / 15, 24), 24, f));
      int turret = Pick(Mod(t1 / 15, 24), 24, f);
      At(e, kSheetEmy8, turret < 0 ? kNoCell : 48 + turret);
      break;
    }
    case 8: At(e, kSheetEmy9, f); At(e, kSheetEmy9, 2 + f, 1.0, t0); break;
    case 9: {
      int i = Pick(Mod(t0 / 15, 24), 24);
      Sprite(kSheetEmy10, i < 0 ? kNoCell : 48 + i, e.x + 4, e.y + 4, 1.0, 0.0, 155);
      At(e, kSheetEmy10, Pick(Mod(t0 / 15, 24), 24, f));
      break;
    }
    case 10: At(e, kSheetEmy4, Pick(t0 / 30, 12, f)); break;
    case 11: FlamesF2(e, 30, 75, 1.0); At(e, kSheetEmy11, f); break;
    case 12: FlamesF4(e, 20, 20, 1.0); At(e, kSheetEmy12, f); break;
    case 13:
      At(e, f == 1 ? kSheetEmy13_2 : kSheetEmy13_1, Pick(t0 / 15, 24));
      Sprite(kSheetEmy13_3, Pick(t0 / 15, 24), e.x + 8, e.y + 8, 1.0, 0.0, 155);
      break;
    case 14: FlamesF4(e, 50, 60, 2.5); At(e, kSheetEmy14, f); break;
    case 16: At(e, kSheetEmy16, Pick(t0 / 15, 24, f)); break;
    case 17: {
      FlamesF2(e, 56, 68, 1.5);
      At(e, kSheetEmy17, f);
      Sprite(kSheetEmy17_2, Pick(t0 / 15, 24, f), e.x - 72, e.y + 44);
      Sprite(kSheetEmy17_2, Pick(t1 / 15, 24, f), e.x + 72, e.y + 44);
      break;
    }
    case 18:
      Sprite(kSheetEmy18, 2, e.x + 4, e.y + 4, 1.0, t0, 200);
      At(e, kSheetEmy18, f, 1.0, t0);
      break;
    case 19: {
      StepHatch(e);
      int form = Pick(e.form, 3);
      Sprite(kSheetEmy19, form < 0 ? kNoCell : 6 + form, e.x + 8, e.y + 8, 1.0, 0.0, 200);
      At(e, kSheetEmy19, Pick(e.form, 3, f));
      break;
    }
    case 20: FlamesF4(e, 50, 60, 2.5); At(e, kSheetEmy20, f); break;
    case 21: At(e, kSheetEmy21, Pick(t1 / 30, 12, f)); break;
    case 22: FlamesF4(e, 40, 60, 2.5); At(e, kSheetEmy22, f); break;
    case 23:
    case 24: {
      const SheetLayout& sheet = e.type == 23 ? kSheetEmy23 : kSheetEmy24;
      Sprite(sheet, 2, e.x + 5, e.y + 5, 1.0, t0, 255);
      At(e, sheet, f, 1.0, t0);
      break;
    }
    case 25: At(e, kSheetEmy25, Pick(Mod(d / 3, 9), 9, f)); d += 1; break;
    case 26: FlamesF4(e, 50, 100, 2.5); At(e, kSheetEmy26, f); break;
    case 27: At(e, kSheetEmy27, f); break;
    case 28:
      FlamesF4(e, 60, 60, 2.5);
      At(e, kSheetEmy28, f);
      Sprite(kSheetEmy111, f, e.pod_x[0], e.pod_y[0], 1.0, t0);
      Sprite(kSheetEmy111, f, e.pod_x[1], e.pod_y[1], 1.0, t1);
      break;
    case 29: At(e, kSheetEmy29, f); break;
    case 30: {
      static const SheetLayout* const kLooks[] = {&kSheetEmy30_1, &kSheetEmy30_2, &kSheetEmy30_3,
                                                  &kSheetEmy30_4};
      if (e.variant >= 0 && e.variant < 4) At(e, *kLooks[e.variant], f);
      break;
    }
    case 31: At(e, kSheetEmy31, Pick(Mod(d / 3, 9), 9, f)); d += 1; break;
    case 32: {
      int alpha = e.drawing_alpha;
      Sprite(kSheetBox, 2, e.x + 4, e.y + 4, 1.0, 0.0, alpha);
      int w1 = e.script_words[1];
      if (w1 == 0 || w1 == 1) At(e, kSheetBox, w1, 1.0, 0.0, alpha);
      break;
    }
    case 34: At(e, f == 1 ? kSheetEmy32_2 : kSheetEmy32_1, Pick(Mod(t0 / 15, 24), 24)); break;
    case 35: FlamesF4(e, 40, 40, 2.5); At(e, kSheetEmy33, f); break;
    case 36: FlamesF4(e, 64, 80, 2.5); At(e, kSheetEmy34, f); break;
    case 37: At(e, kSheetEmy35, f); break;
    case 100: FlamesF4(e, 40, 40, 2.5); At(e, kSheetEmy100, f); break;
    case 101: At(e, kSheetEmy101, Pick(Mod(d / 5, 12), 12, f), 1.0, t0); d += 1; break;
    case 110: {
      int w1 = e.script_words[1];
      if (w1 == 0) {
        At(e, kSheetEmy110, f);
        Sprite(kSheetEmy111, 2 + f, e.pod_x[1], e.pod_y[1], 1.0, t1);
        Sprite(kSheetEmy111, 2 + f, e.pod_x[2], e.pod_y[2], 1.0, t2);
      } else if (w1 == 1) {
        At(e, kSheetEmy110, 2 + f);
      }
      Sprite(kSheetEmy111, f, e.pod_x[0], e.pod_y[0], 1.0, t0);
      break;
    }
    case 120:
      At(e, kSheetEmy120_1, f);
      Sprite(kSheetEmy120_2, f, e.pod_x[0], e.pod_y[0], 1.0, t0);
      break;
    case 200: At(e, kSheetEmy200_1, f, e.draw_scale); break;
    case 201: At(e, kSheetEmy200_2, f); break;
    case 202: At(e, kSheetEmy200_2, 2 + f); break;
    case 210: {
      if (e.life_state > 0) FlamesF2(e, 40, -60, 2.0, 180.0);
      int w1 = e.script_words[1];
      if (w1 == 0) At(e, kSheetEmy210, f, e.draw_scale);
      if (w1 == 1) At(e, kSheetEmy210, 2 + f, e.draw_scale);
      break;
    }
    case 220: {
      double s = SinDeg(40.0 * d);
      Sprite(kSheetEmy220_1, 2, e.x + s + 8, e.y + 8);
      Sprite(kSheetEmy220_1, f, e.x + s, e.y);
      if (e.life_state <= 1)
        Sprite(f == 1 ? kSheetEmy220_3 : kSheetEmy220_2, Pick(t0 / 15, 24), e.x + s, e.y - 64);
      d += 1;
      break;
    }
    case 230:
      if (e.life_state < 4) {
        for (int k = 0; k < 4; ++k)
          Sprite(kSheetEmy230_2, Pick(Mod(d / 4, 18), 18, f), e.pod_x[k], e.pod_y[k]);
      }
      At(e, kSheetEmy230_1, f);
      d += 1;
      break;
    case 240:
      Sprite(kSheetEmy240_2, Pick(Mod(d / 4, 9), 9, f), e.x, e.y + 180);
      At(e, kSheetEmy240_1, f);
      if (e.life_state > 1) d += 1;
      break;
    case 250: DrawType250(e); break;
    case 300:
    case 302:
      At(e, kSheetEtc2, Mod(d / 4, 2), e.type == 302 ? 2.0 : 1.0, t0);
      d += 1;
      break;
    default:
      break;  // 33, the spawners and unknown types show nothing
  }
}

}  // namespace

int DrawEnemy(EnemyObject& e) {
  if (e.in_use != 1) return -1;
  DrawBody(e);
  if (e.hit_flash > 0) {
    e.anim_frame = 1;
    e.hit_flash -= 1;
  } else {
    e.anim_frame = 0;
  }
  e.anim_counter = static_cast<int32_t>(static_cast<uint32_t>(e.anim_counter) + 1u);
  return 0;
}
