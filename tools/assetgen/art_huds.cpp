// HUD, menu and banner pictures, and the 12x16 bitmap font.
#include <cmath>
#include <string>

#include "art.h"
#include "craft.h"
#include "rng.h"

namespace {

const Rgb kWhite{1, 1, 1};
const Rgb kInk{0.08, 0.1, 0.22};

void Text(cairo_t* cr, double size, double cx, double cy, double max_w, const std::string& s,
          Rgb fill, double outline = 1.5, Face face = Face::kSansBold) {
  DrawLabel(cr, face, size, cx, cy, max_w, s, fill, Scale(fill, 0.2), outline);
}

void Plate(cairo_t* cr, double x, double y, double w, double h, Rgb color) {
  RoundedRect(cr, x + 1, y + 1, w - 2, h - 2, std::min(6.0, h / 3));
  FillGradient(cr, y, Mix(color, kWhite, 0.25), y + h, Scale(color, 0.5));
  RoundedRect(cr, x + 1, y + 1, w - 2, h - 2, std::min(6.0, h / 3));
  cairo_set_line_width(cr, 1.5);
  SetColor(cr, Mix(color, kWhite, 0.6));
  cairo_stroke(cr);
}

// ---- etc1: score labels, gauges, small marks ----
void Etc1(Canvas& canvas) {
  const SheetLayout& s = kSheetEtc1;
  cairo_t* cr = canvas.cr();
  // 0: name-entry cursor.
  ForEachCellOfRun(canvas, s, 0, [&](cairo_t* c, const CellInfo&) {
    cairo_set_line_width(c, 2);
    SetColor(c, {1.0, 0.9, 0.3});
    cairo_rectangle(c, 1, 1, 14, 14);
    cairo_stroke(c);
  });
  // 1-4: score pop-up labels, four frames each (colour cycling).
  const char* labels[] = {"POWER UP", "BOMB", "EXTEND", "MAX"};
  const Rgb tints[] = {{1.0, 0.5, 0.3}, {0.4, 0.7, 1.0}, {0.4, 1.0, 0.5}, {1.0, 0.9, 0.4}};
  for (int run = 1; run <= 4; ++run) {
    ForEachCellOfRun(canvas, s, run, [&](cairo_t* c, const CellInfo& cell) {
      Rgb color = Mix(tints[run - 1], kWhite, cell.index * 0.2);
      Text(c, 12, cell.rect.width / 2.0, 8, cell.rect.width - 2, labels[run - 1], color, 1.0);
    });
  }
  // 5: the pop-up backdrop.
  ForEachCellOfRun(canvas, s, 5, [&](cairo_t* c, const CellInfo&) {
    Glow(c, 60, 20, 58, {0.3, 0.5, 1.0}, 0.45);
    cairo_set_line_width(c, 1.5);
    cairo_set_source_rgba(c, 0.6, 0.8, 1.0, 0.9);
    RoundedRect(c, 4, 6, 112, 28, 8);
    cairo_stroke(c);
  });
  // 6: HUD bomb icon.
  ForEachCellOfRun(canvas, s, 6, [&](cairo_t* c, const CellInfo&) {
    Glow(c, 12, 12, 12, {0.3, 0.6, 1.0}, 0.6);
    cairo_arc(c, 12, 13, 7, 0, 2 * M_PI);
    FillGradient(c, 6, {0.6, 0.8, 1.0}, 20, {0.1, 0.3, 0.8});
    Text(c, 9, 12, 13, 10, "B", kWhite, 0.8);
  });
  // 7: two small glows the fighters use.
  ForEachCellOfRun(canvas, s, 7, [&](cairo_t* c, const CellInfo& cell) {
    Glow(c, 12, 12, 12, cell.index ? Rgb{1.0, 0.6, 0.9} : Rgb{0.5, 0.9, 1.0}, 1.0);
    Glow(c, 12, 12, 5, kWhite, 1.0);
  });
  // 8: a 4x4 dot.
  ForEachCellOfRun(canvas, s, 8, [&](cairo_t* c, const CellInfo&) {
    cairo_rectangle(c, 0, 0, 4, 4);
    SetColor(c, kWhite);
    cairo_fill(c);
  });
  // 9: the boss gauge plate. The game draws the bar first, one column at a
  // time at screen (158 + i, 20), then this plate over it at (320, 28): the
  // bar's slot, x 18-341 and y 2-17 of the plate, must stay transparent.
  ForEachCellOfRun(canvas, s, 9, [&](cairo_t* c, const CellInfo&) {
    cairo_set_fill_rule(c, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(c, 0, 0, 360, 20);
    cairo_rectangle(c, 17, 1, 326, 18);
    FillGradient(c, 0, {0.55, 0.6, 0.8}, 20, {0.25, 0.28, 0.45});
    cairo_set_fill_rule(c, CAIRO_FILL_RULE_WINDING);
    // End caps with a red lamp each, and a fine rim around the slot.
    for (double x : {8.5, 351.5}) {
      cairo_arc(c, x, 10, 4, 0, 2 * M_PI);
      SetColor(c, {1.0, 0.35, 0.25});
      cairo_fill(c);
      cairo_arc(c, x - 1, 9, 1.5, 0, 2 * M_PI);
      SetColor(c, {1.0, 0.85, 0.8});
      cairo_fill(c);
    }
    cairo_set_line_width(c, 1);
    SetColor(c, {0.85, 0.9, 1.0});
    cairo_rectangle(c, 16.5, 0.5, 327, 19);
    cairo_stroke(c);
    // Nothing may be left inside the slot, not even anti-aliasing.
    cairo_rectangle(c, 18, 2, 324, 16);
    cairo_set_operator(c, CAIRO_OPERATOR_CLEAR);
    cairo_fill(c);
    cairo_set_operator(c, CAIRO_OPERATOR_OVER);
  });
  // 10: phase mark.
  ForEachCellOfRun(canvas, s, 10, [&](cairo_t* c, const CellInfo&) {
    cairo_move_to(c, 8, 1);
    cairo_line_to(c, 15, 8);
    cairo_line_to(c, 8, 15);
    cairo_line_to(c, 1, 8);
    cairo_close_path(c);
    SetColor(c, {1.0, 0.85, 0.3});
    cairo_fill(c);
  });
  // 11: sixteen frames of one gauge column, colours cycling.
  ForEachCellOfRun(canvas, s, 11, [&](cairo_t* c, const CellInfo& cell) {
    double phase = cell.index / 16.0 * 2 * M_PI;
    Rgb a{1.0, 0.3 + 0.2 * std::sin(phase), 0.2}, b{1.0, 0.8, 0.3 + 0.2 * std::cos(phase)};
    cairo_rectangle(c, 0, 0, 1, 16);
    FillGradient(c, 0, b, 16, a);
  });
  // 12: ranking row plate.
  ForEachCellOfRun(canvas, s, 12, [&](cairo_t* c, const CellInfo&) {
    Plate(c, 0, 0, 336, 72, {0.2, 0.3, 0.6});
  });
  // 13: title-screen mark.
  ForEachCellOfRun(canvas, s, 13, [&](cairo_t* c, const CellInfo&) {
    Glow(c, 8, 8, 8, {0.5, 0.8, 1.0}, 1.0);
    Glow(c, 8, 8, 3, kWhite, 1.0);
  });
  // 14: a 2x8 tick.
  ForEachCellOfRun(canvas, s, 14, [&](cairo_t* c, const CellInfo&) {
    cairo_rectangle(c, 0, 0, 2, 8);
    SetColor(c, kWhite);
    cairo_fill(c);
  });
  // 15-17: the enemy HP gauge: frame, fill, back.
  ForEachCellOfRun(canvas, s, 15, [&](cairo_t* c, const CellInfo&) {
    cairo_set_line_width(c, 1);
    SetColor(c, {0.8, 0.85, 0.95});
    cairo_rectangle(c, 0.5, 0.5, 63, 7);
    cairo_stroke(c);
  });
  ForEachCellOfRun(canvas, s, 16, [&](cairo_t* c, const CellInfo&) {
    cairo_rectangle(c, 0, 0, 56, 4);
    SetColor(c, {0.3, 1.0, 0.4});
    cairo_fill(c);
  });
  ForEachCellOfRun(canvas, s, 17, [&](cairo_t* c, const CellInfo&) {
    cairo_rectangle(c, 0, 0, 56, 4);
    SetColor(c, {0.5, 0.1, 0.1});
    cairo_fill(c);
  });
  (void)cr;
}

// ---- start.dat: titles, stage words, mode names, banners ----
void Start(Canvas& canvas) {
  const SheetLayout& s = kSheetStart;
  cairo_t* cr = canvas.cr();
  const Rgb gold{1.0, 0.8, 0.35}, sky{0.5, 0.8, 1.0};
  // The stage title word (sliced into 144 columns) and its digits.
  Text(cr, 40, 72, 24, 140, "STAGE", gold, 2, Face::kSerifBold);
  ForEachCellOfRun(canvas, s, 6, [&](cairo_t* c, const CellInfo& cell) {
    Text(c, 40, 16, 24, 30, std::to_string(cell.index + 1), gold, 2, Face::kSerifBold);
  });
  // Title plate behind the stage title and the fighter-select bottom.
  ForEachCellOfRun(canvas, s, 4, [&](cairo_t* c, const CellInfo&) {
    cairo_rectangle(c, 0, 8, 360, 32);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 360, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, 0.1, 0.2, 0.5, 0);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 0.2, 0.35, 0.8, 0.85);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.1, 0.2, 0.5, 0);
    cairo_set_source(c, p);
    cairo_fill(c);
    cairo_pattern_destroy(p);
    cairo_set_line_width(c, 1);
    SetColor(c, {0.6, 0.8, 1.0});
    cairo_move_to(c, 20, 8.5);
    cairo_line_to(c, 340, 8.5);
    cairo_move_to(c, 20, 39.5);
    cairo_line_to(c, 340, 39.5);
    cairo_stroke(c);
  });
  auto title = [&](int run, const char* text) {
    ForEachCellOfRun(canvas, s, run, [&](cairo_t* c, const CellInfo& cell) {
      Text(c, 30, cell.rect.width / 2.0, cell.rect.height / 2.0, cell.rect.width - 10, text, sky, 2,
           Face::kSerifBold);
    });
  };
  title(7, "SELECT FIGHTER");
  title(8, "SELECT MODE");
  title(1, "STAGE CLEAR");
  // Mode names; the ranking title shares its left part with the fourth.
  const char* modes[] = {"HEAVEN", "ORIGINAL", "HELL"};
  const Rgb mode_colors[] = {{0.5, 1.0, 0.7}, {0.5, 0.8, 1.0}, {1.0, 0.4, 0.3}};
  for (int i = 0; i < 3; ++i) {
    ForEachCellOfRun(canvas, s, 9 + i, [&](cairo_t* c, const CellInfo&) {
      Text(c, 24, 80, 16, 150, modes[i], mode_colors[i], 2);
    });
  }
  ForEachCellOfRun(canvas, s, 13, [&](cairo_t* c, const CellInfo&) {
    Text(c, 26, 128, 16, 240, "RANKING", gold, 2, Face::kSerifBold);
  });
  // AUTO GUARD mark: drawn over the HUD's first life icons and beside the
  // ranking's fighter icon (which ends 26 pixels into it), so it is two
  // lines of small letters in its right part, and nothing else.
  ForEachCellOfRun(canvas, s, 0, [&](cairo_t* c, const CellInfo&) {
    const Rgb lime{0.7, 1.0, 0.45};
    Text(c, 8, 47, 4.5, 34, "AUTO", lime, 1.0);
    Text(c, 8, 47, 11.5, 34, "GUARD", lime, 1.0);
  });
  // The demo banner, sliced into 2-pixel columns.
  Text(cr, 26, 126, 384, 240, "DEMO PLAY", {1.0, 0.6, 0.9}, 2, Face::kSerifBold);
  // Clear marks per mode: a column for mark 1 and one for mark 2.
  const char* marks[] = {"HEAVEN CLEAR", "ORIGINAL CLEAR", "HELL CLEAR", "ACCEL CLEAR"};
  for (int run = 14; run <= 15; ++run) {
    ForEachCellOfRun(canvas, s, run, [&](cairo_t* c, const CellInfo& cell) {
      Rgb color = run == 14 ? Rgb{0.7, 0.8, 0.9} : gold;
      Plate(c, 0, 0, 160, 16, Scale(color, 0.4));
      Text(c, 10, 80, 8, 150, run == 14 ? marks[cell.index] : std::string("ALL ") + marks[cell.index],
           color, 0.8);
    });
  }
}

