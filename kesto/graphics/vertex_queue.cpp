#include "graphics/vertex_queue.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "graphics/color_format.h"
#include "graphics/device3d.h"
#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/screen.h"
#include "graphics/software_draw_services.h"
#include "graphics/surface_record.h"
#include "graphics/texture_part.h"

using namespace platform::video;
using namespace platform::video3d;

namespace {

constexpr int kMaxGridIndices = 1000;
TLVertex g_grid[64];

struct Point {
  float x, y;
};

// The start of every Direct3D draw: -1 without a device, 0 when the target
// cannot be rendered (nothing is drawn), 1 to go on with a scene open.
int BeginDraw() {
  if (!D3D().object || !CurrentDeviceRecord()) return -1;
  if (D3D().target_not_renderable) return 0;
  BeginSceneIfNeeded();
  return 1;
}

int EndDraw(int result) {
  if (D3D().end_scene_each_draw) EndSceneIfBegun();
  return result;
}

SurfaceRecord* TextureOfPart(const TexturePartRecord& p) { return GetSurfaceRecord(p.texture); }

// States of a graphic's draw, from its first part's texture.
void ApplyDrawStates3D(const SurfaceRecord* r, int transparent) {
  const int device = D3D().current;
  const int mode = GetDrawState().blend_mode;
  if (!r) {
    SetColorKeyEnable(device, 0);
    SetBlendState3D(device, mode, 0);
    return;
  }
  const bool alpha = r->settings.alpha_channel || r->settings.alpha_test;
  SetColorKeyEnable(device, transparent && !r->settings.alpha_test ? 1 : 0);
  SetBlendState3D(device, mode, transparent ? (alpha ? 1 : 0) : 0);
}

void ApplyPartDrawStates3D(const TexturePartRecord* part, int transparent) {
  ApplyDrawStates3D(part ? TextureOfPart(*part) : nullptr, transparent);
}

const TexturePartRecord* SelectTexture(const TexturePartRecord* p, const SurfaceRecord* r,
                                       float* texture_width, float* texture_height) {
  if (!r) return nullptr;
  SetTexture3D(D3D().current, r->surface);
  if (texture_width) *texture_width = r->width;
  if (texture_height) *texture_height = r->height;
  return p;
}

// Selects a part's texture; null when the handle is stale.
const TexturePartRecord* SelectPart(int handle, float* texture_width, float* texture_height) {
  const TexturePartRecord* p = GetTexturePartRecord(handle);
  return SelectTexture(p, p ? TextureOfPart(*p) : nullptr, texture_width, texture_height);
}

// The first part of a graphic's draw: applies the draw's states from it and
// selects its texture, from one look-up of the part.
const TexturePartRecord* SelectFirstPart(int handle, int transparent, float* texture_width,
                                         float* texture_height) {
  const TexturePartRecord* p = GetTexturePartRecord(handle);
  const SurfaceRecord* r = p ? TextureOfPart(*p) : nullptr;
  ApplyDrawStates3D(r, transparent);
  return SelectTexture(p, r, texture_width, texture_height);
}

// Part i of a graphic's draw.
const TexturePartRecord* SelectPartOfDraw(const GraphicRecord& g, int i, int transparent,
                                          float* texture_width, float* texture_height) {
  return i == 0 ? SelectFirstPart(g.parts[0], transparent, texture_width, texture_height)
                : SelectPart(g.parts[i], texture_width, texture_height);
}

// Moves vertices inside the clip rectangle, adjusting the texture
// coordinates by the distance moved. Steps are per texel of the texture,
// scaled by the draw's stretch.
void ClipQuad(TLVertex* v, float left, float top, float right, float bottom, float u_step,
              float v_step) {
  for (int i = 0; i < 4; ++i) {
    if (v[i].x < left) {
      v[i].u += (left - v[i].x) / u_step;
      v[i].x = left;
    } else if (v[i].x > right) {
      v[i].u -= (v[i].x - right) / u_step;
      v[i].x = right;
    }
    if (v[i].y < top) {
      v[i].v += (top - v[i].y) / v_step;
      v[i].y = top;
    } else if (v[i].y > bottom) {
      v[i].v -= (v[i].y - bottom) / v_step;
      v[i].y = bottom;
    }
  }
}

// Every draw commits its quads here, so the draw bodies take it inline.
inline int CommitQuad(int device) {
  Device3DRecord* r = DeviceRecord(device);
  if (!r) return -1;
  if (!r->batching) {
    r->device->DrawPrimitive(Primitive::kTriangleStrip, kFvfTransformedTextured, r->queue, 4, 0);
    return 0;
  }
  if (r->queued + 6 > kVertexQueueCapacity) {
    // The quad was written without a reservation: move it to a fresh queue.
    const TLVertex quad[4] = {r->queue[r->queued], r->queue[r->queued + 1], r->queue[r->queued + 2],
                              r->queue[r->queued + 3]};
    FlushVertexBatch(device);
    std::copy(quad, quad + 4, r->queue);
  }
  TLVertex* v = r->queue + r->queued;
  v[4] = v[2];
  v[5] = v[1];
  r->queued += 6;
  if (r->queued == kVertexQueueCapacity) FlushVertexBatch(device);
  return 0;
}

float Cross(Point a, Point b) { return a.x * b.y - a.y * b.x; }
Point Sub(Point a, Point b) { return Point{a.x - b.x, a.y - b.y}; }

}  // namespace

