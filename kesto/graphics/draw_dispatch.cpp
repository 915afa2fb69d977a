#include "graphics/draw_dispatch.h"

#include <algorithm>
#include <cmath>

#include "core/entry_bodies.h"
#include "graphics/device3d_services.h"
#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/movies.h"
#include "graphics/software_draw_services.h"
#include "graphics/surface_2d.h"
#include "graphics/vertex_queue.h"

using platform::video::Rect;

namespace {

// Non-texture graphics draw from their first 2D surface.
int DrawGraphicSoftware(int x, int y, const GraphicRecord& g, int transparent) {
  FlushCurrentVertexBatch();
  return G_DDraw_DrawGraph(x, y, g.part_count > 0 ? g.parts[0] : -1, transparent);
}

bool Subtracting(const GraphicRecord& g) { return g.texture && GetDrawState().blend_mode == 3; }

template <typename Draw>
int Bracketed(const Rect& rect, Draw draw) {
  SubtractModeBegin(rect);
  const int result = draw();
  SubtractModeEnd(rect);
  return result;
}

int RoundToInt(float v) { return static_cast<int>(std::lround(v)); }

// The box a rotated draw covers. Every side is pushed 5 pixels out so the
// inverting boxes cover the sprite's rounded edges as well.
Rect RotatedBounds(int cx, int cy, double scale, double angle, int w, int h) {
  const float sn = std::sin(static_cast<float>(angle)), cs = std::cos(static_cast<float>(angle));
  const int hw = w / 2, hh = h / 2;
  const int px[4] = {-hw, w - hw, -hw, w - hw}, py[4] = {-hh, -hh, h - hh, h - hh};
  float l = 0, t = 0, r = 0, b = 0;
  for (int i = 0; i < 4; ++i) {
    const float x = static_cast<float>(cx + scale * (px[i] * cs - py[i] * sn));
    const float y = static_cast<float>(cy + scale * (px[i] * sn + py[i] * cs));
    l = i ? std::min(l, x) : x;
    r = i ? std::max(r, x) : x;
    t = i ? std::min(t, y) : y;
    b = i ? std::max(b, y) : y;
  }
  return Rect{RoundToInt(l - 5.0f), RoundToInt(t - 5.0f), RoundToInt(r + 5.0f),
              RoundToInt(b + 5.0f)};
}

Rect CornerBounds(const int* xs, const int* ys) {
  return Rect{std::min(*std::min_element(xs, xs + 4), 0xFFFFFF),
              std::min(*std::min_element(ys, ys + 4), 0xFFFFFF),
              std::max(*std::max_element(xs, xs + 4), 0),
              std::max(*std::max_element(ys, ys + 4), 0)};
}

// Steps 1-3 shared by the graphic bodies: 1 to draw, else the result.
int Prepare(int handle, GraphicRecord** out) {
  if (GetDrawState().area_empty) return 0;
  GraphicRecord* g = GetGraphicRecord(handle);
  if (!g) return -1;
  WaitWhileWindowInactive();
  // Graphics may have been deleted while the window waited.
  *out = GetGraphicRecord(handle);
  if (!*out) return -1;
  // A movie graphic shows its newest frame.
  if ((*out)->movie != -1) UpdateMovieFrame(handle);
  return 1;
}

}  // namespace

int BlitGraphicAtBody(int x, int y, int graphic, int transparent) {
  GraphicRecord* g = nullptr;
  if (int r = Prepare(graphic, &g); r != 1) return r;
  if (!g->texture) return DrawGraphicSoftware(x, y, *g, transparent);
  if (!Subtracting(*g)) return G_D3D_DrawGraph(x, y, g, transparent);
  return Bracketed(Rect{x, y, x + g->width, y + g->height},
                   [&] { return G_D3D_DrawGraph(x, y, g, transparent); });
}

int BlitGraphicStretchedBody(int x1, int y1, int x2, int y2, int graphic, int transparent) {
  GraphicRecord* g = nullptr;
  if (int r = Prepare(graphic, &g); r != 1) return r;
  if (!g->texture) return G_DDraw_DrawExtendGraph(x1, y1, x2, y2, g, transparent);
  if (!Subtracting(*g)) return G_D3D_DrawExtendGraph(x1, y1, x2, y2, g, transparent);
  const Rect rect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
  return Bracketed(rect, [&] { return G_D3D_DrawExtendGraph(x1, y1, x2, y2, g, transparent); });
}

int BlitGraphicTurnedBody(int x, int y, int graphic, int transparent) {
  const GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g) return -1;
  return BlitGraphicStretchedBody(x + g->width, y, x, y + g->height, graphic, transparent);
}

int BlitGraphicRotated(int cx, int cy, double scale, double angle, int graphic, int transparent,
                       int turn) {
  GraphicRecord* g = nullptr;
  if (int r = Prepare(graphic, &g); r != 1) return r;
  if (!g->texture) return G_DDraw_DrawRotaGraph(cx, cy, scale, angle, g, transparent, turn);
  if (!Subtracting(*g)) return G_D3D_DrawRotaGraph(cx, cy, scale, angle, g, transparent, turn);
  return Bracketed(RotatedBounds(cx, cy, scale, angle, g->width, g->height), [&] {
    return G_D3D_DrawRotaGraph(cx, cy, scale, angle, g, transparent, turn);
  });
}