// ---- the WARNING banner ----
void Warning(Canvas& canvas) {
  // Four frames of 272x64, the text pulsing from red to white.
  for (int k = 0; k < 4; ++k) {
    cairo_t* cr = canvas.cr();
    Rgb color = Mix({1.0, 0.2, 0.15}, {1.0, 0.8, 0.7}, k / 3.0);
    Text(cr, 54, 136, 64 * k + 32, 264, "WARNING", color, 2.5, Face::kSerifBold);
  }
}

void Warning2(Canvas& canvas) {
  cairo_t* cr = canvas.cr();
  // The bar: hazard stripes (red and amber; black would not draw).
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, 180, 128);
  cairo_clip(cr);
  cairo_rectangle(cr, 0, 0, 180, 128);
  SetColor(cr, {0.45, 0.05, 0.05});
  cairo_fill(cr);
  for (int i = -8; i < 14; ++i) {
    cairo_move_to(cr, i * 24, 0);
    cairo_line_to(cr, i * 24 + 12, 0);
    cairo_line_to(cr, i * 24 + 12 + 128, 128);
    cairo_line_to(cr, i * 24 + 128, 128);
    cairo_close_path(cr);
  }
  SetColor(cr, {1.0, 0.7, 0.1});
  cairo_fill(cr);
  cairo_restore(cr);
  // The 25 stripes scroll as one 296x100 picture.
  cairo_save(cr);
  cairo_rectangle(cr, 0, 128, 296, 100);
  cairo_clip(cr);
  for (int i = 0; i < 25; ++i) {
    cairo_rectangle(cr, 0, 128 + i * 4, 296, 2);
    SetColor(cr, Mix({0.9, 0.1, 0.1}, {1.0, 0.5, 0.2}, (i % 5) / 4.0), 0.85);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void Life(Canvas& canvas) {
  ForEachCell(canvas, kSheetLife, [&](cairo_t* cr, const CellInfo& cell) {
    double pulse = 0.5 + 0.5 * std::sin(cell.index / 12.0 * 2 * M_PI);
    Glow(cr, 16, 16, 15, {0.3, 0.6, 1.0}, 0.3 + 0.4 * pulse);
    cairo_translate(cr, 16, 16);
    CraftLook look{Hull::kArrow, {{0.6, 0.7, 0.9}, {0.3, 0.45, 0.85}, {0.5, 0.9, 1.0}, {0.5, 0.8, 1.0}}};
    look.flicker = pulse;
    DrawCraft(cr, look, 22, 26);
  });
}

void Shield(Canvas& canvas, const SheetLayout& sheet) {
  ForEachCell(canvas, sheet, [&](cairo_t* cr, const CellInfo& cell) {
    double s = cell.rect.width;
    double phase = cell.count > 1 ? static_cast<double>(cell.index) / cell.count : 0;
    cairo_translate(cr, s / 2, s / 2);
    cairo_arc(cr, 0, 0, s * 0.46, 0, 2 * M_PI);
    cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, s * 0.2, 0, 0, s * 0.46);
    cairo_pattern_add_color_stop_rgba(p, 0, 0.3, 0.7, 1.0, 0.1);
    cairo_pattern_add_color_stop_rgba(p, 0.85, 0.4, 0.8, 1.0, 0.55);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.8, 0.95, 1.0, 0.9);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_rotate(cr, phase * 2 * M_PI / 6);
    cairo_set_line_width(cr, 1.2);
    cairo_set_source_rgba(cr, 0.8, 0.95, 1.0, 0.7);
    for (int i = 0; i < 6; ++i) {
      double a = i * M_PI / 3;
      cairo_move_to(cr, std::cos(a) * s * 0.2, std::sin(a) * s * 0.2);
      cairo_line_to(cr, std::cos(a) * s * 0.44, std::sin(a) * s * 0.44);
    }
    cairo_stroke(cr);
  });
}

