#include "graphics/font_handles.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "core/text_helpers.h"
#include "graphics/device3d.h"
#include "graphics/draw_state.h"
#include "graphics/font_cache.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/graphics_manager.h"
#include "graphics/screen.h"
#include "graphics/surface_2d.h"
#include "platform/gdi/char_codes.h"
#include "platform/gdi/font.h"
#include "platform/gdi/text_dc.h"
#include "platform/window/system.h"

namespace gdi = platform::gdi;

namespace {

FontRecord* g_fonts[kMaxFonts];
uint32_t g_check_counter = 0;
DefaultFontSettings g_default = {-1, "", 16, 6, 0, 1, 1, 0};

constexpr int kGdiCharsets[3] = {gdi::kDefaultCharset, gdi::kShiftJisCharset,
                                 gdi::kHangeulCharset};

int HandleOf(int slot, uint32_t check) {
  return static_cast<int>(((check | 0x2000u) << 16) | static_cast<uint32_t>(slot));
}

int SlotOf(int font) { return font & 0xFFFF; }

int RoundUpEven(int v) { return (v + 1) & ~1; }

std::unique_ptr<gdi::Font> MakeGdiFont(const FontRecord& f, int charset) {
  gdi::FontDescription d;
  d.height = f.size;
  d.weight = f.thickness * 100;
  d.charset = charset;
  d.quality = gdi::kNonAntialiasedQuality;
  d.pitch_and_family = gdi::kFixedPitch;
  d.face = f.face;
  return gdi::Font::Create(d);
}

// The two texture formats the cache texture is made in must be the 16-bit
// layouts with 4-bit and with 1-bit alpha, which the texture's pixels are
// written in.
bool TextureFormatsFit() {
  const ColorFormatBlock* alpha = GetTextureFormatBlock(2);
  const ColorFormatBlock* test = GetTextureFormatBlock(4);
  if (!alpha || !test) return false;
  const ColorFormatHeader& a = alpha->header;
  const ColorFormatHeader& t = test->header;
  return a.color_bits == 16 && a.alpha_mask == 0xF000 && a.red_mask == 0x0F00 &&
         a.green_mask == 0x00F0 && a.blue_mask == 0x000F && t.color_bits == 16 &&
         t.alpha_mask == 0x8000 && t.red_mask == 0x7C00 && t.green_mask == 0x03E0 &&
         t.blue_mask == 0x001F;
}

// A failure after the record exists: the half-built font goes through the
// ordinary deletion, under the check counter 0 the failure gives it.
int FailCreation(FontRecord* f, int slot) {
  f->check = 0;
  DestroyFont(static_cast<int>(kFontHandleKind | static_cast<uint32_t>(slot)));
  return -1;
}

// The texture cache; false when the texture cannot be made (the font then
// takes the bitmap cache), -2 on a memory failure that ends the creation.
int SetUpTextureCache(FontRecord* f, int handle) {
  TextureCacheLayout(f->cell_size, &f->capacity, &f->cache_width, &f->cache_height);
  f->rows = f->cache_height / f->cell_size;
  f->cache_texture_gone = 1;
  if (RefreshFontCacheSurfaces(handle) != 0) return 0;
  const bool edged = (f->type & kFontTypeEdge) != 0;
  const ColorFormatBlock* format =
      GetTextureFormatBlock((f->type & kFontTypeAntialias) ? 2 : 4);
  ImageRecord& s = f->staging;
  s.format = *format;
  s.width = edged ? f->cell_size * 2 : f->cell_size;
  s.height = edged ? f->cell_size + 2 * f->edge_size : f->cell_size;
  s.pitch = s.width * 2;
  s.pixels = static_cast<uint8_t*>(
      GfxAlloc(static_cast<size_t>(s.pitch) * s.height, "KsGraphics", __LINE__));
  if (!s.pixels) {
    GfxLog("文字キャッシュ処理用メモリの確保に失敗しました\n");
    return -2;
  }
  return 1;
}

int SetUpDibCache(FontRecord* f) {
  const int bits = f->type == 0 ? 1 : f->type == 3 ? 16 : 8;
  DibCacheLayout(f->cell_size, f->type, &f->capacity, &f->cache_width, &f->cache_height);
  f->rows = f->cache_height / f->cell_size;
  // The bitmap description lives in tracked memory while the section is made.
  struct Description {
    gdi::BitmapInfoHeader header;
    gdi::RgbQuad colors[256];
  };
  auto* info = static_cast<Description*>(GfxAlloc(sizeof(Description), "KsGraphics", __LINE__));
  if (!info) {
    GfxLog("メモリの確保に失敗しました in CreateFontToHandle");
    return -1;
  }
  info->header.width = f->cache_width;
  info->header.height = -f->cache_height;
  info->header.planes = 1;
  info->header.bit_count = static_cast<uint16_t>(bits);
  info->header.compression = gdi::kBiRgb;
  int colors = 0;
  if (bits == 1) {
    info->colors[1] = {255, 255, 255, 0};
    colors = 2;
  } else if (bits == 8) {
    info->colors[1] = {255, 0, 0, 0};  // blue, in the table's order
    info->colors[2] = {128, 128, 128, 0};
    info->colors[3] = {255, 255, 255, 0};
    colors = 256;
  }
  auto dc = gdi::DeviceContext::CreateCompatible();
  std::unique_ptr<gdi::IndexedDibSection> dib;
  if (dc) {
    dib = gdi::IndexedDibSection::Create(info->header.width, info->header.height, bits,
                                         bits == 16 ? gdi::kDibRgbColors : gdi::kDibPalColors,
                                         info->colors, colors);
  }
  GfxFree(info);
  if (!dib) {
    GfxLog("テキストキャッシュ用ＤＩＢの作成に失敗しました\n");
    return -1;
  }
  f->dib_bits = dib->bits();
  f->dib_pitch = (dib->width_bytes() + 3) / 4 * 4;
  f->dib = dib.release();
  if (bits == 16) return 0;
  const int count = bits == 1 ? 2 : 256;
  auto* entries = static_cast<gdi::PaletteEntry*>(
      GfxAlloc(sizeof(gdi::PaletteEntry) * 256, "KsGraphics", __LINE__));
  if (!entries) {
    GfxLog("テキストキャッシュＤＩＢ用パレットのメモリの確保に失敗しました\n");
    return -1;
  }
  f->palette_block = entries;
  for (int i = 0; i < count; ++i) {
    const auto v = static_cast<uint8_t>(i);
    entries[i] = {v, v, v, gdi::kPcExplicit};
  }
  entries[0] = {0, 0, 0, gdi::kPcExplicit};
  if (bits == 1) {
    entries[1] = {255, 255, 255, gdi::kPcExplicit};
  } else {
    entries[1] = {255, 0, 0, gdi::kPcExplicit};
    entries[2] = {128, 128, 128, gdi::kPcExplicit};
    entries[3] = {255, 255, 255, gdi::kPcExplicit};
  }
  f->palette = gdi::LogicalPalette::Create(0x300, entries, count).release();
  if (!f->palette) {
    GfxLog("テキストキャッシュＤＩＢ用パレットの作成に失敗しました\n");
    return -1;
  }
  return 0;
}

}  // namespace

