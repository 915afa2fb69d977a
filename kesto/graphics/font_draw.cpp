#include "graphics/font_draw.h"

#include <algorithm>
#include <cstring>

#include "core/entry_bodies.h"
#include "graphics/color_format.h"
#include "graphics/device3d_services.h"
#include "graphics/draw_dispatch.h"
#include "graphics/draw_state.h"
#include "graphics/font_cache.h"
#include "graphics/font_glyph_copy.h"
#include "graphics/font_handles.h"
#include "graphics/graphics_host.h"
#include "graphics/screen.h"
#include "graphics/software_draw_services.h"
#include "graphics/surface_2d.h"

using platform::video::Rect;
using platform::video::Surface;

namespace {

struct TextColors {
  uint32_t color, edge;          // screen format
  uint32_t color_rgb, edge_rgb;  // 0x00RRGGBB, as brightness
};

uint32_t Rgb(int r, int g, int b) {
  return static_cast<uint32_t>((r << 16) | (g << 8) | b);
}

// The colours of a draw, scaled by the brightness when one is set.
TextColors ColorsOf(int color, int edge_color) {
  int c[3], e[3];
  GetColorComponents(color, &c[0], &c[1], &c[2]);
  GetColorComponents(edge_color, &e[0], &e[1], &e[2]);
  const int brightness = GetDrawState().brightness;
  TextColors out{static_cast<uint32_t>(color), static_cast<uint32_t>(edge_color), 0, 0};
  if (brightness != -1 && (brightness & 0xFFFFFF) != 0xFFFFFF) {
    const int b[3] = {(brightness >> 16) & 255, (brightness >> 8) & 255, brightness & 255};
    for (int i = 0; i < 3; ++i) {
      c[i] = b[i] * c[i] / 255;
      e[i] = b[i] * e[i] / 255;
    }
    out.color = static_cast<uint32_t>(PackRgbColorBody(c[0], c[1], c[2]));
    out.edge = static_cast<uint32_t>(PackRgbColorBody(e[0], e[1], e[2]));
  }
  out.color_rgb = Rgb(c[0], c[1], c[2]);
  out.edge_rgb = Rgb(e[0], e[1], e[2]);
  return out;
}

// Where a 16-bit screen keeps its channels, for blending edged
// antialiased text: 0 5-6-5, 1 5-5-5, -1 neither.
int Layout16() {
  const ColorFormatHeader& h = ScreenFormat().block.header;
  if ((h.red_mask & 0xF800) && (h.green_mask & 0x07E0) && (h.blue_mask & 0x001F)) return 0;
  if ((h.red_mask & 0x7C00) && (h.green_mask & 0x03E0) && (h.blue_mask & 0x001F)) return 1;
  return -1;
}

[[noreturn]] void CacheFailed() { GfxFatal("テキストキャッシュの作成に失敗しました"); }

// One cell of a texture font through the graphic draws.
void DrawTextureCell(const FontRecord& f, const FontCacheSlot& slot, int cell_x, int cell_y,
                     const Rect& box, bool vertical, const TextColors& colors) {
  DrawState& st = GetDrawState();
  const int kept_brightness = st.brightness;
  const bool edged = (f.type & kFontTypeEdge) != 0;
  if (!vertical) {
    if (edged) {
      st.brightness = static_cast<int>(colors.edge_rgb);
      BlitGraphicSourceRect(box.left, box.top, cell_x + f.cache_width, cell_y, slot.width,
                            slot.height, f.cache_texture, 1, 0);
    }
    st.brightness = static_cast<int>(colors.color_rgb);
    BlitGraphicSourceRect(box.left, box.top, cell_x, cell_y, slot.width, slot.height,
                          f.cache_texture, 1, 0);
    st.brightness = kept_brightness;
    return;
  }
  // The whole texture, turned a quarter turn clockwise so that the cell
  // lands in the box; the narrowed draw area hides the rest.
  const Rect kept = st.area;
  Rect narrowed{box.left - 1, box.top, box.right + 1, box.bottom};
  ClipRect(&narrowed, kept);
  if (!narrowed.Empty()) {
    ApplyDrawArea(narrowed.left, narrowed.top, narrowed.right, narrowed.bottom);
    const int tex_w = edged ? f.cache_width * 2 : f.cache_width;
    const float tw = static_cast<float>(tex_w), th = static_cast<float>(f.cache_height);
    const float right = static_cast<float>(box.right + cell_y) - 0.5f;
    const float left = right - th;
    auto quad = [&](float top) {
      // Top-left, top-right, bottom-right and bottom-left of the texture.
      BlitGraphicFourCornersFloat(right, top, right, top + tw, left, top + tw, left, top,
                                  f.cache_texture, 1);
    };
    const float top = static_cast<float>(box.top - cell_x) - 0.5f;
    if (edged) {
      st.brightness = static_cast<int>(colors.edge_rgb);
      quad(top - static_cast<float>(f.cache_width));
    }
    st.brightness = static_cast<int>(colors.color_rgb);
    quad(top);
    ApplyDrawArea(kept.left, kept.top, kept.right, kept.bottom);
  }
  st.brightness = kept_brightness;
}

}  // namespace