void Atari(Canvas& canvas) {
  ForEachCell(canvas, kSheetAtari, [&](cairo_t* cr, const CellInfo& cell) {
    cairo_translate(cr, 8, 8);
    Glow(cr, 0, 0, 8, {1.0, 0.3, 0.3}, 0.9);
    cairo_arc(cr, 0, 0, 3, 0, 2 * M_PI);
    SetColor(cr, kWhite);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.2);
    cairo_set_source_rgba(cr, 1, 0.8, 0.8, 0.9);
    double a = cell.index * M_PI / 8;
    cairo_arc(cr, 0, 0, 6, a, a + M_PI / 2);
    cairo_stroke(cr);
    cairo_arc(cr, 0, 0, 6, a + M_PI, a + 1.5 * M_PI);
    cairo_stroke(cr);
  });
}

void Cursor2(Canvas& canvas) {
  cairo_t* cr = canvas.cr();
  cairo_translate(cr, 32, 32);
  cairo_set_line_width(cr, 3);
  SetColor(cr, {1.0, 0.85, 0.3});
  for (int i = 0; i < 4; ++i) {
    cairo_arc(cr, 0, 0, 26, i * M_PI / 2 + 0.2, i * M_PI / 2 + M_PI / 2 - 0.2);
    cairo_stroke(cr);
  }
  Glow(cr, 0, -28, 5, kWhite, 1.0);
}

