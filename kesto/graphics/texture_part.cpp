#include "graphics/texture_part.h"

#include <algorithm>

#include "graphics/device3d.h"
#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/screen.h"

using namespace platform::video;
using platform::video3d::TLVertex;

namespace texture_part_internal {
RecordTable<TexturePartRecord> g_parts(kMaxTextureParts, 0x3000);
}  // namespace texture_part_internal

namespace {

using texture_part_internal::g_parts;

constexpr int kMaxSizes = 32;
constexpr int kMaxGraphicParts = 16;

SurfaceSettings SettingsOf(const GraphicRecord& g) {
  SurfaceSettings s{};
  s.texture = 1;
  s.alpha_channel = g.alpha_channel;
  s.draw_valid = g.draw_valid;
  s.system_memory = g.system_memory;
  s.alpha_test = g.alpha_test;
  s.color_depth = g.color_depth;
  return s;
}

void SetTemplateVertices(TexturePartRecord& p, int texture_width, int texture_height) {
  const float tw = static_cast<float>(texture_width), th = static_cast<float>(texture_height);
  const float x0 = p.x, y0 = p.y;
  const float x1 = static_cast<float>(p.x + p.width), y1 = static_cast<float>(p.y + p.height);
  const float u0 = p.texture_x / tw, v0 = p.texture_y / th;
  const float u1 = static_cast<float>(p.texture_x + p.width) / tw;
  const float v1 = static_cast<float>(p.texture_y + p.height) / th;
  p.vertices[0] = TLVertex{x0, y0, 0.0f, 1.0f, 0xFFFFFFFFu, u0, v0};
  p.vertices[1] = TLVertex{x1, y0, 0.0f, 1.0f, 0xFFFFFFFFu, u1, v0};
  p.vertices[2] = TLVertex{x0, y1, 0.0f, 1.0f, 0xFFFFFFFFu, u0, v1};
  p.vertices[3] = TLVertex{x1, y1, 0.0f, 1.0f, 0xFFFFFFFFu, u1, v1};
}

struct Tile {
  int x, y, width, height;
};

}  // namespace

RecordTable<TexturePartRecord>& TexturePartTable() { return g_parts; }

int AddSurface3DData(int texture_width, int texture_height, int x, int y, int width, int height,
                     int source_x, int source_y, int graphic, const TexturePartRecord* shared,
                     int texture_x, int texture_y, const SurfaceSettings& settings) {
  if (!D3D().object) {
    GfxLog("３Ｄグラフィックエンジンが初期化されていません\n");
    return -1;
  }
  if (g_parts.full()) {
    GfxLog("３Ｄグラフィックの数が許容量を越えました。\n");
    return -1;
  }
  const int slot = g_parts.FreeSlot();
  auto* p = static_cast<TexturePartRecord*>(GfxAlloc(sizeof(TexturePartRecord), "Ks3D", __LINE__));
  if (!p || slot < 0) {
    GfxFree(p);
    GfxLog("メモリの確保に失敗しました in AddSurface3DData \n");
    return -1;
  }
  int texture = -1;
  if (shared) {
    if (AddSurfaceReference(shared->texture) >= 0) texture = shared->texture;
  } else {
    texture = AddSurfaceRecord(1, texture_width, texture_height, GetDrawState().transparent_color,
                               settings);
  }
  const SurfaceRecord* r = GetSurfaceRecord(texture);
  if (!r) {
    GfxFree(p);
    return -1;
  }
  p->x = static_cast<uint16_t>(x);
  p->y = static_cast<uint16_t>(y);
  p->texture_x = static_cast<uint16_t>(texture_x);
  p->texture_y = static_cast<uint16_t>(texture_y);
  p->source_x = static_cast<uint16_t>(source_x);
  p->source_y = static_cast<uint16_t>(source_y);
  p->width = static_cast<uint16_t>(width);
  p->height = static_cast<uint16_t>(height);
  p->graphic = graphic;
  p->texture = texture;
  SetTemplateVertices(*p, r->width, r->height);
  return g_parts.Insert(slot, p);
}

int LockTexturePart(int handle, uint8_t** pointer, int* pitch, int write_only, const Rect* rect) {
  TexturePartRecord* p = GetTexturePartRecord(handle);
  if (!p) return -1;
  return LockSurfaceRecord(p->texture, pitch, pointer, rect, write_only);
}

int UnlockTexturePart(int handle, const Rect* rect) {
  TexturePartRecord* p = GetTexturePartRecord(handle);
  if (!p) return -1;
  return UnlockSurfaceRecord(p->texture, rect);
}

