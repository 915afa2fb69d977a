// Player shots, the bomb ring, enemy bullets in five colours, and items.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "art.h"
#include "rng.h"

namespace {

// An energy bolt along +x (or +y when upright), white-hot core, coloured edge.
void Bolt(cairo_t* cr, double w, double h, Rgb color, bool upright) {
  cairo_save(cr);
  cairo_translate(cr, w / 2, h / 2);
  if (upright) {
    cairo_rotate(cr, -M_PI / 2);
    std::swap(w, h);
  }
  double len = w * 0.48, rad = h * 0.42;
  cairo_save(cr);
  cairo_scale(cr, len, rad);
  cairo_pattern_t* p = cairo_pattern_create_radial(0.35, 0, 0, 0, 0, 1);
  cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 1);
  cairo_pattern_add_color_stop_rgba(p, 0.35, Mix(color, {1, 1, 1}, 0.5).r,
                                    Mix(color, {1, 1, 1}, 0.5).g, Mix(color, {1, 1, 1}, 0.5).b, 1);
  cairo_pattern_add_color_stop_rgba(p, 0.75, color.r, color.g, color.b, 0.9);
  cairo_pattern_add_color_stop_rgba(p, 1, color.r, color.g, color.b, 0);
  cairo_set_source(cr, p);
  cairo_move_to(cr, 1, 0);
  cairo_curve_to(cr, 0.6, -0.9, -0.6, -0.7, -1, 0);
  cairo_curve_to(cr, -0.6, 0.7, 0.6, 0.9, 1, 0);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_restore(cr);
  cairo_restore(cr);
}

// A solid orb, white-hot at the centre and lit again at its rim: the game
// draws it opaque over the field and over other orbs, so it has no fading
// halo, whose dim pixels would show as a dark ring around each one.
void Orb(cairo_t* cr, double cx, double cy, double r, Rgb color) {
  const double body = r * 0.92;
  const Rgb light = Mix(color, {1, 1, 1}, 0.55), rim = Mix(color, {1, 1, 1}, 0.35);
  cairo_arc(cr, cx, cy, body, 0, 2 * M_PI);
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.12, cy - r * 0.12, 0, cx, cy, body);
  cairo_pattern_add_color_stop_rgb(p, 0, 1, 1, 1);
  cairo_pattern_add_color_stop_rgb(p, 0.45, light.r, light.g, light.b);
  cairo_pattern_add_color_stop_rgb(p, 0.78, color.r, color.g, color.b);
  cairo_pattern_add_color_stop_rgb(p, 1, rim.r, rim.g, rim.b);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void PaintPlayerShots(Canvas& canvas, const SheetLayout& sheet, Rgb color, Rgb alt) {
  ForEachCell(canvas, sheet, [&](cairo_t* cr, const CellInfo& cell) {
    double w = cell.rect.width, h = cell.rect.height;
    Rgb c = cell.global % 2 ? alt : color;
    if (w > h * 1.2) {
      Bolt(cr, w, h, c, false);
    } else if (h > w * 1.2) {
      Bolt(cr, w, h, c, true);
    } else {
      double phase = cell.run == 11 ? cell.index / 4.0 : 0.0;  // the animated shot
      Orb(cr, w / 2, h / 2, std::min(w, h) * 0.48, c);
      cairo_set_line_width(cr, std::max(1.0, w * 0.06));
      cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
      cairo_arc(cr, w / 2, h / 2, w * 0.36, phase * 2 * M_PI, phase * 2 * M_PI + M_PI * 0.8);
      cairo_stroke(cr);
    }
  });
}

// The bomb is drawn five times its size with point sampling, at alpha 200:
// one pixel here is a 5x5 block on screen. So each pixel is set from the
// ring's shape at its centre, with no antialiased partial pixels (they
// would only be darker blocks), and the band's colour follows a cosine from
// a dim blue at both edges, close to the sea it is drawn over, to a pale
// core, over a band wide enough that neighbouring pixels differ by a few
// levels. Nothing in it is finer than the band.
constexpr double kRingHalfWidth = 15.0;  // pixels, at full size
const Rgb kRingEdge{0.18, 0.34, 0.60};
const Rgb kRingCore{0.60, 0.76, 0.98};

struct RingShape {
  double radius, half_width;
  double strength;  // of the core over the edge colour, 0-1
  double swirl;     // turn of the three swells, radians
};