DefaultFontSettings& DefaultFont() { return g_default; }

FontRecord* GetFontRecord(int font) {
  if (font < 0) return nullptr;
  const uint32_t h = static_cast<uint32_t>(font);
  if ((h & 0x78000000u) != kFontHandleKind) return nullptr;
  const int slot = SlotOf(font);
  if (slot >= kMaxFonts) return nullptr;
  FontRecord* f = g_fonts[slot];
  if (!f || f->check != ((h >> 16) & 0x7FFu)) return nullptr;
  return f;
}

int IsValidFontHandle(int font) { return GetFontRecord(font) ? 1 : 0; }

int CreateFontToHandle(const char* face, int size, int thickness, int type, int charset,
                       int edge_size, int slot, int check) {
  const DrawState& st = GetDrawState();
  if (st.suspended || !GetDirectDrawObject()) return -1;
  if (type == -1) type = 0;
  type &= 3;
  if (edge_size > 0) type |= kFontTypeEdge;
  if (size == -1) size = 16;
  if (thickness == -1) thickness = 6;
  if (edge_size == -1) edge_size = 1;
  if (charset < 0 || charset > 2) {
    charset = platform::window::GetOemCodePage() == 949 ? 2 : 1;
  }
  if (size < 1 || size > kMaxFontSize || edge_size < 0 || edge_size > kMaxFontEdge) {
    GfxLog("フォントのサイズ %d または縁の太さ %d が大きすぎるか小さすぎます\n", size, edge_size);
    return -1;
  }
  if (slot != -1) {
    if (slot < 0 || slot >= kMaxFonts || g_fonts[slot]) return -1;
  } else {
    for (int i = 0; i < kMaxFonts && slot < 0; ++i)
      if (!g_fonts[i]) slot = i;
    if (slot < 0) {
      GfxLog("作成できるフォントハンドル数 %d の限界を超えました", kMaxFonts);
      return -1;
    }
  }
  auto* f = static_cast<FontRecord*>(GfxAlloc(sizeof(FontRecord), "KsGraphics", __LINE__));
  if (!f) {
    GfxLog("フォント管理用メモリ領域の確保に失敗しました\n");
    return -1;
  }
  g_fonts[slot] = f;
  f->work_surface = -1;
  f->cache_texture = -1;
  if (GetScreenColorBits() == 8) type &= ~kFontTypeAntialias;
  f->thickness = thickness;
  f->size = size;
  f->type = type;
  f->edge_size = edge_size;
  f->spacing = 0;
  if (check >= 0) {
    f->check = static_cast<uint32_t>(check) & 0x7FFu;
  } else {
    f->check = g_check_counter;
    g_check_counter = g_check_counter >= 2047 ? 0 : g_check_counter + 1;
  }
  const int handle = HandleOf(slot, f->check);
  // Fonts draw through the texture only where graphics do: with Direct3D
  // in use and textures in the two 16-bit layouts.
  f->texture_cache = (st.use_3d && GraphicsManager().usable_3d && !IsSystemMemoryOnly() &&
                      TextureFormatsFit())
                         ? 1
                         : 0;
  std::snprintf(f->face, sizeof f->face, "%s", face ? face : "");

  std::unique_ptr<gdi::Font> font = MakeGdiFont(*f, kGdiCharsets[charset]);
  if (!font) font = MakeGdiFont(*f, gdi::kDefaultCharset);
  if (!font && f->face[0]) font = MakeGdiFont(*f, gdi::kShiftJisCharset);
  if (!font) {
    GfxLog(f->face[0] ? "指定のフォントの作成に失敗しました\n" : "フォントの作成に失敗しました\n");
    return FailCreation(f, slot);
  }
  if (font->substituted()) {
    GfxLog("フォント %s が見つからないので既定のフォントで作成します\n", f->face);
  }

  auto dc = gdi::DeviceContext::CreateCompatible();
  if (!dc) {
    GfxLog("ＤＣの取得に失敗しました\n");
    return FailCreation(f, slot);
  }
  dc->SelectFont(font.get());
  gdi::TextMetrics tm;
  dc->GetTextMetrics(&tm);
  dc->SelectFont(nullptr);
  dc.reset();
  const int edge = (f->type & kFontTypeEdge) ? 2 * f->edge_size : 0;
  f->cell_size = RoundUpEven(tm.max_char_width + edge);
  f->line_height = RoundUpEven(tm.height + edge);
  f->gdi_font = font.release();

  if (f->texture_cache) {
    const int made = SetUpTextureCache(f, handle);
    if (made == -2) return FailCreation(f, slot);
    if (made == 1) {
      ResetFontCache(handle);
      f->charset = charset;
      f->delete_flag = nullptr;
      return handle;
    }
    GfxLog("テクスチャ文字キャッシュの作成に失敗しました\n");
    f->texture_cache = 0;
  }
  if (SetUpDibCache(f) != 0) return FailCreation(f, slot);
  f->work_surface_gone = 1;
  if (RefreshFontCacheSurfaces(handle) != 0) {
    GfxLog("フォント用描画スクリーンの作成に失敗しました\n");
    return FailCreation(f, slot);
  }
  ResetFontCache(handle);
  f->charset = charset;
  f->delete_flag = nullptr;
  return handle;
}

