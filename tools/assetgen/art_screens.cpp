// Full-screen pictures: title, portraits, the side panels, stage-clear and
// ending backdrops, the credits roll and the game-over texts.
#include <cmath>
#include <string>

#include "art.h"
#include "craft.h"
#include "rng.h"

namespace {

void Starfield(cairo_t* cr, double w, double h, uint64_t seed, int count) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    double b = rng.Range(0.35, 1.0);
    Glow(cr, rng.Range(0, w), rng.Range(0, h), rng.Range(1.0, 3.0), {b, b, b}, 1.0);
  }
}

void Backdrop(cairo_t* cr, double w, double h, Rgb top, Rgb bottom) {
  cairo_rectangle(cr, 0, 0, w, h);
  FillGradient(cr, 0, top, h, bottom);
}

void Frame(cairo_t* cr, double x, double y, double w, double h, Rgb color, double width) {
  cairo_set_line_width(cr, width);
  SetColor(cr, color);
  RoundedRect(cr, x + width / 2, y + width / 2, w - width, h - width, 8);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 1);
  SetColor(cr, Mix(color, {1, 1, 1}, 0.5));
  RoundedRect(cr, x + width + 2, y + width + 2, w - 2 * width - 4, h - 2 * width - 4, 6);
  cairo_stroke(cr);
}

void TitleBack(cairo_t* cr) {
  Backdrop(cr, 360, 480, {0.02, 0.03, 0.12}, {0.1, 0.15, 0.35});
  Starfield(cr, 360, 480, 11, 160);
  // A planet's rim low on the screen.
  cairo_arc(cr, 180, 900, 560, 0, 2 * M_PI);
  FillGradient(cr, 340, {0.3, 0.55, 0.9}, 480, {0.05, 0.12, 0.3});
  cairo_set_line_width(cr, 3);
  cairo_set_source_rgba(cr, 0.6, 0.85, 1.0, 0.8);
  cairo_arc(cr, 180, 900, 560, M_PI * 1.2, M_PI * 1.8);
  cairo_stroke(cr);
}

// Drawn at full strength on the title, and at alpha 100 behind the text of
// every other menu screen, whose rows cross it anywhere from y 28 to 212:
// so only broad letters, no thin rule or small subtitle that would read as
// strike-through or as text among the rows, and no dark halo.
void TitleLogo(cairo_t* cr) {
  DrawLabel(cr, Face::kSerifBold, 72, 180, 92, 344, "HALCYRIS", {0.5, 0.75, 1.0},
            {0.2, 0.32, 0.7}, 2.5);
}

// The fighter select draws the portrait after its "SELECT FIGHTER" plate,
// which lies over the portrait's top 90 rows (screen y 36-84), so the
// portrait begins below them, on a panel of its own.
constexpr double kPortraitTop = 92;

void Portrait(cairo_t* cr, double w, double h, Hull hull, Palette colors, const char* name) {
  const double top = h == 480 ? kPortraitTop : 0;
  RoundedRect(cr, 2, top, w - 4, h - top - 2, 10);
  FillGradient(cr, top, Scale(colors.trim, 0.35), h, {0.05, 0.05, 0.1});
  cairo_save(cr);
  RoundedRect(cr, 2, top, w - 4, h - top - 2, 10);
  cairo_clip(cr);
  Starfield(cr, w, h, SeedOf(name), 60);
  cairo_restore(cr);
  RoundedRect(cr, 2.5, top + 0.5, w - 5, h - top - 3, 10);
  cairo_set_line_width(cr, 1.5);
  SetColor(cr, Mix(colors.trim, {1, 1, 1}, 0.3));
  cairo_stroke(cr);
  const double ph = h - top, cy = top + ph * 0.42;
  cairo_save(cr);
  RoundedRect(cr, 2, top, w - 4, h - top - 2, 10);
  cairo_clip(cr);
  Glow(cr, w / 2, cy, w * 0.45, colors.engine, 0.45);
  cairo_translate(cr, w / 2, cy);
  cairo_rotate(cr, -0.25);
  CraftLook look{hull, colors};
  look.flicker = 1.0;
  DrawCraft(cr, look, w * 0.62, ph * 0.6);
  cairo_restore(cr);
  DrawLabel(cr, Face::kSansBold, 40, w / 2, h * 0.88, w * 0.9, name, {1, 1, 1}, Scale(colors.trim, 0.3), 3);
}

