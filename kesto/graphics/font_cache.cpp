#include "graphics/font_cache.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/screen.h"
#include "graphics/surface_2d.h"
#include "graphics/surface_upload.h"
#include "platform/gdi/font.h"
#include "platform/gdi/text_dc.h"

namespace gdi = platform::gdi;
using platform::video::Rect;

namespace {

// Edge masks of sizes 2 to 4, centred on a body pixel; size 1 is a plus
// sign and larger sizes the full square.
const char* const kEdgeDisc2[5] = {".###.", "#####", "#####", "#####", ".###."};
const char* const kEdgeDisc3[7] = {"...#...", ".#####.", ".#####.", "#######",
                                   ".#####.", ".#####.", "...#..."};
const char* const kEdgeDisc4[9] = {"..#####..", ".#######.", "#########",
                                   "#########", "#########", "#########",
                                   "#########", ".#######.", "..#####.."};

bool InEdgeMask(int edge, int dx, int dy) {
  if (edge <= 0) return false;
  if (edge == 1) return std::abs(dx) + std::abs(dy) == 1;
  if (edge > 4) return true;
  const char* const* rows = edge == 2 ? kEdgeDisc2 : edge == 3 ? kEdgeDisc3 : kEdgeDisc4;
  return rows[dy + edge][dx + edge] == '#';
}

// Every offset of the mask, listed once per glyph.
std::vector<std::pair<int, int>> EdgeOffsets(int edge) {
  std::vector<std::pair<int, int>> out;
  for (int dy = -edge; dy <= edge; ++dy)
    for (int dx = -edge; dx <= edge; ++dx)
      if (InEdgeMask(edge, dx, dy)) out.emplace_back(dx, dy);
  return out;
}

int CodeIndex(const CodeListEntry& e) {
  return static_cast<uint8_t>(e[0]) | (static_cast<uint8_t>(e[1]) << 8);
}

uint32_t GlyphCode(const CodeListEntry& e) {
  const uint32_t first = static_cast<uint8_t>(e[0]);
  return e[1] ? (first << 8) | static_cast<uint8_t>(e[1]) : first;
}

bool IsSpace(const CodeListEntry& e) {
  return (e[0] == 0x20 && e[1] == 0) ||
         (static_cast<uint8_t>(e[0]) == 0x81 && static_cast<uint8_t>(e[1]) == 0x40);
}

struct TextureFormat {
  uint32_t alpha_mask, rgb;
  int alpha_top;  // alpha shift + alpha width
};

TextureFormat FormatOf(const ImageRecord& staging) {
  const ColorFormatHeader& h = staging.format.header;
  return {h.alpha_mask, h.red_mask | h.green_mask | h.blue_mask, h.alpha_shift + h.alpha_width};
}

uint16_t LevelPixel(const TextureFormat& f, int level) {
  if (level <= 0) return static_cast<uint16_t>(f.rgb);
  if (level > 16) level = 16;
  return static_cast<uint16_t>(((static_cast<uint32_t>(level) << (f.alpha_top - 4)) - 1) | f.rgb);
}

// A glyph bitmap as levels 0..16 placed at (e, e) of a grid of the given
// size (mono bits read as 16); what lies outside the grid is cut.
void PlaceLevels(const uint8_t* bitmap, int pitch, int width, int height, bool mono, int e,
                 int grid_w, int grid_h, std::vector<uint8_t>* levels) {
  levels->assign(static_cast<size_t>(grid_w) * grid_h, 0);
  for (int y = 0; y < height && y + e < grid_h; ++y) {
    const uint8_t* row = bitmap + static_cast<size_t>(y) * pitch;
    for (int x = 0; x < width && x + e < grid_w; ++x) {
      const int v = mono ? ((row[x >> 3] >> (7 - (x & 7))) & 1) * 16 : std::min<int>(row[x], 16);
      (*levels)[static_cast<size_t>(y + e) * grid_w + x + e] = static_cast<uint8_t>(v);
    }
  }
}

// The edge levels of a body: with `sum`, coverages join as the union of
// two sixteenths; without, the larger wins where the body is not full.
void SpreadEdge(const std::vector<uint8_t>& body, int w, int h, int edge, bool sum,
                std::vector<uint8_t>* out) {
  out->assign(body.size(), 0);
  const auto offsets = EdgeOffsets(edge);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int l = body[static_cast<size_t>(y) * w + x];
      if (!l) continue;
      for (const auto& [dx, dy] : offsets) {
        const int px = x + dx, py = y + dy;
        if (px < 0 || py < 0 || px >= w || py >= h) continue;
        uint8_t& e = (*out)[static_cast<size_t>(py) * w + px];
        if (sum) {
          e = static_cast<uint8_t>((256 - (16 - e) * (16 - l)) >> 4);
        } else if (l > e && body[static_cast<size_t>(py) * w + px] < 16) {
          e = static_cast<uint8_t>(l);
        }
      }
    }
  }
}

