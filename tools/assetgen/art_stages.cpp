// Stage backgrounds: tile pictures that repeat vertically without a seam,
// and tall map pictures of ground structures over black, which is
// transparent and lets the tile layer show through.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "art.h"
#include "rng.h"

namespace {

// Value noise on a lattice that wraps every `period` cells in both axes.
class PeriodicNoise {
 public:
  PeriodicNoise(uint64_t seed, int period) : period_(period), values_(period * period) {
    Rng rng(seed);
    for (double& v : values_) v = rng.Unit();
  }
  // Noise at lattice position (x, y), wrapping every `wrap` lattice cells.
  double At(double x, double y, int wrap) const {
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    double fx = x - x0, fy = y - y0;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    double a = V(x0, y0, wrap), b = V(x0 + 1, y0, wrap), c = V(x0, y0 + 1, wrap),
           d = V(x0 + 1, y0 + 1, wrap);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
  }
  // Octaves of 4, 8, 16... lattice cells across the picture: each wraps
  // exactly at the picture's edge, so the sum does too.
  double Fractal(double u, double v, int octaves) const {
    double sum = 0, amp = 0.5, norm = 0;
    for (int o = 0; o < octaves; ++o) {
      int p = 4 << o;
      sum += amp * At(u * p, v * p, p);
      norm += amp;
      amp *= 0.5;
    }
    return sum / norm;
  }

 private:
  double V(int x, int y, int wrap) const {
    int px = ((x % wrap) + wrap) % wrap, py = ((y % wrap) + wrap) % wrap;
    return values_[py * period_ + px];
  }
  int period_;
  std::vector<double> values_;
};

using ColorRamp = Rgb (*)(double n, double detail, double u, double v);

Rgb Ocean(double n, double d, double, double v) {
  Rgb deep{0.05, 0.15, 0.35}, shallow{0.1, 0.4, 0.55}, foam{0.7, 0.85, 0.9};
  Rgb c = Mix(deep, shallow, n);
  double wave = 0.5 + 0.5 * std::sin((v * 24 + d * 3) * 2 * M_PI);
  if (n > 0.68) c = Mix(c, {0.75, 0.7, 0.45}, (n - 0.68) * 3);  // sand bars
  return Mix(c, foam, 0.12 * wave * d);
}
Rgb Forest(double n, double d, double, double) {
  Rgb dark{0.05, 0.22, 0.08}, light{0.25, 0.5, 0.15};
  Rgb c = Mix(dark, light, n * 0.7 + d * 0.3);
  if (n < 0.32) c = Mix({0.1, 0.25, 0.4}, c, n / 0.32);  // rivers and lakes
  return c;
}
Rgb Desert(double n, double d, double u, double) {
  Rgb low{0.45, 0.3, 0.15}, high{0.85, 0.7, 0.45};
  double strata = 0.5 + 0.5 * std::sin((n * 8 + u * 0.0) * 2 * M_PI);
  return Mix(Mix(low, high, n), Scale(low, 0.7), 0.25 * strata * d);
}
Rgb Machine(double n, double d, double u, double v) {
  // Armoured panels on a grid that divides the tile exactly.
  double gx = std::fmod(u * 12, 1.0), gy = std::fmod(v * 16, 1.0);
  bool seam = gx < 0.04 || gy < 0.03;
  Rgb base = Mix({0.2, 0.22, 0.27}, {0.4, 0.42, 0.48}, n);
  if (seam) base = Scale(base, 0.55);
  if (d > 0.72) base = Mix(base, {0.8, 0.5, 0.15}, 0.5);  // warning lights
  return base;
}
Rgb Space(double n, double d, double, double) {
  Rgb nebula = Mix({0.03, 0.02, 0.08}, {0.25, 0.1, 0.35}, n * n);
  return Mix(nebula, {0.05, 0.2, 0.35}, d * 0.35);
}
Rgb RedSpace(double n, double d, double, double) {
  Rgb nebula = Mix({0.08, 0.01, 0.03}, {0.45, 0.08, 0.12}, n * n);
  return Mix(nebula, {0.4, 0.25, 0.05}, d * 0.3);
}

struct TileArt {
  const SheetLayout* sheet;
  ColorRamp ramp;
  bool stars;
};
const TileArt kTiles[] = {
    {&kSheetStage10, Ocean, false},   {&kSheetStage20, Forest, false},
    {&kSheetStage30, Desert, false},  {&kSheetStage40, Machine, false},
    {&kSheetStage50, Space, true},    {&kSheetStage60, RedSpace, true},
};

void PaintTile(Canvas& canvas, const TileArt& art) {
  const int w = canvas.width(), h = canvas.height();
  PeriodicNoise coarse(SeedOf(art.sheet->path), 64);
  PeriodicNoise fine(SeedOf(art.sheet->path) + 1, 64);
  cairo_surface_t* surface = cairo_get_target(canvas.cr());
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < h; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < w; ++x) {
      double u = static_cast<double>(x) / w, v = static_cast<double>(y) / h;
      double n = coarse.Fractal(u, v, 4);
      double d = fine.Fractal(u * 1.0, v, 3);
      Rgb c = art.ramp(n, d, u, v);
      auto ch = [](double value) {
        return static_cast<uint32_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
      };
      row[x] = 0xFF000000u | (ch(c.r) << 16) | (ch(c.g) << 8) | ch(c.b);
    }
  }
  cairo_surface_mark_dirty(surface);
  if (art.stars) {
    // Stars wrap too: each is drawn again one tile height away.
    Rng rng(SeedOf(art.sheet->path) + 2);
    cairo_t* cr = canvas.cr();
    for (int i = 0; i < 220; ++i) {
      double x = rng.Range(0, w), y = rng.Range(0, h), r = rng.Range(0.6, 1.8);
      double b = rng.Range(0.4, 1.0);
      for (int k = -1; k <= 1; ++k) Glow(cr, x, y + k * h, r * 2, {b, b, std::min(1.0, b + 0.1)}, 1.0);
    }
  }
}