uint32_t MakeVertexColor() {
  const DrawState& s = GetDrawState();
  const uint32_t alpha = s.blend_mode != 0 ? static_cast<uint32_t>(s.blend_param & 255) : 255u;
  const uint32_t b = static_cast<uint32_t>(s.brightness);
  return (alpha << 24) | (b & 0x00FFFFFFu);
}

TLVertex* ReserveQueueVertices(int device, int count) {
  Device3DRecord* r = DeviceRecord(device);
  if (!r || count > kVertexQueueCapacity) return nullptr;
  if (!r->batching) return r->queue;
  if (r->queued + static_cast<uint32_t>(count) > kVertexQueueCapacity) FlushVertexBatch(device);
  return r->queue + r->queued;
}

int CommitQueuedQuad(int device) { return CommitQuad(device); }

int FlushVertexBatch(int device) {
  Device3DRecord* r = DeviceRecord(device);
  if (!r) return -1;
  if (r->queued) {
    r->device->DrawPrimitive(Primitive::kTriangleList, kFvfTransformedTextured, r->queue, r->queued,
                             0);
    r->queued = 0;
  }
  return 0;
}

int CommitQuadWithScreenOffset(TLVertex* v, int offset_on) {
  if (offset_on) {
    const Rect& o = GetDrawState().front_screen_rect;
    for (int i = 0; i < 4; ++i) {
      v[i].x += static_cast<float>(o.left);
      v[i].y += static_cast<float>(o.top);
    }
  }
  return CommitQuad(D3D().current);
}

int DrawVertexGrid3D(int device, int columns, const TLVertex* vertices, int rows) {
  Device3DRecord* r = DeviceRecord(device);
  if (!r || columns < 2 || rows < 2 || columns * rows > 65536) return -1;
  FlushVertexBatch(device);
  uint16_t indices[kMaxGridIndices];
  int count = 0;
  const uint32_t total = static_cast<uint32_t>(columns * rows);
  auto draw = [&] {
    if (count) {
      r->device->DrawIndexedPrimitive(Primitive::kTriangleStrip, kFvfTransformedTextured, vertices,
                                      total, indices, static_cast<uint32_t>(count), 0);
    }
    count = 0;
  };
  for (int row = 0; row + 1 < rows; ++row) {
    const int pair = 2 * columns;
    if (count && count + 2 + pair > kMaxGridIndices) draw();
    if (pair > kMaxGridIndices) return -1;
    const uint16_t first = static_cast<uint16_t>((row + 1) * columns);
    if (count) {
      // Join two strips through degenerate triangles.
      indices[count] = indices[count - 1];
      ++count;
      indices[count++] = first;
    }
    for (int c = 0; c < columns; ++c) {
      indices[count++] = static_cast<uint16_t>((row + 1) * columns + c);
      indices[count++] = static_cast<uint16_t>(row * columns + c);
    }
  }
  draw();
  return 0;
}

int G_D3D_DrawGraph(int x, int y, GraphicRecord* g, int transparent) {
  const int begun = BeginDraw();
  if (begun <= 0) return begun;
  if (!g) return EndDraw(-1);
  const DrawState& s = GetDrawState();
  const float ox = static_cast<float>(x) - 0.5f, oy = static_cast<float>(y) - 0.5f;
  const float left = static_cast<float>(s.area.left), top = static_cast<float>(s.area.top);
  const float right = static_cast<float>(s.area.right);
  const float bottom = static_cast<float>(s.area.bottom);
  const uint32_t color = MakeVertexColor();
  const int offset = IsDrawingToPrimaryInWindow();
  const int device = D3D().current;
  for (int i = 0; i < g->part_count; ++i) {
    float tw = 1, th = 1;
    const TexturePartRecord* p = SelectPartOfDraw(*g, i, transparent, &tw, &th);
    if (!p) return EndDraw(-1);
    TLVertex* v = ReserveQueueVertices(device, 6);
    if (!v) return EndDraw(-1);
    for (int k = 0; k < 4; ++k) {
      v[k] = p->vertices[k];
      v[k].diffuse = color;
      v[k].x += ox;
      v[k].y += oy;
    }
    ClipQuad(v, left, top, right, bottom, tw, th);
    if (v[0].x != v[3].x && v[0].y != v[3].y) CommitQuadWithScreenOffset(v, offset);
  }
  return EndDraw(0);
}

