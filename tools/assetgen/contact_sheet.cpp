#include "contact_sheet.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "art.h"

namespace {

constexpr int kPageWidth = 2400;
constexpr int kMaxSide = 420;  // sheets are scaled to fit this box
constexpr int kGap = 14;
constexpr int kLabel = 16;

struct Placed {
  const SheetLayout* sheet;
  double scale;
  int x, y, w, h;
};

}  // namespace

std::vector<uint8_t> EncodeContactSheet() {
  std::vector<Placed> placed;
  int x = kGap, y = kGap, row_height = 0;
  for (const SheetLayout* sheet : AllSheets()) {
    double scale = std::min(1.0, static_cast<double>(kMaxSide) / std::max(sheet->width, sheet->height));
    // Tall strips keep some width to stay readable.
    if (sheet->height > 4 * sheet->width) scale = std::min(1.0, 960.0 / sheet->height);
    int w = static_cast<int>(std::ceil(sheet->width * scale));
    int h = static_cast<int>(std::ceil(sheet->height * scale));
    if (x + w + kGap > kPageWidth) {
      x = kGap;
      y += row_height + kLabel + kGap;
      row_height = 0;
    }
    placed.push_back({sheet, scale, x, y, w, h});
    x += std::max(w, 120) + kGap;
    row_height = std::max(row_height, h);
  }
  int page_height = y + row_height + kLabel + kGap;
  Canvas page(kPageWidth, page_height);
  cairo_t* cr = page.cr();
  cairo_set_source_rgb(cr, 0.18, 0.18, 0.2);
  cairo_paint(cr);
  for (const Placed& p : placed) {
    Picture pic = PaintSheet(*p.sheet);
    cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_RGB24, pic.width, pic.height);
    cairo_surface_flush(img);
    unsigned char* data = cairo_image_surface_get_data(img);
    int stride = cairo_image_surface_get_stride(img);
    for (int yy = 0; yy < pic.height; ++yy) {
      uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(yy) * stride);
      for (int xx = 0; xx < pic.width; ++xx) {
        const uint8_t* c = pic.At(xx, yy);
        row[xx] = (uint32_t{c[0]} << 16) | (uint32_t{c[1]} << 8) | c[2];
      }
    }
    cairo_surface_mark_dirty(img);
    cairo_save(cr);
    cairo_translate(cr, p.x, p.y);
    cairo_scale(cr, p.scale, p.scale);
    cairo_set_source_surface(cr, img, 0, 0);
    cairo_paint(cr);
    // The cell grid.
    cairo_set_line_width(cr, 1.0 / p.scale);
    cairo_set_source_rgba(cr, 0.2, 1.0, 0.3, 0.55);
    for (int i = 0; i < CellCount(*p.sheet); ++i) {
      CellRect c = CellOfSheet(*p.sheet, i);
      cairo_rectangle(cr, c.x + 0.5, c.y + 0.5, c.width - 1, c.height - 1);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
    cairo_surface_destroy(img);
    std::string name = p.sheet->path + 4;
    cairo_set_source_rgb(cr, 0.95, 0.95, 0.8);
    DrawText(cr, Face::kSansBold, 11, p.x, p.y + p.h + 12, name);
  }
  return EncodePng(page.Finish(KeyMode::kOpaque));
}
