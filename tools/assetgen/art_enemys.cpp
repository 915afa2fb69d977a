// Enemy craft, turrets, bosses and their parts. Most pictures come in a
// normal set and a hit-flash set of the same cells; some add a shadow set.
// Sprites drawn at angle 0 face down, toward the player; sprites the game
// turns (turrets, pods) point right, its angle 0.
#include <cmath>
#include <string>

#include "art.h"
#include "craft.h"
#include "rng.h"

namespace {

enum class Kind {
  kFixed,        // one look per set, nose down
  kTurned,       // one look per set, nose right (the game turns it)
  kHeading,      // frames turn the nose by `step` degrees from right
  kAim,          // body fixed, gun turned by `step` degrees from right
  kAnim,         // frames animate (spinning parts)
  kTurret,       // gun turret, frames turn it by `step` degrees
  kHatch,        // frames open a hatch
};

struct EnemyArt {
  const SheetLayout* sheet;
  int run;          // -1: every run, sets follow each other over the sheet
  Kind kind;
  Hull hull;
  Palette colors;
  int frames;       // cells per set
  const char* sets; // N normal, F flash, S shadow, one letter per set
  double step = 0;  // degrees per frame
  double fill = 0.86;
  bool boss = false;
};

const Palette kCrimson{{0.75, 0.25, 0.25}, {0.55, 0.5, 0.5}, {1.0, 0.8, 0.2}, {1.0, 0.5, 0.2}};
const Palette kOlive{{0.5, 0.55, 0.3}, {0.4, 0.42, 0.3}, {1.0, 0.3, 0.2}, {1.0, 0.6, 0.2}};
const Palette kSteel{{0.55, 0.58, 0.65}, {0.35, 0.38, 0.45}, {1.0, 0.3, 0.3}, {1.0, 0.6, 0.3}};
const Palette kRust{{0.7, 0.45, 0.25}, {0.45, 0.35, 0.3}, {0.3, 1.0, 0.6}, {1.0, 0.7, 0.3}};
const Palette kViolet{{0.5, 0.3, 0.65}, {0.35, 0.3, 0.45}, {1.0, 0.3, 0.6}, {0.9, 0.4, 1.0}};
const Palette kTeal{{0.25, 0.55, 0.55}, {0.3, 0.4, 0.45}, {1.0, 0.9, 0.3}, {0.4, 1.0, 0.9}};
const Palette kIvory{{0.8, 0.78, 0.7}, {0.55, 0.3, 0.3}, {1.0, 0.2, 0.2}, {1.0, 0.4, 0.3}};
const Palette kNavy{{0.3, 0.35, 0.6}, {0.5, 0.5, 0.6}, {1.0, 0.5, 0.1}, {0.5, 0.7, 1.0}};
const Palette kBlack{{0.3, 0.28, 0.32}, {0.6, 0.15, 0.2}, {1.0, 0.2, 0.3}, {1.0, 0.3, 0.4}};
const Palette kGold{{0.8, 0.65, 0.3}, {0.5, 0.4, 0.35}, {0.3, 0.9, 1.0}, {1.0, 0.8, 0.3}};

const EnemyArt kEnemies[] = {
    {&kSheetEmy0, -1, Kind::kHeading, Hull::kArrow, kCrimson, 24, "NF", 15},
    {&kSheetEmy1, -1, Kind::kAim, Hull::kTank, kOlive, 13, "NF", 14, 0.7},
    {&kSheetEmy2, -1, Kind::kAnim, Hull::kGunship, kSteel, 2, "NF", 0, 0.9},
    {&kSheetEmy3, -1, Kind::kAnim, Hull::kGunship, kRust, 2, "NF", 0, 0.9},
    {&kSheetEmy4, -1, Kind::kHeading, Hull::kForward, kTeal, 12, "NF", 30},
    {&kSheetEmy5_1, -1, Kind::kFixed, Hull::kCarrier, kSteel, 1, "NF", 0, 0.9},
    {&kSheetEmy5_2, -1, Kind::kTurret, Hull::kCarrier, kSteel, 1, "NF", 0, 0.9},
    {&kSheetEmy6, -1, Kind::kAim, Hull::kGunship, kNavy, 13, "NFS", 14, 0.8},
    {&kSheetEmy7, -1, Kind::kFixed, Hull::kGunship, kIvory, 1, "NF", 0, 0.95},
    {&kSheetEmy8, 0, Kind::kHeading, Hull::kTank, kOlive, 24, "NF", 15, 0.7},
    {&kSheetEmy8, 1, Kind::kTurret, Hull::kTank, kOlive, 24, "NF", 15, 0.95},
    {&kSheetEmy8, 2, Kind::kHeading, Hull::kTank, kOlive, 24, "S", 15, 0.7},
    {&kSheetEmy9, 0, Kind::kFixed, Hull::kCarrier, kRust, 1, "NF", 0, 0.95},
    {&kSheetEmy9, 1, Kind::kTurret, Hull::kCarrier, kRust, 1, "NF", 0, 0.9},
    {&kSheetEmy10, -1, Kind::kHeading, Hull::kCompact, kRust, 24, "NFS", 15, 0.8},
    {&kSheetEmy11, -1, Kind::kFixed, Hull::kGunship, kTeal, 1, "NF", 0, 0.95},
    {&kSheetEmy12, -1, Kind::kFixed, Hull::kDelta, kCrimson, 1, "NF", 0, 0.95},
    {&kSheetEmy13_1, -1, Kind::kHeading, Hull::kDelta, kViolet, 24, "N", 15, 0.75},
    {&kSheetEmy13_2, -1, Kind::kHeading, Hull::kDelta, kViolet, 24, "F", 15, 0.75},
    {&kSheetEmy13_3, -1, Kind::kHeading, Hull::kDelta, kViolet, 24, "S", 15, 0.75},
    {&kSheetEmy14, -1, Kind::kFixed, Hull::kCarrier, kNavy, 1, "NF", 0, 0.95},
    {&kSheetEmy15, -1, Kind::kAim, Hull::kTank, kSteel, 13, "NF", 14, 0.7},
    {&kSheetEmy16, -1, Kind::kHeading, Hull::kArrow, kNavy, 24, "NF", 15, 0.85},
    {&kSheetEmy17, -1, Kind::kFixed, Hull::kGunship, kOlive, 1, "NF", 0, 0.95},
    {&kSheetEmy17_2, -1, Kind::kTurret, Hull::kGunship, kOlive, 24, "NF", 15, 0.9},
    {&kSheetEmy18, -1, Kind::kTurned, Hull::kDelta, kTeal, 1, "NFS", 0, 0.85},
    {&kSheetEmy19, -1, Kind::kHatch, Hull::kCarrier, kSteel, 3, "NFS", 0, 0.95},
    {&kSheetEmy20, -1, Kind::kFixed, Hull::kGunship, kCrimson, 1, "NF", 0, 0.95},
    {&kSheetEmy21, -1, Kind::kHeading, Hull::kCompact, kGold, 12, "NF", 30, 0.8},
    {&kSheetEmy22, -1, Kind::kFixed, Hull::kGunship, kGold, 1, "NF", 0, 0.95},
    {&kSheetEmy23, -1, Kind::kTurned, Hull::kArrow, kCrimson, 1, "NFS", 0, 0.85},
    {&kSheetEmy24, -1, Kind::kTurned, Hull::kForward, kSteel, 1, "NFS", 0, 0.85},
    {&kSheetEmy25, -1, Kind::kAnim, Hull::kSaucer, kTeal, 9, "NF", 0, 0.8},
    {&kSheetEmy26, -1, Kind::kFixed, Hull::kCarrier, kIvory, 1, "NF", 0, 0.95},
    {&kSheetEmy27, -1, Kind::kFixed, Hull::kSaucer, kViolet, 1, "NF", 0, 0.9},
    {&kSheetEmy28, -1, Kind::kFixed, Hull::kGunship, kSteel, 1, "NF", 0, 0.95},
    {&kSheetEmy29, -1, Kind::kFixed, Hull::kDelta, kOlive, 1, "NF", 0, 0.95},
    {&kSheetEmy30_1, -1, Kind::kFixed, Hull::kCarrier, kCrimson, 1, "NF", 0, 0.9},
    {&kSheetEmy30_2, -1, Kind::kFixed, Hull::kCarrier, kTeal, 1, "NF", 0, 0.9},
    {&kSheetEmy30_3, -1, Kind::kFixed, Hull::kCarrier, kGold, 1, "NF", 0, 0.9},
    {&kSheetEmy30_4, -1, Kind::kFixed, Hull::kCarrier, kViolet, 1, "NF", 0, 0.9},
    {&kSheetEmy31, -1, Kind::kAnim, Hull::kSaucer, kCrimson, 9, "NF", 0, 0.8},
    {&kSheetEmy32_1, -1, Kind::kHeading, Hull::kDelta, kBlack, 24, "N", 15, 0.8},
    {&kSheetEmy32_2, -1, Kind::kHeading, Hull::kDelta, kBlack, 24, "F", 15, 0.8},
    {&kSheetEmy33, -1, Kind::kFixed, Hull::kGunship, kNavy, 1, "NF", 0, 0.95},
    {&kSheetEmy34, -1, Kind::kFixed, Hull::kCarrier, kOlive, 1, "NF", 0, 0.95},
    {&kSheetEmy35, -1, Kind::kFixed, Hull::kSaucer, kGold, 1, "NF", 0, 0.9},
    {&kSheetEmy100, -1, Kind::kFixed, Hull::kCarrier, kSteel, 1, "NF", 0, 0.95, true},
    {&kSheetEmy101, -1, Kind::kAnim, Hull::kSaucer, kSteel, 12, "NF", 0, 0.8},
    {&kSheetEmy110, 0, Kind::kFixed, Hull::kCarrier, kNavy, 1, "NF", 0, 0.95, true},
    {&kSheetEmy110, 1, Kind::kFixed, Hull::kGunship, kNavy, 1, "NF", 0, 0.9, true},
    {&kSheetEmy111, 0, Kind::kTurret, Hull::kCarrier, kNavy, 1, "NF", 0, 0.95},
    {&kSheetEmy111, 1, Kind::kTurret, Hull::kCarrier, kNavy, 1, "NF", 0, 0.95},
    {&kSheetEmy120_1, -1, Kind::kFixed, Hull::kCarrier, kRust, 1, "NF", 0, 0.95, true},
    {&kSheetEmy120_2, -1, Kind::kTurret, Hull::kCarrier, kRust, 1, "NF", 0, 0.95},
    {&kSheetEmy200_1, -1, Kind::kFixed, Hull::kDelta, kIvory, 1, "NF", 0, 0.95, true},
    {&kSheetEmy200_2, 0, Kind::kFixed, Hull::kGunship, kIvory, 1, "NF", 0, 0.95},
    {&kSheetEmy200_2, 1, Kind::kFixed, Hull::kGunship, kIvory, 1, "NF", 0, 0.95},
    {&kSheetEmy210, 0, Kind::kFixed, Hull::kCarrier, kTeal, 1, "NF", 0, 0.95, true},
    {&kSheetEmy210, 1, Kind::kFixed, Hull::kGunship, kTeal, 1, "NF", 0, 0.95, true},
    {&kSheetEmy220_1, -1, Kind::kFixed, Hull::kCarrier, kOlive, 1, "NFS", 0, 0.95, true},
    {&kSheetEmy220_2, -1, Kind::kTurret, Hull::kCarrier, kOlive, 24, "N", 15, 0.95},
    {&kSheetEmy220_3, -1, Kind::kTurret, Hull::kCarrier, kOlive, 24, "F", 15, 0.95},
    {&kSheetEmy230_1, -1, Kind::kFixed, Hull::kSaucer, kViolet, 1, "NF", 0, 0.95, true},
    {&kSheetEmy230_2, -1, Kind::kAnim, Hull::kSaucer, kViolet, 18, "NF", 0, 0.7},
    {&kSheetEmy240_1, -1, Kind::kFixed, Hull::kCarrier, kGold, 1, "NF", 0, 0.95, true},
    {&kSheetEmy240_2, -1, Kind::kAnim, Hull::kSaucer, kGold, 9, "NF", 0, 0.8},
    {&kSheetEmy250, -1, Kind::kAnim, Hull::kCompact, kBlack, 12, "NF", 0, 0.85},
    {&kSheetEmy250_2, -1, Kind::kAnim, Hull::kCompact, kGold, 12, "N", 0, 0.85},
    {&kSheetEmy250_3, -1, Kind::kAnim, Hull::kSaucer, kBlack, 1, "N", 0, 0.9},
};

void DrawBossTurrets(cairo_t* cr, const Palette& colors, double w, double h, int seed) {
  Rng rng(static_cast<uint64_t>(seed) + 99);
  double size = std::min(w, h) * 0.22;
  const double spots[][2] = {{-0.32, -0.1}, {0.32, -0.1}, {0, 0.25}, {-0.55, 0.3}, {0.55, 0.3}};
  int n = 3 + rng.Below(3);
  for (int i = 0; i < n; ++i) {
    cairo_save(cr);
    cairo_translate(cr, spots[i][0] * w, spots[i][1] * h);
    cairo_rotate(cr, M_PI / 2);  // guns toward the player
    DrawTurret(cr, colors, size, 1 + i % 2);
    cairo_restore(cr);
  }
  Glow(cr, 0, -0.05 * h, std::min(w, h) * 0.14, colors.canopy, 0.95);
}

void DrawHatch(cairo_t* cr, const Palette& colors, double w, double h, int form) {
  double open = form / 2.0;
  double hw = w * 0.18, hh = h * 0.28;
  cairo_rectangle(cr, -hw, -hh, 2 * hw, 2 * hh);
  SetColor(cr, {0.1, 0.08, 0.12});
  cairo_fill(cr);
  Glow(cr, 0, 0, hw * open * 1.2, colors.engine, 0.9);
  for (int s = -1; s <= 1; s += 2) {
    double door = hw * (1 - open * 0.85);
    cairo_rectangle(cr, s < 0 ? -hw : hw - door, -hh, door, 2 * hh);
    SetColor(cr, Scale(colors.trim, 0.9));
    cairo_fill_preserve(cr);
    SetColor(cr, Scale(colors.trim, 0.4));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
  }
}

void PaintEnemyCell(cairo_t* cr, const EnemyArt& art, const CellInfo& cell, int frame, Look look) {
  double w = cell.rect.width, h = cell.rect.height;
  double fw = w * art.fill, fh = h * art.fill;
  cairo_translate(cr, w / 2, h / 2);
  CraftLook craft{art.hull, art.colors};
  craft.detail = static_cast<int>(SeedOf(art.sheet->path) % 1000) + cell.run;
  craft.flicker = 0.7;
  WithLook(cr, look, [&] {
    switch (art.kind) {
      case Kind::kFixed:
        cairo_rotate(cr, M_PI);
        DrawCraft(cr, craft, fw, fh);
        if (art.boss) {
          cairo_rotate(cr, -M_PI);
          DrawBossTurrets(cr, art.colors, fw, fh, craft.detail);
        }
        break;
      case Kind::kTurned:
        cairo_rotate(cr, M_PI / 2);
        DrawCraft(cr, craft, std::min(fw, fh) * 0.8, std::min(fw, fh));
        break;
      case Kind::kHeading:
        cairo_rotate(cr, (frame * art.step + 90.0) * M_PI / 180.0);
        DrawCraft(cr, craft, std::min(fw, fh) * 0.85, std::min(fw, fh));
        break;
      case Kind::kAim:
        cairo_save(cr);
        cairo_rotate(cr, M_PI);
        DrawCraft(cr, craft, fw, fh);
        cairo_restore(cr);
        cairo_rotate(cr, frame * art.step * M_PI / 180.0);
        DrawTurret(cr, art.colors, std::min(fw, fh) * 0.75, 2);
        break;
      case Kind::kAnim: {
        craft.spin = static_cast<double>(frame) / art.frames;
        craft.flicker = 0.5 + 0.5 * std::sin(craft.spin * 2 * M_PI);
        double side = std::min(fw, fh);
        if (art.hull == Hull::kSaucer || art.hull == Hull::kCompact) {
          Glow(cr, 0, 0, side * 0.5, art.colors.engine, 0.35 + 0.25 * craft.flicker);
        }
        if (art.hull == Hull::kSaucer) {
          DrawCraft(cr, craft, side, side);
        } else if (art.hull == Hull::kCompact) {
          cairo_rotate(cr, M_PI);
          DrawCraft(cr, craft, side * 0.8, side);
        } else {
          cairo_rotate(cr, M_PI);
          DrawCraft(cr, craft, fw, fh);
          // Rotors on the two engines.
          for (int s = -1; s <= 1; s += 2) {
            cairo_save(cr);
            cairo_translate(cr, s * fw * 0.31, fh * 0.1);
            cairo_rotate(cr, craft.spin * M_PI + s * 0.6);
            cairo_set_source_rgba(cr, 0.85, 0.85, 0.9, 0.7);
            cairo_set_line_width(cr, 3);
            cairo_move_to(cr, -fw * 0.2, 0);
            cairo_line_to(cr, fw * 0.2, 0);
            cairo_stroke(cr);
            cairo_restore(cr);
          }
        }
        break;
      }
      case Kind::kTurret:
        cairo_rotate(cr, frame * art.step * M_PI / 180.0);
        DrawTurret(cr, art.colors, std::min(fw, fh), 1 + (cell.rect.width > 64));
        break;
      case Kind::kHatch:
        cairo_rotate(cr, M_PI);
        DrawCraft(cr, craft, fw, fh);
        cairo_rotate(cr, -M_PI);
        DrawHatch(cr, art.colors, fw, fh, frame);
        break;
    }
  });
}

void PaintEnemy(Canvas& canvas, const EnemyArt& art) {
  auto paint = [&](cairo_t* cr, const CellInfo& cell) {
    // Cells count over the run when the art is given per run, else over
    // the whole sheet; sets follow each other.
    int n = art.run >= 0 ? cell.index : cell.global;
    int set = n / art.frames;
    int frame = n % art.frames;
    if (set >= static_cast<int>(std::char_traits<char>::length(art.sets))) return;
    char s = art.sets[set];
    Look look = s == 'F' ? Look::kFlash : s == 'S' ? Look::kShadow : Look::kNormal;
    PaintEnemyCell(cr, art, cell, frame, look);
  };
  if (art.run >= 0) {
    ForEachCellOfRun(canvas, *art.sheet, art.run, paint);
  } else {
    ForEachCell(canvas, *art.sheet, paint);
  }
}

// The box the container enemy opens: closed, open, and its shadow.
void PaintBox(Canvas& canvas) {
  ForEachCell(canvas, kSheetBox, [&](cairo_t* cr, const CellInfo& cell) {
    double s = cell.rect.width;
    cairo_translate(cr, s / 2, s / 2);
    Look look = cell.index == 2 ? Look::kShadow : Look::kNormal;
    WithLook(cr, look, [&] {
      RoundedRect(cr, -s * 0.4, -s * 0.4, s * 0.8, s * 0.8, s * 0.08);
      FillGradient(cr, -s * 0.4, {0.75, 0.6, 0.3}, s * 0.4, {0.45, 0.32, 0.15});
      cairo_set_line_width(cr, 2);
      SetColor(cr, {0.35, 0.25, 0.1});
      RoundedRect(cr, -s * 0.4, -s * 0.4, s * 0.8, s * 0.8, s * 0.08);
      cairo_stroke(cr);
      if (cell.index == 1) {
        cairo_rectangle(cr, -s * 0.3, -s * 0.3, s * 0.6, s * 0.6);
        SetColor(cr, {0.12, 0.08, 0.06});
        cairo_fill(cr);
        Glow(cr, 0, 0, s * 0.28, {1.0, 0.9, 0.3}, 1.0);
      } else {
        cairo_move_to(cr, -s * 0.4, -s * 0.4);
        cairo_line_to(cr, s * 0.4, s * 0.4);
        cairo_move_to(cr, s * 0.4, -s * 0.4);
        cairo_line_to(cr, -s * 0.4, s * 0.4);
        cairo_stroke(cr);
      }
    });
  });
}

// The hidden boss's wings: one 160x80 picture the game slices into 2-pixel
// strips and waves.
void PaintWings(Canvas& canvas) {
  cairo_t* cr = canvas.cr();
  for (int s = -1; s <= 1; s += 2) {
    cairo_move_to(cr, 80, 36);
    cairo_curve_to(cr, 80 + s * 30, 4, 80 + s * 70, 2, 80 + s * 79, 10);
    cairo_curve_to(cr, 80 + s * 70, 30, 80 + s * 60, 60, 80 + s * 50, 76);
    cairo_curve_to(cr, 80 + s * 35, 60, 80 + s * 20, 52, 80, 48);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(80, 0, 80 + s * 80, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, 0.9, 0.3, 0.5, 0.95);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.3, 0.1, 0.6, 0.7);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_set_line_width(cr, 1.5);
    for (int k = 1; k <= 4; ++k) {
      cairo_move_to(cr, 80, 40);
      cairo_line_to(cr, 80 + s * (18 * k), 10 + 14 * k);
    }
    cairo_set_source_rgba(cr, 1, 0.7, 0.9, 0.8);
    cairo_stroke(cr);
  }
}