int BlitGraphicFourCorners(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                           int graphic, int transparent) {
  GraphicRecord* g = nullptr;
  if (int r = Prepare(graphic, &g); r != 1) return r;
  // The drawers take the bottom corners left first.
  if (!g->texture) return G_DDraw_DrawModiGraph(x1, y1, x2, y2, x4, y4, x3, y3, g, transparent);
  auto draw = [&] { return G_D3D_DrawModiGraph(x1, y1, x2, y2, x4, y4, x3, y3, g, transparent); };
  if (!Subtracting(*g)) return draw();
  const int xs[4] = {x1, x2, x3, x4}, ys[4] = {y1, y2, y3, y4};
  return Bracketed(CornerBounds(xs, ys), draw);
}

int BlitGraphicFourCornersFloat(float x1, float y1, float x2, float y2, float x3, float y3,
                                float x4, float y4, int graphic, int transparent) {
  GraphicRecord* g = nullptr;
  if (int r = Prepare(graphic, &g); r != 1) return r;
  if (!g->texture) {
    return G_DDraw_DrawModiGraphFloat(x1, y1, x2, y2, x4, y4, x3, y3, g, transparent);
  }
  auto draw = [&] {
    return G_D3D_DrawModiGraphParts(x1, y1, x2, y2, x4, y4, x3, y3, g, transparent);
  };
  if (!Subtracting(*g)) return draw();
  const int xs[4] = {RoundToInt(x1), RoundToInt(x2), RoundToInt(x3), RoundToInt(x4)};
  const int ys[4] = {RoundToInt(y1), RoundToInt(y2), RoundToInt(y3), RoundToInt(y4)};
  return Bracketed(CornerBounds(xs, ys), draw);
}

int BlitGraphicSourceRect(int x, int y, int src_x, int src_y, int width, int height, int graphic,
                          int transparent, int turn) {
  DrawState& s = GetDrawState();
  const Rect kept = s.area;
  Rect narrowed{x, y, x + width, y + height};
  ClipRect(&narrowed, kept);
  s.area = narrowed;
  int result;
  if (!turn) {
    result = BlitGraphicAtBody(x - src_x, y - src_y, graphic, transparent);
  } else {
    const GraphicRecord* g = GetGraphicRecord(graphic);
    result = g ? BlitGraphicTurnedBody(x - g->width + src_x + width, y - src_y, graphic,
                                       transparent)
               : -1;
  }
  s.area = kept;
  return result;
}

int SubtractModeBegin(const Rect& rect) {
  DrawState& s = GetDrawState();
  const int white = PackRgbColorBody(255, 255, 255);
  const int brightness = s.brightness;
  s.brightness = -1;
  G_D3D_DrawFillBox(rect.left, rect.top, rect.right, rect.bottom, white);
  SelectBlendMode(5, s.blend_param);
  s.brightness = brightness;
  return 0;
}

int SubtractModeEnd(const Rect& rect) {
  DrawState& s = GetDrawState();
  const int white = PackRgbColorBody(255, 255, 255);
  const int brightness = s.brightness;
  s.brightness = -1;
  SelectBlendMode(3, s.blend_param);
  G_D3D_DrawFillBox(rect.left, rect.top, rect.right, rect.bottom, white);
  s.brightness = brightness;
  return 0;
}

int FillBoxBody(int x1, int y1, int x2, int y2, int color) {
  if (GetDrawState().area_empty) return 0;
  const bool direct3d = IsDirect3DInUse() != 0;
  WaitWhileWindowInactive();
  if (!direct3d) return G_DDraw_DrawFillBox(x1, y1, x2, y2, color);
  if (GetDrawState().blend_mode != 3) return G_D3D_DrawFillBox(x1, y1, x2, y2, color);
  return Bracketed(Rect{x1, y1, x2, y2}, [&] { return G_D3D_DrawFillBox(x1, y1, x2, y2, color); });
}

int OutlineBoxBody(int x1, int y1, int x2, int y2, int color) {
  if (GetDrawState().area_empty) return 0;
  WaitWhileWindowInactive();
  return G_DDraw_DrawBoxOutline(x1, y1, x2, y2, color);
}

int BlitGraphicScaledRotatedBody(int center_x, int center_y, double scale, double angle,
                                 int graphic, int transparent, int turn) {
  return BlitGraphicRotated(center_x, center_y, scale, angle, graphic, transparent, turn);
}

int BlitGraphicToQuadBody(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                          int graphic, int transparent) {
  return BlitGraphicFourCorners(x1, y1, x2, y2, x3, y3, x4, y4, graphic, transparent);
}

int BlitGraphicPartBody(int dest_x, int dest_y, int src_x, int src_y, int width, int height,
                        int graphic, int transparent, int turn) {
  return BlitGraphicSourceRect(dest_x, dest_y, src_x, src_y, width, height, graphic, transparent,
                               turn);
}

int PaintRectangleBody(int x1, int y1, int x2, int y2, int color, int fill) {
  return fill ? FillBoxBody(x1, y1, x2, y2, color) : OutlineBoxBody(x1, y1, x2, y2, color);
}