int SplitTextureSizes(int n, int* list, int single) {
  const Direct3DState& d = D3D();
  const int m = d.min_texture_size > 32 ? d.min_texture_size : 32;
  if (n <= m) {
    int size = m;
    while (size > d.min_texture_size && size / 2 >= n) size /= 2;
    list[0] = size;
    return 1;
  }
  int largest;
  if (single == 1) {
    largest = d.max_texture_size;
  } else {
    int screen_w = 0;
    GetScreenResolution(&screen_w, nullptr);
    const int limit = std::min(screen_w, d.max_texture_size);
    largest = limit <= 8 ? 8 : 16;
    while (largest < limit) largest *= 2;
  }
  int t = largest;
  while (t > m && t > n) t /= 2;
  if (single == 1 && 2 * t <= largest) {
    list[0] = t >= n ? t : 2 * t;
    return 1;
  }
  int count = 0;
  int rest = n;
  for (;;) {
    if (count == kMaxSizes) return -1;
    list[count++] = t;
    rest -= t;
    if (rest < 1) break;
    if (rest > 3 * t / 4 && t < largest) {
      list[count - 1] = 2 * t;
      break;
    }
    while (rest < t && t > m) t /= 2;
  }
  // Two equal last tiles become one, unless that passes the device's limit.
  if (count >= 2 && list[count - 1] == list[count - 2] &&
      2 * list[count - 1] <= d.max_texture_size) {
    list[count - 2] *= 2;
    --count;
  }
  return count;
}

int MakeGraphicTextureParts(int graphic) {
  GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g) return -1;
  int widths[kMaxSizes], heights[kMaxSizes];
  const int nw = SplitTextureSizes(g->width, widths, g->draw_valid);
  const int nh = SplitTextureSizes(g->height, heights, g->draw_valid);
  if (nw < 1 || nh < 1) return -1;
  const bool square = (D3D().desc.texture_caps & platform::video3d::kTexCapsSquareOnly) != 0;
  Tile tiles[kMaxGraphicParts];
  int count = 0;
  auto add = [&](Tile t) {
    // Tiles wholly past the graphic's edge hold nothing.
    if (t.x >= g->width || t.y >= g->height) return true;
    if (count == kMaxGraphicParts) return false;
    tiles[count++] = t;
    return true;
  };
  int y = 0;
  for (int j = 0; j < nh; ++j) {
    int x = 0;
    for (int i = 0; i < nw; ++i) {
      const int w = widths[i], h = heights[j];
      bool ok = true;
      if (square && w != h) {
        const int side = std::min(w, h);
        for (int k = 0; k < std::max(w, h) / side && ok; ++k) {
          ok = add(w > h ? Tile{x + k * side, y, side, side} : Tile{x, y + k * side, side, side});
        }
      } else {
        ok = add(Tile{x, y, w, h});
      }
      if (!ok) return -1;  // more parts than a graphic holds
      x += w;
    }
    y += heights[j];
  }
  const SurfaceSettings settings = SettingsOf(*g);
  g->part_count = 0;
  for (int i = 0; i < count; ++i) {
    const Tile& t = tiles[i];
    const int part = AddSurface3DData(
        t.width, t.height, t.x, t.y, std::min(g->width - t.x, t.width),
        std::min(g->height - t.y, t.height), t.x, t.y, graphic, nullptr, 0, 0, settings);
    if (part == -1) return -1;
    g->parts[g->part_count++] = part;
  }
  return 0;
}