void Cursor1(Canvas& canvas) {
  cairo_t* cr = canvas.cr();
  cairo_rectangle(cr, 0, 112, 360, 16);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 360, 0);
  cairo_pattern_add_color_stop_rgba(p, 0, 0.2, 0.5, 1.0, 0);
  cairo_pattern_add_color_stop_rgba(p, 0.5, 0.4, 0.7, 1.0, 0.85);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.2, 0.5, 1.0, 0);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void PSel(Canvas& canvas) {
  cairo_t* cr = canvas.cr();
  Plate(cr, 0, 0, 144, 288, {0.15, 0.25, 0.5});
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 0.6, 0.8, 1.0, 0.5);
  for (int y = 24; y < 288; y += 24) {
    cairo_move_to(cr, 8, y + 0.5);
    cairo_line_to(cr, 136, y + 0.5);
  }
  cairo_stroke(cr);
}

void NamePlate(Canvas& canvas, const char* name, Rgb color) {
  cairo_t* cr = canvas.cr();
  double w = canvas.width(), h = canvas.height();
  Plate(cr, 0, 0, w, h, Scale(color, 0.4));
  Text(cr, h * 0.6, w / 2, h / 2, w - 16, name, Mix(color, kWhite, 0.3), 2, Face::kSerifBold);
}

