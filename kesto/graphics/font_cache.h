// The glyph cache of a font: each character is rendered once into a square
// cell of the font's cache texture or cache bitmap and found again through
// the code table; when the cache is full the cell written longest ago is
// reused.
#pragma once

#include "graphics/font_handles.h"

// A per-call list of characters: each entry holds the character's bytes
// (the second 0 for a one-byte character) and a terminator.
constexpr int kCodeListCapacity = 256;
using CodeListEntry = char[3];

// 1 when the byte leads a two-byte character: Shift-JIS for charset index
// 0 and 1, any byte from 0x80 for 2 (Hangeul).
int IsMultiByteLead(const char* byte, int charset_index);

// Cell layout of a new font's cache: capacity and size of the texture or of
// the bitmap for a cell size (and, for the bitmap, the font type).
void TextureCacheLayout(int cell_size, int* capacity, int* width, int* height);
void DibCacheLayout(int cell_size, int type, int* capacity, int* width, int* height);

int ResetFontCache(int font);
// Splits up to kCodeListCapacity characters of the text (length -1: all)
// into the list and renders those not cached yet, each once. `consumed`
// gets the bytes taken, so a longer text is cached and drawn in pieces.
int CacheStringGlyphs(int font, const char* text, int length, CodeListEntry* list, int* count,
                      int* consumed = nullptr);
// Renders the characters into the cells from the fill index on; the slot
// of the last one, null while suspended, without DirectDraw or for a bad
// handle.
FontCacheSlot* RenderGlyphsToCache(int font, int count, const CodeListEntry* list);
// The slot of a character, rendered first when it is not cached.
FontCacheSlot* FindOrRenderGlyph(int font, const CodeListEntry& code);
int RefreshFontCacheSurfaces(int font);
// The cell of a slot number.
void CellPosition(const FontRecord& font, int number, int* x, int* y);