struct RenderContext {
  FontRecord* f;
  gdi::DeviceContext* dc;
  gdi::TextMetrics tm;
  int e;
};

// Plain and edged fonts on the bitmap cache: text output and the edge.
void RenderTextOut(const RenderContext& c, FontCacheSlot* slot, const CodeListEntry& code,
                   int x, int y) {
  FontRecord* f = c.f;
  const int cell = f->cell_size;
  const int length = code[1] ? 2 : 1;
  gdi::TextSize ext;
  c.dc->GetTextExtentPoint32(code, length, &ext);
  slot->x_offset = 0;
  slot->y_offset = 0;
  slot->advance = static_cast<int16_t>(ext.cx);
  slot->width = static_cast<int16_t>(ext.cx);
  slot->height = static_cast<int16_t>(ext.cy);
  // A reused cell is cleared first, so no pixel of its last glyph's edge is
  // left around the new one; the text stays inside its cell.
  const bool whole_rows = f->dib->bit_count() == 1 && x == 0 && cell >= f->dib->width();
  for (int row = y; row < y + cell; ++row) {
    if (f->dib->bit_count() == 8) {
      std::memset(f->dib_bits + static_cast<size_t>(row) * f->dib_pitch + x, 0,
                  static_cast<size_t>(cell));
    } else if (whole_rows) {
      std::memset(f->dib_bits + static_cast<size_t>(row) * f->dib_pitch, 0,
                  static_cast<size_t>(f->dib_pitch));
    } else {
      for (int col = x; col < x + cell; ++col) f->dib->SetIndex(col, row, 0);
    }
  }
  const int clip[4] = {x, y, x + cell, y + cell};
  c.dc->SetClipRect(clip);
  c.dc->TextOut(x + c.e, y + c.e, code, length);
  c.dc->SetClipRect(nullptr);
  if (!(f->type & kFontTypeEdge) || c.e == 0) return;
  const auto offsets = EdgeOffsets(c.e);
  const int bx1 = x + c.e, by1 = y + c.e;
  const int bx2 = std::min(bx1 + ext.cx, x + cell), by2 = std::min(by1 + ext.cy, y + cell);
  for (int py = by1; py < by2; ++py) {
    for (int px = bx1; px < bx2; ++px) {
      if (!(f->dib->GetIndex(px, py) & 2)) continue;
      for (const auto& [dx, dy] : offsets) {
        const int ex = px + dx, ey = py + dy;
        if (ex < x || ey < y || ex >= x + cell || ey >= y + cell) continue;
        f->dib->SetIndex(ex, ey, f->dib->GetIndex(ex, ey) | 1);
      }
    }
  }
}