void Stripes(Canvas& canvas) {
  // Chevrons with a period that divides 384, so the scrolling copies join.
  for (int row = 0; row < 2; ++row) {
    cairo_t* cr = canvas.cr();
    Rgb color = row == 0 ? Rgb{0.3, 0.6, 1.0} : Rgb{1.0, 0.6, 0.3};
    double y = row * 16;
    cairo_save(cr);
    cairo_rectangle(cr, 0, y, 384, 16);
    cairo_clip(cr);
    cairo_rectangle(cr, 0, y + 2, 384, 12);
    SetColor(cr, Scale(color, 0.35));
    cairo_fill(cr);
    for (int x = -32; x < 384 + 32; x += 32) {
      cairo_move_to(cr, x, y + 2);
      cairo_line_to(cr, x + 10, y + 2);
      cairo_line_to(cr, x + 18, y + 8);
      cairo_line_to(cr, x + 10, y + 14);
      cairo_line_to(cr, x, y + 14);
      cairo_line_to(cr, x + 8, y + 8);
      cairo_close_path(cr);
    }
    SetColor(cr, color);
    cairo_fill(cr);
    cairo_restore(cr);
  }
}

void ModeDescriptions(Canvas& canvas) {
  const char* titles[] = {"HEAVEN", "ORIGINAL", "HELL", "ACCEL"};
  const char* lines[][2] = {{"FOR NEW PILOTS.", "FEWER, SLOWER BULLETS."},
                            {"THE GAME AS IT WAS MEANT.", "A FAIR, STEADY CHALLENGE."},
                            {"DENSE FIRE EVERYWHERE.", "SOMETHING WAITS BEYOND."},
                            {"BULLETS SPEED UP", "AS THEY FLY."}};
  const Rgb colors[] = {{0.5, 1.0, 0.7}, {0.5, 0.8, 1.0}, {1.0, 0.4, 0.3}, {1.0, 0.85, 0.3}};
  ForEachCell(canvas, kSheetEtc4, [&](cairo_t* cr, const CellInfo& cell) {
    int i = cell.index;
    Plate(cr, 0, 0, 272, 80, Scale(colors[i], 0.3));
    Text(cr, 18, 136, 18, 250, titles[i], colors[i], 1.5, Face::kSerifBold);
    Text(cr, 13, 136, 44, 256, lines[i][0], kWhite, 1.0);
    Text(cr, 13, 136, 62, 256, lines[i][1], kWhite, 1.0);
  });
}

