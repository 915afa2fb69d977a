// Font handles: the table of 40 fonts, each a GDI font with its metrics and
// the glyph cache it draws from (a texture on the Direct3D path, a bitmap
// section otherwise), the default font and its settings, and the re-creation
// of every font under its old handle after the device was rebuilt.
#pragma once

#include <cstdint>

#include "graphics/surface_upload.h"

namespace platform::gdi {
class Font;
class IndexedDibSection;
class LogicalPalette;
}  // namespace platform::gdi

constexpr int kMaxFonts = 40;
constexpr uint32_t kFontHandleKind = 0x20000000u;
// Cells of a cache, and one more slot that ends the list.
constexpr int kMaxFontCacheCells = 2024;
constexpr int kFontCacheSlots = kMaxFontCacheCells + 1;
// One entry for every one- and two-byte code.
constexpr int kFontCodeEntries = 65536;

// Type bits.
constexpr int kFontTypeEdge = 1;
constexpr int kFontTypeAntialias = 2;

// The largest size and edge a font is made with: the cache of a bigger one
// would not fit the largest texture or bitmap.
constexpr int kMaxFontSize = 512;
constexpr int kMaxFontEdge = 32;

struct FontCacheSlot {
  uint16_t in_use;
  int16_t x_offset;  // pen to the glyph's left edge
  int16_t y_offset;  // line top to the glyph's top edge
  int16_t advance;
  int32_t number;  // cell number; the slot after the last holds -1
  int16_t width;
  int16_t height;
  int32_t code;  // the code entry that points here, -1 for none
};

struct FontCodeEntry {
  uint16_t cached;
  int16_t slot;
};

struct FontRecord {
  uint32_t check;
  int* delete_flag;
  FontCacheSlot slots[kFontCacheSlots];
  FontCodeEntry codes[kFontCodeEntries];
  int fill_index;
  int capacity;
  platform::gdi::IndexedDibSection* dib;
  uint8_t* dib_bits;
  int dib_pitch;
  platform::gdi::LogicalPalette* palette;
  void* palette_block;
  char face[256];
  int thickness;
  int size;
  int line_height;
  int spacing;
  int cell_size;
  platform::gdi::Font* gdi_font;
  int type;
  int charset;
  int edge_size;
  int cache_width;
  int cache_height;
  int rows;
  int work_surface;
  int work_surface_gone;
  int cache_texture;
  int cache_texture_gone;
  ImageRecord staging;
  int texture_cache;
};

struct DefaultFontSettings {
  int handle;
  char face[128];
  int size;
  int thickness;
  int type;
  int charset;
  int edge_size;
  int spacing;
};

DefaultFontSettings& DefaultFont();

// -1 in size, thickness, type, charset or edge size takes the default; slot
// and check -1 take the first free slot and a new check counter.
int CreateFontToHandle(const char* face, int size, int thickness, int type, int charset,
                       int edge_size, int slot, int check);
int DestroyFont(int font);
int AttachFontDeleteFlag(int font, int* flag);
int GetFontSettings(char* face, int* size, int* thickness, int font);
int GetDefaultFontHandle();
FontRecord* GetFontRecord(int font);
int IsValidFontHandle(int font);
int GetFontSize(int font);
int SetFontCharSpacing(int spacing, int font);
int RefreshDefaultFont();
int SetDefaultFontSize(const char* face, int size, int thickness);
int ResetDefaultFontSettings();
int InitFontSystem();
int RecreateAllFonts();