void Wall(cairo_t* cr) {
  // Side panels, every pixel bright enough to draw; the field between them
  // stays black (transparent). The game writes on the panels (high score
  // and replay figures at the top, the stage scores down the right, the
  // frame counter bottom right), so nothing here runs across a text row:
  // the grooves and rivets keep to the outer edges.
  for (int side = 0; side < 2; ++side) {
    double x0 = side == 0 ? 0 : 500;
    cairo_rectangle(cr, x0, 0, 140, 480);
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x0 + 140, 0);
    double edge = side == 0 ? 1.0 : 0.0;
    cairo_pattern_add_color_stop_rgb(p, 1 - edge, 0.16, 0.19, 0.28);
    cairo_pattern_add_color_stop_rgb(p, 0.5, 0.22, 0.26, 0.37);
    cairo_pattern_add_color_stop_rgb(p, edge, 0.3, 0.35, 0.5);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // A groove and rivets along the window's edge.
    double groove = side == 0 ? 4.5 : 635.5;
    cairo_set_line_width(cr, 1);
    SetColor(cr, {0.1, 0.12, 0.2});
    cairo_move_to(cr, groove, 0);
    cairo_line_to(cr, groove, 480);
    cairo_stroke(cr);
    for (int y = 12; y < 480; y += 48) {
      cairo_arc(cr, groove, y, 2, 0, 2 * M_PI);
      SetColor(cr, {0.65, 0.72, 0.9});
      cairo_fill(cr);
    }
    // A dark seam, then a bright rim along the field, so text that ends at
    // the field's edge does not run into the panel.
    cairo_rectangle(cr, side == 0 ? 134 : 502, 0, 4, 480);
    SetColor(cr, {0.6, 0.75, 1.0});
    cairo_fill(cr);
    cairo_rectangle(cr, side == 0 ? 138 : 500, 0, 2, 480);
    SetColor(cr, {0.07, 0.08, 0.14});
    cairo_fill(cr);
  }
  // The name runs down the left panel, below the replay figures and clear
  // of both edges.
  cairo_save(cr);
  cairo_translate(cr, 70, 300);
  cairo_rotate(cr, -M_PI / 2);
  DrawLabel(cr, Face::kSerifBold, 34, 0, 0, 300, "HALCYRIS", {0.55, 0.68, 0.9}, {0.12, 0.15, 0.28},
            2);
  cairo_restore(cr);
}

// The full portraits leave their top band transparent: they are sprites.
void PortraitSprite(KeyMode* mode, cairo_t* cr, double w, double h, Hull hull, Palette colors,
                    const char* name) {
  *mode = KeyMode::kSprite;
  Portrait(cr, w, h, hull, colors, name);
}

void StageClearBack(cairo_t* cr) {
  Backdrop(cr, 360, 480, {0.05, 0.1, 0.25}, {0.15, 0.05, 0.2});
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 0.3, 0.5, 0.9, 0.35);
  for (int x = 0; x <= 360; x += 24) {
    cairo_move_to(cr, x + 0.5, 0);
    cairo_line_to(cr, x + 0.5, 480);
  }
  for (int y = 0; y <= 480; y += 24) {
    cairo_move_to(cr, 0, y + 0.5);
    cairo_line_to(cr, 360, y + 0.5);
  }
  cairo_stroke(cr);
}

void StageClearFrame(cairo_t* cr) {
  Frame(cr, 8, 8, 344, 464, {0.4, 0.6, 1.0}, 6);
  for (int c = 0; c < 4; ++c) {
    double x = c % 2 ? 340 : 20, y = c / 2 ? 460 : 20;
    Glow(cr, x, y, 14, {0.6, 0.9, 1.0}, 1.0);
  }
}

void EndBack(cairo_t* cr) {
  Backdrop(cr, 360, 480, {0.1, 0.05, 0.25}, {0.95, 0.55, 0.3});
  Glow(cr, 180, 400, 160, {1.0, 0.85, 0.5}, 0.8);
  cairo_arc(cr, 180, 1000, 640, 0, 2 * M_PI);
  FillGradient(cr, 360, {0.2, 0.25, 0.45}, 480, {0.08, 0.08, 0.2});
  Starfield(cr, 360, 220, 77, 50);
}

void Roll(cairo_t* cr) {
  const char* lines[] = {
      "HALCYRIS", "", "", "FIGHTERS", "SOLM", "HOPE", "PEACE", "EDEN", "", "",
      "GAME DESIGN", "THE HALCYRIS TEAM", "", "PROGRAM", "THE HALCYRIS TEAM", "",
      "GRAPHICS", "GENERATED STAND-IN ART", "", "SOUND AND MUSIC", "GENERATED STAND-IN SOUND", "",
      "LIBRARY", "KESTO", "", "", "SPECIAL THANKS", "EVERY PILOT", "WHO FLEW THIS FAR", "", "",
      "THE SKY IS QUIET AGAIN", "", "", "", "THANK YOU FOR PLAYING"};
  double y = 60;
  for (const char* line : lines) {
    if (*line) {
      bool heading = std::string(line) == "HALCYRIS" || std::string(line).find(' ') == std::string::npos ||
                     std::string(line) == "THANK YOU FOR PLAYING";
      Rgb color = heading ? Rgb{1.0, 0.85, 0.45} : Rgb{0.85, 0.9, 1.0};
      DrawLabel(cr, Face::kSansBold, heading ? 22 : 16, 180, y, 340, line, color, {0.1, 0.1, 0.2}, 1.5);
    }
    y += 38;
  }
}

