// Drawing surface of one sheet: a cairo image the painters draw into, and
// its conversion to the colour-keyed RGB picture the game loads.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shell/sheet_layout.h"

// How dark pixels are treated when the picture is finished. The game draws
// everything with black as the transparent colour, and on a 16-bit screen
// any colour that packs to 0 in 5-6-5 turns transparent too.
enum class KeyMode {
  kSprite,  // near-black becomes exactly black: transparent
  kOpaque,  // near-black is lifted so that every pixel is drawn
  // Light drawn over the field (fire, glows): the dim rim of a glow, which
  // the game would draw as a dark fringe, becomes transparent too.
  kGlow,
  // Opaque shapes drawn whole over the field (shots, orbs): a pixel the
  // shape covers at least half keeps the shape's own colour, the rest is
  // the key, so the antialiased edge never shows as a darker rim.
  kStraight,
};

// Coverage (0-255) from which a kStraight pixel is drawn.
constexpr int kStraightCut = 128;

// Brightest channel below which a kGlow pixel is left out.
constexpr int kGlowCut = 80;

// Packed RGB, 3 bytes a pixel, rows top to bottom.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
  uint8_t* At(int x, int y) { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
  const uint8_t* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

// Smallest channel maximum a drawn pixel keeps.
constexpr int kMinVisible = 16;

class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() { return cr_; }
  int width() const { return width_; }
  int height() const { return height_; }
  Picture Finish(KeyMode mode);

 private:
  int width_;
  int height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

struct CellInfo {
  int run;     // index of the run in the sheet
  int index;   // index within the run
  int count;   // cells in the run
  int global;  // index over the whole sheet
  CellRect rect;
};

// Calls paint once per cell, with the origin moved to the cell's top-left
// corner and drawing clipped to it. Cells cut twice are painted once.
void ForEachCell(Canvas& canvas, const SheetLayout& sheet,
                 const std::function<void(cairo_t*, const CellInfo&)>& paint);
// Same, for the cells of one run only.
void ForEachCellOfRun(Canvas& canvas, const SheetLayout& sheet, int run,
                      const std::function<void(cairo_t*, const CellInfo&)>& paint);

// ---- drawing helpers ----
struct Rgb {
  double r, g, b;
};
Rgb Mix(Rgb a, Rgb b, double t);
Rgb Scale(Rgb a, double k);
void SetColor(cairo_t* cr, Rgb c, double alpha = 1.0);

enum class Face { kSansBold, kMonoBold, kSerifBold, kGothic };
// Text with its left edge at x and its baseline at y; returns its advance.
double DrawText(cairo_t* cr, Face face, double size, double x, double y, const std::string& text);
double TextWidth(cairo_t* cr, Face face, double size, const std::string& text);
// Text centred on (cx, cy), squeezed horizontally to fit max_width if needed,
// with a dark outline so it reads on any background.
void DrawLabel(cairo_t* cr, Face face, double size, double cx, double cy, double max_width,
               const std::string& text, Rgb fill, Rgb outline, double outline_width = 2.0);
// A vertical gradient fill for the current path.
void FillGradient(cairo_t* cr, double y0, Rgb top, double y1, Rgb bottom);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// A soft round glow: colour at the centre fading to nothing at radius.
void Glow(cairo_t* cr, double cx, double cy, double radius, Rgb color, double alpha = 1.0);

// PNG bytes of a picture, 8-bit RGB, the same bytes every run.
std::vector<uint8_t> EncodePng(const Picture& picture);
// Decodes an 8-bit RGB PNG written by EncodePng (or any PNG libpng reads);
// false on damaged input.
bool DecodePng(const std::vector<uint8_t>& bytes, Picture* out);