// ---- maps ----

enum class MapTheme { kIslands, kBases, kCanyonForts, kCity, kStation };

void Island(cairo_t* cr, Rng& rng, double cx, double cy, double r) {
  cairo_move_to(cr, cx + r, cy);
  for (int i = 1; i <= 24; ++i) {
    double a = i * 2 * M_PI / 24, rr = r * rng.Range(0.75, 1.15);
    cairo_line_to(cr, cx + std::cos(a) * rr, cy + std::sin(a) * rr);
  }
  cairo_close_path(cr);
}

void Building(cairo_t* cr, Rng& rng, double x, double y, double w, double h, Rgb roof) {
  cairo_rectangle(cr, x + 5, y + 5, w, h);
  SetColor(cr, {0.07, 0.08, 0.1}, 0.0);  // no drop shadow: black is see-through
  cairo_new_path(cr);
  cairo_rectangle(cr, x, y, w, h);
  FillGradient(cr, y, Mix(roof, {1, 1, 1}, 0.2), y + h, Scale(roof, 0.6));
  cairo_set_line_width(cr, 1.5);
  SetColor(cr, Scale(roof, 0.4));
  cairo_rectangle(cr, x, y, w, h);
  cairo_stroke(cr);
  int vents = rng.Below(4);
  for (int i = 0; i < vents; ++i) {
    cairo_arc(cr, x + rng.Range(0.2, 0.8) * w, y + rng.Range(0.2, 0.8) * h,
              std::min(w, h) * 0.12, 0, 2 * M_PI);
    SetColor(cr, Scale(roof, 0.5));
    cairo_fill(cr);
  }
}

void Pad(cairo_t* cr, double cx, double cy, double r, Rgb color) {
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  SetColor(cr, Scale(color, 0.7));
  cairo_fill(cr);
  cairo_set_line_width(cr, 3);
  SetColor(cr, {0.9, 0.8, 0.2});
  cairo_arc(cr, cx, cy, r * 0.7, 0, 2 * M_PI);
  cairo_stroke(cr);
  cairo_move_to(cr, cx - r * 0.3, cy - r * 0.35);
  cairo_line_to(cr, cx - r * 0.3, cy + r * 0.35);
  cairo_move_to(cr, cx + r * 0.3, cy - r * 0.35);
  cairo_line_to(cr, cx + r * 0.3, cy + r * 0.35);
  cairo_move_to(cr, cx - r * 0.3, cy);
  cairo_line_to(cr, cx + r * 0.3, cy);
  cairo_stroke(cr);
}

