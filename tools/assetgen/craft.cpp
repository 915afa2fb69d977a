#include "craft.h"

#include <algorithm>
#include <cmath>

#include "rng.h"

namespace {

void Poly(cairo_t* cr, const double* xy, int n, double sx, double sy) {
  cairo_move_to(cr, xy[0] * sx, xy[1] * sy);
  for (int i = 1; i < n; ++i) cairo_line_to(cr, xy[2 * i] * sx, xy[2 * i + 1] * sy);
  cairo_close_path(cr);
}

// Fills the current path with a metallic sheen across x and a dark edge.
void Metal(cairo_t* cr, Rgb base, double half_w) {
  cairo_pattern_t* p = cairo_pattern_create_linear(-half_w, 0, half_w, 0);
  Rgb dark = Scale(base, 0.45), light = Mix(base, {1, 1, 1}, 0.45);
  cairo_pattern_add_color_stop_rgb(p, 0, dark.r, dark.g, dark.b);
  cairo_pattern_add_color_stop_rgb(p, 0.42, light.r, light.g, light.b);
  cairo_pattern_add_color_stop_rgb(p, 0.6, base.r, base.g, base.b);
  cairo_pattern_add_color_stop_rgb(p, 1, dark.r, dark.g, dark.b);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  Rgb edge = Scale(base, 0.3);
  cairo_set_source_rgb(cr, std::max(edge.r, 0.08), std::max(edge.g, 0.08), std::max(edge.b, 0.1));
  cairo_set_line_width(cr, std::max(1.0, half_w * 0.03));
  cairo_stroke(cr);
}

void Flame(cairo_t* cr, double x, double y, double width, double length, Rgb color) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, width / 2, length);
  cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
  cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 0.9, 1);
  cairo_pattern_add_color_stop_rgba(p, 0.35, color.r, color.g, color.b, 0.95);
  cairo_pattern_add_color_stop_rgba(p, 1, color.r, color.g * 0.5, color.b * 0.3, 0);
  cairo_set_source(cr, p);
  cairo_move_to(cr, -1, 0);
  cairo_curve_to(cr, -1, 0.5, -0.2, 1, 0, 1);
  cairo_curve_to(cr, 0.2, 1, 1, 0.5, 1, 0);
  cairo_close_path(cr);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_restore(cr);
}

void Canopy(cairo_t* cr, double x, double y, double w, double h, Rgb color) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, w / 2, h / 2);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  cairo_pattern_t* p = cairo_pattern_create_radial(x - w * 0.15, y - h * 0.2, 0, x, y, h / 2);
  Rgb light = Mix(color, {1, 1, 1}, 0.7);
  cairo_pattern_add_color_stop_rgb(p, 0, light.r, light.g, light.b);
  cairo_pattern_add_color_stop_rgb(p, 1, color.r * 0.5, color.g * 0.5, color.b * 0.6);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void PanelLines(cairo_t* cr, Rgb base, double w, double h, int seed, int count) {
  Rng rng(static_cast<uint64_t>(seed) + 17);
  Rgb line = Scale(base, 0.55);
  cairo_set_source_rgba(cr, line.r, line.g, line.b, 0.8);
  cairo_set_line_width(cr, std::max(1.0, w * 0.012));
  for (int i = 0; i < count; ++i) {
    double y = rng.Range(-0.35, 0.35) * h;
    double x = rng.Range(0.05, 0.3) * w;
    cairo_move_to(cr, -x, y);
    cairo_line_to(cr, x, y);
    cairo_stroke(cr);
  }
}

}  // namespace

void DrawTurret(cairo_t* cr, const Palette& colors, double size, int barrels) {
  double r = size * 0.3;
  // Barrels along +x.
  for (int i = 0; i < barrels; ++i) {
    double off = barrels == 1 ? 0 : (i - (barrels - 1) / 2.0) * r * 0.55;
    cairo_rectangle(cr, 0, off - r * 0.16, size * 0.48, r * 0.32);
    Metal(cr, colors.trim, r);
    cairo_rectangle(cr, size * 0.42, off - r * 0.2, size * 0.07, r * 0.4);
    SetColor(cr, Scale(colors.trim, 0.6));
    cairo_fill(cr);
  }
  cairo_arc(cr, 0, 0, r, 0, 2 * M_PI);
  Metal(cr, colors.hull, r);
  cairo_arc(cr, -r * 0.2, 0, r * 0.45, 0, 2 * M_PI);
  SetColor(cr, Scale(colors.hull, 0.7));
  cairo_fill(cr);
  Glow(cr, -r * 0.2, 0, r * 0.3, colors.engine, 0.9);
}