int G_D3D_DrawExtendGraph(int x1, int y1, int x2, int y2, GraphicRecord* g, int transparent) {
  if (g && x2 - x1 == g->width && y2 - y1 == g->height) {
    return G_D3D_DrawGraph(x1, y1, g, transparent);
  }
  if (x1 == x2 || y1 == y2) return -1;
  const int begun = BeginDraw();
  if (begun <= 0) return begun;
  if (!g || !g->width || !g->height) return EndDraw(-1);
  const DrawState& s = GetDrawState();
  const float sx = static_cast<float>(x2 - x1) / static_cast<float>(g->width);
  const float sy = static_cast<float>(y2 - y1) / static_cast<float>(g->height);
  const float left = static_cast<float>(s.area.left) - 0.5f;
  const float top = static_cast<float>(s.area.top) - 0.5f;
  const float right = static_cast<float>(s.area.right) - 0.5f;
  const float bottom = static_cast<float>(s.area.bottom) - 0.5f;
  const uint32_t color = MakeVertexColor();
  const int offset = IsDrawingToPrimaryInWindow();
  const int device = D3D().current;
  const bool swap = (sx < 0) != (sy < 0);
  for (int i = 0; i < g->part_count; ++i) {
    float tw = 1, th = 1;
    const TexturePartRecord* p = SelectPartOfDraw(*g, i, transparent, &tw, &th);
    if (!p) return EndDraw(-1);
    TLVertex* v = ReserveQueueVertices(device, 6);
    if (!v) return EndDraw(-1);
    for (int k = 0; k < 4; ++k) {
      v[k] = p->vertices[k];
      v[k].diffuse = color;
      v[k].x = sx * p->vertices[k].x + static_cast<float>(x1) - 0.5f;
      v[k].y = sy * p->vertices[k].y + static_cast<float>(y1) - 0.5f;
    }
    ClipQuad(v, left, top, right, bottom, tw * sx, th * sy);
    if (swap) std::swap(v[1], v[2]);
    CommitQuadWithScreenOffset(v, offset);
  }
  return EndDraw(0);
}

int G_D3D_DrawRotaGraph(int x, int y, double scale, double angle, GraphicRecord* g, int transparent,
                        int turn) {
  if (!D3D().object) return -1;
  if (scale <= 0.0) return -1;
  const int begun = BeginDraw();
  if (begun <= 0) return begun;
  if (!g) return EndDraw(-1);
  const float flip = turn == 1 ? -1.0f : 1.0f;
  const float s = static_cast<float>(scale);
  const float a = static_cast<float>(angle);
  const float sn = std::sin(a), cs = std::cos(a);
  const int W = g->width, H = g->height;
  float cx, cy, ox, oy;
  if (scale != 1.0) {
    cx = static_cast<float>(W) * 0.5f, cy = static_cast<float>(H) * 0.5f;
    ox = static_cast<float>(x) - 0.5f, oy = static_cast<float>(y) - 0.5f;
  } else if (W % 2 == 0 && H % 2 == 0) {
    cx = static_cast<float>(W / 2), cy = static_cast<float>(H / 2);
    ox = static_cast<float>(x) - 0.5f, oy = static_cast<float>(y) - 0.5f;
  } else {
    cx = static_cast<float>(W) * 0.5f, cy = static_cast<float>(H) * 0.5f;
    if (W % 2 == 0 && H % 2 != 0) cx -= 0.5f;
    if (H % 2 == 0 && W % 2 != 0) cy -= 0.5f;
    ox = static_cast<float>(x), oy = static_cast<float>(y);
  }
  const DrawState& st = GetDrawState();
  const float tw_limit = static_cast<float>(st.target_width);
  const float th_limit = static_cast<float>(st.target_height);
  const uint32_t color = MakeVertexColor();
  const int offset = IsDrawingToPrimaryInWindow();
  const int device = D3D().current;
  for (int i = 0; i < g->part_count; ++i) {
    const TexturePartRecord* p = SelectPartOfDraw(*g, i, transparent, nullptr, nullptr);
    if (!p) return EndDraw(-1);
    TLVertex* v = ReserveQueueVertices(device, 6);
    if (!v) return EndDraw(-1);
    for (int k = 0; k < 4; ++k) {
      const float dx = (p->vertices[k].x - cx) * flip * s;
      const float dy = (p->vertices[k].y - cy) * s;
      v[k] = p->vertices[k];
      v[k].diffuse = color;
      v[k].x = dx * cs - dy * sn + ox;
      v[k].y = dx * sn + dy * cs + oy;
    }
    if (turn != 0) std::swap(v[1], v[2]);
    auto all = [&](auto pred) { return pred(v[0]) && pred(v[1]) && pred(v[2]) && pred(v[3]); };
    if (all([](const TLVertex& q) { return q.x < 0.0f; }) ||
        all([&](const TLVertex& q) { return q.x > tw_limit; }) ||
        all([](const TLVertex& q) { return q.y < 0.0f; }) ||
        all([&](const TLVertex& q) { return q.y > th_limit; })) {
      continue;
    }
    CommitQuadWithScreenOffset(v, offset);
  }
  return EndDraw(0);
}