int DestroyFont(int font) {
  FontRecord* f = GetFontRecord(font);
  if (!f) return -1;
  delete f->palette;
  GfxFree(f->palette_block);
  delete f->gdi_font;
  delete f->dib;
  if (f->work_surface != -1) DeleteSurface2D(f->work_surface);
  if (f->cache_texture != -1) DeleteGraphic(f->cache_texture, 0);
  GfxFree(f->staging.pixels);
  if (f->delete_flag) *f->delete_flag = 1;
  g_fonts[SlotOf(font)] = nullptr;
  GfxFree(f);
  return 0;
}

int AttachFontDeleteFlag(int font, int* flag) {
  FontRecord* f = GetFontRecord(font);
  if (!f) return -1;
  f->delete_flag = flag;
  if (flag) *flag = 0;
  return 0;
}

int GetFontSettings(char* face, int* size, int* thickness, int font) {
  const FontRecord* f = GetFontRecord(font);
  if (!f) return -1;
  if (face) CopyText(face, f->face);
  if (size) *size = f->size;
  if (thickness) *thickness = f->thickness;
  return 0;
}

int GetDefaultFontHandle() { return g_default.handle; }

int GetFontSize(int font) {
  const FontRecord* f = GetFontRecord(font);
  return f ? f->size : -1;
}

