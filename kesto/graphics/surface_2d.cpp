#include "graphics/surface_2d.h"

#include "graphics/device3d_services.h"
#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/present.h"
#include "graphics/screen.h"

using namespace platform::video;

namespace {
RecordTable<Surface2D> g_table(kMaxSurface2D, 0x2800);

SurfaceSettings SettingsOf(const GraphicRecord& g) {
  SurfaceSettings s{};
  s.texture = g.texture;
  s.alpha_channel = g.alpha_channel;
  s.draw_valid = g.draw_valid;
  s.system_memory = g.system_memory;
  s.alpha_test = g.alpha_test;
  s.color_depth = g.color_depth;
  return s;
}

bool WindowedOrMenu() { return Host().windowed || Host().has_menu; }
}  // namespace

RecordTable<Surface2D>& Surface2DTable() { return g_table; }

void ClearSurface2DTable() {
  for (int i = 0; i < g_table.bound(); ++i) GfxFree(g_table.at(i));
  g_table.Reset();
}

Surface2D* GetSurface2D(int handle) { return g_table.Find(handle); }

int AddSurface2D(int width, int height, int part_x, int part_y, int owner,
                 const Surface2D* shared, int surface_x, int surface_y,
                 const SurfaceSettings& settings) {
  if (!GetDirectDrawObject()) {
    GfxLog("ＫＥＳＴＯが初期化されていません\n");
    return -1;
  }
  if (g_table.full()) {
    GfxLog("２Ｄグラフィックの量が許容量を越えました\n");
    return -1;
  }
  const int slot = g_table.FreeSlot();
  auto* s = static_cast<Surface2D*>(GfxAlloc(sizeof(Surface2D), "KsDraw", __LINE__));
  int record = -1;
  if (s && slot >= 0) {
    if (shared) {
      if (AddSurfaceReference(shared->surface_record) >= 0) record = shared->surface_record;
    } else {
      record = AddSurfaceRecord(1, width, height, GetDrawState().transparent_color, settings);
    }
  }
  if (record < 0) {
    GfxFree(s);
    GfxLog("メモリの確保に失敗しました in AddSurface2D \n");
    return -1;
  }
  s->part_x = static_cast<uint16_t>(part_x);
  s->part_y = static_cast<uint16_t>(part_y);
  s->surface_x = static_cast<uint16_t>(surface_x);
  s->surface_y = static_cast<uint16_t>(surface_y);
  s->width = static_cast<uint16_t>(width);
  s->height = static_cast<uint16_t>(height);
  s->owner = owner;
  s->surface_record = record;
  return g_table.Insert(slot, s);
}

int SetSurface2DDeleteFlag(int handle, int* flag) {
  Surface2D* s = GetSurface2D(handle);
  if (!s) return -1;
  s->delete_flag = flag;
  if (flag) *flag = 0;
  return 0;
}

int DeleteSurface2D(int handle) {
  Surface2D* s = GetSurface2D(handle);
  if (!s) return 0;
  if (DropSurfaceReference(s->surface_record) == 0) DeleteSurfaceRecord(s->surface_record);
  if (s->delete_flag) *s->delete_flag = 1;
  g_table.Remove(RecordTable<Surface2D>::SlotOf(handle));
  GfxFree(s);
  return 0;
}

int DeleteAllSurface2D() {
  if (!GetDirectDrawObject()) return -1;
  for (int i = g_table.bound() - 1; i >= 0; --i) {
    if (Surface2D* s = g_table.at(i)) {
      DeleteSurface2D(static_cast<int>(((s->serial | 0x2800u) << 16) | static_cast<uint32_t>(i)));
    }
  }
  return 0;
}

int AddGraphicSurface2D(int graphic) {
  GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g) return -1;
  const int h = AddSurface2D(g->width, g->height, 0, 0, graphic, nullptr, 0, 0, SettingsOf(*g));
  if (h < 0) return -1;
  g->parts[0] = h;
  g->part_count = 1;
  return 0;
}

int AddSubGraphicSurface2D(int graphic, int surface_x, int surface_y, int width, int height,
                           int parent) {
  GraphicRecord* g = GetGraphicRecord(graphic);
  GraphicRecord* p = GetGraphicRecord(parent);
  if (!g || !p || p->part_count < 1) return -1;
  const Surface2D* shared = GetSurface2D(p->parts[0]);
  if (!shared) return -1;
  const int h = AddSurface2D(width, height, 0, 0, graphic, shared, surface_x, surface_y,
                             SettingsOf(*g));
  if (h < 0) return -1;
  g->parts[0] = h;
  g->part_count = 1;
  return 0;
}

int DeleteGraphicSurface2Ds(int graphic) {
  if (!GetDirectDrawObject()) return -1;
  GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g) return -1;
  int result = 0;
  for (int i = 0; i < g->part_count; ++i) result |= DeleteSurface2D(g->parts[i]);
  g->part_count = 0;
  return result;
}