int G_D3D_DrawModiGraph(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                        GraphicRecord* g, int transparent) {
  if (x1 == x3 && x2 == x4 && y1 == y2 && y3 == y4) {
    return G_D3D_DrawExtendGraph(x1, y1, x4, y4, g, transparent);
  }
  return G_D3D_DrawModiGraphParts(static_cast<float>(x1), static_cast<float>(y1),
                                  static_cast<float>(x2), static_cast<float>(y2),
                                  static_cast<float>(x3), static_cast<float>(y3),
                                  static_cast<float>(x4), static_cast<float>(y4), g, transparent);
}

int G_D3D_DrawModiGraphParts(float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                             float y4, GraphicRecord* g, int transparent) {
  const int begun = BeginDraw();
  if (begun <= 0) return begun;
  if (!g) return EndDraw(-1);
  const DrawState& s = GetDrawState();
  float low_x = 0, low_y = 0;
  float high_x = static_cast<float>(s.target_width), high_y = static_cast<float>(s.target_height);
  if (IsDrawingToPrimaryInWindow()) {
    const float ox = static_cast<float>(s.front_screen_rect.left);
    const float oy = static_cast<float>(s.front_screen_rect.top);
    x1 += ox, x2 += ox, x3 += ox, x4 += ox;
    y1 += oy, y2 += oy, y3 += oy, y4 += oy;
    low_x += ox, high_x += ox, low_y += oy, high_y += oy;
  }
  const float xs[4] = {x1, x2, x3, x4}, ys[4] = {y1, y2, y3, y4};
  const bool some_x_low = std::any_of(xs, xs + 4, [&](float v) { return v >= low_x; });
  const bool some_x_high = std::any_of(xs, xs + 4, [&](float v) { return v <= high_x; });
  const bool some_y_low = std::any_of(ys, ys + 4, [&](float v) { return v >= low_y; });
  const bool some_y_high = std::any_of(ys, ys + 4, [&](float v) { return v <= high_y; });
  if (!(some_x_low && some_x_high && some_y_low && some_y_high)) return EndDraw(0);
  ApplyPartDrawStates3D(g->part_count > 0 ? GetTexturePartRecord(g->parts[0]) : nullptr,
                        transparent);
  if (g->part_count == 1) {
    return EndDraw(G_D3D_DrawPartModi(g->parts[0], x1, y1, x2, y2, x3, y3, x4, y4));
  }
  const float W = g->width, H = g->height;
  for (int i = 0; i < g->part_count; ++i) {
    const TexturePartRecord* p = GetTexturePartRecord(g->parts[i]);
    if (!p) return EndDraw(-1);
    Point c[4];
    for (int k = 0; k < 4; ++k) {
      const float t = p->vertices[k].y / H, u = p->vertices[k].x / W;
      const Point L{x1 + t * (x3 - x1), y1 + t * (y3 - y1)};
      const Point R{x2 + t * (x4 - x2), y2 + t * (y4 - y2)};
      c[k] = Point{L.x + u * (R.x - L.x), L.y + u * (R.y - L.y)};
    }
    if (G_D3D_DrawPartModi(g->parts[i], c[0].x, c[0].y, c[1].x, c[1].y, c[2].x, c[2].y, c[3].x,
                           c[3].y) != 0) {
      return EndDraw(-1);
    }
  }
  return EndDraw(0);
}