// Antialiased fonts on the bitmap cache, and every font on the texture.
void RenderOutline(const RenderContext& c, FontCacheSlot* slot, const CodeListEntry& code,
                   int x, int y) {
  FontRecord* f = c.f;
  const int cell = f->cell_size, e = c.e;
  const bool texture = f->texture_cache != 0;
  const bool aa = (f->type & kFontTypeAntialias) != 0;
  ImageRecord& staging = f->staging;
  if (texture) {
    std::memset(staging.pixels, 0, static_cast<size_t>(staging.pitch) * staging.height);
  } else {
    const int bytes = f->type == 3 ? 2 : 1;
    for (int row = 0; row < cell; ++row) {
      std::memset(f->dib_bits + static_cast<size_t>(y + row) * f->dib_pitch +
                      static_cast<size_t>(x) * bytes,
                  0, static_cast<size_t>(cell) * bytes);
    }
  }
  const uint32_t format = (!texture || aa) ? gdi::kGgoGray4Bitmap : gdi::kGgoBitmap;
  gdi::GlyphMetrics gm;
  const uint32_t code_value = GlyphCode(code);
  if (IsSpace(code)) {
    c.dc->GetGlyphOutline(code_value, format, &gm, 0, nullptr);
    slot->advance = gm.cell_inc_x;
    slot->width = slot->height = 0;
    return;
  }
  const uint32_t size = c.dc->GetGlyphOutline(code_value, format, &gm, 0, nullptr);
  if (size == gdi::kGdiError) GfxFatal("GetGlyphOutline 関数が失敗しました");
  slot->x_offset = static_cast<int16_t>(gm.origin_x);
  slot->y_offset = static_cast<int16_t>(c.tm.ascent - gm.origin_y);
  slot->advance = gm.cell_inc_x;
  // A black box of no height has no rows to measure a pitch by.
  if (gm.black_box_y == 0 || gm.black_box_x == 0 || size == 0) {
    slot->width = slot->height = 0;
    return;
  }
  slot->width = static_cast<int16_t>(gm.black_box_x);
  slot->height = static_cast<int16_t>(gm.black_box_y);
  const uint32_t pitch = (size / gm.black_box_y) & ~3u;
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size + 2 * pitch]());
  if (!buffer) GfxFatal("アンチエイリアス文字取得用バッファの確保に失敗しました");
  if (c.dc->GetGlyphOutline(code_value, format, &gm, size, buffer.get() + pitch) ==
      gdi::kGdiError) {
    GfxFatal("GetGlyphOutline 関数が失敗しました");
  }
  const uint8_t* bitmap = buffer.get() + pitch;
  const int bw = static_cast<int>(gm.black_box_x), bh = static_cast<int>(gm.black_box_y);
  const bool mono = format == gdi::kGgoBitmap;

  std::vector<uint8_t> body, edge;
  if (!texture) {
    PlaceLevels(bitmap, static_cast<int>(pitch), bw, bh, mono, e, cell, cell, &body);
    if (f->type == 3) SpreadEdge(body, cell, cell, e, false, &edge);
    for (int row = 0; row < cell; ++row) {
      uint8_t* out = f->dib_bits + static_cast<size_t>(y + row) * f->dib_pitch;
      for (int col = 0; col < cell; ++col) {
        const int l = body[static_cast<size_t>(row) * cell + col];
        const uint8_t b = l ? static_cast<uint8_t>(l * 16 - 1) : 0;
        if (f->type == 3) {
          const int v = edge[static_cast<size_t>(row) * cell + col];
          out[2 * (x + col)] = b;
          out[2 * (x + col) + 1] = v ? static_cast<uint8_t>(v * 16 - 1) : 0;
        } else {
          out[x + col] = b;
        }
      }
    }
    return;
  }

  // The texture: body cells in the left half of the staging image, the edge
  // layer of edged fonts in the right half.
  const TextureFormat tf = FormatOf(staging);
  const int half = cell;
  const int grid_w = half, grid_h = staging.height;
  PlaceLevels(bitmap, static_cast<int>(pitch), bw, bh, mono, e, grid_w, grid_h, &body);
  const bool edged = (f->type & kFontTypeEdge) != 0;
  if (edged) SpreadEdge(body, grid_w, grid_h, e, true, &edge);
  for (int row = 0; row < grid_h; ++row) {
    auto* out = reinterpret_cast<uint16_t*>(staging.pixels + static_cast<size_t>(row) * staging.pitch);
    for (int col = 0; col < grid_w; ++col) {
      const size_t i = static_cast<size_t>(row) * grid_w + col;
      if (mono) {
        out[col] = static_cast<uint16_t>(body[i] ? tf.alpha_mask | tf.rgb : tf.rgb);
        if (edged) {
          out[half + col] = static_cast<uint16_t>(edge[i] ? tf.alpha_mask | tf.rgb : tf.rgb);
        }
      } else {
        out[col] = LevelPixel(tf, body[i]);
        if (edged) out[half + col] = LevelPixel(tf, edge[i]);
      }
    }
  }
  const int w = std::min(bw + 2 * e, cell), h = std::min(bh + 2 * e, cell);
  const Rect body_rect{0, 0, w, h};
  UploadImageRectToGraphic(0, 0, 0, nullptr, 0, &staging, nullptr, body_rect, x, y,
                           f->cache_texture, 0);
  if (edged) {
    const Rect edge_rect{half, 0, half + w, h};
    UploadImageRectToGraphic(0, 0, 0, nullptr, 0, &staging, nullptr, edge_rect,
                             f->cache_width + x, y, f->cache_texture, 0);
  }
}

}  // namespace

int IsMultiByteLead(const char* byte, int charset_index) {
  const uint8_t b = static_cast<uint8_t>(*byte);
  if (charset_index == 2) return b >= 0x80 ? 1 : 0;
  return ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) ? 1 : 0;
}