void Etc5(Canvas& canvas) {
  cairo_t* cr = canvas.cr();
  Glow(cr, 40, 24, 40, {0.3, 1.0, 0.5}, 0.4);
  Text(cr, 16, 40, 16, 76, "AUTO", {0.6, 1.0, 0.7}, 1.5);
  Text(cr, 16, 40, 34, 76, "GUARD", {0.6, 1.0, 0.7}, 1.5);
}

void Etc6(Canvas& canvas) {
  cairo_t* cr = canvas.cr();
  cairo_rectangle(cr, 0, 2, 324, 4);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 324, 0);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.2, 0.4, 0.9);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.9, 0.5, 1.0);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// ---- the 12x16 font ----
void Font(Canvas& canvas) {
  // Style 0 white to blue, 1 gold (scores), 2 green, 3 orange.
  const Rgb top[] = {{1.0, 1.0, 1.0}, {1.0, 0.95, 0.6}, {0.8, 1.0, 0.8}, {1.0, 0.8, 0.5}};
  const Rgb bottom[] = {{0.55, 0.75, 1.0}, {1.0, 0.65, 0.1}, {0.3, 0.9, 0.4}, {1.0, 0.35, 0.15}};
  for (const FontGlyphRun& g : FontGlyphRuns()) {
    ForEachCellOfRun(canvas, kSheetFont, g.run, [&](cairo_t* cr, const CellInfo& cell) {
      std::string ch(1, g.chars[cell.index]);
      double adv = TextWidth(cr, Face::kMonoBold, 14, ch);
      cairo_move_to(cr, (12 - adv) / 2, 13);
      cairo_text_path(cr, ch.c_str());
      FillGradient(cr, 2, top[g.style], 14, bottom[g.style]);
    });
  }
}

}  // namespace

bool PaintHudSheet(Canvas& canvas, const SheetLayout& sheet, KeyMode* mode) {
  *mode = KeyMode::kSprite;
  if (&sheet == &kSheetEtc1) Etc1(canvas);
  else if (&sheet == &kSheetStart) Start(canvas);
  else if (&sheet == &kSheetWarning) Warning(canvas);
  else if (&sheet == &kSheetWarning2) Warning2(canvas);
  else if (&sheet == &kSheetLife) Life(canvas);
  else if (&sheet == &kSheetShield1 || &sheet == &kSheetShield2) Shield(canvas, sheet);
  else if (&sheet == &kSheetAtari) Atari(canvas);
  else if (&sheet == &kSheetCursor1) Cursor1(canvas);
  else if (&sheet == &kSheetCursor2) Cursor2(canvas);
  else if (&sheet == &kSheetPSel) PSel(canvas);
  else if (&sheet == &kSheetCharF1) NamePlate(canvas, "SOLM", {0.4, 0.6, 1.0});
  else if (&sheet == &kSheetCharF2) NamePlate(canvas, "HOPE", {1.0, 0.4, 0.35});
  else if (&sheet == &kSheetCharF3) NamePlate(canvas, "PEACE", {0.4, 1.0, 0.5});
  else if (&sheet == &kSheetCharF4) NamePlate(canvas, "EDEN", {1.0, 0.85, 0.4});
  else if (&sheet == &kSheetEtc3) Stripes(canvas);
  else if (&sheet == &kSheetEtc4) ModeDescriptions(canvas);
  else if (&sheet == &kSheetEtc5) Etc5(canvas);
  else if (&sheet == &kSheetEtc6) Etc6(canvas);
  else if (&sheet == &kSheetFont) Font(canvas);
  else return false;
  return true;
}