int G_D3D_DrawPartModi(int part, float x1, float y1, float x2, float y2, float x3, float y3,
                       float x4, float y4) {
  const TexturePartRecord* p = SelectPart(part, nullptr, nullptr);
  if (!p) return -1;
  const int device = D3D().current;
  const uint32_t color = MakeVertexColor();
  const bool top_bottom =
      std::fabs((x2 - x1) - (x4 - x3)) < 1.0f && std::fabs((y2 - y1) - (y4 - y3)) < 1.0f;
  const bool left_right =
      std::fabs((x3 - x1) - (x4 - x2)) < 1.0f && std::fabs((y3 - y1) - (y4 - y2)) < 1.0f;
  if (top_bottom && left_right) {
    TLVertex* v = ReserveQueueVertices(device, 6);
    if (!v) return -1;
    const Point P[4] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
    for (int k = 0; k < 4; ++k) {
      v[k] = TLVertex{P[k].x, P[k].y, 0.0f, 1.0f, color, p->vertices[k].u, p->vertices[k].v};
    }
    if (Cross(Sub(P[2], P[0]), Sub(P[1], P[0])) <= 0.0f &&
        Cross(Sub(P[1], P[3]), Sub(P[2], P[3])) <= 0.0f) {
      std::swap(v[1], v[2]);
    }
    return CommitQuad(device);
  }
  const float step = static_cast<float>(1.0 / 7.0);
  const float u0 = p->vertices[0].u, u3 = p->vertices[3].u;
  const float v0 = p->vertices[0].v, v3 = p->vertices[3].v;
  for (int r = 0; r < 8; ++r) {
    const float fr = static_cast<float>(r) * step;
    const Point L{x1 + fr * (x3 - x1), y1 + fr * (y3 - y1)};
    const Point R{x2 + fr * (x4 - x2), y2 + fr * (y4 - y2)};
    for (int c = 0; c < 8; ++c) {
      const float fc = static_cast<float>(c) * step;
      g_grid[r * 8 + c] = TLVertex{L.x + fc * (R.x - L.x) - 0.5f,
                                   L.y + fc * (R.y - L.y) - 0.5f,
                                   0.0f,
                                   1.0f,
                                   color,
                                   u0 + fc * (u3 - u0),
                                   v0 + fr * (v3 - v0)};
    }
  }
  return DrawVertexGrid3D(device, 8, g_grid, 8);
}

int G_D3D_DrawFillBox(int x1, int y1, int x2, int y2, int color) {
  if (!D3D().object || !CurrentDeviceRecord()) return -1;
  if (D3D().target_not_renderable) return G_DDraw_DrawFillBox(x1, y1, x2, y2, color);
  BeginSceneIfNeeded();
  Rect r{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
  ClipRect(&r, GetDrawState().area);
  if (r.Empty()) return EndDraw(0);
  const int device = D3D().current;
  SetTexture3D(device, nullptr);
  SetColorKeyEnable(device, 0);
  SetBlendState3D(device, GetDrawState().blend_mode, 0);
  const uint32_t c = MakeVertexColor();
  int red = 0, green = 0, blue = 0;
  GetColorComponents(color, &red, &green, &blue);
  const uint32_t dr = ((c >> 16) & 255) * static_cast<uint32_t>(red) / 255;
  const uint32_t dg = ((c >> 8) & 255) * static_cast<uint32_t>(green) / 255;
  const uint32_t db = (c & 255) * static_cast<uint32_t>(blue) / 255;
  const uint32_t diffuse = (c & 0xFF000000u) | (dr << 16) | (dg << 8) | db;
  TLVertex* v = ReserveQueueVertices(device, 6);
  if (!v) return EndDraw(-1);
  const float l = static_cast<float>(r.left), t = static_cast<float>(r.top);
  const float rt = static_cast<float>(r.right), b = static_cast<float>(r.bottom);
  v[0] = TLVertex{l, t, 0.0f, 1.0f, diffuse, 0.0f, 0.0f};
  v[1] = TLVertex{rt, t, 0.0f, 1.0f, diffuse, 1.0f, 0.0f};
  v[2] = TLVertex{l, b, 0.0f, 1.0f, diffuse, 0.0f, 1.0f};
  v[3] = TLVertex{rt, b, 0.0f, 1.0f, diffuse, 1.0f, 1.0f};
  CommitQuadWithScreenOffset(v, IsDrawingToPrimaryInWindow());
  return EndDraw(0);
}