void TextureCacheLayout(int cell, int* capacity, int* width, int* height) {
  int w = 512, h = 512;
  int cap = (w / cell) * (h / cell);
  while (cap < 10) {
    if (w <= h) {
      w *= 2;
    } else {
      h *= 2;
    }
    cap = (w / cell) * (h / cell);
  }
  *capacity = std::min(cap, kMaxFontCacheCells);
  *width = w;
  *height = h;
}

void DibCacheLayout(int cell, int type, int* capacity, int* width, int* height) {
  constexpr int kMaxHeight = 16384;
  int cap = std::clamp(327680 / (cell * cell), 20, kMaxFontCacheCells);
  int w = cell;
  int cells_high = cap;
  if (type == 0) {
    if (cells_high * cell > kMaxHeight) cells_high = kMaxHeight / cell;
    cap = cells_high;
  } else {
    // Halved by cells, an odd count rounding up, so every cell keeps a place.
    while (cells_high * cell > kMaxHeight) {
      w *= 2;
      cells_high = (cells_high >> 1) + (cells_high & 1);
    }
  }
  *capacity = cap;
  *width = w;
  *height = cells_high * cell;
}

void CellPosition(const FontRecord& f, int number, int* x, int* y) {
  const int rows = f.rows > 0 ? f.rows : 1;
  *x = (number / rows) * f.cell_size;
  *y = (number % rows) * f.cell_size;
}

int ResetFontCache(int font) {
  FontRecord* f = GetFontRecord(font);
  if (!f) return -1;
  std::memset(f->codes, 0, sizeof f->codes);
  std::memset(f->slots, 0, sizeof f->slots);
  for (int n = 0; n < kFontCacheSlots; ++n) {
    f->slots[n].number = n < f->capacity ? n : -1;
    f->slots[n].code = -1;
  }
  f->fill_index = 0;
  return 0;
}

int CacheStringGlyphs(int font, const char* text, int length, CodeListEntry* list, int* count,
                      int* consumed) {
  FontRecord* f = GetFontRecord(font);
  if (!f) return -1;
  if (!text) text = "";
  static CodeListEntry internal[kCodeListCapacity];
  if (!list) list = internal;
  const size_t n = length >= 0 ? strnlen(text, static_cast<size_t>(length)) : std::strlen(text);
  CodeListEntry fresh[kCodeListCapacity];
  const int fresh_limit = std::min(kCodeListCapacity, f->capacity);
  int listed = 0, fresh_count = 0;
  size_t i = 0;
  while (i < n && listed < kCodeListCapacity) {
    CodeListEntry& e = list[listed++];
    e[0] = text[i];
    // A lead byte at the end pairs with the terminator, never with a byte
    // beyond the length.
    const bool two = IsMultiByteLead(text + i, f->charset) != 0;
    e[1] = two && i + 1 < n ? text[i + 1] : 0;
    e[2] = 0;
    i += two ? 2 : 1;
    const FontCodeEntry& ce = f->codes[CodeIndex(e)];
    if (ce.cached || fresh_count >= fresh_limit) continue;
    // A character twice in the text is rendered once.
    bool listed_already = false;
    for (int k = 0; k < fresh_count && !listed_already; ++k)
      listed_already = fresh[k][0] == e[0] && fresh[k][1] == e[1];
    if (!listed_already) std::memcpy(fresh[fresh_count++], e, sizeof(CodeListEntry));
  }
  if (fresh_count > 0) RenderGlyphsToCache(font, fresh_count, fresh);
  if (count) *count = listed;
  if (consumed) *consumed = static_cast<int>(std::min(i, n));
  return 0;
}