int FontCacheStringDraw(int draw, int x, int y, const char* text, int color, Surface* target,
                        uint8_t* alpha, int alpha_pitch, const Rect& clip, int color_bits,
                        int transparent, int font, int edge_color, int length, int vertical,
                        int* size) {
  if (GetDrawState().suspended || !GetDirectDrawObject()) return -1;
  FontRecord* f = GetFontRecord(font);
  if (!f) return -1;
  const TextColors colors = ColorsOf(color, edge_color);
  if (!text || !*text) {
    if (size) size[0] = size[1] = 0;
    return 0;
  }
  const size_t full = length >= 0 ? strnlen(text, static_cast<size_t>(length)) : std::strlen(text);
  const int n = static_cast<int>(std::min<size_t>(full, 0x7FFFFFFF));

  const bool dib_draw = draw && !f->texture_cache;
  uint8_t* pixels = nullptr;
  int pitch = 0;
  Rect bounds = clip;
  if (dib_draw) {
    if (!target || platform::video::Failed(
                       target->Lock(nullptr, platform::video::kLockWait, &pixels, &pitch))) {
      GfxFatal("描画先サーフェスのロックに失敗しました in FontCacheStringDraw");
    }
    ClipRect(&bounds, Rect{0, 0, target->width(), target->height()});
  }
  const GlyphCopyTarget copy_target{pixels, pitch, color_bits, alpha, alpha_pitch, Layout16()};
  const GlyphCopySource copy_source{f->dib_bits, f->dib_pitch, f->type};
  const GlyphCopyColors copy_colors{colors.color, colors.edge, transparent};

  CodeListEntry list[kCodeListCapacity];
  int pen = 0;
  for (int offset = 0; offset < n;) {
    int count = 0, consumed = 0;
    CacheStringGlyphs(font, text + offset, n - offset, list, &count, &consumed);
    if (consumed <= 0) break;
    offset += consumed;
    for (int k = 0; k < count; ++k) {
      // Rendering may reuse cells; the record itself stays where it is.
      const FontCacheSlot* slot = FindOrRenderGlyph(font, list[k]);
      if (!slot) {
        if (dib_draw) target->Unlock();
        CacheFailed();
      }
      const bool space = (list[k][0] == 0x20 && list[k][1] == 0) ||
                         (static_cast<uint8_t>(list[k][0]) == 0x81 &&
                          static_cast<uint8_t>(list[k][1]) == 0x40);
      if (draw && !space && (slot->width || slot->height)) {
        Rect box;
        if (!vertical) {
          box.left = x + pen + slot->x_offset;
          box.top = y + slot->y_offset;
          box.right = box.left + slot->width;
          box.bottom = box.top + slot->height;
        } else {
          box.right = x + f->line_height - slot->y_offset;
          box.left = box.right - slot->height;
          box.top = y + pen + slot->x_offset;
          box.bottom = box.top + slot->width;
        }
        int cell_x = 0, cell_y = 0;
        CellPosition(*f, slot->number, &cell_x, &cell_y);
        if (f->texture_cache) {
          DrawTextureCell(*f, *slot, cell_x, cell_y, box, vertical != 0, colors);
        } else {
          CopyGlyphCell(copy_target, copy_source, copy_colors, cell_x, cell_y, box,
                        platform::video::Intersect(box, bounds), vertical != 0);
        }
      }
      pen += slot->advance + f->spacing;
    }
  }
  if (dib_draw) target->Unlock();
  if (size) {
    size[0] = vertical ? f->line_height : pen;
    size[1] = vertical ? pen : f->line_height;
  }
  return pen;
}

int DrawFontStringDirect3D(int x, int y, const char* text, int color, int font, int edge_color,
                           int vertical) {
  const FontRecord* f = GetFontRecord(font);
  if (!f) return -1;
  if (!f->texture_cache) {
    return DrawFontStringSoftware(x, y, text, color, font, edge_color, vertical);
  }
  if (GetCurrentDevice3D() < 0) return -1;
  RefreshFontCacheSurfaces(font);
  FontCacheStringDraw(1, x, y, text, color, nullptr, nullptr, 0, GetDrawState().area,
                      GetScreenColorBits(), 1, font, edge_color, -1, vertical, nullptr);
  return 0;
}

