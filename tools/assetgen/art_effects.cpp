// Explosions and effects: fireballs that grow and fade over their frames,
// shock rings, sparks, flames and auras, all on black for alpha blending.
#include <cmath>

#include "art.h"
#include "rng.h"

namespace {

enum class Fx { kBurst, kBigBurst, kRing, kSpark, kFlame, kAura, kDot, kMuzzle };

struct FxArt {
  const SheetLayout* sheet;
  int run;  // -1: all runs
  Fx fx;
  Rgb hot;   // colour near the start
  Rgb cool;  // colour it fades to
};

const Rgb kFireHot{1.0, 0.95, 0.6}, kFireCool{0.9, 0.25, 0.08};
const Rgb kBlueHot{0.85, 0.95, 1.0}, kBlueCool{0.2, 0.35, 1.0};
const Rgb kGreenHot{0.9, 1.0, 0.7}, kGreenCool{0.2, 0.8, 0.2};
const Rgb kPurpleHot{1.0, 0.85, 1.0}, kPurpleCool{0.6, 0.2, 0.9};
const Rgb kWhite{1, 1, 1};

const FxArt kEffects[] = {
    {&kSheetExplo0, -1, Fx::kBurst, kFireHot, kFireCool},
    {&kSheetExplo4, -1, Fx::kBurst, kBlueHot, kBlueCool},
    {&kSheetExplo0_2, -1, Fx::kBurst, kGreenHot, kGreenCool},
    {&kSheetExplo1, -1, Fx::kBurst, kFireHot, kFireCool},
    {&kSheetExplo2, -1, Fx::kBigBurst, kFireHot, kFireCool},
    {&kSheetExplo2_2, -1, Fx::kBigBurst, kPurpleHot, kPurpleCool},
    {&kSheetExplo3, 0, Fx::kBurst, kFireHot, kFireCool},
    {&kSheetExplo3, 1, Fx::kBurst, kFireHot, kFireCool},
    {&kSheetExplo3, 2, Fx::kBurst, kFireHot, kFireCool},
    {&kSheetExplo3, 3, Fx::kBurst, kFireHot, kFireCool},
    {&kSheetExplo3, 4, Fx::kBurst, kFireHot, kFireCool},
    {&kSheetEffect1, 0, Fx::kSpark, kFireHot, kFireCool},
    {&kSheetEffect1, 1, Fx::kDot, kWhite, kFireHot},
    {&kSheetEffect1, 2, Fx::kDot, kWhite, kBlueHot},
    {&kSheetEffect2, 0, Fx::kRing, kFireHot, kFireCool},
    {&kSheetEffect2, 1, Fx::kRing, kWhite, kBlueCool},
    {&kSheetEffect2, 2, Fx::kRing, kBlueHot, kBlueCool},
    {&kSheetEffect3, -1, Fx::kBigBurst, kFireHot, kFireCool},
    {&kSheetEffect4, 0, Fx::kMuzzle, kWhite, kFireHot},
    {&kSheetEffect4, 1, Fx::kSpark, kWhite, {1.0, 0.8, 0.3}},
    {&kSheetEffect4, 2, Fx::kBurst, kWhite, kBlueCool},
    {&kSheetEffect19, -1, Fx::kMuzzle, kWhite, kBlueHot},
    {&kSheetEffect5, -1, Fx::kRing, kBlueHot, {0.2, 0.9, 1.0}},
    {&kSheetEffect6, -1, Fx::kSpark, kWhite, kGreenCool},
    {&kSheetEffect7, -1, Fx::kFlame, kFireHot, kFireCool},
    {&kSheetEffect10, -1, Fx::kFlame, kBlueHot, kBlueCool},
    {&kSheetEffect11, -1, Fx::kFlame, kFireHot, {1.0, 0.5, 0.1}},
    {&kSheetEffect14, -1, Fx::kBurst, kBlueHot, kPurpleCool},
    {&kSheetEffect16, -1, Fx::kSpark, kWhite, {1.0, 0.9, 0.4}},
    {&kSheetEffect17, -1, Fx::kFlame, kGreenHot, kGreenCool},
    {&kSheetEffect18, -1, Fx::kSpark, kPurpleHot, kPurpleCool},
    {&kSheetEffect8, -1, Fx::kMuzzle, kWhite, kFireHot},
    {&kSheetEffect9, -1, Fx::kMuzzle, kWhite, kBlueHot},
    {&kSheetEffect15, -1, Fx::kAura, kPurpleHot, kPurpleCool},
    {&kSheetEffect12, -1, Fx::kFlame, kFireHot, kFireCool},
    {&kSheetEffect13, -1, Fx::kFlame, kBlueHot, kBlueCool},
};

// A ball of fire: white at the centre through the hot colour to the cool
// one at the rim, where it ends (the rim's dim light is cut away).
void FireBall(cairo_t* cr, double x, double y, double r, Rgb hot, Rgb cool, double white) {
  if (r <= 0.5) return;
  cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
  const Rgb centre = Mix(hot, kWhite, white);
  cairo_pattern_add_color_stop_rgba(p, 0, centre.r, centre.g, centre.b, 1);
  cairo_pattern_add_color_stop_rgba(p, 0.45, hot.r, hot.g, hot.b, 1);
  cairo_pattern_add_color_stop_rgba(p, 0.85, cool.r, cool.g, cool.b, 0.9);
  cairo_pattern_add_color_stop_rgba(p, 1, cool.r, cool.g, cool.b, 0.3);
  cairo_set_source(cr, p);
  cairo_arc(cr, x, y, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// An explosion over its frames (t from 0 to 1): a bright fireball swells,
// then breaks into flares that fly apart and burn out, so the last frames
// hold less and less and nothing dark is ever left on the field.
void Burst(cairo_t* cr, double w, double h, double t, const FxArt& art, int seed, bool big) {
  double s = std::min(w, h);
  cairo_translate(cr, w / 2, h / 2);
  const Rgb cool = Mix(art.cool, art.hot, 0.25);
  const double grow = std::min(1.0, t / 0.3);
  const double radius = s * (0.14 + 0.3 * std::sqrt(grow));
  if (t < 0.6) {
    const double k = t / 0.6;
    FireBall(cr, 0, 0, radius * (1.0 - 0.45 * k * k), art.hot, cool, 0.8 * (1 - k));
  }
  Rng rng(static_cast<uint64_t>(seed));
  const int flares = big ? 12 : 8;
  for (int i = 0; i < flares; ++i) {
    const double a = (i + rng.Range(-0.3, 0.3)) * 2 * M_PI / flares;
    const double d = radius * rng.Range(0.45, 0.8) * (0.4 + 1.1 * t);
    const double r = std::max(2.0, s * rng.Range(0.07, 0.11) * std::pow(1.0 - t, 0.8) * (big ? 1.2 : 1.0));
    FireBall(cr, std::cos(a) * d, std::sin(a) * d, r, art.hot, cool, 0.5 * (1 - t));
  }
  if (big && t < 0.7) {
    cairo_set_line_width(cr, std::max(1.5, s * 0.035 * (1 - t)));
    SetColor(cr, Mix(art.hot, kWhite, 0.5), 1.0 - t);
    cairo_arc(cr, 0, 0, s * (0.12 + 0.36 * t), 0, 2 * M_PI);
    cairo_stroke(cr);
  }
  Rng debris(static_cast<uint64_t>(seed) + 7);
  for (int i = 0; i < 10; ++i) {
    double a = debris.Range(0, 2 * M_PI), v = debris.Range(0.25, 0.48) * s;
    double d = v * t;
    if (d < 1) continue;
    Glow(cr, std::cos(a) * d, std::sin(a) * d, std::max(1.5, s * 0.03), Mix(art.hot, kWhite, 0.5), 1.0);
  }
}

void Spark(cairo_t* cr, double w, double h, double t, const FxArt& art) {
  double s = std::min(w, h);
  cairo_translate(cr, w / 2, h / 2);
  double fade = 1.0 - 0.7 * t;
  Glow(cr, 0, 0, s * 0.48 * (0.5 + 0.5 * (1 - t)), art.cool, 0.7 * fade);
  cairo_rotate(cr, t * M_PI / 2);
  for (int i = 0; i < 4; ++i) {
    cairo_save(cr);
    cairo_rotate(cr, i * M_PI / 2);
    cairo_move_to(cr, 0, -s * 0.48 * (1 - 0.4 * t));
    cairo_line_to(cr, s * 0.06, 0);
    cairo_line_to(cr, 0, s * 0.06);
    cairo_line_to(cr, -s * 0.06, 0);
    cairo_close_path(cr);
    SetColor(cr, art.hot, fade);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  Glow(cr, 0, 0, s * 0.18, kWhite, fade);
}

void Ring(cairo_t* cr, double w, double h, double t, const FxArt& art) {
  double s = std::min(w, h);
  cairo_translate(cr, w / 2, h / 2);
  double fade = 1.0 - t;
  double r = s * (0.12 + 0.34 * t);
  cairo_set_line_width(cr, std::max(1.5, s * 0.08 * (1 - t)));
  SetColor(cr, Mix(art.hot, art.cool, t), 0.3 + 0.7 * fade);
  cairo_arc(cr, 0, 0, r, 0, 2 * M_PI);
  cairo_stroke(cr);
  Glow(cr, 0, 0, r, art.cool, 0.35 * fade);
}

// A flame with its tip up, flickering from frame to frame.
void Flame(cairo_t* cr, double w, double h, double t, const FxArt& art, int frame) {
  double flick = 0.75 + 0.25 * std::sin(frame * 2.3 + 0.5);
  cairo_translate(cr, w / 2, h * 0.72);
  for (int layer = 0; layer < 3; ++layer) {
    double k = 1.0 - layer * 0.3;
    double fw = w * 0.42 * k, fh = h * 0.66 * k * flick;
    cairo_move_to(cr, -fw, 0);
    cairo_curve_to(cr, -fw, -fh * 0.5, -fw * 0.2, -fh * 0.7, 0, -fh);
    cairo_curve_to(cr, fw * 0.2, -fh * 0.7, fw, -fh * 0.5, fw, 0);
    cairo_curve_to(cr, fw, fw * 0.8, -fw, fw * 0.8, -fw, 0);
    cairo_close_path(cr);
    Rgb c = layer == 0 ? art.cool : layer == 1 ? Mix(art.cool, art.hot, 0.6) : kWhite;
    SetColor(cr, c, 0.8 + 0.2 * layer / 2.0);
    cairo_fill(cr);
  }
  (void)t;
}

void Aura(cairo_t* cr, double w, double h, double t, const FxArt& art) {
  cairo_translate(cr, w / 2, h / 2);
  cairo_save(cr);
  cairo_scale(cr, w / 2, h / 2);
  cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
  cairo_pattern_add_color_stop_rgba(p, 0, art.hot.r, art.hot.g, art.hot.b, 0.9);
  cairo_pattern_add_color_stop_rgba(p, 0.6, art.cool.r, art.cool.g, art.cool.b, 0.5);
  cairo_pattern_add_color_stop_rgba(p, 1, art.cool.r, art.cool.g, art.cool.b, 0);
  cairo_set_source(cr, p);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_restore(cr);
  for (int i = 0; i < 5; ++i) {
    double a = (t + i / 5.0) * 2 * M_PI;
    Glow(cr, std::cos(a) * w * 0.36, std::sin(a) * h * 0.32, h * 0.16, kWhite, 0.8);
  }
}

void PaintFx(Canvas& canvas, const FxArt& art) {
  auto paint = [&](cairo_t* cr, const CellInfo& cell) {
    double w = cell.rect.width, h = cell.rect.height;
    // The last frame keeps a trace of smoke rather than nothing.
    double t = cell.count > 1 ? static_cast<double>(cell.index) / cell.count : 0.3;
    int seed = static_cast<int>(SeedOf(art.sheet->path) % 9973) + cell.run * 31;
    switch (art.fx) {
      case Fx::kBurst: Burst(cr, w, h, t, art, seed, false); break;
      case Fx::kBigBurst: Burst(cr, w, h, t, art, seed, true); break;
      case Fx::kRing: Ring(cr, w, h, t, art); break;
      case Fx::kSpark: Spark(cr, w, h, t, art); break;
      case Fx::kFlame: Flame(cr, w, h, t, art, cell.index); break;
      case Fx::kAura: Aura(cr, w, h, static_cast<double>(cell.index) / cell.count, art); break;
      case Fx::kDot: Glow(cr, w / 2, h / 2, w / 2, art.cool, 1.0); Glow(cr, w / 2, h / 2, w / 4, art.hot, 1.0); break;
      case Fx::kMuzzle: {
        cairo_translate(cr, w / 2, h / 2);
        Glow(cr, 0, 0, std::min(w, h) * 0.5, art.cool, 0.8);
        cairo_save(cr);
        cairo_scale(cr, 0.35 + 0.15 * cell.index, 1.0);
        Glow(cr, 0, 0, h * 0.5, kWhite, 1.0);
        cairo_restore(cr);
        break;
      }
    }
  };
  if (art.run >= 0) ForEachCellOfRun(canvas, *art.sheet, art.run, paint);
  else ForEachCell(canvas, *art.sheet, paint);
}

}  // namespace

bool PaintEffectSheet(Canvas& canvas, const SheetLayout& sheet, KeyMode* mode) {
  *mode = KeyMode::kSprite;
  bool found = false;
  for (const FxArt& art : kEffects) {
    if (art.sheet == &sheet) {
      PaintFx(canvas, art);
      found = true;
      // Light over the field: glows end in light, never in a dark disc.
      if (art.fx != Fx::kFlame && art.fx != Fx::kAura) *mode = KeyMode::kGlow;
    }
  }
  return found;
}