FontCacheSlot* RenderGlyphsToCache(int font, int count, const CodeListEntry* list) {
  if (GetDrawState().suspended || !GetDirectDrawObject()) return nullptr;
  FontRecord* f = GetFontRecord(font);
  if (!f || count <= 0) return nullptr;
  auto dc = gdi::DeviceContext::CreateCompatible();
  if (!dc) GfxFatal("テキストキャッシュサーフェスのＤＣの取得に失敗しました");
  if (f->dib) dc->SelectBitmap(f->dib);
  dc->SelectFont(f->gdi_font);
  if (f->palette) dc->SelectPalette(f->palette, false);
  RenderContext c{f, dc.get(), {}, (f->type & kFontTypeEdge) ? f->edge_size : 0};
  if (!dc->GetTextMetrics(&c.tm)) GfxFatal("テキストキャッシュサーフェスのＤＣの取得に失敗しました");
  if (!f->texture_cache) {
    dc->SetTextColor(gdi::PaletteIndex(f->type == 1 ? 3 : 1));
    dc->SetBkColor(gdi::PaletteIndex(0));
    dc->SetBkMode(gdi::kOpaque);
  }
  FontCacheSlot* slot = nullptr;
  for (int k = 0; k < count; ++k) {
    const int index = f->fill_index;
    slot = &f->slots[index];
    // The old character loses its cell, unless its entry already points at
    // another cell.
    if (slot->in_use && slot->code >= 0) {
      FontCodeEntry& old = f->codes[slot->code];
      if (old.cached && old.slot == index) old = FontCodeEntry{0, 0};
    }
    const int code = CodeIndex(list[k]);
    f->codes[code] = FontCodeEntry{1, static_cast<int16_t>(index)};
    slot->code = code;
    slot->in_use = 1;
    slot->x_offset = slot->y_offset = 0;
    int x = 0, y = 0;
    CellPosition(*f, slot->number, &x, &y);
    if (!f->texture_cache && !(f->type & kFontTypeAntialias)) {
      RenderTextOut(c, slot, list[k], x, y);
    } else {
      RenderOutline(c, slot, list[k], x, y);
    }
    // Cells hold their glyph whole; a box wider or taller than the cell is cut.
    // A code with no advance (no character of the set) takes no room.
    if (slot->advance > 0) slot->advance = static_cast<int16_t>(slot->advance + 2 * c.e);
    if (slot->width || slot->height) {
      slot->width = static_cast<int16_t>(std::min<int>(slot->width + 2 * c.e, f->cell_size));
      slot->height = static_cast<int16_t>(std::min<int>(slot->height + 2 * c.e, f->cell_size));
    }
    f->fill_index = index + 1 >= f->capacity ? 0 : index + 1;
  }
  dc->SelectPalette(nullptr, false);
  dc->SelectFont(nullptr);
  dc->SelectBitmap(nullptr);
  return slot;
}

FontCacheSlot* FindOrRenderGlyph(int font, const CodeListEntry& code) {
  FontRecord* f = GetFontRecord(font);
  if (!f) return nullptr;
  const FontCodeEntry& e = f->codes[CodeIndex(code)];
  if (e.cached) return &f->slots[e.slot];
  return RenderGlyphsToCache(font, 1, &code);
}

int RefreshFontCacheSurfaces(int font) {
  FontRecord* f = GetFontRecord(font);
  if (!f) return -1;
  const bool aa = (f->type & kFontTypeAntialias) != 0;
  if (f->work_surface_gone) {
    f->work_surface_gone = 0;
    int w = 0, h = 0;
    GetScreenResolution(&w, &h);
    SurfaceSettings s{};
    s.alpha_channel = aa ? 1 : 0;
    s.draw_valid = 1;
    s.system_memory = 1;
    s.color_depth = static_cast<uint8_t>(GetScreenColorBits());
    f->work_surface = AddSurface2D(w, h, 0, 0, -1, nullptr, 0, 0, s);
    if (f->work_surface < 0) return -1;
    SetSurface2DDeleteFlag(f->work_surface, &f->work_surface_gone);
  }
  if (f->cache_texture_gone) {
    f->cache_texture_gone = 0;
    DrawState& st = GetDrawState();
    const DrawState kept = st;
    st.color_depth = 16;
    st.use_3d = 1;
    st.draw_valid = 0;
    st.system_memory = 0;
    st.alpha_test = aa ? 0 : 1;
    const int width = (f->type & kFontTypeEdge) ? f->cache_width * 2 : f->cache_width;
    int g = MakeGraphic(width, f->cache_height, 1, aa ? 1 : 0);
    st.color_depth = kept.color_depth;
    st.use_3d = kept.use_3d;
    st.draw_valid = kept.draw_valid;
    st.system_memory = kept.system_memory;
    st.alpha_test = kept.alpha_test;
    const GraphicRecord* record = GetGraphicRecord(g);
    if (record && !record->texture) {
      DeleteGraphic(g, 0);
      g = -1;
    }
    f->cache_texture = g;
    if (g < 0) return -1;
    AttachGraphicDeleteFlag(g, &f->cache_texture_gone);
    FillGraphic(g, 255, 255, 255, 0);
    ResetFontCache(font);
  }
  return 0;
}