int MakeSubGraphicTextureParts(int graphic, int x, int y, int width, int height, int parent) {
  GraphicRecord* g = GetGraphicRecord(graphic);
  GraphicRecord* p = GetGraphicRecord(parent);
  if (!g || !p) return -1;
  g->part_count = 0;
  const SurfaceSettings none{};
  auto fail = [&] {
    DeleteGraphicTextureParts(graphic);
    return -1;
  };
  if (p->part_count == 1) {
    const TexturePartRecord* pp = GetTexturePartRecord(p->parts[0]);
    const SurfaceRecord* r = pp ? GetSurfaceRecord(pp->texture) : nullptr;
    if (!r) return fail();
    // Offsets count from the parent part's own place in the texture, so a
    // cut-out of a cut-out shows the pixels its origin names.
    const int part =
        AddSurface3DData(r->width, r->height, 0, 0, width, height, pp->source_x + x,
                         pp->source_y + y, graphic, pp, pp->texture_x + x, pp->texture_y + y, none);
    if (part == -1) return fail();
    g->parts[g->part_count++] = part;
    return 0;
  }
  const Rect want{x, y, x + width, y + height};
  for (int i = 0; i < p->part_count; ++i) {
    const TexturePartRecord* pp = GetTexturePartRecord(p->parts[i]);
    const SurfaceRecord* r = pp ? GetSurfaceRecord(pp->texture) : nullptr;
    if (!r) return fail();
    const Rect area{pp->x, pp->y, pp->x + pp->width, pp->y + pp->height};
    const Rect o = Intersect(want, area);
    if (o.Empty()) continue;
    const int part =
        AddSurface3DData(r->width, r->height, o.left - x, o.top - y, o.Width(), o.Height(),
                         pp->source_x + o.left - pp->x, pp->source_y + o.top - pp->y, graphic, pp,
                         pp->texture_x + o.left - pp->x, pp->texture_y + o.top - pp->y, none);
    if (part == -1) return fail();
    g->parts[g->part_count++] = part;
  }
  return 0;
}

int DeleteTexturePart(int handle) {
  TexturePartRecord* p = GetTexturePartRecord(handle);
  if (!p) return -1;
  if (DropSurfaceReference(p->texture) <= 0) DeleteSurfaceRecord(p->texture);
  if (p->delete_flag) *p->delete_flag = 1;
  g_parts.Remove(RecordTable<TexturePartRecord>::SlotOf(handle));
  GfxFree(p);
  return 0;
}

int DeleteGraphicTextureParts(int graphic) {
  GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g) return -1;
  for (int i = 0; i < g->part_count; ++i) DeleteTexturePart(g->parts[i]);
  g->part_count = 0;
  return 0;
}

int DeleteAllTextureParts() {
  for (int slot = 0; slot < g_parts.bound(); ++slot) {
    if (TexturePartRecord* p = g_parts.at(slot)) {
      DeleteTexturePart(
          static_cast<int>(((p->serial | 0x3000u) << 16) | static_cast<uint32_t>(slot)));
    }
  }
  // Graphics that pointed at them keep no stale handles.
  RecordTable<GraphicRecord>& t = GraphicTable();
  for (int i = 0; i < t.bound(); ++i) {
    if (GraphicRecord* g = t.at(i); g && g->texture) g->part_count = 0;
  }
  return 0;
}

int DeleteAllTexturePartsIfReady() { return D3D().object ? DeleteAllTextureParts() : -1; }

int TransferImageToTexturePart(const UploadSourceSet& source, const Rect& src_rect, int texture_x,
                               int texture_y, int part) {
  if (!D3D().object) return -1;
  if (GetDrawState().suspended) return 0;
  FlushCurrentVertexBatch();
  TexturePartRecord* p = GetTexturePartRecord(part);
  SurfaceRecord* r = p ? GetSurfaceRecord(p->texture) : nullptr;
  const ColorFormatBlock* format = r ? GetTextureFormatBlock(r->settings.format_index) : nullptr;
  const ImageRecord* image = source.main;
  if (!r || !r->surface || !format || !image || !image->pixels || source.source_kind == 1) {
    return -1;
  }
  const Rect dst{texture_x, texture_y, texture_x + src_rect.Width(), texture_y + src_rect.Height()};
  if (src_rect.Empty() || src_rect.left < 0 || src_rect.top < 0 || src_rect.right > image->width ||
      src_rect.bottom > image->height || dst.left < 0 || dst.top < 0 || dst.right > r->width ||
      dst.bottom > r->height) {
    return -1;
  }
  int pitch = 0;
  uint8_t* pixels = nullptr;
  Surface* temp = nullptr;
  const int locked = LockSurfaceRecord(p->texture, &pitch, &pixels, &dst, 1);
  if (locked == -2) {
    pixels += static_cast<size_t>(dst.top) * pitch +
              static_cast<size_t>(dst.left) * r->surface->bytes_per_pixel();
  } else if (locked == -1) {
    SurfaceDesc d;
    d.caps = kCapsTexture | kCapsSystemMemory;
    d.width = r->width;
    d.height = r->height;
    d.has_format = true;
    d.format = r->surface->format();
    DirectDraw* dd = GetDirectDrawObject();
    if (!dd || Failed(dd->CreateSurface(d, &temp))) {
      GfxFatal("テンポラリテクスチャサーフェスの作成に失敗しました");
    }
    if (Failed(temp->Lock(&dst, kLockWait | kLockWriteOnly, &pixels, &pitch))) {
      temp->Release();
      return -1;
    }
  }
  // Alpha-test textures take their transparency from the graphic's
  // transparent colour; textures with an alpha channel keep the image's.
  const int transparent = (r->settings.alpha_test && !r->settings.alpha_channel) ? 1 : 0;
  const ImageRecord* alpha = source.alpha;
  ConvertPixelRect(pixels, pitch, format, image->pixels, image->pitch, &image->format,
                   alpha ? alpha->pixels : nullptr, alpha ? alpha->pitch : 0,
                   alpha ? &alpha->format : nullptr, 0, 0, &src_rect, source.conversion_option & 1,
                   transparent, r->transparent_color, 0, 0);
  if (temp) {
    temp->Unlock();
    Device3DRecord* dev = CurrentDeviceRecord();
    if (!dev || Failed(dev->device->Load(r->surface, dst.left, dst.top, temp, &dst, 0))) {
      temp->Release();
      GfxFatal(
          "作業用テクスチャサーフェスから描画用テクスチャサーフェスへの画像転送に失敗しました");
    }
    temp->Release();
  } else {
    UnlockSurfaceRecord(p->texture, &dst);
  }
  SetSurfaceColorKey(p->texture);
  return 0;
}

