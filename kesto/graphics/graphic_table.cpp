#include "graphics/graphic_table.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "graphics/device3d_services.h"
#include "graphics/draw_state.h"
#include "graphics/font_movie_services.h"
#include "graphics/graphics_host.h"
#include "graphics/graphics_manager.h"
#include "graphics/screen.h"
#include "graphics/surface_2d.h"

namespace graphic_table_internal {
RecordTable<GraphicRecord> g_table(kMaxGraphics, 0x0800);
}  // namespace graphic_table_internal

namespace {
using graphic_table_internal::g_table;

int HandleOfSlot(int slot) {
  const GraphicRecord* g = g_table.at(slot);
  return g ? g->handle : -1;
}
}  // namespace

RecordTable<GraphicRecord>& GraphicTable() { return g_table; }

void ClearGraphicTable() {
  for (int i = 0; i < g_table.bound(); ++i) GfxFree(g_table.at(i));
  g_table.Reset();
}

int AllocGraphicRecord(int width, int height, int want_texture, GraphicRecord** out,
                       int alpha_channel) {
  if (g_table.full()) GfxFatal("グラフィックの数が許容量を越えました終了します");
  const int slot = g_table.FreeSlot();
  auto* g = static_cast<GraphicRecord*>(GfxAlloc(sizeof(GraphicRecord), "KsGraphics", __LINE__));
  if (!g || slot < 0) GfxFatal("メモリの確保に失敗しました");
  const int handle = g_table.Insert(slot, g);
  g->handle = handle;
  g->width = static_cast<uint16_t>(width);
  g->height = static_cast<uint16_t>(height);
  g->movie = -1;
  g->delete_flag = nullptr;
  const DrawState& s = GetDrawState();
  g->texture =
      (want_texture && s.use_3d && GraphicsManager().usable_3d && !IsSystemMemoryOnly()) ? 1 : 0;
  g->alpha_channel = alpha_channel ? 1 : 0;
  g->draw_valid = static_cast<uint8_t>(s.draw_valid);
  g->system_memory = static_cast<uint8_t>(s.system_memory);
  g->alpha_test = static_cast<uint8_t>(s.alpha_test);
  g->color_depth = static_cast<uint8_t>(s.color_depth      ? s.color_depth
                                        : g->alpha_channel ? 32
                                                           : GetScreenColorBits());
  if (out) *out = g;
  return handle;
}

int MakeGraphic(int width, int height, int want_texture, int alpha_channel) {
  GraphicRecord* g = nullptr;
  const int handle = AllocGraphicRecord(width, height, want_texture, &g, alpha_channel);
  const int made = g->texture ? MakeGraphicTextureParts(handle) : AddGraphicSurface2D(handle);
  if (made == -1) GfxFatal("グラフィックの作成に失敗しました終了します");
  return handle;
}

int MakeGraphicWithDefaults(int width, int height) {
  return MakeGraphic(width, height, 1, GetDrawState().alpha_channel);
}

int GetGraphicHandle(const GraphicRecord* record) { return record ? record->handle : -1; }

int GetGraphicSize(int handle, int* width, int* height) {
  int w = 0, h = 0;
  if (handle == -2 || handle == -4) {
    GetScreenResolution(&w, &h);
  } else {
    const GraphicRecord* g = GetGraphicRecord(handle);
    if (!g) return -1;
    w = g->width;
    h = g->height;
  }
  if (width) *width = w;
  if (height) *height = h;
  return 0;
}

int AttachGraphicDeleteFlag(int handle, int* flag) {
  GraphicRecord* g = GetGraphicRecord(handle);
  if (!g) return -1;
  g->delete_flag = flag;
  if (flag) *flag = 0;
  return 0;
}

int SetGraphicFileName(int handle, const char* name) {
  GraphicRecord* g = GetGraphicRecord(handle);
  if (!g) return -1;
  if (!getcwd(g->path, sizeof g->path)) g->path[0] = '\0';
  std::snprintf(g->name, sizeof g->name, "%s", name ? name : "");
  return 0;
}

int FillGraphic(int handle, int red, int green, int blue, int alpha) {
  GraphicRecord* g = GetGraphicRecord(handle);
  if (!g) return -1;
  return g->texture ? FillTextureParts(handle, red, green, blue, alpha)
                    : FillGraphicSurface2Ds(handle, red, green, blue, alpha);
}

int DeleteGraphic(int handle, int log_flag) {
  GraphicRecord* g = GetGraphicRecord(handle);
  if (!g) return -1;
  if (g->movie != -1) CloseMovieOfGraphic(handle);
  if (g->texture) {
    DeleteGraphicTextureParts(handle);
  } else {
    DeleteGraphicSurface2Ds(handle);
  }
  if (log_flag) GfxLog("グラフィック %s の削除", g->name);
  if (g->delete_flag) *g->delete_flag = 1;
  g_table.Remove(RecordTable<GraphicRecord>::SlotOf(handle));
  GfxFree(g);
  return 0;
}

int DeleteAllGraphics(int log_flag) {
  if (!GraphicsManager().started) return 0;
  for (int slot = 0; slot < g_table.bound(); ++slot) {
    if (g_table.at(slot)) DeleteGraphic(HandleOfSlot(slot), log_flag);
  }
  return 0;
}

int RestoreGraphicSurfaces(int handle) {
  GraphicRecord* g = GetGraphicRecord(handle);
  if (!g) return -1;
  const int result =
      g->texture ? RestoreGraphicTextureParts(handle) : RestoreGraphicSurface2Ds(handle);
  // A movie's frame surface comes back with the graphic.
  if (const MovieRecord* m = g->movie != -1 ? GetMovieRecord(g->movie) : nullptr) {
    if (m->sample_surface && m->sample_surface->IsLost() == platform::video::kErrSurfaceLost) {
      m->sample_surface->Restore();
    }
  }
  return result;
}

int RestoreAllGraphicSurfaces() {
  if (!GraphicsManager().started) return 0;
  RestoreLostScreenSurfaces();
  for (int slot = 0; slot < g_table.bound(); ++slot) {
    if (g_table.at(slot)) RestoreGraphicSurfaces(HandleOfSlot(slot));
  }
  return 0;
}