int SetFontCharSpacing(int spacing, int font) {
  FontRecord* f = GetFontRecord(font);
  if (!f) return -1;
  f->spacing = spacing;
  return 0;
}

int RefreshDefaultFont() {
  const FontRecord* f = GetFontRecord(g_default.handle);
  if (f && CompareText(f->face, g_default.face) == 0 && f->type == g_default.type &&
      f->size == g_default.size && f->thickness == g_default.thickness &&
      f->charset == g_default.charset && f->edge_size == g_default.edge_size) {
    return 0;
  }
  DestroyFont(g_default.handle);
  g_default.handle = CreateFontToHandle(
      g_default.face, g_default.size, g_default.thickness, g_default.type, g_default.charset,
      (g_default.type & kFontTypeEdge) ? g_default.edge_size : -1, -1, -1);
  SetFontCharSpacing(g_default.spacing, g_default.handle);
  return 0;
}

int SetDefaultFontSize(const char*, int size, int thickness) {
  if (GetDrawState().suspended || !GetDirectDrawObject()) return -1;
  g_default.size = size == -1 ? 16 : size;
  g_default.thickness = thickness == -1 ? 6 : thickness;
  return RefreshDefaultFont();
}

int ResetDefaultFontSettings() {
  g_default = DefaultFontSettings{-1, "", 16, 6, 0, 1, 1, 0};
  return 0;
}

int InitFontSystem() {
  if (GetDrawState().suspended || !GetDirectDrawObject()) return -1;
  GfxLog("フォントの初期化を行います\n");
  GfxLogIndent(1);
  char face[256] = "";
  int size = 16, thickness = 6, type = -1, charset = -1;
  if (const FontRecord* f = GetFontRecord(g_default.handle)) {
    CopyText(face, f->face);
    size = f->size;
    thickness = f->thickness;
    type = f->type;
    charset = f->charset;
  }
  for (int i = 0; i < kMaxFonts; ++i) {
    if (g_fonts[i]) DestroyFont(HandleOf(i, g_fonts[i]->check));
  }
  g_default.handle = CreateFontToHandle(face, size, thickness, type, charset, -1, -1, -1);
  GfxLogIndent(-1);
  GfxLog("フォントの初期化は正常に終了しました\n");
  return 0;
}

int RecreateAllFonts() {
  for (int i = 0; i < kMaxFonts; ++i) {
    const FontRecord* f = g_fonts[i];
    if (!f) continue;
    char face[256];
    CopyText(face, f->face);
    const int charset = f->charset, size = f->size, thickness = f->thickness, type = f->type;
    // The edge keeps its width: a font must look the same after the display
    // came back.
    const int edge = (type & kFontTypeEdge) ? f->edge_size : -1;
    const uint32_t check = f->check;
    DestroyFont(HandleOf(i, check));
    CreateFontToHandle(face, size, thickness, type, charset, edge, i, static_cast<int>(check));
  }
  return 0;
}