int UploadImageToTextureParts(const UploadSourceSet& source, int offset_x, int offset_y,
                              int graphic) {
  const GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g) return -1;
  for (int i = 0; i < g->part_count; ++i) {
    const TexturePartRecord* p = GetTexturePartRecord(g->parts[i]);
    if (!p) return -1;
    const Rect from{p->x + offset_x, p->y + offset_y, p->x + offset_x + p->width,
                    p->y + offset_y + p->height};
    if (TransferImageToTexturePart(source, from, p->texture_x, p->texture_y, g->parts[i]) != 0) {
      return -1;
    }
  }
  return 0;
}

int UploadImageRectToTextureParts(const UploadSourceSet& source, const Rect& src_rect, int dest_x,
                                  int dest_y, int graphic) {
  const GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g) return -1;
  const Rect placed{dest_x, dest_y, dest_x + src_rect.Width(), dest_y + src_rect.Height()};
  for (int i = 0; i < g->part_count; ++i) {
    const TexturePartRecord* p = GetTexturePartRecord(g->parts[i]);
    if (!p) return -1;
    const Rect area{p->x, p->y, p->x + p->width, p->y + p->height};
    const Rect o = Intersect(placed, area);
    if (o.Empty()) continue;
    const Rect from{src_rect.left + o.left - dest_x, src_rect.top + o.top - dest_y,
                    src_rect.left + o.right - dest_x, src_rect.top + o.bottom - dest_y};
    if (TransferImageToTexturePart(source, from, p->texture_x + o.left - p->x,
                                   p->texture_y + o.top - p->y, g->parts[i]) != 0) {
      return -1;
    }
  }
  return 0;
}

int FillTextureParts(int graphic, int red, int green, int blue, int alpha) {
  const GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g || !D3D().object) return -1;
  if (D3D().target_not_renderable) return 0;
  for (int i = 0; i < g->part_count; ++i) {
    const TexturePartRecord* p = GetTexturePartRecord(g->parts[i]);
    if (!p) return -1;
    FillSurfaceRecord(p->texture, red, green, blue, alpha);
  }
  return 0;
}

int GetGraphicPartsLostFlags(int graphic) {
  const GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g || !D3D().object) return -1;
  int lost = 0;
  for (int i = 0; i < g->part_count; ++i) {
    const TexturePartRecord* p = GetTexturePartRecord(g->parts[i]);
    if (p) lost |= RestoreSurfaceIfLost(p->texture);
  }
  return lost ? -1 : 0;
}

int RestoreGraphicTextureParts(int graphic) { return GetGraphicPartsLostFlags(graphic); }

int ReleaseAllTexturePartSurfaces() {
  for (int slot = 0; slot < g_parts.bound(); ++slot) {
    if (const TexturePartRecord* p = g_parts.at(slot)) ReleaseSurfaceOfRecord(p->texture);
  }
  return 0;
}

int RecreateAllTexturePartSurfaces() {
  for (int slot = 0; slot < g_parts.bound(); ++slot) {
    if (const TexturePartRecord* p = g_parts.at(slot)) {
      CreateSurfaceOfRecord(p->texture);
      SetSurfaceColorKey(p->texture);
    }
  }
  return 0;
}