RingShape RingOfCell(int k, double s) {
  // 0-4 the ring opens, 5-8 it pulses, 9-13 its swells turn.
  if (k < 5) {
    const double r = s * (0.13 + 0.049 * k);
    const double hw = std::min(kRingHalfWidth, r * 0.75);
    // A narrower band keeps the same steps by being fainter.
    return {r, hw, hw / kRingHalfWidth, 0.0};
  }
  if (k < 9)
    return {s * (0.325 + 0.008 * std::sin((k - 5) * M_PI / 2)), kRingHalfWidth,
            0.92 + 0.08 * std::cos((k - 5) * M_PI / 2), 0.0};
  return {s * 0.325, kRingHalfWidth, 1.0, (k - 9) * (2 * M_PI / 3) / 5};
}

void PaintBombRing(Canvas& canvas) {
  ForEachCell(canvas, kSheetMbBomb, [&](cairo_t* cr, const CellInfo& cell) {
    const int size = cell.rect.width;
    const RingShape ring = RingOfCell(cell.index, size);
    cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_surface_flush(img);
    unsigned char* data = cairo_image_surface_get_data(img);
    const int stride = cairo_image_surface_get_stride(img);
    const double c = size / 2.0;
    for (int y = 0; y < size; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
      for (int x = 0; x < size; ++x) {
        const double dx = x + 0.5 - c, dy = y + 0.5 - c;
        const double t = std::fabs(std::sqrt(dx * dx + dy * dy) - ring.radius) / ring.half_width;
        if (t >= 1.0) {
          row[x] = 0;
          continue;
        }
        // Three slow swells round the ring, brightest in its core.
        const double swell = 0.5 + 0.5 * std::cos(3 * (std::atan2(dy, dx) - ring.swirl));
        const double w = (0.5 + 0.5 * std::cos(M_PI * t)) * ring.strength * (0.82 + 0.18 * swell);
        const Rgb col = Mix(kRingEdge, kRingCore, w);
        auto level = [](double v) { return static_cast<uint32_t>(std::lround(v * 255.0)); };
        row[x] = 0xFF000000u | level(col.r) << 16 | level(col.g) << 8 | level(col.b);
      }
    }
    cairo_surface_mark_dirty(img);
    cairo_set_source_surface(cr, img, 0, 0);
    cairo_paint(cr);
    cairo_surface_destroy(img);
  });
}

const Rgb kBulletColors[] = {
    {1.0, 0.25, 0.3}, {0.3, 0.5, 1.0}, {0.3, 1.0, 0.4}, {1.0, 0.85, 0.2}, {0.8, 0.35, 1.0}};

void Star(cairo_t* cr, double r, int points, double inner) {
  for (int i = 0; i < points * 2; ++i) {
    double a = i * M_PI / points - M_PI / 2;
    double rr = i % 2 ? r * inner : r;
    if (i == 0)
      cairo_move_to(cr, std::cos(a) * rr, std::sin(a) * rr);
    else
      cairo_line_to(cr, std::cos(a) * rr, std::sin(a) * rr);
  }
  cairo_close_path(cr);
}