// What stands on an island of stage 1: a heliport, a village, a forest, a
// runway, a harbour or a radar post.
void IslandFeature(cairo_t* cr, Rng& rng, int kind, double cx, double cy, double r) {
  switch (kind) {
    case 0:
      Pad(cr, cx, cy, r * 0.4, {0.5, 0.5, 0.5});
      break;
    case 1:  // village
      for (int i = 0; i < 5; ++i) {
        const double bx = cx + rng.Range(-0.5, 0.3) * r, by = cy + rng.Range(-0.5, 0.3) * r;
        Building(cr, rng, bx, by, rng.Range(12, 22), rng.Range(10, 18),
                 i % 2 ? Rgb{0.75, 0.35, 0.25} : Rgb{0.8, 0.75, 0.65});
      }
      break;
    case 2:  // forest
      for (int i = 0; i < 14; ++i) {
        const double a = rng.Range(0, 2 * M_PI), d = rng.Range(0, 0.6) * r;
        cairo_arc(cr, cx + std::cos(a) * d, cy + std::sin(a) * d, rng.Range(6, 13), 0, 2 * M_PI);
        SetColor(cr, {0.08 + rng.Range(0, 0.06), 0.3 + rng.Range(0, 0.1), 0.1});
        cairo_fill(cr);
      }
      break;
    case 3: {  // runway
      cairo_save(cr);
      cairo_translate(cr, cx, cy);
      cairo_rotate(cr, rng.Range(-0.4, 0.4));
      cairo_rectangle(cr, -r * 0.75, -9, r * 1.5, 18);
      SetColor(cr, {0.35, 0.36, 0.38});
      cairo_fill(cr);
      cairo_set_line_width(cr, 2);
      cairo_set_dash(cr, (const double[]){8, 8}, 2, 0);
      SetColor(cr, {0.95, 0.95, 0.9});
      cairo_move_to(cr, -r * 0.7, 0);
      cairo_line_to(cr, r * 0.7, 0);
      cairo_stroke(cr);
      cairo_set_dash(cr, nullptr, 0, 0);
      cairo_restore(cr);
      break;
    }
    case 4: {  // harbour: a pier into the sea and warehouses
      cairo_rectangle(cr, cx + r * 0.6, cy - 5, r * 0.8, 10);
      SetColor(cr, {0.55, 0.45, 0.35});
      cairo_fill(cr);
      Building(cr, rng, cx - r * 0.2, cy - r * 0.35, r * 0.5, r * 0.25, {0.5, 0.55, 0.6});
      Building(cr, rng, cx - r * 0.2, cy + r * 0.05, r * 0.5, r * 0.25, {0.6, 0.5, 0.4});
      break;
    }
    default: {  // radar post
      cairo_arc(cr, cx, cy, r * 0.22, 0, 2 * M_PI);
      SetColor(cr, {0.85, 0.87, 0.9});
      cairo_fill(cr);
      cairo_set_line_width(cr, 3);
      SetColor(cr, {0.3, 0.35, 0.4});
      cairo_move_to(cr, cx - r * 0.18, cy - r * 0.18);
      cairo_line_to(cr, cx + r * 0.18, cy + r * 0.18);
      cairo_stroke(cr);
      Building(cr, rng, cx + r * 0.3, cy - r * 0.1, r * 0.25, r * 0.2, {0.45, 0.5, 0.4});
      break;
    }
  }
}

