// The five fighters with their banking frames, and their option pods.
#include <cmath>
#include <cstring>
#include <string>

#include "art.h"
#include "craft.h"

namespace {

struct FighterArt {
  const SheetLayout* sheet;
  Hull hull;
  Palette colors;
  int banks;  // frames across a row, level in the middle
};

const Palette kBlue{{0.55, 0.65, 0.85}, {0.25, 0.4, 0.8}, {0.4, 0.9, 1.0}, {0.4, 0.7, 1.0}};
const Palette kBlue2{{0.85, 0.85, 0.9}, {0.2, 0.25, 0.45}, {1.0, 0.6, 0.3}, {0.5, 0.8, 1.0}};
const Palette kRed{{0.9, 0.88, 0.85}, {0.85, 0.2, 0.2}, {0.3, 0.6, 1.0}, {1.0, 0.6, 0.2}};
const Palette kRed2{{0.35, 0.35, 0.4}, {0.9, 0.45, 0.1}, {1.0, 0.9, 0.3}, {1.0, 0.5, 0.2}};
const Palette kGreen{{0.55, 0.8, 0.55}, {0.2, 0.55, 0.35}, {1.0, 0.85, 0.3}, {0.5, 1.0, 0.6}};
const Palette kGreen2{{0.8, 0.75, 0.55}, {0.45, 0.5, 0.25}, {0.4, 1.0, 0.9}, {0.8, 1.0, 0.4}};
const Palette kGold{{0.95, 0.8, 0.4}, {0.7, 0.45, 0.15}, {0.4, 0.9, 1.0}, {1.0, 0.85, 0.4}};
const Palette kViolet{{0.75, 0.6, 0.95}, {0.45, 0.25, 0.7}, {1.0, 0.5, 0.9}, {0.9, 0.5, 1.0}};

const FighterArt kFighters[] = {
    {&kSheetChar1, Hull::kArrow, kBlue, 7},       {&kSheetChar1_2, Hull::kArrow, kBlue2, 7},
    {&kSheetChar2, Hull::kForward, kRed, 7},      {&kSheetChar2_2, Hull::kForward, kRed2, 7},
    {&kSheetChar3, Hull::kDelta, kGreen, 7},      {&kSheetChar3_2, Hull::kDelta, kGreen2, 7},
    {&kSheetChar4, Hull::kTwinBoom, kGold, 7},    {&kSheetChar5, Hull::kCompact, kViolet, 13},
};

struct OptionArt {
  const SheetLayout* sheet;
  Palette colors;
  int sides;
};
const OptionArt kOptions[] = {
    {&kSheetCharO1, kBlue, 3},   {&kSheetCharO1_2, kBlue2, 3}, {&kSheetCharO2, kRed, 4},
    {&kSheetCharO2_2, kRed2, 4}, {&kSheetCharO3, kGreen, 6},   {&kSheetCharO3_2, kGreen2, 6},
    {&kSheetCharO4, kGold, 5},   {&kSheetCharO5, kViolet, 8},
};

void PaintFighter(Canvas& canvas, const FighterArt& art) {
  const SheetLayout& sheet = *art.sheet;
  ForEachCell(canvas, sheet, [&](cairo_t* cr, const CellInfo& cell) {
    double w = cell.rect.width, h = cell.rect.height;
    cairo_translate(cr, w / 2, h / 2);
    CraftLook look{art.hull, art.colors};
    look.detail = cell.global;
    if (cell.run == static_cast<int>(sheet.runs.size()) - 1) {
      // The HUD icon is an animation cell already painted.
      return;
    }
    const CellRun& run = sheet.runs[cell.run];
    if (art.banks == 13 && cell.run > 0) {
      // Fighter 5's level form (run 1) and its four bomb forms (run 2):
      // the craft wrapped in a growing energy shell.
      int form = cell.run == 1 ? 0 : cell.index;
      Glow(cr, 0, 0, w * (0.35 + 0.08 * form), art.colors.engine, 0.5 + 0.1 * form);
      look.flicker = 1.0;
      DrawCraft(cr, look, w * 0.82, h * 0.82);
      if (cell.run == 2) {
        cairo_set_line_width(cr, 1.5);
        cairo_set_source_rgba(cr, 1, 0.8, 1, 0.8);
        cairo_arc(cr, 0, 0, w * (0.3 + 0.05 * form), 0, 2 * M_PI);
        cairo_stroke(cr);
      }
      return;
    }
    int bank_index = (cell.global % run.per_row) % art.banks;
    int row = cell.global / run.per_row;
    int mid = art.banks / 2;
    look.bank = static_cast<double>(bank_index - mid) / mid;
    look.flicker = (row % 2 == 0) ? 0.6 : 1.0;
    DrawCraft(cr, look, w * 0.86, h * 0.84);
  });
}

void PaintOption(Canvas& canvas, const OptionArt& art) {
  ForEachCell(canvas, *art.sheet, [&](cairo_t* cr, const CellInfo& cell) {
    double s = cell.rect.width;
    cairo_translate(cr, s / 2, s / 2);
    double phase = static_cast<double>(cell.index) / cell.count;
    Glow(cr, 0, 0, s * 0.48, art.colors.engine, 0.55);
    cairo_save(cr);
    cairo_rotate(cr, phase * 2 * M_PI);
    for (int i = 0; i < art.sides; ++i) {
      double a = 2 * M_PI * i / art.sides;
      cairo_move_to(cr, std::cos(a) * s * 0.36, std::sin(a) * s * 0.36);
      cairo_line_to(cr, std::cos(a + 0.35) * s * 0.18, std::sin(a + 0.35) * s * 0.18);
      cairo_line_to(cr, std::cos(a - 0.35) * s * 0.18, std::sin(a - 0.35) * s * 0.18);
      cairo_close_path(cr);
    }
    SetColor(cr, art.colors.trim);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_arc(cr, 0, 0, s * 0.2, 0, 2 * M_PI);
    SetColor(cr, art.colors.hull);
    cairo_fill(cr);
    Glow(cr, 0, 0, s * 0.15, {1, 1, 1}, 0.9);
  });
}

}  // namespace

bool PaintFighterSheet(Canvas& canvas, const SheetLayout& sheet, KeyMode* mode) {
  *mode = KeyMode::kSprite;
  for (const FighterArt& art : kFighters) {
    if (art.sheet == &sheet) {
      PaintFighter(canvas, art);
      return true;
    }
  }
  for (const OptionArt& art : kOptions) {
    if (art.sheet == &sheet) {
      PaintOption(canvas, art);
      return true;
    }
  }
  return false;
}