int DrawFontStringSoftware(int x, int y, const char* text, int color, int font, int edge_color,
                           int vertical) {
  const FontRecord* f = GetFontRecord(font);
  if (!f) return -1;
  if (f->texture_cache) return DrawFontStringDirect3D(x, y, text, color, font, edge_color, vertical);
  DrawState& st = GetDrawState();
  if (st.target_invalid) return -1;
  FlushCurrentVertexBatch();
  EndSceneIfBegun();
  Surface* target = GetDrawTargetSurface();
  if (st.suspended) return 0;
  if (!target) return -1;
  const int bits = GetScreenColorBits();
  const bool aa = (f->type & kFontTypeAntialias) != 0;
  if ((st.blend_mode == 0 || bits == 8) && !aa) {
    const Rect& o = st.front_screen_rect;
    const Rect area{st.area.left + o.left, st.area.top + o.top, st.area.right + o.left,
                    st.area.bottom + o.top};
    return FontCacheStringDraw(1, x + o.left, y + o.top, text, color, target, nullptr, 0, area,
                               bits, 1, font, edge_color, -1, vertical, nullptr) == -1
               ? -1
               : 0;
  }

  // Through the work surface, keyed on a colour the text does not take.
  RefreshFontCacheSurfaces(font);
  f = GetFontRecord(font);
  const Surface2D* work = f ? GetSurface2D(f->work_surface) : nullptr;
  SurfaceRecord* record = work ? GetSurfaceRecord(work->surface_record) : nullptr;
  if (!record || !record->surface) return -1;
  const bool keyed = st.blend_mode == 1 || aa;
  uint32_t key_rgb = 0;
  if (keyed && bits != 8) {
    const uint32_t k = ~(static_cast<uint32_t>(color) + static_cast<uint32_t>(edge_color) + 100u);
    key_rgb = k & 0xFFFFFFu;
  }
  record->transparent_color = key_rgb;
  SetSurfaceColorKey(work->surface_record);
  const uint32_t key = bits == 8 ? 0u
                                 : static_cast<uint32_t>(PackRgbColorBody(
                                       (key_rgb >> 16) & 255, (key_rgb >> 8) & 255, key_rgb & 255));
  int size[2] = {0, 0};
  FontCacheStringDraw(0, 0, 0, text, color, nullptr, nullptr, 0, Rect{}, bits, 1, font,
                      edge_color, -1, vertical, size);
  // The work surface is the screen's size: a longer string is cut there.
  const Rect box{0, 0, std::min(size[0], static_cast<int>(record->width)),
                 std::min(size[1], static_cast<int>(record->height))};
  if (box.Empty()) return 0;
  record->surface->Blt(&box, nullptr, nullptr,
                       platform::video::kBltColorFill | platform::video::kBltWait, key);
  // Coverage left from an earlier string must not show through.
  if (record->alpha_buffer) {
    for (int row = 0; row < box.bottom; ++row) {
      std::memset(record->alpha_buffer + static_cast<size_t>(row) * record->alpha_pitch, 0,
                  static_cast<size_t>(box.right));
    }
  }
  FontCacheStringDraw(1, 0, 0, text, color, record->surface, record->alpha_buffer,
                      static_cast<int>(record->alpha_pitch), box, bits, 1, font, edge_color, -1,
                      vertical, nullptr);
  const int kept_brightness = st.brightness;
  const Rect kept_area = st.area;
  Rect narrowed{x, y, x + box.right, y + box.bottom};
  ClipRect(&narrowed, kept_area);
  st.brightness = -1;
  st.area = narrowed;
  G_DDraw_DrawGraph(x, y, f->work_surface, keyed ? 1 : 0);
  st.area = kept_area;
  st.brightness = kept_brightness;
  return 0;
}

int PrintStringWithFont(int x, int y, const char* text, int color, int font, int edge_color,
                        int vertical) {
  const DrawState& st = GetDrawState();
  if (!text || !*text || st.suspended || st.area_empty) return 0;
  if (!GetFontRecord(font)) {
    GfxLog("フォントハンドル値が異常です\n");
    return -1;
  }
  WaitWhileWindowInactive();
  // The wait may have let the font go.
  const FontRecord* f = GetFontRecord(font);
  if (!f) return -1;
  const bool direct3d = IsDirect3DInUse() != 0;
  if (st.blend_mode != 3 || !direct3d) {
    return direct3d ? DrawFontStringDirect3D(x, y, text, color, font, edge_color, vertical)
                    : DrawFontStringSoftware(x, y, text, color, font, edge_color, vertical);
  }
  // Text downward covers a column, not a row.
  const Rect rect = vertical ? Rect{x, y, x + f->line_height, st.area.bottom}
                             : Rect{x, y, st.area.right, y + f->size + 3};
  SubtractModeBegin(rect);
  const int result = DrawFontStringDirect3D(x, y, text, color, font, edge_color, vertical);
  SubtractModeEnd(rect);
  return result;
}

int PrintStringDefaultFont(int x, int y, const char* text, int color, int edge_color) {
  RefreshDefaultFont();
  return PrintStringWithFont(x, y, text, color, GetDefaultFontHandle(), edge_color, 0);
}

int PrintTextBody(int x, int y, const char* text, int color) {
  return PrintStringDefaultFont(x, y, text, color, 0);
}