void PaintMap(Canvas& canvas, MapTheme theme, uint64_t seed) {
  cairo_t* cr = canvas.cr();
  const double w = canvas.width(), h = canvas.height();
  Rng rng(seed);
  int blocks = static_cast<int>(h / 300);
  for (int b = 0; b < blocks; ++b) {
    double cy = (b + 0.5) * h / blocks + rng.Range(-60, 60);
    double cx = rng.Range(0.2, 0.8) * w;
    switch (theme) {
      case MapTheme::kIslands: {
        // Each island gets the next of several features, so the stage
        // does not show the same heliport over and over; small islets and
        // reefs around it vary the coast.
        double r = rng.Range(50, 110);
        Island(cr, rng, cx, cy, r + 12);
        SetColor(cr, {0.85, 0.78, 0.5});
        cairo_fill(cr);
        Island(cr, rng, cx, cy, r);
        FillGradient(cr, cy - r, {0.3, 0.6, 0.25}, cy + r, {0.15, 0.4, 0.12});
        IslandFeature(cr, rng, b % 6, cx, cy, r);
        const int islets = rng.Below(3);
        for (int i = 0; i < islets; ++i) {
          const double a = rng.Range(0, 2 * M_PI), d = r + rng.Range(30, 70);
          const double ix = std::clamp(cx + std::cos(a) * d, 20.0, w - 20), iy = cy + std::sin(a) * d;
          const double ir = rng.Range(10, 24);
          Island(cr, rng, ix, iy, ir + 5);
          SetColor(cr, {0.82, 0.76, 0.5});
          cairo_fill(cr);
          Island(cr, rng, ix, iy, ir);
          SetColor(cr, {0.25, 0.52, 0.22});
          cairo_fill(cr);
        }
        break;
      }
      case MapTheme::kBases: {
        double bw = rng.Range(120, 220), bh = rng.Range(100, 180);
        RoundedRect(cr, cx - bw / 2, cy - bh / 2, bw, bh, 12);
        SetColor(cr, {0.4, 0.38, 0.3});
        cairo_fill(cr);
        for (int i = 0; i < 4; ++i) {
          Building(cr, rng, cx - bw / 2 + 8 + i * (bw - 16) / 4, cy - bh / 2 + 10,
                   (bw - 16) / 4 - 6, bh * 0.4, {0.45, 0.5, 0.35});
        }
        Pad(cr, cx, cy + bh * 0.22, bh * 0.22, {0.4, 0.4, 0.35});
        break;
      }
      case MapTheme::kCanyonForts: {
        double fw = rng.Range(100, 200);
        cairo_rectangle(cr, cx - fw / 2, cy - 40, fw, 80);
        FillGradient(cr, cy - 40, {0.6, 0.45, 0.3}, cy + 40, {0.35, 0.25, 0.15});
        for (int s = -1; s <= 1; s += 2) {
          cairo_arc(cr, cx + s * fw / 2, cy, 30, 0, 2 * M_PI);
          SetColor(cr, {0.5, 0.4, 0.3});
          cairo_fill(cr);
          cairo_arc(cr, cx + s * fw / 2, cy, 14, 0, 2 * M_PI);
          SetColor(cr, {0.25, 0.2, 0.15});
          cairo_fill(cr);
        }
        break;
      }
      case MapTheme::kCity: {
        // A road across the map with blocks of buildings along it.
        cairo_rectangle(cr, 0, cy - 14, w, 28);
        SetColor(cr, {0.3, 0.3, 0.33});
        cairo_fill(cr);
        cairo_set_line_width(cr, 2);
        cairo_set_dash(cr, (const double[]){12, 10}, 2, 0);
        SetColor(cr, {0.9, 0.85, 0.4});
        cairo_move_to(cr, 0, cy);
        cairo_line_to(cr, w, cy);
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0);
        for (int i = 0; i < 5; ++i) {
          double bx = rng.Range(0, w - 60), by = cy + (rng.Below(2) ? 24 : -24 - 70);
          Building(cr, rng, bx, by, rng.Range(40, 70), rng.Range(40, 70),
                   {0.45, 0.47, 0.55});
        }
        break;
      }
      case MapTheme::kStation: {
        double r = rng.Range(60, 120);
        cairo_set_line_width(cr, 10);
        SetColor(cr, {0.4, 0.42, 0.5});
        cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
        cairo_stroke(cr);
        for (int i = 0; i < 4; ++i) {
          double a = i * M_PI / 2 + rng.Range(0, 0.5);
          cairo_move_to(cr, cx, cy);
          cairo_line_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
        }
        cairo_set_line_width(cr, 6);
        cairo_stroke(cr);
        cairo_arc(cr, cx, cy, r * 0.3, 0, 2 * M_PI);
        FillGradient(cr, cy - r * 0.3, {0.6, 0.62, 0.7}, cy + r * 0.3, {0.3, 0.3, 0.38});
        Glow(cr, cx, cy, r * 0.2, {0.4, 0.8, 1.0}, 0.9);
        // Solar panels.
        for (int s = -1; s <= 1; s += 2) {
          cairo_rectangle(cr, cx + s * (r + 8) - (s < 0 ? 70 : 0), cy - 16, 70, 32);
          SetColor(cr, {0.15, 0.25, 0.6});
          cairo_fill(cr);
        }
        break;
      }
    }
  }
}

struct MapArt {
  const SheetLayout* sheet;
  MapTheme theme;
};
const MapArt kMaps[] = {
    {&kSheetStage11, MapTheme::kIslands},     {&kSheetStage21, MapTheme::kBases},
    {&kSheetStage22, MapTheme::kBases},       {&kSheetStage31, MapTheme::kCanyonForts},
    {&kSheetStage32, MapTheme::kCanyonForts}, {&kSheetStage41, MapTheme::kCity},
    {&kSheetStage42, MapTheme::kCity},        {&kSheetStage51, MapTheme::kStation},
    {&kSheetStage52, MapTheme::kStation},     {&kSheetStage53, MapTheme::kStation},
};

}  // namespace

bool PaintStageSheet(Canvas& canvas, const SheetLayout& sheet, KeyMode* mode) {
  for (const TileArt& art : kTiles) {
    if (art.sheet == &sheet) {
      *mode = KeyMode::kOpaque;
      PaintTile(canvas, art);
      return true;
    }
  }
  for (const MapArt& art : kMaps) {
    if (art.sheet == &sheet) {
      *mode = KeyMode::kSprite;
      PaintMap(canvas, art.theme, SeedOf(sheet.path));
      return true;
    }
  }
  return false;
}