void PaintEnemyBullets(Canvas& canvas, const SheetLayout& sheet, Rgb color) {
  ForEachCell(canvas, sheet, [&](cairo_t* cr, const CellInfo& cell) {
    double s = cell.rect.width;
    double phase = static_cast<double>(cell.index) / cell.count;
    double pulse = 0.85 + 0.15 * std::cos(phase * 2 * M_PI);
    cairo_translate(cr, s / 2, s / 2);
    Rgb white{1, 1, 1};
    switch (cell.run) {
      case 0:  // rice grain, pointing right
        cairo_translate(cr, -s / 2, -s / 2);
        Bolt(cr, s * pulse, s * 0.6, color, false);
        break;
      case 1: {  // arrowhead
        Glow(cr, 0, 0, s * 0.48, color, 0.6 * pulse);
        cairo_move_to(cr, s * 0.45, 0);
        cairo_line_to(cr, -s * 0.35, -s * 0.3);
        cairo_line_to(cr, -s * 0.15, 0);
        cairo_line_to(cr, -s * 0.35, s * 0.3);
        cairo_close_path(cr);
        SetColor(cr, Mix(color, white, 0.35));
        cairo_fill_preserve(cr);
        SetColor(cr, white);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
        break;
      }
      case 2:  // needle
        cairo_translate(cr, -s / 2, -s / 2 + s * 0.3);
        Bolt(cr, s, s * 0.4, color, false);
        break;
      case 3: {  // wedge
        Glow(cr, 0, 0, s * 0.45, color, 0.7 * pulse);
        cairo_move_to(cr, s * 0.42, 0);
        cairo_line_to(cr, -s * 0.3, -s * 0.22);
        cairo_line_to(cr, -s * 0.3, s * 0.22);
        cairo_close_path(cr);
        SetColor(cr, Mix(color, white, 0.6));
        cairo_fill(cr);
        break;
      }
      case 4:  // large oval
        cairo_translate(cr, -s / 2, -s / 2);
        Bolt(cr, s, s * 0.8 * pulse, color, false);
        break;
      case 5:  // spinning star
        Glow(cr, 0, 0, s * 0.5, color, 0.7);
        cairo_rotate(cr, phase * 2 * M_PI / 5);
        Star(cr, s * 0.45, 5, 0.45);
        SetColor(cr, Mix(color, white, 0.5));
        cairo_fill(cr);
        break;
      case 6:  // ring
        Glow(cr, 0, 0, s * 0.5, color, 0.5);
        cairo_set_line_width(cr, 3);
        SetColor(cr, Mix(color, white, 0.5));
        cairo_arc(cr, 0, 0, s * 0.3 * pulse, 0, 2 * M_PI);
        cairo_stroke(cr);
        break;
      case 7:  // big orb with a turning ring
        Orb(cr, 0, 0, s * 0.46, color);
        cairo_set_line_width(cr, 1.5);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
        cairo_arc(cr, 0, 0, s * 0.36, phase * 2 * M_PI, phase * 2 * M_PI + M_PI);
        cairo_stroke(cr);
        break;
      case 8:  // small orb
        Orb(cr, 0, 0, s * 0.4 * pulse, color);
        break;
      case 9:  // dash
        cairo_translate(cr, -s / 2, -s / 2 + s * 0.25);
        Bolt(cr, s * 0.9, s * 0.5, color, false);
        break;
      case 10: {  // crystal
        Glow(cr, 0, 0, s * 0.5, color, 0.6);
        cairo_move_to(cr, s * 0.45, 0);
        cairo_line_to(cr, 0, -s * 0.25 * pulse);
        cairo_line_to(cr, -s * 0.45, 0);
        cairo_line_to(cr, 0, s * 0.25 * pulse);
        cairo_close_path(cr);
        SetColor(cr, Mix(color, white, 0.55));
        cairo_fill(cr);
        break;
      }
      case 11:  // turning square
        Glow(cr, 0, 0, s * 0.5, color, 0.6);
        cairo_rotate(cr, phase * M_PI / 2);
        cairo_rectangle(cr, -s * 0.25, -s * 0.25, s * 0.5, s * 0.5);
        SetColor(cr, Mix(color, white, 0.5));
        cairo_fill(cr);
        break;
      case 12:  // pulsing spark
        Glow(cr, 0, 0, s * 0.5 * pulse, color, 1.0);
        Orb(cr, 0, 0, s * 0.3 * pulse, Mix(color, white, 0.3));
        break;
      case 13: {  // the puff of a removed bullet: grows and fades
        double t = (cell.index + 1.0) / cell.count;
        Glow(cr, 0, 0, s * (0.2 + 0.3 * t), Mix(color, white, 0.5), 1.0 - 0.6 * t);
        cairo_set_line_width(cr, 3.0 * (1 - t) + 1.0);
        SetColor(cr, Mix(color, white, 0.5), 1.0 - 0.5 * t);
        cairo_arc(cr, 0, 0, s * (0.15 + 0.3 * t), 0, 2 * M_PI);
        cairo_stroke(cr);
        break;
      }
    }
  });
}

// A capsule with a letter on it.
void Capsule(cairo_t* cr, double s, Rgb color, const std::string& letter, double turn) {
  Glow(cr, s / 2, s / 2, s * 0.5, color, 0.5);
  cairo_save(cr);
  cairo_translate(cr, s / 2, s / 2);
  cairo_scale(cr, 0.55 + 0.45 * std::fabs(std::cos(turn)), 1.0);
  RoundedRect(cr, -s * 0.32, -s * 0.32, s * 0.64, s * 0.64, s * 0.16);
  FillGradient(cr, -s * 0.32, Mix(color, {1, 1, 1}, 0.5), s * 0.32, Scale(color, 0.6));
  RoundedRect(cr, -s * 0.32, -s * 0.32, s * 0.64, s * 0.64, s * 0.16);
  cairo_set_line_width(cr, 2);
  SetColor(cr, {1, 1, 1});
  cairo_stroke(cr);
  cairo_restore(cr);
  DrawLabel(cr, Face::kSansBold, s * 0.42, s / 2, s / 2, s * 0.5, letter, {1, 1, 1},
            Scale(color, 0.35), 1.5);
}