// The replay list writes "REPLAY MODE" at (114, 28) before it draws this
// panel over the field: the panel leaves a window there.
void ReplayBack(cairo_t* cr) {
  Backdrop(cr, 360, 480, {0.06, 0.08, 0.18}, {0.03, 0.12, 0.2});
  Starfield(cr, 360, 480, 5, 70);
  Frame(cr, 4, 4, 352, 472, {0.35, 0.5, 0.8}, 3);
  RoundedRect(cr, 104, 20, 152, 32, 6);
  SetColor(cr, {0.5, 0.65, 1.0});
  cairo_fill(cr);
  cairo_rectangle(cr, 108, 24, 144, 24);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

// The logo (360x80) and the caption (256x48) are both drawn centred on
// one point, the caption last: the logo's words keep to its upper part and
// the caption's to its lower part, so both read.
void GameOver(Canvas& canvas) {
  cairo_t* cr = canvas.cr();
  DrawLabel(cr, Face::kSerifBold, 40, 180, 18, 340, "GAME OVER", {1.0, 0.4, 0.3}, {0.4, 0.05, 0.05}, 3);
  DrawLabel(cr, Face::kSansBold, 13, 128, 80 + 39, 240, "THANK YOU FOR PLAYING", {0.9, 0.92, 1.0},
            {0.15, 0.15, 0.3}, 1.5);
}

}  // namespace

bool PaintScreenSheet(Canvas& canvas, const SheetLayout& sheet, KeyMode* mode) {
  cairo_t* cr = canvas.cr();
  *mode = KeyMode::kOpaque;
  const Palette blue{{0.55, 0.65, 0.85}, {0.25, 0.4, 0.8}, {0.4, 0.9, 1.0}, {0.4, 0.7, 1.0}};
  const Palette red{{0.9, 0.88, 0.85}, {0.85, 0.2, 0.2}, {0.3, 0.6, 1.0}, {1.0, 0.6, 0.2}};
  const Palette green{{0.55, 0.8, 0.55}, {0.2, 0.55, 0.35}, {1.0, 0.85, 0.3}, {0.5, 1.0, 0.6}};
  const Palette gold{{0.95, 0.8, 0.4}, {0.7, 0.45, 0.15}, {0.4, 0.9, 1.0}, {1.0, 0.85, 0.4}};
  const Palette violet{{0.75, 0.6, 0.95}, {0.45, 0.25, 0.7}, {1.0, 0.5, 0.9}, {0.9, 0.5, 1.0}};
  if (&sheet == &kSheetTitleBack) TitleBack(cr);
  else if (&sheet == &kSheetTitleLogo) { *mode = KeyMode::kSprite; TitleLogo(cr); }
  else if (&sheet == &kSheetCharB1) PortraitSprite(mode, cr, 360, 480, Hull::kArrow, blue, "SOLM");
  else if (&sheet == &kSheetCharB2) PortraitSprite(mode, cr, 360, 480, Hull::kForward, red, "HOPE");
  else if (&sheet == &kSheetCharB3) PortraitSprite(mode, cr, 360, 480, Hull::kDelta, green, "PEACE");
  else if (&sheet == &kSheetCharB4) PortraitSprite(mode, cr, 360, 480, Hull::kTwinBoom, gold, "EDEN");
  else if (&sheet == &kSheetCharB4_2) Portrait(cr, 240, 400, Hull::kCompact, violet, "EDEN");
  else if (&sheet == &kSheetWall) { *mode = KeyMode::kSprite; Wall(cr); }
  else if (&sheet == &kSheetStClearBack) StageClearBack(cr);
  else if (&sheet == &kSheetStClearWaku) { *mode = KeyMode::kSprite; StageClearFrame(cr); }
  else if (&sheet == &kSheetEndBack) EndBack(cr);
  else if (&sheet == &kSheetRoll) { *mode = KeyMode::kSprite; Roll(cr); }
  else if (&sheet == &kSheetReplayBack) { *mode = KeyMode::kSprite; ReplayBack(cr); }
  else if (&sheet == &kSheetGameOver) { *mode = KeyMode::kSprite; GameOver(canvas); }
  else return false;
  return true;
}
