// Texture parts: the power-of-two textures behind a Direct3D graphic, each
// showing one rectangle of it, with their handle table, the split of a size
// into texture sizes, pixel transfers and deletion.
#pragma once

#include <cstdint>

#include "graphics/record_table.h"
#include "graphics/surface_record.h"
#include "graphics/surface_upload.h"
#include "platform/video3d/d3d_types.h"

struct TexturePartRecord {
  uint32_t serial;
  int* delete_flag;
  uint16_t x, y;
  uint16_t texture_x, texture_y;
  uint16_t source_x, source_y;
  uint16_t width, height;
  // Top-left, top-right, bottom-left, bottom-right in graphic pixels.
  platform::video3d::TLVertex vertices[4];
  int graphic;
  int texture;  // surface record handle
};

constexpr int kMaxTextureParts = 65535;
RecordTable<TexturePartRecord>& TexturePartTable();
namespace texture_part_internal {
extern RecordTable<TexturePartRecord> g_parts;
}  // namespace texture_part_internal

int AddSurface3DData(int texture_width, int texture_height, int x, int y, int width, int height,
                     int source_x, int source_y, int graphic, const TexturePartRecord* shared,
                     int texture_x, int texture_y, const SurfaceSettings& settings);
// Inline: every draw looks its parts up.
inline TexturePartRecord* GetTexturePartRecord(int handle) {
  return texture_part_internal::g_parts.Find(handle);
}
int LockTexturePart(int handle, uint8_t** pointer, int* pitch, int write_only,
                    const platform::video::Rect* rect);
int UnlockTexturePart(int handle, const platform::video::Rect* rect);
// Writes the texture sizes that cover `size` to `list` (room for 32).
int SplitTextureSizes(int size, int* list, int single);
int DeleteTexturePart(int handle);
int DeleteAllTextureParts();
int DeleteAllTexturePartsIfReady();
int TransferImageToTexturePart(const UploadSourceSet& source,
                               const platform::video::Rect& source_rect, int texture_x,
                               int texture_y, int part);
int UploadImageToTextureParts(const UploadSourceSet& source, int offset_x, int offset_y,
                              int graphic);
int UploadImageRectToTextureParts(const UploadSourceSet& source,
                                  const platform::video::Rect& source_rect, int dest_x, int dest_y,
                                  int graphic);
int GetGraphicPartsLostFlags(int graphic);
// Around a lost display: the parts' surfaces go and come back under the
// same records.
int ReleaseAllTexturePartSurfaces();
int RecreateAllTexturePartSurfaces();
