// Procedural aircraft, seen from above with the nose toward -y, drawn
// around the origin into a box of the given size. Shared by the fighters
// and the enemies.
#pragma once

#include <cairo.h>

#include "canvas.h"

enum class Hull {
  kArrow,      // slim fighter with swept wings
  kForward,    // forward-swept wings
  kDelta,      // wide delta
  kTwinBoom,   // two booms joined by a wing
  kCompact,    // short, stubby craft
  kGunship,    // wide hull with engines, heavy
  kSaucer,     // round drone
  kCarrier,    // long armoured hull with decks
  kTank,       // tracked ground vehicle
};

struct Palette {
  Rgb hull;
  Rgb trim;
  Rgb canopy;
  Rgb engine;
};

struct CraftLook {
  Hull hull;
  Palette colors;
  double bank = 0.0;    // -1 (left) .. 1 (right)
  double flicker = 0.0; // 0..1 engine flame length
  double spin = 0.0;    // animation phase in turns, for rotating parts
  int detail = 0;       // a seed for panel lines and turrets
};

// Draws the craft centred at the origin, w across and h along.
void DrawCraft(cairo_t* cr, const CraftLook& look, double w, double h);

// A rotatable gun turret: round base and barrel pointing along +x.
void DrawTurret(cairo_t* cr, const Palette& colors, double size, int barrels);

// How a painted thing is shown: as it is, with the hit flash (whitened),
// or as its flat shadow.
enum class Look { kNormal, kFlash, kShadow };
// Runs draw inside a group and composes it with the look.
template <typename F>
void WithLook(cairo_t* cr, Look look, F&& draw) {
  cairo_push_group(cr);
  draw();
  cairo_pattern_t* group = cairo_pop_group(cr);
  if (look == Look::kShadow) {
    cairo_set_source_rgba(cr, 0.16, 0.17, 0.22, 1.0);
    cairo_mask(cr, group);
  } else {
    cairo_set_source(cr, group);
    cairo_paint(cr);
    if (look == Look::kFlash) {
      cairo_push_group(cr);
      cairo_set_source_rgba(cr, 1.0, 0.95, 0.85, 0.5);
      cairo_paint(cr);
      cairo_pattern_t* white = cairo_pop_group(cr);
      cairo_set_source(cr, white);
      cairo_mask(cr, group);
      cairo_pattern_destroy(white);
    }
  }
  cairo_pattern_destroy(group);
}