void DrawCraft(cairo_t* cr, const CraftLook& look, double w, double h) {
  const Palette& c = look.colors;
  double sx = w / 2, sy = h / 2;
  // Banking narrows the craft and slides the spine toward the turn.
  double squeeze = 1.0 - 0.28 * std::fabs(look.bank);
  double shift = look.bank * 0.12 * sx;
  cairo_save(cr);
  cairo_translate(cr, shift, 0);
  cairo_scale(cr, squeeze, 1.0);
  double flame = 0.55 + 0.45 * look.flicker;
  switch (look.hull) {
    case Hull::kArrow: {
      Flame(cr, -0.18 * sx, 0.62 * sy, 0.16 * sx, 0.4 * sy * flame, c.engine);
      Flame(cr, 0.18 * sx, 0.62 * sy, 0.16 * sx, 0.4 * sy * flame, c.engine);
      const double wing[] = {0, -0.2, 0.95, 0.5, 0.9, 0.66, 0.2, 0.52, -0.2, 0.52, -0.9, 0.66, -0.95, 0.5};
      Poly(cr, wing, 7, sx, sy);
      Metal(cr, c.trim, sx);
      const double body[] = {0, -1, 0.2, -0.45, 0.26, 0.6, 0.12, 0.7, -0.12, 0.7, -0.26, 0.6, -0.2, -0.45};
      Poly(cr, body, 7, sx, sy);
      Metal(cr, c.hull, 0.3 * sx);
      Canopy(cr, 0, -0.35 * sy, 0.2 * sx, 0.36 * sy, c.canopy);
      break;
    }
    case Hull::kForward: {
      Flame(cr, 0, 0.7 * sy, 0.3 * sx, 0.35 * sy * flame, c.engine);
      const double wing[] = {0, 0.35, 0.95, -0.35, 1.0, -0.15, 0.25, 0.6, -0.25, 0.6, -1.0, -0.15, -0.95, -0.35};
      Poly(cr, wing, 7, sx, sy);
      Metal(cr, c.trim, sx);
      const double canard[] = {0, -0.55, 0.45, -0.45, 0.45, -0.35, 0, -0.3, -0.45, -0.35, -0.45, -0.45};
      Poly(cr, canard, 6, sx, sy);
      Metal(cr, c.trim, 0.5 * sx);
      const double body[] = {0, -1, 0.17, -0.6, 0.22, 0.7, -0.22, 0.7, -0.17, -0.6};
      Poly(cr, body, 5, sx, sy);
      Metal(cr, c.hull, 0.25 * sx);
      Canopy(cr, 0, -0.45 * sy, 0.18 * sx, 0.3 * sy, c.canopy);
      break;
    }
    case Hull::kDelta: {
      Flame(cr, -0.3 * sx, 0.72 * sy, 0.18 * sx, 0.35 * sy * flame, c.engine);
      Flame(cr, 0.3 * sx, 0.72 * sy, 0.18 * sx, 0.35 * sy * flame, c.engine);
      Flame(cr, 0, 0.74 * sy, 0.2 * sx, 0.4 * sy * flame, c.engine);
      const double delta[] = {0, -0.9, 1.0, 0.62, 0.85, 0.74, -0.85, 0.74, -1.0, 0.62};
      Poly(cr, delta, 5, sx, sy);
      Metal(cr, c.trim, sx);
      const double body[] = {0, -1, 0.28, -0.2, 0.3, 0.74, -0.3, 0.74, -0.28, -0.2};
      Poly(cr, body, 5, sx, sy);
      Metal(cr, c.hull, 0.3 * sx);
      Canopy(cr, 0, -0.3 * sy, 0.22 * sx, 0.4 * sy, c.canopy);
      break;
    }
    case Hull::kTwinBoom: {
      Flame(cr, -0.55 * sx, 0.75 * sy, 0.2 * sx, 0.35 * sy * flame, c.engine);
      Flame(cr, 0.55 * sx, 0.75 * sy, 0.2 * sx, 0.35 * sy * flame, c.engine);
      const double wing[] = {-1, -0.05, 1, -0.05, 1, 0.25, -1, 0.25};
      Poly(cr, wing, 4, sx, sy);
      Metal(cr, c.trim, sx);
      for (int s = -1; s <= 1; s += 2) {
        const double boom[] = {s * 0.55, -0.8, s * 0.68, -0.5, s * 0.66, 0.75, s * 0.44, 0.75, s * 0.42, -0.5};
        Poly(cr, boom, 5, sx, sy);
        Metal(cr, c.hull, sx);
      }
      const double pod[] = {0, -1, 0.2, -0.55, 0.18, 0.4, -0.18, 0.4, -0.2, -0.55};
      Poly(cr, pod, 5, sx, sy);
      Metal(cr, c.hull, 0.2 * sx);
      Canopy(cr, 0, -0.5 * sy, 0.18 * sx, 0.32 * sy, c.canopy);
      break;
    }
    case Hull::kCompact: {
      Flame(cr, 0, 0.65 * sy, 0.4 * sx, 0.4 * sy * flame, c.engine);
      const double wing[] = {0, -0.3, 0.95, 0.15, 0.8, 0.5, 0, 0.35, -0.8, 0.5, -0.95, 0.15};
      Poly(cr, wing, 6, sx, sy);
      Metal(cr, c.trim, sx);
      cairo_save(cr);
      cairo_scale(cr, 0.38 * sx, 0.85 * sy);
      cairo_arc(cr, 0, -0.05, 1, 0, 2 * M_PI);
      cairo_restore(cr);
      Metal(cr, c.hull, 0.38 * sx);
      Canopy(cr, 0, -0.3 * sy, 0.28 * sx, 0.42 * sy, c.canopy);
      break;
    }
    case Hull::kGunship: {
      for (int s = -1; s <= 1; s += 2) {
        Flame(cr, s * 0.62 * sx, 0.78 * sy, 0.22 * sx, 0.25 * sy * flame, c.engine);
      }
      const double wing[] = {-1, -0.1, -0.5, -0.35, 0.5, -0.35, 1, -0.1, 0.95, 0.45, -0.95, 0.45};
      Poly(cr, wing, 6, sx, sy);
      Metal(cr, c.trim, sx);
      for (int s = -1; s <= 1; s += 2) {
        RoundedRect(cr, (s * 0.62 - 0.13) * sx, -0.55 * sy, 0.26 * sx, 1.33 * sy, 0.1 * sx);
        Metal(cr, c.hull, sx);
      }
      RoundedRect(cr, -0.3 * sx, -1 * sy, 0.6 * sx, 1.8 * sy, 0.25 * sx);
      Metal(cr, c.hull, 0.3 * sx);
      PanelLines(cr, c.hull, w, h, look.detail, 5);
      Canopy(cr, 0, -0.55 * sy, 0.3 * sx, 0.3 * sy, c.canopy);
      for (int s = -1; s <= 1; s += 2) Glow(cr, s * 0.62 * sx, -0.45 * sy, 0.1 * sx, c.engine);
      break;
    }
    case Hull::kSaucer: {
      double r = std::min(sx, sy);
      cairo_arc(cr, 0, 0, r * 0.95, 0, 2 * M_PI);
      Metal(cr, c.trim, r);
      for (int i = 0; i < 8; ++i) {
        double a = (i / 8.0 + look.spin) * 2 * M_PI;
        Glow(cr, std::cos(a) * r * 0.75, std::sin(a) * r * 0.75, r * 0.16,
             i % 2 ? c.engine : c.canopy);
      }
      cairo_arc(cr, 0, 0, r * 0.55, 0, 2 * M_PI);
      Metal(cr, c.hull, r * 0.55);
      Canopy(cr, 0, 0, r * 0.5, r * 0.5, c.canopy);
      break;
    }
    case Hull::kCarrier: {
      for (int s = -1; s <= 1; s += 2) {
        Flame(cr, s * 0.45 * sx, 0.95 * sy, 0.2 * sx, 0.12 * sy * flame, c.engine);
      }
      const double hull[] = {0, -1, 0.55, -0.75, 0.95, -0.2, 1, 0.5, 0.7, 0.95, -0.7, 0.95, -1, 0.5, -0.95, -0.2, -0.55, -0.75};
      Poly(cr, hull, 9, sx, sy);
      Metal(cr, c.hull, sx);
      const double deck[] = {0, -0.7, 0.4, -0.45, 0.55, 0.3, 0.4, 0.75, -0.4, 0.75, -0.55, 0.3, -0.4, -0.45};
      Poly(cr, deck, 7, sx, sy);
      Metal(cr, c.trim, 0.55 * sx);
      PanelLines(cr, c.trim, w, h, look.detail, 7);
      Rng rng(static_cast<uint64_t>(look.detail));
      int lights = 3 + rng.Below(3);
      for (int i = 0; i < lights; ++i) {
        double y = (-0.5 + i * 1.1 / lights) * sy;
        Glow(cr, -0.7 * sx, y + 0.2 * sy, 0.07 * sx, c.engine);
        Glow(cr, 0.7 * sx, y + 0.2 * sy, 0.07 * sx, c.engine);
      }
      Canopy(cr, 0, -0.2 * sy, 0.35 * sx, 0.3 * sy, c.canopy);
      break;
    }
    case Hull::kTank: {
      for (int s = -1; s <= 1; s += 2) {
        RoundedRect(cr, (s * 0.72 - 0.22) * sx, -0.95 * sy, 0.44 * sx, 1.9 * sy, 0.1 * sx);
        SetColor(cr, Scale(c.trim, 0.45));
        cairo_fill(cr);
        cairo_set_line_width(cr, std::max(1.0, sy * 0.04));
        SetColor(cr, Scale(c.trim, 0.8));
        for (int k = 0; k < 9; ++k) {
          double y = (-0.9 + k * 0.22 + std::fmod(look.spin, 1.0) * 0.22) * sy;
          if (y > 0.92 * sy) continue;
          cairo_move_to(cr, (s * 0.72 - 0.2) * sx, y);
          cairo_line_to(cr, (s * 0.72 + 0.2) * sx, y);
          cairo_stroke(cr);
        }
      }
      RoundedRect(cr, -0.55 * sx, -0.8 * sy, 1.1 * sx, 1.6 * sy, 0.15 * sx);
      Metal(cr, c.hull, 0.55 * sx);
      PanelLines(cr, c.hull, w * 0.7, h, look.detail, 3);
      break;
    }
  }
  cairo_restore(cr);
}
