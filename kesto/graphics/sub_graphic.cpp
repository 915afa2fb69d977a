#include <cstring>

#include "core/entry_bodies.h"
#include "graphics/device3d_services.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/surface_2d.h"

int CreateSubGraphic(int x, int y, int width, int height, int parent) {
  GraphicRecord* p = GetGraphicRecord(parent);
  if (!p) return -1;
  // A corner before the parent or an empty size would wrap the 16-bit origin.
  if (x < 0 || y < 0 || width <= 0 || height <= 0) return -1;
  if (x >= p->width || y >= p->height) return -1;
  if (width > p->width - x) width = p->width - x;  // no overflow for huge sizes
  if (height > p->height - y) height = p->height - y;
  GraphicRecord* g = nullptr;
  const int handle = AllocGraphicRecord(width, height, p->texture, &g, p->alpha_channel);
  p = GetGraphicRecord(parent);  // the table does not move records; re-read for clarity
  g->movie = p->movie;
  std::memcpy(g->name, p->name, sizeof g->name);
  std::memcpy(g->path, p->path, sizeof g->path);
  g->texture = p->texture;
  g->alpha_channel = p->alpha_channel;
  g->draw_valid = p->draw_valid;
  g->system_memory = p->system_memory;
  g->alpha_test = p->alpha_test;
  g->color_depth = p->color_depth;
  g->mirror_option = p->mirror_option;
  g->origin_x = static_cast<uint16_t>(p->origin_x + x);
  g->origin_y = static_cast<uint16_t>(p->origin_y + y);
  int made;
  if (p->texture) {
    made = MakeSubGraphicTextureParts(handle, x, y, width, height, parent);
  } else {
    // Offset from the parent's own place in the shared surface, so a cut-out
    // of a cut-out shows the pixels its origin names.
    const Surface2D* ps = p->part_count > 0 ? GetSurface2D(p->parts[0]) : nullptr;
    made = ps ? AddSubGraphicSurface2D(handle, ps->surface_x + x, ps->surface_y + y, width,
                                       height, parent)
              : -1;
  }
  if (made == -1) {
    GfxLog("グラフィックの派生に失敗しました終了します");
    DeleteGraphic(handle, 0);
    return -1;
  }
  return handle;
}

int MakeSubGraphicBody(int x, int y, int width, int height, int parent_graphic) {
  return CreateSubGraphic(x, y, width, height, parent_graphic);
}