int FillGraphicSurface2Ds(int graphic, int red, int green, int blue, int alpha) {
  if (!GetDirectDrawObject()) return -1;
  GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g) return -1;
  EndSceneIfBegun();
  FlushCurrentVertexBatch();
  for (int i = 0; i < g->part_count; ++i) {
    Surface2D* s = GetSurface2D(g->parts[i]);
    if (!s) return -1;
    FillSurfaceRecord(s->surface_record, red, green, blue, alpha);
  }
  return 0;
}

int RestoreGraphicSurface2Ds(int graphic) {
  if (!GetDirectDrawObject()) return -1;
  GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g) return -1;
  int result = 0;
  for (int i = 0; i < g->part_count; ++i) {
    Surface2D* s = GetSurface2D(g->parts[i]);
    if (!s) return -1;
    result |= RestoreSurfaceIfLost(s->surface_record);
  }
  return result;
}

int SelectDrawTargetSurface(int target) {
  ScreenSurfaces& screens = Surfaces();
  Surface* surface = nullptr;
  DirectDrawState& dd = DDState();
  if (target == -4) {
    surface = screens.primary;
    if (surface && WindowedOrMenu()) surface->SetClipper(nullptr);
  } else if (target == -2) {
    surface = screens.back;
    if (screens.primary && WindowedOrMenu()) screens.primary->SetClipper(dd.clipper);
  } else {
    GraphicRecord* g = GetGraphicRecord(target);
    if (!g) return -1;
    if (g->texture) {
      SurfaceRecord* r = GetSurfaceRecord(GetTextureTargetSurfaceRecord(target));
      if (!r) return -1;
      surface = r->surface;
      SyncRenderStatesStub();
    } else {
      Surface2D* s = g->part_count > 0 ? GetSurface2D(g->parts[0]) : nullptr;
      SurfaceRecord* r = s ? GetSurfaceRecord(s->surface_record) : nullptr;
      if (!r) return -1;
      surface = r->surface;
    }
    if (screens.primary && WindowedOrMenu()) screens.primary->SetClipper(dd.clipper);
  }
  if (!surface) return -1;
  screens.draw_target = surface;
  DrawState& state = GetDrawState();
  state.target_invalid = 0;
  state.target_in_video_memory = (surface->caps() & kCapsVideoMemory) ? 1 : 0;
  return 0;
}

int ClearDrawTargetSurface() {
  DrawState& state = GetDrawState();
  if (state.target_invalid || !GetDirectDrawObject()) return -1;
  if (state.suspended) return 0;
  EndSceneIfBegun();
  FlushCurrentVertexBatch();
  Surface* target = GetDrawTargetSurface();
  if (!target) return -1;
  if (state.target != -2 && state.target != -4) {
    GraphicRecord* g = GetGraphicRecord(state.target);
    if (!g) return -1;
    if (g->texture) return 0;
    Surface2D* s = g->part_count > 0 ? GetSurface2D(g->parts[0]) : nullptr;
    SurfaceRecord* r = s ? GetSurfaceRecord(s->surface_record) : nullptr;
    if (!r || !r->surface) return -1;
    const Rect whole{0, 0, r->width, r->height};
    if (r->depth_surface) {
      r->depth_surface->Blt(&whole, nullptr, nullptr, kBltDepthFill | kBltWait, 0xFFFF);
    }
    r->surface->Blt(&whole, nullptr, nullptr, kBltColorFill | kBltWait, 0);
    return 0;
  }
  int w = 0, h = 0;
  GetScreenResolution(&w, &h);
  Rect r{0, 0, w, h};
  if (state.target == -4 && Host().windowed) {
    const Rect client = ClientRectInDesktop();
    r = Rect{client.left, client.top, client.left + w, client.top + h};
  }
  target->Blt(&r, nullptr, nullptr, kBltColorFill, 0);
  return 0;
}

int BlitSurfaceToSurface(Surface* dst, Surface* src, int x, int y, const Rect& src_rect,
                         int method) {
  if (!dst || !src) return 0;
  if (method == -1) method = GetPresentState().bitblt_preferred ? 1 : 0;
  if (method == 1) {
    GdiCopy(dst, x, y, src_rect.Width(), src_rect.Height(), src, src_rect.left, src_rect.top);
  } else {
    dst->BltFast(x, y, src, &src_rect, 0);
  }
  return 0;
}

int ExtractEveryThirdByte(uint8_t* dst, int /*dst_pitch*/, const uint8_t* src, int src_pitch,
                          int width, int height) {
  for (int y = 0; y < height; ++y) {
    const uint8_t* s = src + static_cast<size_t>(y) * src_pitch;
    uint8_t* d = dst + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) d[x] = s[x * 3];
  }
  return 0;
}