// Debris left by a wreck: two tumbling frames.
void PaintWreck(Canvas& canvas) {
  ForEachCell(canvas, kSheetEtc2, [&](cairo_t* cr, const CellInfo& cell) {
    cairo_translate(cr, 20, 20);
    cairo_rotate(cr, cell.index * M_PI / 4);
    Rng rng(31 + cell.index);
    for (int i = 0; i < 5; ++i) {
      cairo_save(cr);
      cairo_translate(cr, rng.Range(-10, 10), rng.Range(-10, 10));
      cairo_rotate(cr, rng.Range(0, M_PI));
      cairo_rectangle(cr, -5, -3, rng.Range(6, 12), rng.Range(4, 7));
      SetColor(cr, Mix({0.45, 0.4, 0.38}, {0.7, 0.5, 0.3}, rng.Unit()));
      cairo_fill(cr);
      cairo_restore(cr);
    }
    Glow(cr, 0, 0, 9, {1.0, 0.5, 0.1}, 0.7);
  });
}

}  // namespace

bool PaintEnemySheet(Canvas& canvas, const SheetLayout& sheet, KeyMode* mode) {
  *mode = KeyMode::kSprite;
  bool found = false;
  for (const EnemyArt& art : kEnemies) {
    if (art.sheet == &sheet) {
      PaintEnemy(canvas, art);
      found = true;
    }
  }
  if (found) return true;
  if (&sheet == &kSheetBox) PaintBox(canvas);
  else if (&sheet == &kSheetEmy250_4) PaintWings(canvas);
  else if (&sheet == &kSheetEtc2) PaintWreck(canvas);
  else return false;
  return true;
}
