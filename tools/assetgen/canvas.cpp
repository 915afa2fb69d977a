#include "canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <utility>

Canvas::Canvas(int width, int height) : width_(width), height_(height) {
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cr_ = cairo_create(surface_);
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GOOD);
}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

Picture Canvas::Finish(KeyMode mode) {
  cairo_surface_flush(surface_);
  Picture out;
  out.width = width_;
  out.height = height_;
  out.rgb.resize(static_cast<size_t>(width_) * height_ * 3);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  int stride = cairo_image_surface_get_stride(surface_);
  for (int y = 0; y < height_; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < width_; ++x) {
      // Premultiplied ARGB: the colour as composed over black, which is
      // what the transparent background is.
      uint32_t p = row[x];
      int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      if (mode == KeyMode::kStraight) {
        const int a = static_cast<int>(p >> 24);
        if (a < kStraightCut) {
          r = g = b = 0;
        } else {
          r = std::min(255, (r * 255 + a / 2) / a);
          g = std::min(255, (g * 255 + a / 2) / a);
          b = std::min(255, (b * 255 + a / 2) / a);
        }
      }
      int top = std::max({r, g, b});
      if (mode == KeyMode::kGlow && top < kGlowCut) {
        r = g = b = 0;
      } else if (top < kMinVisible) {
        if (mode == KeyMode::kSprite || mode == KeyMode::kStraight) {
          r = g = b = 0;
        } else {
          // Lift to a dark blue-grey that still draws.
          r = std::max(r, 10);
          g = std::max(g, 10);
          b = kMinVisible;
        }
      }
      uint8_t* o = out.At(x, y);
      o[0] = static_cast<uint8_t>(r);
      o[1] = static_cast<uint8_t>(g);
      o[2] = static_cast<uint8_t>(b);
    }
  }
  return out;
}

namespace {

void PaintCell(Canvas& canvas, const CellInfo& info,
               const std::function<void(cairo_t*, const CellInfo&)>& paint) {
  cairo_t* cr = canvas.cr();
  cairo_save(cr);
  cairo_rectangle(cr, info.rect.x, info.rect.y, info.rect.width, info.rect.height);
  cairo_clip(cr);
  cairo_translate(cr, info.rect.x, info.rect.y);
  paint(cr, info);
  cairo_restore(cr);
}

void VisitCells(Canvas& canvas, const SheetLayout& sheet, int only_run,
                const std::function<void(cairo_t*, const CellInfo&)>& paint) {
  std::set<std::pair<std::pair<int, int>, std::pair<int, int>>> done;
  int global = 0;
  for (int r = 0; r < static_cast<int>(sheet.runs.size()); ++r) {
    const CellRun& run = sheet.runs[r];
    for (int i = 0; i < run.count; ++i, ++global) {
      if (only_run >= 0 && r != only_run) continue;
      CellRect rect = CellOfRun(run, i);
      if (rect.x < 0 || rect.y < 0 || rect.x + rect.width > sheet.width ||
          rect.y + rect.height > sheet.height) {
        continue;
      }
      if (!done.insert({{rect.x, rect.y}, {rect.width, rect.height}}).second) continue;
      PaintCell(canvas, CellInfo{r, i, run.count, global, rect}, paint);
    }
  }
}

FT_Library FreeType() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    return lib;
  }();
  return library;
}

const char* FacePath(Face face) {
  switch (face) {
    case Face::kSansBold:
      return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    case Face::kMonoBold:
      return "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
    case Face::kSerifBold:
      return "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";
    case Face::kGothic:
      return "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  }
  return "";
}

// Faces live for the whole run of the generator.
cairo_font_face_t* CairoFace(Face face) {
  // Sheets are painted on several threads at once; faces are made once.
  static std::mutex made;
  const std::lock_guard<std::mutex> hold(made);
  static cairo_font_face_t* faces[4] = {};
  int i = static_cast<int>(face);
  if (faces[i] == nullptr) {
    FT_Face ft = nullptr;
    if (FreeType() == nullptr || FT_New_Face(FreeType(), FacePath(face), 0, &ft) != 0) {
      std::fprintf(stderr, "assetgen: cannot open font %s, using cairo's default\n",
                   FacePath(face));
      faces[i] =
          cairo_toy_font_face_create("sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    } else {
      faces[i] = cairo_ft_font_face_create_for_ft_face(ft, 0);
    }
  }
  return faces[i];
}

void UseFace(cairo_t* cr, Face face, double size) {
  cairo_set_font_face(cr, CairoFace(face));
  cairo_set_font_size(cr, size);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

}  // namespace

void ForEachCell(Canvas& canvas, const SheetLayout& sheet,
                 const std::function<void(cairo_t*, const CellInfo&)>& paint) {
  VisitCells(canvas, sheet, -1, paint);
}

void ForEachCellOfRun(Canvas& canvas, const SheetLayout& sheet, int run,
                      const std::function<void(cairo_t*, const CellInfo&)>& paint) {
  VisitCells(canvas, sheet, run, paint);
}

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb Scale(Rgb a, double k) { return {a.r * k, a.g * k, a.b * k}; }
void SetColor(cairo_t* cr, Rgb c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

double DrawText(cairo_t* cr, Face face, double size, double x, double y, const std::string& text) {
  UseFace(cr, face, size);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, text.c_str(), &ext);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, text.c_str());
  return ext.x_advance;
}

double TextWidth(cairo_t* cr, Face face, double size, const std::string& text) {
  UseFace(cr, face, size);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, text.c_str(), &ext);
  return ext.x_advance;
}