void Gem(cairo_t* cr, double s, Rgb color, double turn) {
  cairo_translate(cr, s / 2, s / 2);
  Glow(cr, 0, 0, s * 0.48, color, 0.45);
  double squeeze = 0.3 + 0.7 * std::fabs(std::cos(turn));
  cairo_scale(cr, squeeze, 1.0);
  Star(cr, s * 0.38, 4, 0.5);
  SetColor(cr, Mix(color, {1, 1, 1}, 0.3));
  cairo_fill(cr);
  Star(cr, s * 0.2, 4, 0.5);
  SetColor(cr, {1, 1, 1});
  cairo_fill(cr);
}

void PaintItems(Canvas& canvas, const SheetLayout& sheet) {
  ForEachCell(canvas, sheet, [&](cairo_t* cr, const CellInfo& cell) {
    double s = cell.rect.width;
    double turn = static_cast<double>(cell.index) / cell.count * M_PI;
    if (&sheet == &kSheetItemPow)
      Capsule(cr, s, {1.0, 0.3, 0.2}, "P", 0);
    else if (&sheet == &kSheetItemBomb)
      Capsule(cr, s, {0.2, 0.5, 1.0}, "B", 0);
    else if (&sheet == &kSheetItem1up)
      Capsule(cr, s, {0.2, 0.85, 0.3}, "1UP", cell.run * 0.6);
    else if (&sheet == &kSheetItemEx)
      Capsule(cr, s, cell.run ? Rgb{0.9, 0.3, 1.0} : Rgb{1.0, 0.7, 0.1}, "EX", turn * 2);
    else if (&sheet == &kSheetItemScore2)
      Gem(cr, s, {0.3, 0.9, 1.0}, turn);
    else if (&sheet == &kSheetItemScore)
      Gem(cr, s, {1.0, 0.85, 0.2}, turn);
    else
      Gem(cr, s, {1.0, 0.4, 0.7}, turn);
  });
}

}  // namespace

bool PaintShotSheet(Canvas& canvas, const SheetLayout& sheet, KeyMode* mode) {
  *mode = KeyMode::kSprite;
  // Player shots are drawn opaque, a screenful at a time in a bomb: their
  // edges keep their own colour so that they never ring one another in dark.
  if (&sheet == &kSheetMyBullet1 || &sheet == &kSheetMyBullet2 || &sheet == &kSheetMyBullet3 ||
      &sheet == &kSheetMyBullet4) {
    *mode = KeyMode::kStraight;
  }
  if (&sheet == &kSheetMyBullet1)
    PaintPlayerShots(canvas, sheet, {0.3, 0.8, 1.0}, {0.5, 0.9, 1.0});
  else if (&sheet == &kSheetMyBullet2)
    PaintPlayerShots(canvas, sheet, {1.0, 0.5, 0.2}, {1.0, 0.7, 0.3});
  else if (&sheet == &kSheetMyBullet3)
    PaintPlayerShots(canvas, sheet, {0.4, 1.0, 0.5}, {0.7, 1.0, 0.4});
  else if (&sheet == &kSheetMyBullet4)
    PaintPlayerShots(canvas, sheet, {1.0, 0.85, 0.3}, {0.9, 0.5, 1.0});
  else if (&sheet == &kSheetMbBomb) {
    PaintBombRing(canvas);
    *mode = KeyMode::kGlow;
  } else if (&sheet == &kSheetEb1 || &sheet == &kSheetEb2 || &sheet == &kSheetEb3 ||
             &sheet == &kSheetEb4 || &sheet == &kSheetEb5) {
    const SheetLayout* sheets[] = {&kSheetEb1, &kSheetEb2, &kSheetEb3, &kSheetEb4, &kSheetEb5};
    for (int i = 0; i < 5; ++i) {
      if (sheets[i] == &sheet) PaintEnemyBullets(canvas, sheet, kBulletColors[i]);
    }
    // Bullets (and the puffs of cancelled ones) glow in their colour: a
    // dim halo would show as a dark ball, and a screen of them as mud.
    *mode = KeyMode::kGlow;
  } else if (&sheet == &kSheetItemScore2 || &sheet == &kSheetItemPow || &sheet == &kSheetItemBomb ||
             &sheet == &kSheetItem1up || &sheet == &kSheetItemEx || &sheet == &kSheetItemScore ||
             &sheet == &kSheetItemScore3) {
    PaintItems(canvas, sheet);
    // The score gems' glow would end in a dark disc on the field.
    if (&sheet == &kSheetItemScore || &sheet == &kSheetItemScore2 || &sheet == &kSheetItemScore3) {
      *mode = KeyMode::kGlow;
    }
  } else
    return false;
  return true;
}