void DrawLabel(cairo_t* cr, Face face, double size, double cx, double cy, double max_width,
               const std::string& text, Rgb fill, Rgb outline, double outline_width) {
  UseFace(cr, face, size);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, text.c_str(), &ext);
  double squeeze = 1.0;
  if (max_width > 0 && ext.width > max_width) squeeze = max_width / ext.width;
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, squeeze, 1.0);
  cairo_move_to(cr, -(ext.x_bearing + ext.width / 2), -(ext.y_bearing + ext.height / 2));
  cairo_text_path(cr, text.c_str());
  if (outline_width > 0) {
    SetColor(cr, outline);
    cairo_set_line_width(cr, outline_width * 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
  }
  FillGradient(cr, ext.y_bearing, Mix(fill, {1, 1, 1}, 0.45), ext.y_bearing + ext.height, fill);
  cairo_restore(cr);
}

void FillGradient(cairo_t* cr, double y0, Rgb top, double y1, Rgb bottom) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(p, 1, bottom.r, bottom.g, bottom.b);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  r = std::min({r, w / 2, h / 2});
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void Glow(cairo_t* cr, double cx, double cy, double radius, Rgb color, double alpha) {
  if (radius <= 0) return;
  cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
  cairo_pattern_add_color_stop_rgba(p, 0, color.r, color.g, color.b, alpha);
  cairo_pattern_add_color_stop_rgba(p, 0.4, color.r, color.g, color.b, alpha * 0.6);
  cairo_pattern_add_color_stop_rgba(p, 1, color.r, color.g, color.b, 0);
  cairo_set_source(cr, p);
  cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

namespace {

void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void FlushNothing(png_structp) {}

struct ReadState {
  const std::vector<uint8_t>* bytes;
  size_t pos;
};
void ReadFromVector(png_structp png, png_bytep data, png_size_t length) {
  auto* s = static_cast<ReadState*>(png_get_io_ptr(png));
  if (s->pos + length > s->bytes->size()) png_error(png, "truncated");
  std::memcpy(data, s->bytes->data() + s->pos, length);
  s->pos += length;
}
void SilentWarning(png_structp, png_const_charp) {}

}  // namespace

std::vector<uint8_t> EncodePng(const Picture& picture) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, WriteToVector, FlushNothing);
  png_set_compression_level(png, 6);
  png_set_IHDR(png, info, picture.width, picture.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < picture.height; ++y) {
    png_write_row(png, const_cast<png_bytep>(picture.At(0, y)));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

bool DecodePng(const std::vector<uint8_t>& bytes, Picture* out) {
  if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, SilentWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  ReadState state{&bytes, 0};
  Picture result;
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &state, ReadFromVector);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_strip_alpha(png);
  png_set_gray_to_rgb(png);
  png_read_update_info(png, info);
  result.width = static_cast<int>(png_get_image_width(png, info));
  result.height = static_cast<int>(png_get_image_height(png, info));
  if (result.width <= 0 || result.height <= 0 || result.width > 16384 || result.height > 16384 ||
      png_get_rowbytes(png, info) != static_cast<size_t>(result.width) * 3) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  result.rgb.resize(static_cast<size_t>(result.width) * result.height * 3);
  rows.resize(result.height);
  for (int y = 0; y < result.height; ++y) rows[y] = result.At(0, y);
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  *out = std::move(result);
  return true;
}
